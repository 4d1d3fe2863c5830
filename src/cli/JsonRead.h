#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrio {

// A value of a JSON text, with the byte offset where it begins so that a
// caller can say where a value of the wrong kind stands.
struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind Type = Kind::Null;
    bool Bool = false;
    double Number = 0;
    std::string String;
    std::vector<JsonValue> Items;
    // In the order of the text; keys are unique.
    std::vector<std::pair<std::string, JsonValue>> Members;
    std::size_t Offset = 0;

    const JsonValue* Find(std::string_view key) const;
};

// "object", "string", ... for messages.
const char* JsonKindName(JsonValue::Kind kind);

// A strict reader of JSON (RFC 8259) as UTF-8: no comments, no trailing
// commas, no duplicate keys, no bytes after the value; an initial UTF-8 byte
// order mark is skipped. Numbers beyond the range of a double, lone
// surrogates in escapes and nesting deeper than 200 levels are refused.
// False with the reason in `error`, which begins with the position ("line 3,
// column 14: ").
bool ParseJson(std::string_view text, JsonValue& root, std::string& error);

// "line L, column C" of a byte offset (columns count characters, from 1).
std::string JsonPosition(std::string_view text, std::size_t offset);

} // namespace veltrio
