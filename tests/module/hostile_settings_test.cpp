// A Velkor.dat that is not a text file of four lines: a directory, a file
// that cannot be read, empty, random bytes, one line of 100 MB, NULs and lone
// CRs. The module never fails on it: what it can read becomes the prompt
// texts as the line rule gives them, the rest are empty, and the four
// prompts are made whatever the file.
#include <gmock/gmock.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "settings/settings.h"
#include "tests/support/gang_world.h"
#include "tests/support/settings_model.h"

using namespace gangworld;
using ::testing::Each;

namespace {

const char* const inputs[4] = {"INPUT_CONTEXT_Y", "INPUT_CONTEXT_X", "INPUT_CONTEXT_B",
                               "INPUT_SWITCH_SHOULDER"};

class HostileSettingsTest : public GangWorldTest {
  protected:
    std::string path() const { return scratch + "/Velkor.dat"; }

    // Starts the module and returns the texts of its four prompts as the game
    // holds them (a text ends at its first NUL on the way to the game).
    std::vector<std::string> promptTexts() {
        start(1);
        std::vector<std::string> texts;
        for (const char* input : inputs) {
            const standin::PromptState* prompt = game().promptFor(input);
            EXPECT_NE(prompt, nullptr) << input;
            if (prompt != nullptr) {
                EXPECT_TRUE(prompt->registered) << input;
                texts.push_back(prompt->text);
            }
        }
        return texts;
    }

    static std::vector<std::string> upToNul(const std::array<std::string, 4>& texts) {
        std::vector<std::string> cut;
        for (const std::string& text : texts) {
            cut.push_back(text.substr(0, text.find('\0')));
        }
        return cut;
    }

    // The reader's texts must be those of the line rule, exactly.
    void expectReadAsTheRuleSays(const std::string& bytes) {
        writeSettings(bytes);
        const PromptTexts read = readSettingsFrom(path().c_str());
        const auto rule = settingsmodel::textsOf(bytes);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(read[i], rule[i]) << "text " << i << " of " << settingsmodel::escaped(bytes);
        }
    }
};

TEST_F(HostileSettingsTest, ADirectoryGivesEmptyTexts) {
    ASSERT_EQ(mkdir(path().c_str(), 0755), 0);
    EXPECT_THAT(readSettingsFrom(path().c_str()), Each(IsEmpty()));
    EXPECT_THAT(promptTexts(), ElementsAre("", "", "", ""));
}

TEST_F(HostileSettingsTest, LinksThatLeadNowhereGiveEmptyTexts) {
    // A link to itself cannot be opened, even by root; nor can a dangling one.
    ASSERT_EQ(symlink("Velkor.dat", path().c_str()), 0);
    EXPECT_THAT(readSettingsFrom(path().c_str()), Each(IsEmpty()));
    ASSERT_EQ(std::remove(path().c_str()), 0);
    ASSERT_EQ(symlink("gone/Velkor.dat", path().c_str()), 0);
    EXPECT_THAT(readSettingsFrom(path().c_str()), Each(IsEmpty()));
    EXPECT_THAT(promptTexts(), ElementsAre("", "", "", ""));
}

TEST_F(HostileSettingsTest, AFileWithoutReadPermissionGivesEmptyTexts) {
    writeSettings("Follow=Follow me\nStay=Stay here\nSpur=Off you go\nHome=Go home\n");
    ASSERT_EQ(chmod(path().c_str(), 0), 0);
    ASSERT_EQ(chmod(scratch.c_str(), 0711), 0); // others may pass through, not list
    const int probe = open(path().c_str(), O_RDONLY);
    if (probe < 0) {
        EXPECT_THAT(readSettingsFrom(path().c_str()), Each(IsEmpty()));
        EXPECT_THAT(promptTexts(), ElementsAre("", "", "", ""));
        return;
    }
    close(probe);
    // Root reads any file: read it as nobody, in a child process.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            _exit(77);
        }
        if (access(path().c_str(), R_OK) == 0) {
            _exit(78);
        }
        const PromptTexts texts = readSettingsFrom(path().c_str());
        bool empty = true;
        for (const std::string& text : texts) {
            empty = empty && text.empty();
        }
        _exit(empty ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the reader died in the child: status " << status;
    if (WEXITSTATUS(status) == 77 || WEXITSTATUS(status) == 78) {
        GTEST_SKIP() << "running as root, the file stays readable, and no unprivileged user to read it as";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0) << "an unreadable file gave texts";
}

TEST_F(HostileSettingsTest, AnEmptyFileGivesEmptyTextsAndTheFourPrompts) {
    writeSettings("");
    EXPECT_THAT(readSettingsFrom(path().c_str()), Each(IsEmpty()));
    EXPECT_THAT(promptTexts(), ElementsAre("", "", "", ""));
    EXPECT_EQ(calls("promptRegisterEnd").size(), 4u);
}

TEST_F(HostileSettingsTest, RandomBytesAreReadByTheLineRule) {
    std::mt19937 random(1729);
    // Plain random bytes, and bytes heavy with the ones the rule is about.
    const char special[] = {'\n', '\r', '=', '\x1A', '\0', '\xFF'};
    for (std::size_t size : {1u, 7u, 300u, 4096u, 65536u}) {
        for (int heavy = 0; heavy < 2; ++heavy) {
            std::string bytes(size, '\0');
            for (char& c : bytes) {
                c = heavy != 0 && random() % 4 == 0 ? special[random() % sizeof special]
                                                    : static_cast<char>(random() & 0xFF);
            }
            expectReadAsTheRuleSays(bytes);
        }
    }
    // The module hands the texts on as they are, up to a NUL.
    std::string bytes(4096, '\0');
    for (char& c : bytes) {
        c = random() % 8 == 0 ? '\n' : static_cast<char>(random() & 0xFF);
    }
    writeSettings(bytes);
    EXPECT_EQ(promptTexts(), upToNul(settingsmodel::textsOf(bytes)));
}

TEST_F(HostileSettingsTest, A100MegabyteLineIsReadWhole) {
    constexpr std::size_t length = 100u * 1024u * 1024u;
    {
        std::ofstream file(path(), std::ios::binary);
        file << "Follow=";
        std::string chunk(1 << 20, 'x');
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            chunk[i] = static_cast<char>('a' + i % 26);
        }
        for (std::size_t written = 0; written < length; written += chunk.size()) {
            file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        }
        file << "\r\nStay=Stay here\nSpur=Off you go\nHome=Go home";
        ASSERT_TRUE(file.good());
    }
    const PromptTexts read = readSettingsFrom(path().c_str());
    // Memory permitting (the reader gives up a line it cannot hold), the line
    // is read in full and the lines after it as usual.
    ASSERT_EQ(read[0].size(), length);
    bool pattern = true;
    for (std::size_t i = 0; i < length && pattern; i += 4093) {
        pattern = read[0][i] == static_cast<char>('a' + (i % (1 << 20)) % 26);
    }
    EXPECT_TRUE(pattern);
    EXPECT_EQ(read[1], "Stay here");
    EXPECT_EQ(read[2], "Off you go");
    EXPECT_EQ(read[3], "Go home");

    const std::vector<std::string> shown = promptTexts();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_TRUE(shown[0] == read[0]) << "the 100 MB text reached the game as " << shown[0].size() << " bytes";
    EXPECT_EQ(shown[3], "Go home");
}

TEST_F(HostileSettingsTest, NulsAndLoneCarriageReturnsStayInTheirLines) {
    using namespace std::string_literals;
    struct Case {
        std::string bytes;
        std::array<std::string, 4> texts;
    };
    const Case cases[] = {
        {std::string(1 << 20, '\0'), {std::string(1 << 20, '\0'), "", "", ""}},
        {std::string(1000, '\r'), {std::string(1000, '\r'), "", "", ""}},
        {"Follow=a\rStay=b\rSpur=c\rHome=d\r"s, {"a\rStay=b\rSpur=c\rHome=d\r", "", "", ""}},
        {"\r\r\n\r\n\n\r"s, {"\r", "", "", "\r"}},
        {"Follow=\0\r\0\r\nStay=\r\r\n\0=x\n=\r"s, {"\0\r\0"s, "\r", "x", "\r"}},
        {"\0\0=\0\n\0\n\0\0\0\0\n\0\0=\0"s, {"\0"s, "\0"s, "\0\0\0\0"s, "\0"s}},
        {"Follow=a\r\x1A\nStay=b\n"s, {"a\r", "", "", ""}},
    };
    for (const Case& c : cases) {
        writeSettings(c.bytes);
        const PromptTexts read = readSettingsFrom(path().c_str());
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(read[i], c.texts[i]) << "text " << i << " of " << settingsmodel::escaped(c.bytes);
        }
        expectReadAsTheRuleSays(c.bytes); // the rule written out agrees
    }
    writeSettings("Follow=\0hidden\r\nStay=\r\r\nSpur=c\rd\nHome=\0"s);
    EXPECT_THAT(promptTexts(), ElementsAre("", "\r", "c\rd", ""));
}

} // namespace
