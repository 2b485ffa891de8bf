#include "sim/scenario/reference.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <sstream>

#include "facts/module_facts.h"
#include "standin/catalogue.h"

namespace sim {

std::string upperCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

namespace {

// Lower case without underscores: "SET_ENTITY_COORDS" is near setEntityCoords.
std::string folded(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c != '_')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string code(const std::string& text) { return "`" + text + "`"; }

// Metres as the reference writes them: 10, 2.5.
std::string metres(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string slotWords(const char* slots) {
    std::string text;
    for (const char* k = slots; *k != '\0'; ++k)
        text += (text.empty() ? "" : " ") + std::string(1, *k);
    return text.empty() ? "none" : text;
}

} // namespace

const std::vector<std::string> gangHorseModels = [] {
    std::vector<std::string> models;
    for (const facts::GangHorse& horse : facts::gangHorses)
        models.push_back(horse.model);
    return models;
}();

const std::vector<std::string> campScriptNames(std::begin(facts::campScripts), std::end(facts::campScripts));

const std::vector<std::string> missionIds(std::begin(facts::missions), std::end(facts::missions));

const char* ownerLine(const std::string& model) {
    const auto it = std::find(gangHorseModels.begin(), gangHorseModels.end(), upperCase(model));
    return it == gangHorseModels.end() ? nullptr : facts::gangHorses[it - gangHorseModels.begin()].ownerLine;
}

bool isGangHorseModel(const std::string& model) {
    return std::find(gangHorseModels.begin(), gangHorseModels.end(), upperCase(model)) !=
           gangHorseModels.end();
}

std::vector<std::string> nativeLabels() {
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < standin::nativeCatalogueSize; ++i)
        labels.push_back(standin::nativeCatalogue[i].label);
    return labels;
}

std::vector<std::string> closestNames(const std::string& word, const std::vector<std::string>& names,
                                      std::size_t n) {
    const std::string key = folded(word);
    const std::size_t near = std::max<std::size_t>(2, key.size() / 4);
    // (distance, place in the list): nearest first, ties in the list's order.
    std::vector<std::pair<std::size_t, std::size_t>> ranked;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string other = folded(names[i]);
        const bool contains = !key.empty() && (other.find(key) != std::string::npos ||
                                               (!other.empty() && key.find(other) != std::string::npos));
        const std::size_t d = key == other ? 0 : contains ? 1 : editDistance(key, other);
        if (d <= near)
            ranked.emplace_back(d, i);
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<std::string> found;
    for (std::size_t i = 0; i < ranked.size() && i < n && ranked[i].first <= ranked[0].first + 1; ++i)
        found.push_back(names[ranked[i].second]);
    return found;
}

std::string unknownName(const std::string& what, const std::string& word,
                        const std::vector<std::string>& names) {
    const std::string head = "unknown " + what + " '" + word + "'";
    if (names.size() <= 8)
        return head + " (known: " + joined(names) + ")";
    const std::vector<std::string> near = closestNames(word, names);
    if (near.empty())
        return head + " (none is close; the " + std::to_string(names.size()) + ": " + joined(names) + ")";
    return head + " (closest: " + joined(near) + "; `gang-horse-sim reference` lists all " +
           std::to_string(names.size()) + ")";
}

std::string referenceText() {
    std::ostringstream out;
    out << "##### Gang horses\n\n"
           "The module treats these fourteen models as gang horses (`model:`, any case). Mounted in camp,\n"
           "each makes the player remark once, with its owner's line where there is one; the remarks come\n"
           "again once 15 minutes have passed without any.\n\n"
           "| model | owner's remark (`said:`) |\n|---|---|\n";
    for (const facts::GangHorse& horse : facts::gangHorses)
        out << "| " << code(horse.model) << " | " << (horse.ownerLine ? code(horse.ownerLine) : "none")
            << " |\n";

    out << "\n##### Commands\n\n"
           "Each prompt says a line on the player's ped, chosen by the borrowed horse's sex (`male:`). The\n"
           "whistle (`whistle: true`) says nothing: outside camp, unless the horse was sent home, it\n"
           "starts the follow.\n\n"
           "| `prompt:` | input | line, male horse / female horse | then |\n|---|---|---|---|\n";
    for (const facts::Command& c : facts::commands) {
        const std::string lines = std::string(c.maleLine) == c.femaleLine
                                      ? code(c.maleLine)
                                      : code(c.maleLine) + " / " + code(c.femaleLine);
        out << "| " << code(c.prompt) << " | " << code(c.input) << " | " << lines << " | " << c.then
            << " |\n";
    }

    out << "\n##### Camps\n\n"
           "In camp means that one of these camp scripts runs (`camp_scripts:`, `camp:`), wherever the\n"
           "player stands: ";
    for (std::size_t i = 0; i < std::size(facts::campScripts); ++i)
        out << (i == 0 ? "" : ", ") << code(facts::campScripts[i]);
    out << ".\n\n"
           "Where the camp stands, the place a horse sent home walks to, comes from the story alone\n"
           "(`missions_completed:`, `complete_mission:`), whichever camp script runs. The module asks\n"
           "about the missions ";
    for (std::size_t i = 0; i < std::size(facts::missions); ++i)
        out << (i == 0 ? "" : ", ") << code(facts::missions[i]);
    out << ":\n\n| completed | not completed | camp | position |\n|---|---|---|---|\n";
    for (const facts::CampRule& rule : facts::campRules) {
        char position[96];
        std::snprintf(position, sizeof position, "%.3f, %.3f, %.3f", static_cast<double>(rule.x),
                      static_cast<double>(rule.y), static_cast<double>(rule.z));
        out << "| " << code(rule.done) << " | " << code(rule.notDone) << " | " << rule.camp << " | "
            << position << " |\n";
    }
    out << "\n"
           "A later row that holds wins. When none holds, the camp stays where it was last placed; until\n"
           "one has held since the module loaded, no camp is known and send home does nothing. A horse\n"
           "sent home has arrived once it stands within "
        << metres(facts::campBox.x) << " m in x, " << metres(facts::campBox.y) << " m in y and "
        << metres(facts::campBox.z)
        << " m in z of the\n"
           "position; it then grazes at the `grazing_points` entry nearest the position within "
        << metres(facts::grazingSearchRadius)
        << " m, or\n"
           "where it stands when there is none.\n";

    out << "\n##### Native labels\n\n"
           "`native:` expectations and `--trace-omit` take these labels, with one `args` entry per slot\n"
           "(`i` a whole number, handle, hash or bool; `f` a float; `s` a text; `o` an out-parameter, "
           "matched\n"
           "by the value it held; `r` the speech record, matched by its line; `v` a game text).\n\n"
           "| label | hash | slots |\n|---|---|---|\n";
    for (std::size_t i = 0; i < standin::nativeCatalogueSize; ++i) {
        const standin::NativeInfo& info = standin::nativeCatalogue[i];
        out << "| " << code(info.label) << " | " << standin::hex64(info.hash) << " | "
            << slotWords(info.slots) << " |\n";
    }
    return out.str();
}

} // namespace sim
