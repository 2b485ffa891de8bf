// libFuzzer target: the simulator's scenario reader. Whatever the bytes,
// sim::parseScenario either returns a scenario that keeps the reader's
// promises or throws sim::ScenarioError with "fuzz.yaml:LINE:COLUMN: what"
// pointing into the file. Any other exception escaping is a bug.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <typeinfo>

#include "sim/scenario/scenario_file.h"
#include "tests/support/settings_model.h"

namespace {

const std::string fileName = "fuzz.yaml";

[[noreturn]] void fault(const std::string& input, const std::string& what) {
    std::fprintf(stderr, "scenario reader: %s\n  input: %s\n", what.c_str(),
                 settingsmodel::escaped(input, 400).c_str());
    std::abort();
}

// Reads the digits at text[at...]; false when there are none.
bool digitsAt(const std::string& text, std::size_t& at, long long& value) {
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - start < 12) {
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    return at > start;
}

void checkError(const std::string& input, const std::string& message) {
    std::size_t at = fileName.size() + 1;
    long long line = 0;
    long long column = 0;
    if (message.compare(0, at, fileName + ":") != 0 || !digitsAt(message, at, line) || at >= message.size() ||
        message[at] != ':' || !digitsAt(message, ++at, column) || message.compare(at, 2, ": ") != 0) {
        fault(input, "error message not FILE:LINE:COLUMN: what: " + message);
    }
    if (message.size() == at + 2) {
        fault(input, "error message says nothing: " + message);
    }
    // YAML ends a line at LF, CR or CR LF; the reported line must be in the file.
    long long breaks = 0;
    for (char c : input) {
        breaks += c == '\n' || c == '\r';
    }
    if (line < 1 || column < 1 || line > breaks + 1) {
        fault(input, "error position outside the file: " + message);
    }
}

void checkFinite(const std::string& input, const standin::Vec3& p, const char* what) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
        fault(input, std::string("accepted a position that is not finite: ") + what);
    }
}

void checkPed(const std::string& input, const sim::PedSpec& ped, std::set<std::int32_t>& handles,
              std::set<std::string>& names) {
    checkFinite(input, ped.position, "a ped's position");
    if (ped.handle < 1) {
        fault(input, "ped '" + ped.name + "' has handle " + std::to_string(ped.handle));
    }
    if (!handles.insert(ped.handle).second) {
        fault(input, "two peds (or a ped and the player) share handle " + std::to_string(ped.handle));
    }
    if (ped.name == "player" || !names.insert(ped.name).second) {
        fault(input, "ped name '" + ped.name + "' taken");
    }
}

// What a scenario the reader accepts always holds.
void checkScenario(const std::string& input, const sim::Scenario& s) {
    if (s.file != fileName) {
        fault(input, "the scenario forgot its file name");
    }
    if (s.fps < 1 || s.fps > 1000) {
        fault(input, "fps " + std::to_string(s.fps));
    }
    checkFinite(input, s.playerPosition, "the player's position");
    for (const standin::Vec3& point : s.grazingPoints) {
        checkFinite(input, point, "a grazing point");
    }
    std::set<std::int32_t> handles = {s.playerHandle};
    std::set<std::string> names;
    if (s.playerHandle < 1) {
        fault(input, "player handle " + std::to_string(s.playerHandle));
    }
    for (const sim::PedSpec& ped : s.peds) {
        checkPed(input, ped, handles, names);
    }
    std::uint32_t last = 0;
    for (const sim::ScenarioEvent& e : s.events) {
        if (e.at < last || e.at > s.duration) {
            fault(input, "event at " + std::to_string(e.at) + " out of order or after the end");
        }
        last = e.at;
        if (e.action == sim::Action::MovePlayer) {
            checkFinite(input, e.position, "move_player");
        }
        if (e.action == sim::Action::SetPed && e.change.position) {
            checkFinite(input, *e.change.position, "a ped change");
        }
        if (e.action == sim::Action::AddPed) {
            checkPed(input, e.ped, handles, names);
        }
    }
    for (const sim::Expectation& x : s.expectations) {
        checkFinite(input, x.position, "near");
        if (!std::isfinite(x.within)) {
            fault(input, "accepted a 'within' that is not finite");
        }
        if (x.times && (*x.times < 0 || *x.times > 1000000)) {
            fault(input, "times " + std::to_string(*x.times));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    try {
        const sim::Scenario scenario = sim::parseScenario(input, fileName);
        checkScenario(input, scenario);
    } catch (const sim::ScenarioError& e) {
        checkError(input, e.what());
    } catch (const std::exception& e) {
        fault(input, std::string("escaped: ") + typeid(e).name() + ": " + e.what());
    } catch (...) {
        fault(input, "escaped: an exception not derived from std::exception");
    }
    return 0;
}
