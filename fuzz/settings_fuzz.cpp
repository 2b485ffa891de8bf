// libFuzzer target: the reader of Velkor.dat. Each input is written to a file
// in a private directory (made once per process) and read back with
// readSettingsFrom. The reader must not crash, and its texts must be exactly
// those the plain rule in tests/support/settings_model.h gives for the bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings.h"
#include "tests/support/settings_model.h"

namespace {

std::string directory;
std::string path;

void removeScratch() {
    std::remove(path.c_str());
    rmdir(directory.c_str());
}

[[noreturn]] void mismatch(const std::string& bytes, const PromptTexts& got,
                           const std::array<std::string, 4>& want, const char* what) {
    std::fprintf(stderr, "settings reader: %s\n  input: %s\n", what, settingsmodel::escaped(bytes).c_str());
    for (std::size_t i = 0; i < got.size(); ++i) {
        std::fprintf(stderr, "  text %zu: read \"%s\", expected \"%s\"\n", i,
                     settingsmodel::escaped(got[i]).c_str(), settingsmodel::escaped(want[i]).c_str());
    }
    std::abort();
}

// A memory file system when there is one: creating and truncating a file on a
// disk costs far more than reading it back.
std::string scratchParent() {
    if (access("/dev/shm", W_OK | X_OK) == 0) {
        return "/dev/shm";
    }
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = scratchParent() + "/gh_fuzz_settings_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("settings fuzz: mkdtemp");
        std::abort();
    }
    directory = pattern;
    path = directory + "/Velkor.dat";
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::perror("settings fuzz: cannot write the input file");
        std::abort();
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const PromptTexts texts = readSettingsFrom(path.c_str());
    const auto expected = settingsmodel::textsOf(bytes);
    for (const std::string& text : texts) {
        if (text.find('\n') != std::string::npos) {
            mismatch(bytes, texts, expected, "a text holds a line feed");
        }
        if (text.find('\x1A') != std::string::npos) {
            mismatch(bytes, texts, expected, "a text holds a Ctrl-Z");
        }
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] != expected[i]) {
            mismatch(bytes, texts, expected, "the texts differ from the bytes' lines");
        }
    }
    return 0;
}
