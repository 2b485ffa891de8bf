// The settings file: the texts of the four command prompts, one per line, in
// the order follow, stay, spur away, send home.
#pragma once

#include <array>
#include <string>

using PromptTexts = std::array<std::string, 4>;

// Reads "Velkor.dat" from the working directory. Never fails: a missing or
// unreadable line gives an empty text.
PromptTexts readSettings();

// The same, from the given path.
PromptTexts readSettingsFrom(const char* path);
