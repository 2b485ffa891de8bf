// The report pages: one self-contained HTML file per scenario run, and an
// index of a checked set. The page's script draws everything from the run's
// data, which sits in the page as JSON.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/report/json_text.h"

namespace sim {

// The page for a run's data (ReportRecorder::data).
std::string reportPage(const Json& data);

// One scenario of a checked set, as index.html lists it.
struct IndexEntry {
    std::string name, file, page;
    std::size_t expectations = 0, failed = 0;
};

// The page listing a checked set: each scenario, held or failed, linking to its page.
std::string indexPage(const std::vector<IndexEntry>& entries);

// A page's file name for a scenario file: its name without the folder and
// .yaml, in letters, digits, '-', '_' and '.' (not first), then ".html"; a second
// scenario of the same name gets "-2" and so on. Names already taken (and the
// one returned) are in taken.
std::string pageFileName(const std::string& scenarioFile, std::vector<std::string>& taken);

} // namespace sim
