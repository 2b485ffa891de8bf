#include "sim/report/report_files.h"

#include <filesystem>

#include "sim/scenario/times.h"

namespace sim {

namespace {

namespace fs = std::filesystem;

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error))
        return fs::equivalent(a, b, error);
    return fs::weakly_canonical(fs::absolute(a, error), error) ==
           fs::weakly_canonical(fs::absolute(b, error), error);
}

// Outputs are opened during the run, whose working directory is a scratch
// folder of its own: a relative path is taken from the folder the program
// started in.
std::error_code noFolder;
const fs::path startFolder = fs::current_path(noFolder);

std::string fromHere(const std::string& path) { return (startFolder / path).string(); }

std::ofstream openOutput(const std::string& path, const char* what) {
    std::ofstream file(fromHere(path), std::ios::binary);
    if (!file)
        throw OutputError(path + ": cannot write the " + what);
    return file;
}

void put(std::ofstream& file, const std::string& text, const std::string& path) {
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file)
        throw OutputError(path + ": cannot write it");
}

} // namespace

void checkOutputPaths(const std::vector<std::pair<std::string, std::string>>& outputs,
                      const std::string& scenarioFile) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& [option, path] = outputs[i];
        if (path.empty())
            continue;
        if (sameFile(path, scenarioFile))
            throw OutputError(path + ": writing it would overwrite the scenario");
        for (std::size_t k = 0; k < i; ++k) {
            if (!outputs[k].second.empty() && sameFile(path, outputs[k].second))
                throw OutputError(outputs[k].first + " and " + option + " both name " + path +
                                  ": give each output a file of its own");
        }
        std::error_code error;
        if (fs::is_directory(path, error))
            throw OutputError(path + ": is a folder; " + option + " takes a file");
        const fs::path folder = fs::absolute(path, error).parent_path();
        if (!fs::is_directory(folder, error))
            throw OutputError(path + ": cannot write it: the folder " + folder.string() + " does not exist");
    }
}

void StartedFile::open(const char* what) {
    if (file_.open(fromHere(path_), std::ios::out | std::ios::binary | std::ios::trunc) == nullptr)
        throw OutputError(path_ + ": cannot write the " + what);
    const std::string kept = pending_.str();
    file_.sputn(kept.data(), static_cast<std::streamsize>(kept.size()));
    pending_.str(std::string());
    out_.rdbuf(&file_);
}

void StartedFile::close() {
    out_.flush();
    if (!out_ || file_.close() == nullptr)
        throw OutputError(path_ + ": cannot write it");
}

RunFiles::RunFiles(const RunFileOptions& options, std::uint32_t durationMs) : paths_(options) {
    if (options.positions.empty() != options.positionsAt.empty())
        throw OutputError("--positions and --positions-at go together");
    if (!options.positions.empty()) {
        std::vector<std::uint32_t> times;
        for (const std::string& text : options.positionsAt) {
            const auto ms = parseDuration(text);
            if (!ms)
                throw OutputError("--positions-at: '" + text + "' is not a time: a number with ms, s or m");
            if (*ms > durationMs)
                throw OutputError("--positions-at: " + text + " is past the end of the scenario, at " +
                                  std::to_string(durationMs) + " ms");
            times.push_back(*ms);
        }
        at_ = std::make_unique<PositionsAt>(times);
    }
    if (!options.report.empty())
        recorder_ = std::make_unique<ReportRecorder>();
    if (!options.trace.empty())
        trace_ = std::make_unique<StartedFile>(options.trace);
}

void RunFiles::attach(RunOptions& options) {
    if (recorder_)
        options.observers.push_back(recorder_.get());
    if (at_)
        options.observers.push_back(at_.get());
    if (trace_)
        options.trace = &trace_->stream();
    options.started = [this] { open(); };
}

void RunFiles::open() {
    if (trace_)
        trace_->open("trace");
    if (recorder_)
        report_ = openOutput(paths_.report, "report");
    if (at_)
        positions_ = openOutput(paths_.positions, "positions");
}

void RunFiles::write(const RunResult& result) {
    if (trace_)
        trace_->close();
    if (recorder_)
        put(report_, reportPage(recorder_->data(result)), paths_.report);
    if (at_)
        put(positions_, at_->json().dump() + "\n", paths_.positions);
}

ReportDir::ReportDir(const std::string& dir) : dir_(fromHere(dir)) {
    std::error_code error;
    if (fs::exists(dir, error) && !fs::is_directory(dir, error))
        throw OutputError(dir + ": cannot make the report folder: a file has that name");
    taken_.push_back("index.html");
}

void ReportDir::attach(RunOptions& options) {
    recorder_ = std::make_unique<ReportRecorder>();
    options.observers.push_back(recorder_.get());
    options.started = [this] {
        std::error_code error;
        fs::create_directories(dir_, error);
        if (!fs::is_directory(dir_, error))
            throw OutputError(dir_ + ": cannot make the report folder");
    };
}

void ReportDir::add(const Scenario& scenario, const RunResult& result) {
    const std::string page = pageFileName(scenario.file, taken_);
    const std::string path = (std::filesystem::path(dir_) / page).string();
    std::ofstream file = openOutput(path, "report");
    put(file, reportPage(recorder_->data(result)), path);
    recorder_.reset();
    entries_.push_back({scenario.name, scenario.file, page, result.expectations, result.failures.size()});
}

void ReportDir::finish() {
    const std::string path = (std::filesystem::path(dir_) / "index.html").string();
    std::ofstream file = openOutput(path, "report index");
    put(file, indexPage(entries_), path);
}

} // namespace sim
