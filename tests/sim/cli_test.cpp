// The gang-horse-sim program as a modder runs it: exit codes, what it prints,
// and traces that are the same bytes from one process to the next.
#include <gmock/gmock.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/scenario_runs.h"
#include "tests/support/scratch_dir.h"

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

// Dutch's horse, borrowed and told to follow: three things happen.
const std::string good = simtest::dutchHorseFollows("Follow me", "3s") + R"(expect:
  - {said: HORSE_FOLLOW_ME_MALE, after: 2s, by: 2s}
  - {following: dutch_horse, after: 2s}
  - {blip: dutch_horse, after: 1s, by: 1100ms}
)";

// The same, with two expectations that do not hold (lines 14 and 16).
const std::string wrong = good + R"(  - {said: HORSE_STAY_HERE_MALE}
  - {wait: 1000, times: 0}
  - {said: HORSE_FOLLOW_ME_MALE, by: 1s}
)";

const std::string bad = "name: Bad\nduration: 3s\nevents:\n  - {at: 1s, prompt: gallop}\n";

struct Output {
    int code = -1;
    std::string text; // stdout and stderr together
    std::string out;  // stdout alone
};

// Each test runs in a scratch directory of its own that holds good.yaml.
class SimCli : public ::testing::Test {
  protected:
    void SetUp() override { write("good.yaml", good); }
    std::string write(const std::string& name, const std::string& text) { return scratch_.write(name, text); }
    static std::string read(const std::string& path) { return testsupport::readFile(path); }

    // Runs the program in the scratch directory with the given arguments.
    Output sim(const std::string& args) {
        Output o;
        const std::string outFile = dir_ + "/.stdout", errFile = dir_ + "/.stderr";
        const std::string command =
            "cd '" + dir_ + "' && '" GH_SIM_PROGRAM "' " + args + " >'" + outFile + "' 2>'" + errFile + "'";
        const int status = std::system(command.c_str());
        o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        o.out = read(outFile);
        o.text = o.out + read(errFile);
        return o;
    }

    testsupport::ScratchDir scratch_{"gang_horse_sim_cli_"};
    const std::string& dir_ = scratch_.path();
};

TEST_F(SimCli, CheckExitsZeroWhenEveryExpectationHolds) {
    const Output o = sim("check good.yaml");
    EXPECT_EQ(o.code, 0) << o.text;
    EXPECT_THAT(o.out, HasSubstr("PASS good.yaml (Follow me): 3 expectations"));
    EXPECT_THAT(o.out, HasSubstr("1 passed, 0 failed"));
}

TEST_F(SimCli, CheckExitsOneNamingEachExpectationThatFailed) {
    write("wrong.yaml", wrong);
    const Output o = sim("check good.yaml wrong.yaml");
    EXPECT_EQ(o.code, 1) << o.text;
    EXPECT_THAT(o.out, HasSubstr("PASS good.yaml"));
    EXPECT_THAT(o.out, HasSubstr("FAIL wrong.yaml (Follow me): 6 expectations"));
    EXPECT_THAT(o.out,
                HasSubstr("wrong.yaml:14: expectation {said: HORSE_STAY_HERE_MALE} failed: never happened"));
    EXPECT_THAT(o.out,
                HasSubstr("wrong.yaml:16: expectation {said: HORSE_FOLLOW_ME_MALE, by: 1s} failed: only "
                          "outside its window, first at 00:02.000"));
    // The ones that hold are not named; a wait that never came holds "times: 0".
    EXPECT_THAT(o.out, AllOf(Not(HasSubstr("wrong.yaml:11:")), Not(HasSubstr("wrong.yaml:15:"))));
    EXPECT_THAT(o.out, HasSubstr("1 passed, 1 failed"));
}

TEST_F(SimCli, ABadFileStopsEveryRunWithExitTwoAndItsPlace) {
    write("bad.yaml", bad);
    const Output check = sim("check good.yaml bad.yaml");
    EXPECT_EQ(check.code, 2);
    EXPECT_THAT(check.text, HasSubstr("bad.yaml:4:22: unknown prompt 'gallop'"));
    EXPECT_THAT(check.text, Not(HasSubstr("PASS"))) << "nothing runs, not even the good file";

    const Output run = sim("run bad.yaml --trace bad.jsonl");
    EXPECT_EQ(run.code, 2);
    EXPECT_THAT(run.text, HasSubstr("bad.yaml:4:22: unknown prompt 'gallop'"));
    EXPECT_EQ(run.out, "") << "no timeline";
    EXPECT_FALSE(std::ifstream(dir_ + "/bad.jsonl").good()) << "no trace";

    const Output missing = sim("check nowhere.yaml");
    EXPECT_EQ(missing.code, 2);
    EXPECT_THAT(missing.text, HasSubstr("nowhere.yaml:1:1: cannot open the file"));
}

TEST_F(SimCli, RunPrintsTheTimelineAndQuietPrintsNone) {
    const Output o = sim("run good.yaml");
    EXPECT_EQ(o.code, 0) << o.text;
    EXPECT_THAT(o.out, HasSubstr("00:00.000  scenario \"Follow me\" starts\n"));
    EXPECT_THAT(o.out, HasSubstr("00:02.000  the player says \"HORSE_FOLLOW_ME_MALE\"\n"));
    EXPECT_THAT(o.out, HasSubstr("3 of 3 expectations held"));
    EXPECT_EQ(sim("run good.yaml --quiet").out, "");
}

TEST_F(SimCli, EveryCommandHasHelp) {
    for (const char* args : {"--help", "run --help", "check --help"}) {
        const Output o = sim(args);
        EXPECT_EQ(o.code, 0) << args;
        EXPECT_THAT(o.out, HasSubstr("Usage")) << args;
    }
    EXPECT_THAT(sim("run --help").out, HasSubstr("--trace"));
    EXPECT_NE(sim("").code, 0) << "a command is required";
}

TEST_F(SimCli, TheSameScenarioGivesTheSameTraceBytesInEveryProcess) {
    // The demo touches every kind of slot: texts, game strings, the speech
    // record and out-parameters, whose addresses differ between processes.
    const std::string demo = GH_SCENARIO_DIR "/demo.yaml";
    ASSERT_EQ(sim("run --quiet --trace one.jsonl '" + demo + "'").code, 0);
    ASSERT_EQ(sim("run --quiet --trace two.jsonl '" + demo + "'").code, 0);
    const std::string one = read(dir_ + "/one.jsonl"), two = read(dir_ + "/two.jsonl");
    EXPECT_GT(one.size(), 100000u);
    EXPECT_TRUE(one == two) << "the traces differ";
    EXPECT_THAT(one, HasSubstr("{\"speech\":{\"speechLine\":\"Take_Horse_Dutch\""));
    EXPECT_THAT(one, HasSubstr("{\"ptr\":\"0x00005001\"}"));
}

TEST_F(SimCli, NoMistakeInTheArgumentsTouchesAnExistingFile) {
    const std::string trace = write("kept.jsonl", "an earlier trace\n");
    const Output typo = sim("run good.yaml --trace kept.jsonl --trace-omit getHashKey,setEntityCoord");
    EXPECT_EQ(typo.code, 2);
    EXPECT_THAT(typo.text,
                HasSubstr("--trace-omit: unknown native 'setEntityCoord' (closest: setEntityCoords, "
                          "getEntityCoords; `gang-horse-sim reference` lists all 66)"));
    EXPECT_EQ(read(trace), "an earlier trace\n");
    EXPECT_THAT(sim("run good.yaml --trace kept.jsonl --trace-omit teleport").text,
                HasSubstr("(none is close; the 66: promptRegisterBegin, promptSetControlAction,"));
    EXPECT_EQ(sim("run bad.yaml --trace kept.jsonl").code, 2) << "no such scenario";
    EXPECT_EQ(read(trace), "an earlier trace\n");
    // Nor the scenario itself, named as the trace.
    EXPECT_EQ(sim("run good.yaml --quiet --trace good.yaml").code, 2);
    EXPECT_EQ(read(dir_ + "/good.yaml"), good);
}

TEST_F(SimCli, OutputsAreTouchedOnlyOnceTheModuleHasLoadedAndEachHasAFileOfItsOwn) {
    write("good.yaml", good);
    const std::string kept = "an earlier output\n";
    for (const char* name : {"t.jsonl", "r.html", "p.json"})
        write(name, kept);
    const std::string outputs = " --trace t.jsonl --report r.html --positions p.json --positions-at 1s";
    const Output noModule = sim("--module missing.so run good.yaml" + outputs);
    EXPECT_EQ(noModule.code, 3);
    EXPECT_THAT(noModule.text, HasSubstr("missing.so: cannot load the module"));
    const Output twice = sim("run good.yaml --trace t.jsonl --report ./t.jsonl");
    EXPECT_EQ(twice.code, 2);
    EXPECT_THAT(twice.text, HasSubstr("--trace and --report both name ./t.jsonl: give each output a file"));
    const Output late = sim("run good.yaml --positions p.json --positions-at 1s,4s");
    EXPECT_EQ(late.code, 2);
    EXPECT_THAT(late.text, HasSubstr("--positions-at: 4s is past the end of the scenario, at 3000 ms"));
    for (const char* name : {"t.jsonl", "r.html", "p.json"})
        EXPECT_EQ(read(dir_ + "/" + name), kept) << name;

    EXPECT_EQ(sim("run good.yaml --quiet" + outputs).code, 0); // written from the folder it started in
    EXPECT_THAT(read(dir_ + "/t.jsonl"), HasSubstr("{\"frame\":0,\"time\":0,\"host\":\"scriptRegister\"}"));
    EXPECT_THAT(read(dir_ + "/p.json"), HasSubstr("\"t\":1000"));
}

TEST_F(SimCli, ExitCodesTellHeldFailedAndBadInput) {
    write("wrong.yaml", wrong);
    EXPECT_EQ(sim("run good.yaml --quiet").code, 0);
    const Output failed = sim("run wrong.yaml");
    EXPECT_EQ(failed.code, 1);
    EXPECT_THAT(failed.out, HasSubstr("4 of 6 expectations held"));
    for (const char* args :
         {"check", "run", "", "run good.yaml --trace-omit getHashKey", "soak --frames 0"}) {
        const Output o = sim(args);
        EXPECT_EQ(o.code, 2) << args;
        EXPECT_THAT(o.text, HasSubstr("Usage: gang-horse-sim")) << args;
    }
    EXPECT_THAT(sim("check").text, HasSubstr("Usage: gang-horse-sim check [OPTIONS] scenarios..."));
}

} // namespace
