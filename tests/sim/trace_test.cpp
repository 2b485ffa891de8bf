// The trace: one JSON object per host or native call, in the order made,
// with every slot written by what it holds and never by an address.
#include <gmock/gmock.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "standin/catalogue.h"
#include "tests/support/scenario_runs.h"

namespace {

using Json = nlohmann::ordered_json; // keeps the order of the fields as written

std::string traceOf(const std::string& yaml) { return simtest::runYaml(yaml, "trace.yaml").trace; }

// The first native call with that label at or after the game time, or null.
const Json* findCall(const std::vector<Json>& lines, const char* label, std::int64_t fromTime = 0) {
    for (const Json& line : lines) {
        if (line.contains("native") && line["native"] == label &&
            line["time"].get<std::int64_t>() >= fromTime)
            return &line;
    }
    return nullptr;
}

std::string hex64(std::uint64_t value) { return standin::hex64(value); }

// 20 frames a second from game time 5000: a frame's time is 5000 + 50 * frame.
// Dutch's horse is aimed at (a blip), ridden (its blip removed in every pass),
// left and told to follow (a line); then a camp starts (a long wait, and the
// world's peds listed).
const std::string tour = R"(name: Trace tour
duration: 13s
fps: 20
start_time: 5000
world:
  player: {position: [1, 2, 3]}
  missions_completed: [MUD1]
  peds:
    - {name: dutch_horse, handle: 2001, model: A_C_HORSE_GANG_DUTCH, position: [10.5, -2.25, 3]}
events:
  - {at: 500ms, target: dutch_horse}
  - {at: 1s, mount: dutch_horse}
  - {at: 1500ms, mount: null}
  - {at: 2s, prompt: follow}
  - {at: 2500ms, camp: camp_lakay}
)";

class SimTrace : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { lines_ = new std::vector<Json>(simtest::jsonLines<Json>(traceOf(tour))); }
    static void TearDownTestSuite() {
        delete lines_;
        lines_ = nullptr;
    }
    const std::vector<Json>& lines() const { return *lines_; }
    static std::vector<Json>* lines_;
};
std::vector<Json>* SimTrace::lines_ = nullptr;

TEST_F(SimTrace, EveryLineHasItsFrameAndGameTimeInOrder) {
    ASSERT_GT(lines().size(), 1000u);
    std::int64_t lastFrame = 0;
    for (const Json& line : lines()) {
        ASSERT_TRUE(line["frame"].is_number_integer()) << line;
        ASSERT_TRUE(line["time"].is_number_integer()) << line;
        const std::int64_t frame = line["frame"];
        EXPECT_GE(frame, lastFrame) << line;
        EXPECT_EQ(line["time"].get<std::int64_t>(), 5000 + 50 * frame) << line;
        EXPECT_NE(line.contains("native"), line.contains("host")) << line;
        lastFrame = frame;
    }
    // Fields in a fixed order: frame, time, then what was called.
    EXPECT_EQ(lines().front().dump(), R"({"frame":0,"time":5000,"host":"scriptRegister"})");
}

TEST_F(SimTrace, NativeCallsHaveLabelHashOneArgumentPerSlotAndAResultWhenThereIsOne) {
    const std::regex slot("0x[0-9A-F]{16}");
    const std::regex ptr("0x[0-9A-F]{8}");
    for (const Json& line : lines()) {
        if (!line.contains("native"))
            continue;
        const standin::NativeInfo* info = standin::findNativeByLabel(line["native"].get<std::string>());
        ASSERT_NE(info, nullptr) << line;
        EXPECT_EQ(line["hash"], hex64(info->hash)) << line;
        const Json& args = line["args"];
        ASSERT_TRUE(args.is_array()) << line;
        ASSERT_EQ(args.size(), std::strlen(info->slots)) << line;
        for (std::size_t k = 0; k < args.size(); ++k) {
            const Json& arg = args[k];
            switch (info->slots[k]) {
            case 's':
                EXPECT_TRUE(arg.size() == 1 && arg.contains("text")) << line;
                break;
            case 'v':
                EXPECT_TRUE(arg.size() == 1 && arg["varString"].is_string()) << line;
                break;
            case 'o':
                EXPECT_TRUE(arg.size() == 1 && std::regex_match(arg["ptr"].get<std::string>(), ptr)) << line;
                break;
            case 'r':
                EXPECT_TRUE(arg.size() == 1 && arg["speech"].size() == 8) << line;
                break;
            default:
                EXPECT_TRUE(arg.is_string() && std::regex_match(arg.get<std::string>(), slot)) << line;
            }
        }
        switch (info->result) {
        case standin::ResultKind::None:
            EXPECT_FALSE(line.contains("result")) << line;
            break;
        case standin::ResultKind::Vector3:
            EXPECT_TRUE(line["result"].is_array() && line["result"].size() == 3) << line;
            break;
        default:
            EXPECT_TRUE(std::regex_match(line["result"].get<std::string>(), slot)) << line;
        }
    }
}

TEST_F(SimTrace, HostCallsHaveTheirArgumentsByName) {
    std::set<std::string> seen;
    for (const Json& line : lines()) {
        if (!line.contains("host"))
            continue;
        const std::string host = line["host"];
        seen.insert(host);
        if (host == "scriptWait") {
            EXPECT_EQ(line.size(), 4u) << line;
            EXPECT_TRUE(line["waitMs"].is_number_integer()) << line;
        } else if (host == "worldGetAllPeds") {
            // The player and the horse.
            EXPECT_EQ(line.dump().substr(line.dump().find("\"host\"")),
                      R"("host":"worldGetAllPeds","capacity":1024,"count":2})");
        } else {
            EXPECT_EQ(line.size(), 3u) << line;
        }
    }
    EXPECT_EQ(seen,
              (std::set<std::string>{"scriptRegister", "keyboardHandlerRegister", "scriptMain", "scriptWait",
                                     "worldGetAllPeds", "scriptUnregister", "keyboardHandlerUnregister"}));
    bool settle = false;
    for (const Json& line : lines())
        settle = settle || (line.contains("waitMs") && line["waitMs"] == 10000 && line["time"] == 7500);
    EXPECT_TRUE(settle) << "the camp's settle wait at 00:02.500";
}

TEST_F(SimTrace, TextsAndGameStringsAreWrittenByContent) {
    const Json* hash = findCall(lines(), "getHashKey");
    ASSERT_NE(hash, nullptr);
    EXPECT_EQ(hash->at("args"), Json::parse(R"([{"text":"A_C_HORSE_GANG_JAVIER"}])"));
    EXPECT_EQ(hash->at("result"), hex64(standin::joaat("A_C_HORSE_GANG_JAVIER")));

    // The shipped Velkor.dat labels the follow prompt "Follow me".
    const Json* text = findCall(lines(), "createVarString");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->at("args"),
              Json::parse(R"(["0x000000000000000A",{"text":"LITERAL_STRING"},{"text":"Follow me"}])"));
    const Json* label = findCall(lines(), "promptSetText");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->at("args")[1], Json::parse(R"({"varString":"Follow me"})"));

    const Json* name = findCall(lines(), "setBlipName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->at("args")[1], Json::parse(R"({"text":"Gang Horse"})"));
}

TEST_F(SimTrace, OutParametersAreWrittenByTheValueThereAtTheCall) {
    // The blip added at 00:00.500 is removed in every pass while ridden.
    const Json* added = findCall(lines(), "blipAddForEntity");
    ASSERT_NE(added, nullptr);
    const Json* removed = findCall(lines(), "removeBlip", 6000);
    ASSERT_NE(removed, nullptr);
    const std::string blip = added->at("result").get<std::string>();
    EXPECT_EQ(removed->at("args")[0], Json({{"ptr", "0x" + blip.substr(10)}}));
    const Json* again = findCall(lines(), "removeBlip", removed->at("time").get<std::int64_t>() + 1);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->at("args")[0], Json::parse(R"({"ptr":"0x00000000"})")) << "removeBlip cleared it";

    // The target variable: empty until the game first fills it with the horse.
    const Json* first = findCall(lines(), "getPlayerTargetEntity", 5500);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->at("args")[1], Json::parse(R"({"ptr":"0x00000000"})"));
    EXPECT_EQ(first->at("result"), hex64(1));
    const Json* second = findCall(lines(), "getPlayerTargetEntity", 5550);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->at("args")[1], Json::parse(R"({"ptr":"0x000007D1"})"));
}

TEST_F(SimTrace, TheSpeechRecordIsWrittenFieldByField) {
    const Json* speech = findCall(lines(), "playPedAmbientSpeech");
    ASSERT_NE(speech, nullptr);
    EXPECT_EQ(speech->at("time"), 7000);
    EXPECT_EQ(speech->at("args")[0], hex64(100)) << "the player speaks";
    const Json expected = {{"speech",
                            {{"speechLine", "HORSE_FOLLOW_ME_MALE"},
                             {"voiceName", nullptr},
                             {"variation", hex64(0)},
                             {"paramsHash", hex64(standin::joaat("SPEECH_PARAMS_BEAT_SHOUTED_CLEAR_NOSUB"))},
                             {"listener", hex64(0)},
                             {"slot6", hex64(1)},
                             {"slot7", hex64(1)},
                             {"slot8", hex64(1)}}}};
    EXPECT_EQ(speech->at("args")[1], expected) << "field by field, in the record's order";
}

TEST_F(SimTrace, NumbersAreWholeSlotsAndVectorsAreNumbers) {
    const Json* box = findCall(lines(), "isEntityAtCoord");
    ASSERT_NE(box, nullptr);
    // The box sizes 10, 20, 10 as float bit patterns, then 0, 1, 0.
    EXPECT_EQ(box->at("args")[4], "0x0000000041200000");
    EXPECT_EQ(box->at("args")[5], "0x0000000041A00000");
    EXPECT_EQ(box->at("args")[8], "0x0000000000000001");

    bool horse = false;
    for (const Json& line : lines()) {
        if (line.contains("native") && line["native"] == "getEntityCoords" &&
            line["args"][0] == hex64(2001)) {
            EXPECT_EQ(line["result"], Json::parse("[10.5, -2.25, 3.0]")) << line;
            horse = true;
            break;
        }
    }
    EXPECT_TRUE(horse);
}

TEST(SimTraceRuns, ARunLeavesNothingBehindForTheNext) {
    // Remarks, prompts, blips and game strings all carry state in the module
    // or the world; a second run must not see the first one's.
    const std::string remark = R"(name: Remark
duration: 12s
world:
  camp_scripts: [camp_shadybelle]
  peds: [{name: h, model: A_C_HORSE_GANG_BILL}]
events:
  - {at: 1s, target: h}
  - {at: 2s, mount: h}
)";
    const std::string first = traceOf(remark);
    EXPECT_THAT(first, ::testing::HasSubstr("Take_Horse_Bill"));
    traceOf(tour);
    EXPECT_TRUE(traceOf(remark) == first);
}

} // namespace
