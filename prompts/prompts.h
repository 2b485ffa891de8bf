// The four command prompts of the borrowed horse.
#pragma once

#include "host/native_call.h"
#include "settings/settings.h"

extern Prompt promptFollow;   // INPUT_CONTEXT_Y
extern Prompt promptStay;     // INPUT_CONTEXT_X
extern Prompt promptSpur;     // INPUT_CONTEXT_B
extern Prompt promptSendHome; // INPUT_SWITCH_SHOULDER

// Builds one prompt bound to the named input and labelled with the text; the
// new handle goes into *prompt. The prompt is left disabled and hidden.
void createPrompt(Prompt* prompt, const char* inputName, const char* text);

// Builds the four prompts from the settings texts, in the order follow, stay,
// spur away, send home, and gives the send-home prompt priority.
void createCommandPrompts(const PromptTexts& texts);
