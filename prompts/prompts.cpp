#include "prompts/prompts.h"

#include "host/natives.h"

Prompt promptFollow;
Prompt promptStay;
Prompt promptSpur;
Prompt promptSendHome;

void createPrompt(Prompt* prompt, const char* inputName, const char* text) {
    *prompt = promptRegisterBegin();
    const Hash input = getHashKey(inputName);
    promptSetControlAction(*prompt, input);
    promptSetText(*prompt, createVarString(text));
    promptSetStandardMode(*prompt);
    promptRegisterEnd(*prompt);
    promptSetEnabled(*prompt, false);
    promptSetVisible(*prompt, false);
}

void createCommandPrompts(const PromptTexts& texts) {
    createPrompt(&promptFollow, "INPUT_CONTEXT_Y", texts[0].c_str());
    createPrompt(&promptStay, "INPUT_CONTEXT_X", texts[1].c_str());
    createPrompt(&promptSpur, "INPUT_CONTEXT_B", texts[2].c_str());
    createPrompt(&promptSendHome, "INPUT_SWITCH_SHOULDER", texts[3].c_str());
    promptSetPriority(promptSendHome);
}
