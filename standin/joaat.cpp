#include <cstdio>

#include "standin/catalogue.h"

namespace standin {

std::uint32_t joaat(const char* name) {
    std::uint32_t hash = 0;
    for (const char* c = name; *c != '\0'; ++c) {
        char lower = *c;
        if (lower >= 'A' && lower <= 'Z') {
            lower = static_cast<char>(lower - 'A' + 'a');
        }
        hash += static_cast<unsigned char>(lower);
        hash += hash << 10;
        hash ^= hash >> 6;
    }
    hash += hash << 3;
    hash ^= hash >> 11;
    hash += hash << 15;
    return hash;
}

std::string hex64(std::uint64_t value) {
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(value));
    return text;
}

} // namespace standin
