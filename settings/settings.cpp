#include "settings/settings.h"

#include <fstream>
#include <new>

namespace {

// Reads one line the way a Windows text-mode stream delivers it: a CR right
// before the LF is dropped, and a Ctrl-Z byte ends the file. The Windows C
// runtime does both itself; elsewhere they are done here so that every build
// sees the same texts.
void readLine(std::ifstream& file, std::string& text) {
    text.clear();
    if (!file.good()) {
        return;
    }
    std::getline(file, text, '\n');
#ifndef _WIN32
    const std::string::size_type ctrlZ = text.find('\x1A');
    if (ctrlZ != std::string::npos) {
        text.erase(ctrlZ);
        file.setstate(std::ios::eofbit);
        return;
    }
    if (!file.eof() && !text.empty() && text.back() == '\r') {
        text.pop_back();
    }
#endif
}

// The value is everything after the first '='; a line without one is kept
// whole. erase() never allocates.
void keepValue(std::string& text) {
    const std::string::size_type equals = text.find('=');
    if (equals != std::string::npos) {
        text.erase(0, equals + 1);
    }
}

} // namespace

PromptTexts readSettingsFrom(const char* path) {
    PromptTexts texts;
    std::size_t line = 0;
    // Running out of memory (a huge line) ends reading like a read error: the
    // line in progress ends where it got to and later texts stay empty. An
    // exception must never leave the script.
    try {
        std::ifstream file(path);
        for (; line < texts.size(); ++line) {
            readLine(file, texts[line]);
            keepValue(texts[line]);
        }
    } catch (const std::bad_alloc&) {
        if (line < texts.size()) {
            keepValue(texts[line]);
        }
    }
    return texts;
}

PromptTexts readSettings() { return readSettingsFrom("Velkor.dat"); }
