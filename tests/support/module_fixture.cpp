#include "tests/support/module_fixture.h"

#include <unistd.h>

#include <cstring>
#include <stdexcept>

#include "gang_horse/gang_horse.h"
#include "host/dll_main.h"
#include "prompts/prompts.h"

namespace testsupport {

void clearModuleGlobals() {
    promptFollow = promptStay = promptSpur = promptSendHome = 0;
    for (bool& done : remarkDone) {
        done = false;
    }
    std::memset(keyTable, 0, sizeof keyTable);
}

void* moduleHandle() { return reinterpret_cast<void*>(0x180000000ull); }

void ModuleTest::SetUp() {
    host.reset();
    clearModuleGlobals();
    scratch = scratchDir_.emplace("gang_horse_test_").path();
    char cwd[4096];
    previousDir_ = getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".";
    if (chdir(scratch.c_str()) != 0) {
        throw std::runtime_error("cannot enter " + scratch);
    }
}

void ModuleTest::TearDown() {
    host.shutdown();
    if (chdir(previousDir_.c_str()) != 0) {
        ADD_FAILURE() << "cannot return to " << previousDir_;
    }
    scratchDir_.reset();
}

void ModuleTest::writeSettings(const std::string& bytes) { scratchDir_->write("Velkor.dat", bytes); }

void ModuleTest::load() { DllMain(moduleHandle(), 1, nullptr); }

void ModuleTest::start(int passes) {
    load();
    host.runFrame(); // the set-up and the first pass run in the first frame
    if (passes > 1) {
        host.runPasses(passes - 1);
    }
}

std::vector<const standin::Event*> ModuleTest::calls(const char* label, std::size_t from) const {
    std::vector<const standin::Event*> found;
    const auto& events = host.events();
    for (std::size_t i = from; i < events.size(); ++i) {
        if (events[i].is(label)) {
            found.push_back(&events[i]);
        }
    }
    return found;
}

std::vector<std::string> ModuleTest::sequence(std::size_t from) const {
    std::vector<std::string> labels;
    const auto& events = host.events();
    for (std::size_t i = from; i < events.size(); ++i) {
        const standin::Event& e = events[i];
        labels.push_back(e.kind == standin::Event::Kind::Host ? e.host : std::string(e.native->label));
    }
    return labels;
}

std::vector<std::int64_t> ModuleTest::waits(std::size_t from) const {
    std::vector<std::int64_t> found;
    const auto& events = host.events();
    for (std::size_t i = from; i < events.size(); ++i) {
        if (events[i].kind == standin::Event::Kind::Host && events[i].host == "scriptWait") {
            found.push_back(events[i].values.at(0).second);
        }
    }
    return found;
}

} // namespace testsupport
