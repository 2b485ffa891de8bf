#include "sim/report/report_files.h"

#include <filesystem>

#include "sim/scenario/times.h"

namespace sim {

namespace {

std::ofstream openOutput(const std::string& path, const char* what) {
    std::ofstream file(path, std::ios::binary);
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

RunFiles::RunFiles(const RunFileOptions& options) : paths_(options) {
    if (options.positions.empty() != options.positionsAt.empty())
        throw OutputError("--positions and --positions-at go together");
    if (!options.positions.empty()) {
        std::vector<std::uint32_t> times;
        for (const std::string& text : options.positionsAt) {
            const auto ms = parseDuration(text);
            if (!ms)
                throw OutputError("--positions-at: '" + text + "' is not a time: a number with ms, s or m");
            times.push_back(*ms);
        }
        positions_ = openOutput(options.positions, "positions");
        at_ = std::make_unique<PositionsAt>(times);
    }
    if (!options.report.empty()) {
        report_ = openOutput(options.report, "report");
        recorder_ = std::make_unique<ReportRecorder>();
    }
}

void RunFiles::attach(RunOptions& options) {
    if (recorder_)
        options.observers.push_back(recorder_.get());
    if (at_)
        options.observers.push_back(at_.get());
}

void RunFiles::write(const RunResult& result) {
    if (recorder_)
        put(report_, reportPage(recorder_->data(result)), paths_.report);
    if (at_)
        put(positions_, at_->json().dump() + "\n", paths_.positions);
}

ReportDir::ReportDir(const std::string& dir) : dir_(dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!std::filesystem::is_directory(dir))
        throw OutputError(dir + ": cannot make the report folder");
    taken_.push_back("index.html");
}

void ReportDir::attach(RunOptions& options) {
    recorder_ = std::make_unique<ReportRecorder>();
    options.observers.push_back(recorder_.get());
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
