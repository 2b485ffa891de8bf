#include "gang_horse/gang_horse.h"
#include "host/natives.h"

bool remarkDone[gangHorseModelCount];

namespace {

struct OwnerRemark {
    int model;        // the model's place in the set-up's table of gang horse models
    const char* line; // nullptr: the owner has no line
};

// In the order the rows are tested.
const OwnerRemark ownerRemarks[gangHorseModelCount] = {
    {0, "Take_Horse_Javier"},  // A_C_HORSE_GANG_JAVIER
    {4, nullptr},              // A_C_HORSE_GANG_KAREN
    {1, "Take_Horse_Dutch"},   // A_C_HORSE_GANG_DUTCH
    {12, nullptr},             // A_C_HORSE_GANG_UNCLE
    {9, "Take_Horse_Lenny"},   // A_C_HORSE_GANG_LENNY
    {3, "Take_Horse_Charles"}, // A_C_HORSE_GANG_CHARLES
    {2, "Take_Horse_Bill"},    // A_C_HORSE_GANG_BILL
    {10, "Take_Horse_Sadie"},  // A_C_HORSE_GANG_SADIE
    {6, "Take_Horse_Micah"},   // A_C_HORSE_GANG_MICAH
    {8, nullptr},              // A_C_HORSE_GANG_KIERAN
    {5, "Take_Horse_Hosea"},   // A_C_HORSE_GANG_HOSEA
    {11, "Take_Horse_John"},   // A_C_HORSE_GANG_JOHN
    {13, nullptr},             // A_C_HORSE_GANG_TRELAWNEY
    {7, "Take_Horse_Sean"},    // A_C_HORSE_GANG_SEAN
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
    const Hash mountModel = getEntityModel(s.playerMount);
    for (int row = 0; row < gangHorseModelCount; ++row) {
        const OwnerRemark& remark = ownerRemarks[row];
        if (mountModel != s.gangHorseModels[remark.model] || remarkDone[row]) {
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
