// The files `gang-horse-sim` writes beside its output: `run --trace FILE`,
// `run --report FILE`, `run --positions FILE --positions-at TIMES` and
// `check --report-dir DIR`. Their options and paths are checked before
// anything runs, so that a mistake is told at once; nothing is created or
// truncated before the module has loaded and the run starts, so that a run
// that cannot start leaves existing files as they were.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
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
    std::string trace;                    // JSON Lines of every call; empty = none
};

// The outputs of one run, each under the name of its option: two that name
// one file, one that names the scenario, a folder, or a file in a folder
// that does not exist are refused (OutputError).
void checkOutputPaths(const std::vector<std::pair<std::string, std::string>>& outputs,
                      const std::string& scenarioFile);

// A file written from the run's start on; what is written before, while the
// module loads, is kept until then.
class StartedFile {
  public:
    explicit StartedFile(std::string path) : path_(std::move(path)), out_(&pending_) {}
    std::ostream& stream() { return out_; }
    // Creates or truncates the file, with what was kept. Throws OutputError.
    void open(const char* what);
    // Throws OutputError when the file could not be written in full.
    void close();

  private:
    std::string path_;
    std::stringbuf pending_;
    std::filebuf file_;
    std::ostream out_;
};

class RunFiles {
  public:
    // Checks the options (positions within the scenario's duration); opens nothing. Throws OutputError.
    RunFiles(const RunFileOptions& options, std::uint32_t durationMs);
    // Adds the recorders and the trace to the run; the files are opened when it starts.
    void attach(RunOptions& options);
    // Writes what the run recorded. Throws OutputError.
    void write(const RunResult& result);

  private:
    void open();

    RunFileOptions paths_;
    std::ofstream report_, positions_;
    std::unique_ptr<StartedFile> trace_;
    std::unique_ptr<ReportRecorder> recorder_;
    std::unique_ptr<PositionsAt> at_;
};

class ReportDir {
  public:
    explicit ReportDir(const std::string& dir); // checks it; throws OutputError
    // A fresh recorder for the next scenario; the folder is made when the first run starts.
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
