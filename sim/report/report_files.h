// The files `gang-horse-sim` writes beside its output: `run --report FILE`,
// `run --positions FILE --positions-at TIMES` and `check --report-dir DIR`.
// Each is opened before anything runs, so that a path that cannot be written
// is told at once, not after a long run.
#pragma once

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/report/page.h"
#include "sim/report/positions.h"
#include "sim/report/recorder.h"
#include "sim/run/runner.h"

namespace sim {

// A file that cannot be written, or an option that makes no sense.
struct OutputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct RunFileOptions {
    std::string report;                   // the page; empty = none
    std::string positions;                // the positions file; empty = none
    std::vector<std::string> positionsAt; // times such as 31s or 1500ms
};

class RunFiles {
  public:
    explicit RunFiles(const RunFileOptions& options); // throws OutputError
    void attach(RunOptions& options);
    // Writes what the run recorded. Throws OutputError.
    void write(const RunResult& result);

  private:
    RunFileOptions paths_;
    std::ofstream report_, positions_;
    std::unique_ptr<ReportRecorder> recorder_;
    std::unique_ptr<PositionsAt> at_;
};

class ReportDir {
  public:
    explicit ReportDir(const std::string& dir); // creates it; throws OutputError
    // A fresh recorder for the next scenario.
    void attach(RunOptions& options);
    // Writes the page of the scenario just run.
    void add(const Scenario& scenario, const RunResult& result);
    // Writes index.html.
    void finish();

  private:
    std::string dir_;
    std::unique_ptr<ReportRecorder> recorder_;
    std::vector<IndexEntry> entries_;
    std::vector<std::string> taken_;
};

} // namespace sim
