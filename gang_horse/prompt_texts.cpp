// Where the prompt texts live while the module is loaded: in the module's own
// static storage, not in the script main's frame. The host drops a script
// without unwinding it (a game reload, a module reload in developer mode), so
// texts held in its frame would stay on the heap for good; here the next
// set-up takes the place of the texts of the script before it, and DllMain's
// detach gives them back before the library goes.
#include <new>
#include <utility>

#include "gang_horse/gang_horse.h"

namespace {

// Zero at load like every module global: no constructor runs before DllMain.
alignas(PromptTexts) unsigned char textStorage[sizeof(PromptTexts)];
bool textsBuilt;

PromptTexts& keptTexts() { return *std::launder(reinterpret_cast<PromptTexts*>(textStorage)); }

} // namespace

const PromptTexts& keepPromptTexts(PromptTexts&& texts) {
    if (textsBuilt) {
        keptTexts() = std::move(texts); // frees the texts of a script the host dropped
    } else {
        ::new (static_cast<void*>(textStorage)) PromptTexts(std::move(texts));
        textsBuilt = true;
    }
    return keptTexts();
}

void releasePromptTexts() {
    if (textsBuilt) {
        keptTexts().~PromptTexts();
        textsBuilt = false;
    }
}
