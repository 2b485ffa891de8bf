// JSON for the report page and the positions file: floats as the shortest
// text that reads back as the same 32-bit float, and JSON that may sit inside
// an HTML <script> element whatever texts it holds.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace sim {

using Json = nlohmann::ordered_json;

// The float as the double of its shortest decimal text: 95.3f gives 95.3, so
// that the JSON reads "95.3" and a reader gets back exactly the same float.
double shortestFloat(float value);

// [x, y, z], each shortest.
Json position3(float x, float y, float z);

// The JSON text with "<", ">", "&", U+2028 and U+2029 written as \u escapes,
// so that no text in it can end a <script> element or open a comment, and
// bytes that are not UTF-8 replaced by U+FFFD.
std::string scriptSafeJson(const Json& value);

} // namespace sim
