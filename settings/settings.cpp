#include "settings/settings.h"

#include <cstdio>
#include <cstring>
#include <new>

// The file is read with the C library's streams, not the C++ file streams:
// the first use of those sets up the stream locale, and in a MinGW-built
// module that leaves two thread handles and a TLS slot behind at every unload
// (developer-mode reloads). fopen opens in text mode and locks nobody out,
// as the file streams do.

namespace {

// The file, read a block at a time; a line may span several blocks.
struct LineReader {
    std::FILE* file;
    char block[4096];
    std::size_t next; // the first byte of block not yet taken
    std::size_t size; // the bytes in block
    bool ended;       // the end of the file, a read error or (outside Windows) a Ctrl-Z
};

bool refill(LineReader& r) {
    r.next = 0;
    r.size = r.ended ? 0 : std::fread(r.block, 1, sizeof r.block, r.file);
    r.ended = r.size == 0;
    return !r.ended;
}

// Reads one line the way a Windows text-mode stream delivers it: a CR right
// before the LF is dropped, and a Ctrl-Z byte ends the file. The Windows C
// runtime does both itself; elsewhere they are done here so that every build
// sees the same texts. Once the file has ended, every line is empty.
void readLine(LineReader& r, std::string& text) {
    text.clear();
    for (;;) {
        if (r.next == r.size && !refill(r)) {
            return; // the last line ends with the file, a CR and all
        }
        const char* const start = r.block + r.next;
        const std::size_t left = r.size - r.next;
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', left));
        const std::size_t length = lf != nullptr ? static_cast<std::size_t>(lf - start) : left;
#ifndef _WIN32
        if (const void* ctrlZ = std::memchr(start, '\x1A', length)) {
            text.append(start, static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - start));
            r.ended = true;
            r.next = r.size = 0;
            return;
        }
#endif
        text.append(start, length);
        if (lf == nullptr) {
            r.next = r.size;
            continue;
        }
        r.next += length + 1;
#ifndef _WIN32
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
#endif
        return;
    }
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
    LineReader reader;
    reader.file = std::fopen(path, "r");
    reader.next = reader.size = 0;
    reader.ended = reader.file == nullptr;
    std::size_t line = 0;
    // Running out of memory (a huge line) ends reading like a read error: the
    // line in progress ends where it got to and later texts stay empty. An
    // exception must never leave the script.
    try {
        for (; line < texts.size(); ++line) {
            readLine(reader, texts[line]);
            keepValue(texts[line]);
        }
    } catch (const std::bad_alloc&) {
        if (line < texts.size()) {
            keepValue(texts[line]);
        }
    }
    if (reader.file != nullptr) {
        std::fclose(reader.file);
    }
    return texts;
}

PromptTexts readSettings() { return readSettingsFrom("Velkor.dat"); }
