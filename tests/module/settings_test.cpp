// The settings reader: which text each line of Velkor.dat yields, and that
// neither a missing file nor a lack of memory stops it.
#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <new>
#include <string>

#include "prompts/prompts.h"
#include "settings/settings.h"
#include "standin/allocations.h"
#include "tests/support/module_fixture.h"

using ::testing::Each;
using ::testing::IsEmpty;
using testsupport::ModuleTest;

namespace {

class SettingsTest : public ModuleTest {
  protected:
    PromptTexts read(const std::string& bytes) {
        writeSettings(bytes);
        return readSettings();
    }
};

TEST_F(SettingsTest, EachLineGivesTheTextAfterItsFirstEquals) {
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        const char* what;
        std::string file;
        PromptTexts texts;
    } cases[] = {
        {"plain",
         "Follow=Follow me\nStay=Stay here\nSpur=Off you go\nHome=Go home\n",
         {"Follow me", "Stay here", "Off you go", "Go home"}},
        {"CR LF line ends",
         "F=Follow me\r\nS=Stay here\r\nP=Off you go\r\nH=Go home\r\n",
         {"Follow me", "Stay here", "Off you go", "Go home"}},
        {"no final LF", "F=a\nS=b\nP=c\nH=Go home", {"a", "b", "c", "Go home"}},
        {"no final LF after CR LF", "F=a\r\nS=b\r\nP=c\r\nH=d", {"a", "b", "c", "d"}},
        {"byte-order mark and =", bom + "Follow=Follow me\nS=b\nP=c\nH=d\n", {"Follow me", "b", "c", "d"}},
        {"byte-order mark without =", bom + "Follow me\nS=b\nP=c\nH=d\n", {bom + "Follow me", "b", "c", "d"}},
        {"further = belong to the value", "A=B=C\nS==\nP=x=\nH=d\n", {"B=C", "=", "x=", "d"}},
        {"a line without = is the text",
         "Follow me\nStay here\nP=c\nH=d\n",
         {"Follow me", "Stay here", "c", "d"}},
        {"= alone and empty lines", "=\n\nP=\nH=d\n", {"", "", "", "d"}},
        {"spaces stay", "Follow = Follow me \nS=  \nP=c\nH=d\n", {" Follow me ", "  ", "c", "d"}},
        {"a fifth line has no effect", "F=a\nS=b\nP=c\nH=d\nX=e\nY=f\n", {"a", "b", "c", "d"}},
        {"two lines", "F=a\nS=b\n", {"a", "b", "", ""}},
        {"one line, no LF", "F=a", {"a", "", "", ""}},
        {"empty file", "", {"", "", "", ""}},
        {"lone CR stays", "F=x\ry\nS=\rb\nP=c\r\r\nH=d\n", {"x\ry", "\rb", "c\r", "d"}},
        {"a CR at the end of the file stays", "F=a\r\nS=b\nP=c\nH=d\r", {"a", "b", "c", "d\r"}},
        {"Ctrl-Z ends the file mid-line", "F=a\nS=b\x1Ax\nP=c\nH=d\n", {"a", "b", "", ""}},
        {"Ctrl-Z at a line start", "F=a\n\x1AS=b\nP=c\nH=d\n", {"a", "", "", ""}},
        {"8-bit bytes pass unchanged", "F=\xE9t\xE9\xFF\nS=b\nP=c\nH=d\n", {"\xE9t\xE9\xFF", "b", "c", "d"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(read(c.file), c.texts);
    }
}

TEST_F(SettingsTest, ALongLineIsReadInFull) {
    const std::string longText(20000, 'x');
    const std::string mixed = std::string(3000, 'a') + "=" + std::string(5000, 'b');
    EXPECT_EQ(read("F=" + longText + "\r\nS=" + mixed + "\nP=c\nH=d"),
              (PromptTexts{longText, mixed, "c", "d"}));
}

TEST_F(SettingsTest, ANulByteStaysInTheTextButEndsTheLabel) {
    const std::string withNul("ab\0cd", 5);
    writeSettings("F=" + withNul + "\nS=b\nP=c\nH=d\n");
    EXPECT_EQ(readSettings(), (PromptTexts{withNul, "b", "c", "d"}));
    start(1);
    ASSERT_NE(game().promptFor("INPUT_CONTEXT_Y"), nullptr);
    EXPECT_EQ(game().promptFor("INPUT_CONTEXT_Y")->text, "ab");
    EXPECT_EQ(game().promptFor("INPUT_CONTEXT_X")->text, "b");
}

TEST_F(SettingsTest, AMissingOrUnreadableFileGivesFourEmptyTexts) {
    EXPECT_THAT(readSettings(), Each(IsEmpty()));
    EXPECT_THAT(readSettingsFrom((scratch + "/no/such/dir/Velkor.dat").c_str()), Each(IsEmpty()));
    ASSERT_EQ(mkdir((scratch + "/Velkor.dat").c_str(), 0755), 0);
    EXPECT_THAT(readSettings(), Each(IsEmpty()));
}

TEST_F(SettingsTest, TheFileIsLookedUpInTheWorkingDirectory) {
    writeSettings("F=here\nS=b\nP=c\nH=d\n");
    ASSERT_EQ(mkdir((scratch + "/sub").c_str(), 0755), 0);
    ASSERT_EQ(chdir((scratch + "/sub").c_str()), 0);
    EXPECT_THAT(readSettings(), Each(IsEmpty()));
    ASSERT_EQ(chdir(scratch.c_str()), 0);
    EXPECT_EQ(readSettings()[0], "here");
}

// Reads with the allocator armed; records whether an exception got out.
PromptTexts readWithFailure(long allowed, bool sticky, bool& escaped, bool& fired) {
    PromptTexts texts;
    escaped = false;
    try {
        standin::failAllocationsAfter(allowed, sticky);
        texts = readSettings();
        standin::stopFailingAllocations();
    } catch (...) {
        standin::stopFailingAllocations();
        escaped = true;
    }
    fired = standin::allocationFailed();
    return texts;
}

TEST_F(SettingsTest, RunningOutOfMemoryEndsReadingLikeAReadError) {
    // Every line long enough to need memory of its own.
    const std::string keys[4] = {"Follow", "Stay", "Spur", "Home"};
    const std::string values[4] = {std::string(20000, 'x'), std::string(40, 'y'), std::string(9000, 'z'),
                                   std::string(30, 'w')};
    std::string file;
    for (int i = 0; i < 4; ++i) {
        file += keys[i] + "=" + values[i] + "\n";
    }
    writeSettings(file);

    for (bool sticky : {false, true}) {
        bool sawAllEmpty = false, sawFirstLinePartial = false, sawLaterLineFailing = false;
        long allowed = 0;
        for (;; ++allowed) {
            SCOPED_TRACE(testing::Message() << (sticky ? "sticky" : "one") << " failure after " << allowed);
            ASSERT_LT(allowed, 1000) << "reading never stopped allocating";
            bool escaped = false, fired = false;
            const PromptTexts texts = readWithFailure(allowed, sticky, escaped, fired);
            EXPECT_FALSE(escaped);
            if (!fired) {
                EXPECT_EQ(texts, (PromptTexts{values[0], values[1], values[2], values[3]}));
                break;
            }
            // Complete texts up to the line in progress, which holds what was
            // read of it (from its key, or from its value), and nothing after.
            std::size_t line = 0;
            while (line < 4 && texts[line] == values[line]) {
                ++line;
            }
            ASSERT_LT(line, 4u) << "a failure left every text complete";
            const std::string& partial = texts[line];
            const bool prefixOfValue = values[line].compare(0, partial.size(), partial) == 0;
            const bool prefixOfKey = keys[line].compare(0, partial.size(), partial) == 0;
            EXPECT_TRUE(prefixOfValue || prefixOfKey) << "line " << line << ": " << partial.substr(0, 40);
            for (std::size_t later = line + 1; later < 4; ++later) {
                EXPECT_THAT(texts[later], IsEmpty()) << "line " << later;
            }
            sawAllEmpty |= line == 0 && partial.empty();
            sawFirstLinePartial |= line == 0 && !partial.empty();
            sawLaterLineFailing |= line > 0;
        }
        EXPECT_TRUE(sawAllEmpty);
        EXPECT_TRUE(sawFirstLinePartial);
        EXPECT_TRUE(sawLaterLineFailing);
    }
}

} // namespace
