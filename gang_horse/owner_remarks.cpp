#include "gang_horse/gang_horse.h"
#include "host/natives.h"

bool remarkDone[gangHorseModelCount];

namespace {

struct OwnerRemark {
    const char* model;
    const char* line; // nullptr: the owner has no line
};

const OwnerRemark ownerRemarks[gangHorseModelCount] = {
    {"A_C_HORSE_GANG_JAVIER", "Take_Horse_Javier"}, {"A_C_HORSE_GANG_KAREN", nullptr},
    {"A_C_HORSE_GANG_DUTCH", "Take_Horse_Dutch"},   {"A_C_HORSE_GANG_UNCLE", nullptr},
    {"A_C_HORSE_GANG_LENNY", "Take_Horse_Lenny"},   {"A_C_HORSE_GANG_CHARLES", "Take_Horse_Charles"},
    {"A_C_HORSE_GANG_BILL", "Take_Horse_Bill"},     {"A_C_HORSE_GANG_SADIE", "Take_Horse_Sadie"},
    {"A_C_HORSE_GANG_MICAH", "Take_Horse_Micah"},   {"A_C_HORSE_GANG_KIERAN", nullptr},
    {"A_C_HORSE_GANG_HOSEA", "Take_Horse_Hosea"},   {"A_C_HORSE_GANG_JOHN", "Take_Horse_John"},
    {"A_C_HORSE_GANG_TRELAWNEY", nullptr},          {"A_C_HORSE_GANG_SEAN", "Take_Horse_Sean"},
};

} // namespace

void sayPlayerLine(MainState& s, const char* line) {
    const Hash params = getHashKey("SPEECH_PARAMS_BEAT_SHOUTED_CLEAR_NOSUB");
    SpeechParams& speech = s.speech;
    speech.speechLine = line;
    speech.voiceName = nullptr;
    speech.variation = 0;
    speech.paramsHash = params;
    speech.listener = 0;
    speech.slot6 = 1;
    speech.slot7 = 1;
    speech.slot8 = 1;
    const Ped player = playerPedId();
    playPedAmbientSpeech(player, &speech);
}

void playOwnerRemarks(MainState& s) {
    for (int row = 0; row < gangHorseModelCount; ++row) {
        const OwnerRemark& remark = ownerRemarks[row];
        const Hash mountModel = getEntityModel(s.playerMount);
        const Hash ownerModel = getHashKey(remark.model);
        if (mountModel != ownerModel || remarkDone[row]) {
            continue;
        }
        nativeDC19C288(s.playerMount);
        if (remark.line != nullptr) {
            scriptWait(1000);
            sayPlayerLine(s, remark.line);
        }
        native2EB75FB8(s.playerMount);
        s.lastRemarkTime = getGameTimer();
        remarkDone[row] = true;
    }
}
