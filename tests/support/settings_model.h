// How the bytes of Velkor.dat become the four prompt texts, written out a
// second time, apart from the module's reader, as the plain rule the README
// gives: lines end at LF, a CR right before an LF is dropped, a Ctrl-Z byte
// ends the file, and the text of a line is everything after its first '='
// (the whole line when it has none). A missing line gives an empty text.
#pragma once

#include <array>
#include <string>

namespace settingsmodel {

inline std::array<std::string, 4> textsOf(const std::string& bytes) {
    const std::string data = bytes.substr(0, bytes.find('\x1A'));
    std::array<std::string, 4> texts;
    std::string::size_type start = 0;
    for (std::string& text : texts) {
        if (start > data.size()) {
            break; // past the last line
        }
        const std::string::size_type lf = data.find('\n', start);
        if (lf == std::string::npos) {
            text = data.substr(start); // the last line: a CR before the end of the file stays
            start = data.size() + 1;
        } else {
            text = data.substr(start, lf - start);
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            start = lf + 1;
        }
        const std::string::size_type equals = text.find('=');
        if (equals != std::string::npos) {
            text.erase(0, equals + 1);
        }
    }
    return texts;
}

// A text with its control bytes and non-ASCII bytes escaped, for messages.
inline std::string escaped(const std::string& text, std::string::size_type limit = 200) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::string::size_type i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    if (text.size() > limit) {
        out += "... (" + std::to_string(text.size()) + " bytes)";
    }
    return out;
}

} // namespace settingsmodel
