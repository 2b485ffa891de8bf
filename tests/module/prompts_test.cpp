// Building the command prompts: the calls of one prompt, and the set-up's
// order of name hashes, settings and prompts.
#include <gmock/gmock.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "prompts/prompts.h"
#include "tests/support/host_hooks.h"
#include "tests/support/module_fixture.h"

using ::testing::ElementsAreArray;
using testsupport::ModuleTest;

namespace {

using standin::i32;
using standin::slotOf;
using standin::slotText;

const std::vector<std::string> promptCalls = {
    "promptRegisterBegin", "getHashKey",       "promptSetControlAction",
    "createVarString",     "promptSetText",    "promptSetStandardMode",
    "promptRegisterEnd",   "promptSetEnabled", "promptSetVisible"};

class PromptsTest : public ModuleTest {
  protected:
    // The native calls recorded from a mark on.
    std::vector<const standin::Event*> natives(std::size_t from = 0) const {
        std::vector<const standin::Event*> found;
        for (std::size_t i = from; i < host.events().size(); ++i) {
            if (host.events()[i].kind == standin::Event::Kind::Native) {
                found.push_back(&host.events()[i]);
            }
        }
        return found;
    }
};

TEST_F(PromptsTest, CreatePromptMakesItsCallsInOrderOnTheNewHandle) {
    Prompt prompt = -7;
    const char input[] = "INPUT_CONTEXT_Y";
    const char text[] = "Follow me";
    // What the global holds when the game hashes the input name.
    Prompt heldAtHash = -7;
    testsupport::HostHooks hooks(host, [&](const standin::Event& e) {
        if (e.is("getHashKey")) {
            heldAtHash = prompt;
        }
    });
    const std::size_t from = mark();
    createPrompt(&prompt, input, text);

    const auto calls = natives(from);
    ASSERT_THAT(sequence(from), ElementsAreArray(promptCalls));
    const std::int32_t handle = i32(calls[0]->result[0]);
    EXPECT_NE(handle, -7);
    EXPECT_EQ(prompt, handle);
    EXPECT_EQ(heldAtHash, handle);

    EXPECT_EQ(calls[1]->slot(0), slotOf(input));
    EXPECT_EQ(calls[2]->slot(0), slotOf(handle));
    EXPECT_EQ(calls[2]->slot(1), calls[1]->result[0]); // the game's hash of the input name
    EXPECT_EQ(calls[1]->result[0], standin::joaat("input_context_y"));

    EXPECT_EQ(calls[3]->slot(0), 10u);
    EXPECT_STREQ(slotText(calls[3]->slot(1)), "LITERAL_STRING");
    EXPECT_EQ(calls[3]->slot(2), slotOf(text));
    // The game string is handed on whole.
    const std::uint64_t varString = calls[3]->result[0];
    ASSERT_GT(varString >> 32, 0u);
    EXPECT_EQ(calls[4]->slot(0), slotOf(handle));
    EXPECT_EQ(calls[4]->slot(1), varString);

    const std::vector<std::vector<std::uint64_t>> rest = {
        {slotOf(handle), 1}, // standard mode
        {slotOf(handle)},    // register end
        {slotOf(handle), 0}, // disabled
        {slotOf(handle), 0}, // hidden
    };
    for (std::size_t i = 0; i < rest.size(); ++i) {
        std::vector<std::uint64_t> slots;
        for (const auto& arg : calls[5 + i]->args) {
            slots.push_back(arg.raw);
        }
        EXPECT_EQ(slots, rest[i]) << calls[5 + i]->native->label;
    }

    const standin::PromptState* made = game().promptFor("INPUT_CONTEXT_Y");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->text, "Follow me");
}

TEST_F(PromptsTest, LaterStepsReadTheHandleFromTheGlobal) {
    Prompt prompt = 0;
    testsupport::HostHooks hooks(host, [&](const standin::Event& e) {
        if (e.is("getHashKey")) {
            prompt = 0x4242;
        }
    });
    const std::size_t from = mark();
    createPrompt(&prompt, "INPUT_CONTEXT_X", "Stay");
    const auto calls = natives(from);
    ASSERT_EQ(calls.size(), promptCalls.size());
    for (std::size_t i = 2; i < calls.size(); ++i) {
        if (!calls[i]->is("createVarString")) {
            EXPECT_EQ(calls[i]->slot(0), 0x4242u) << calls[i]->native->label;
        }
    }
}

TEST_F(PromptsTest, SetUpHashesNamesReadsSettingsBuildsPromptsThenHashesMissions) {
    // The settings file exists only between the last camp script name and the
    // first prompt: texts arrive only if the file is read in that window.
    const std::string path = scratch + "/Velkor.dat";
    testsupport::HostHooks hooks(host, [&](const standin::Event& e) {
        if (e.is("getHashKey") && e.args.at(0).text == "camp_shadybelle") {
            std::ofstream(path) << "F=Follow me\nS=Stay here\nP=Off you go\nH=Go home\n";
        } else if (e.is("promptRegisterBegin")) {
            std::remove(path.c_str());
        }
    });
    start(1);

    const std::vector<std::string> names = {
        "A_C_HORSE_GANG_JAVIER",  "A_C_HORSE_GANG_DUTCH",     "A_C_HORSE_GANG_BILL",
        "A_C_HORSE_GANG_CHARLES", "A_C_HORSE_GANG_KAREN",     "A_C_HORSE_GANG_HOSEA",
        "A_C_HORSE_GANG_MICAH",   "A_C_HORSE_GANG_SEAN",      "A_C_HORSE_GANG_KIERAN",
        "A_C_HORSE_GANG_LENNY",   "A_C_HORSE_GANG_SADIE",     "A_C_HORSE_GANG_JOHN",
        "A_C_HORSE_GANG_UNCLE",   "A_C_HORSE_GANG_TRELAWNEY", "camp_horseshoeoverlook",
        "camp_clemenspoint",      "camp_beaverhollow",        "camp_lakay",
        "camp_shadybelle"};
    const char* const inputs[4] = {"INPUT_CONTEXT_Y", "INPUT_CONTEXT_X", "INPUT_CONTEXT_B",
                                   "INPUT_SWITCH_SHOULDER"};
    const std::vector<std::string> missions = {"MUD1", "MUD4", "RDTC2", "RDCH3", "NBD1", "FIN1"};

    // The set-up's native calls, label by label, and the names it hashes.
    std::vector<std::string> labels, hashed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        labels.push_back("getHashKey");
        hashed.push_back(names[i]);
    }
    for (const char* input : inputs) {
        labels.insert(labels.end(), promptCalls.begin(), promptCalls.end());
        hashed.push_back(input);
    }
    labels.push_back("promptSetPriority");
    for (const std::string& mission : missions) {
        labels.push_back("getHashKey");
        hashed.push_back(mission);
    }

    const auto made = natives();
    ASSERT_GE(made.size(), labels.size());
    std::vector<std::string> gotLabels, gotHashed;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        gotLabels.push_back(made[i]->native->label);
        if (made[i]->is("getHashKey")) {
            gotHashed.push_back(made[i]->args.at(0).text);
        }
    }
    EXPECT_EQ(gotLabels, labels);
    EXPECT_EQ(gotHashed, hashed);

    // Prompts in the order follow, stay, spur, send home, with the file's texts.
    const Prompt handles[4] = {promptFollow, promptStay, promptSpur, promptSendHome};
    const char* const texts[4] = {"Follow me", "Stay here", "Off you go", "Go home"};
    const auto begins = calls("promptRegisterBegin");
    const auto varStrings = calls("createVarString");
    ASSERT_EQ(begins.size(), 4u);
    ASSERT_EQ(varStrings.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(i32(begins[i]->result[0]), handles[i]) << inputs[i];
        EXPECT_EQ(varStrings[i]->args.at(2).text, texts[i]) << inputs[i];
    }
}

TEST_F(PromptsTest, OnlyTheSendHomePromptGetsPriorityAfterAllFourAreBuilt) {
    writeSettings("F=a\nS=b\nP=c\nH=d\n");
    start(5);
    const auto priority = calls("promptSetPriority");
    ASSERT_EQ(priority.size(), 1u);
    EXPECT_EQ(priority[0]->slot(0), slotOf(promptSendHome));
    EXPECT_EQ(priority[0]->slot(1), 3u);
    const auto built = calls("promptRegisterEnd");
    ASSERT_EQ(built.size(), 4u);
    // After the fourth prompt has been disabled and hidden.
    const auto hidden = calls("promptSetVisible");
    ASSERT_GE(hidden.size(), 4u);
    EXPECT_GT(priority[0], hidden[3]);
    EXPECT_EQ(game().promptFor("INPUT_SWITCH_SHOULDER")->priority, 3);
}

TEST_F(PromptsTest, AMissingSettingsFileBuildsThePromptsWithEmptyLabels) {
    start(1);
    for (const char* input :
         {"INPUT_CONTEXT_Y", "INPUT_CONTEXT_X", "INPUT_CONTEXT_B", "INPUT_SWITCH_SHOULDER"}) {
        const standin::PromptState* prompt = game().promptFor(input);
        ASSERT_NE(prompt, nullptr) << input;
        EXPECT_TRUE(prompt->registered);
        EXPECT_EQ(prompt->text, "");
        EXPECT_FALSE(prompt->enabled);
        EXPECT_FALSE(prompt->visible);
    }
    for (const standin::Event* call : calls("createVarString")) {
        EXPECT_FALSE(call->args.at(2).isNull); // an empty text, not a null pointer
    }
}

} // namespace
