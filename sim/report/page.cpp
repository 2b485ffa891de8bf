#include "sim/report/page.h"

#include <algorithm>

#include "sim/report/assets.h"

namespace sim {

namespace {

// The CSP source for the script: 'sha256-' and the digest in base64.
std::string scriptHashSource() {
    static const char digits[] = "0123456789abcdef";
    static const char base64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    for (const char* h = reportScriptSha256; h[0] != '\0' && h[1] != '\0'; h += 2) {
        const auto high = std::find(digits, digits + 16, h[0]) - digits;
        const auto low = std::find(digits, digits + 16, h[1]) - digits;
        bytes += static_cast<char>(high * 16 + low);
    }
    std::string text = "sha256-";
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned chunk = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            chunk |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            chunk |= static_cast<unsigned char>(bytes[i + 2]);
        text += base64[(chunk >> 18) & 63];
        text += base64[(chunk >> 12) & 63];
        text += i + 1 < bytes.size() ? base64[(chunk >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? base64[chunk & 63] : '=';
    }
    return text;
}

// The template with each @NAME@ replaced; only the template is searched, so
// nothing in a replacement is ever taken for a placeholder.
std::string fill(const std::string& page, const Json& data) {
    const std::pair<std::string, std::string> parts[] = {{"@STYLE@", reportAsset_css},
                                                         {"@SCRIPT_HASH@", scriptHashSource()},
                                                         {"@DATA@", scriptSafeJson(data)},
                                                         {"@SCRIPT@", reportAsset_js}};
    std::string out;
    std::size_t from = 0;
    while (true) {
        std::size_t at = std::string::npos;
        const std::pair<std::string, std::string>* part = nullptr;
        for (const auto& p : parts) {
            const std::size_t found = page.find(p.first, from);
            if (found < at) {
                at = found;
                part = &p;
            }
        }
        if (part == nullptr)
            break;
        out.append(page, from, at - from).append(part->second);
        from = at + part->first.size();
    }
    return out.append(page, from, std::string::npos);
}

} // namespace

std::string reportPage(const Json& data) { return fill(reportAsset_html, data); }

std::string indexPage(const std::vector<IndexEntry>& entries) {
    Json scenarios = Json::array();
    for (const IndexEntry& e : entries) {
        scenarios.push_back(Json{{"name", e.name},
                                 {"file", e.file},
                                 {"page", e.page},
                                 {"expectations", e.expectations},
                                 {"failed", e.failed}});
    }
    return fill(reportAsset_html,
                Json{{"index",
                      {{"title", "gang-horse-sim check: " + std::to_string(entries.size()) + " scenario(s)"},
                       {"scenarios", scenarios}}}});
}

std::string pageFileName(const std::string& scenarioFile, std::vector<std::string>& taken) {
    std::string stem = scenarioFile.substr(scenarioFile.find_last_of("/\\") + 1);
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0)
        stem.erase(dot);
    for (char& c : stem) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.';
        if (!plain)
            c = '_';
    }
    if (stem.empty())
        stem = "scenario";
    if (stem[0] == '.') // not a hidden file
        stem[0] = '_';
    std::string name = stem + ".html";
    for (int n = 2; std::find(taken.begin(), taken.end(), name) != taken.end(); ++n)
        name = stem + "-" + std::to_string(n) + ".html";
    taken.push_back(name);
    return name;
}

} // namespace sim
