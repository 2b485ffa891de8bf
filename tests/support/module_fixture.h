// A fixture that loads the module into the stand-in host, in a scratch
// working directory of its own, with the module's globals as at load.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "standin/host.h"
#include "standin/slots.h"
#include "tests/support/scratch_dir.h"

namespace testsupport {

// Clears the module's globals (prompt handles, remark flags, key table) to
// what they are right after the library loads.
void clearModuleGlobals();

// The fake module handle the tests hand to DllMain.
void* moduleHandle();

class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    standin::Host& host = standin::Host::get();
    standin::Game& game() { return host.game(); }

    // Writes Velkor.dat into the scratch working directory.
    void writeSettings(const std::string& bytes);
    // DllMain process attach.
    void load();
    // Loads the module and runs the set-up and the given number of passes.
    void start(int passes = 0);
    void runPasses(int passes) { host.runPasses(passes); }

    // The position in the record where the next call will land.
    std::size_t mark() const { return host.events().size(); }
    // Native calls by label, all of them or from a mark on.
    std::vector<const standin::Event*> calls(const char* label, std::size_t from = 0) const;
    // The labels (and host call names) recorded from a mark on, in order.
    std::vector<std::string> sequence(std::size_t from = 0) const;
    // The waits the script made from a mark on, in order.
    std::vector<std::int64_t> waits(std::size_t from = 0) const;

    std::string scratch; // the working directory of the test

  private:
    std::optional<ScratchDir> scratchDir_;
    std::string previousDir_;
};

// Slot k of a recorded call, as a 32-bit value or a float.
inline std::uint32_t u32(const standin::Event* e, std::size_t k) { return standin::u32(e->slot(k)); }
inline std::int32_t i32(const standin::Event* e, std::size_t k) { return standin::i32(e->slot(k)); }
inline float f32(const standin::Event* e, std::size_t k) { return standin::slotFloat(e->slot(k)); }

} // namespace testsupport
