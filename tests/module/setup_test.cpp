#include <gmock/gmock.h>

#include "prompts/prompts.h"
#include "tests/support/module_fixture.h"

using testsupport::ModuleTest;

namespace {

class SetUpTest : public ModuleTest {};

TEST_F(SetUpTest, BuildsTheFourPromptsDisabledAndHiddenWithTheirTexts) {
    writeSettings("Follow=Follow me\nStay=Stay here\nSpur=Off you go\nHome=Go home\n");
    start(1);
    const char* inputs[4] = {"INPUT_CONTEXT_Y", "INPUT_CONTEXT_X", "INPUT_CONTEXT_B",
                             "INPUT_SWITCH_SHOULDER"};
    const char* texts[4] = {"Follow me", "Stay here", "Off you go", "Go home"};
    const Prompt handles[4] = {promptFollow, promptStay, promptSpur, promptSendHome};
    for (int i = 0; i < 4; ++i) {
        const standin::PromptState* prompt = game().promptFor(inputs[i]);
        ASSERT_NE(prompt, nullptr) << inputs[i];
        EXPECT_EQ(prompt->handle, handles[i]);
        EXPECT_EQ(prompt->text, texts[i]);
        EXPECT_TRUE(prompt->registered);
        EXPECT_TRUE(prompt->standardMode);
        EXPECT_FALSE(prompt->enabled);
        EXPECT_FALSE(prompt->visible);
        EXPECT_EQ(prompt->priority, i == 3 ? 3 : 0);
    }
}

} // namespace
