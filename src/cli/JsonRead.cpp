#include "JsonRead.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

#include "base/TextUtil.h"

namespace veltrio {

namespace {

constexpr int MaxDepth = 200;

class TJsonParser {
public:
    explicit TJsonParser(std::string_view text) : m_text(text) {}

    bool Parse(JsonValue& root, std::string& error) {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF") {
            m_pos = 3;
        }
        for (std::size_t i = m_pos; i < m_text.size();) {
            const std::size_t at = i;
            if (NextCodePoint(m_text, i) == 0xFFFD && m_text.substr(at, 3) != "\xEF\xBF\xBD") {
                m_errorAt = at;
                m_error = "the text is not valid UTF-8";
                error = JsonPosition(m_text, m_errorAt) + ": " + m_error;
                return false;
            }
        }
        SkipBlanks();
        const bool ok = Value(root, 0) && (SkipBlanks(), m_pos == m_text.size() ||
                                                             Fail("more text after the value"));
        if (!ok) {
            error = JsonPosition(m_text, m_errorAt) + ": " + m_error;
        }
        return ok;
    }

private:
    bool Fail(const std::string& what) { return FailAt(m_pos, what); }
    bool FailAt(std::size_t at, const std::string& what) {
        m_errorAt = at;
        m_error = what;
        return false;
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek() const { return m_text[m_pos]; }

    void SkipBlanks() {
        while (!AtEnd() &&
               (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
            ++m_pos;
        }
    }

    std::string Found() const {
        if (AtEnd()) {
            return "the end of the text";
        }
        const unsigned char c = static_cast<unsigned char>(Peek());
        if (c < 0x20 || c >= 0x7F) {
            return "a byte " + IntText(c);
        }
        return std::string("'") + Peek() + "'";
    }

    bool Literal(std::string_view word) {
        if (m_text.substr(m_pos, word.size()) != word) {
            return Fail("expected a value, found " + Found());
        }
        m_pos += word.size();
        return true;
    }

    bool Value(JsonValue& v, int depth) {
        if (depth > MaxDepth) {
            return Fail("arrays and objects nested deeper than " + IntText(MaxDepth) + " levels");
        }
        v = JsonValue{};
        v.Offset = m_pos;
        if (AtEnd()) {
            return Fail("expected a value, found the end of the text");
        }
        switch (Peek()) {
        case '{':
            v.Type = JsonValue::Kind::Object;
            return Object(v, depth);
        case '[':
            v.Type = JsonValue::Kind::Array;
            return Array(v, depth);
        case '"':
            v.Type = JsonValue::Kind::String;
            return String(v.String);
        case 't':
            v.Type = JsonValue::Kind::Bool;
            v.Bool = true;
            return Literal("true");
        case 'f':
            v.Type = JsonValue::Kind::Bool;
            return Literal("false");
        case 'n':
            return Literal("null");
        default:
            if (Peek() == '-' || (Peek() >= '0' && Peek() <= '9')) {
                v.Type = JsonValue::Kind::Number;
                return Number(v.Number);
            }
            return Fail("expected a value, found " + Found());
        }
    }

    bool Object(JsonValue& v, int depth) {
        ++m_pos; // {
        SkipBlanks();
        if (!AtEnd() && Peek() == '}') {
            ++m_pos;
            return true;
        }
        for (;;) {
            SkipBlanks();
            if (AtEnd() || Peek() != '"') {
                return Fail("expected a key in double quotes, found " + Found());
            }
            const std::size_t keyAt = m_pos;
            std::string key;
            if (!String(key)) {
                return false;
            }
            if (v.Find(key) != nullptr) {
                return FailAt(keyAt, "the key \"" + key + "\" appears twice");
            }
            SkipBlanks();
            if (AtEnd() || Peek() != ':') {
                return Fail("expected ':' after the key \"" + key + "\", found " + Found());
            }
            ++m_pos;
            SkipBlanks();
            JsonValue member;
            if (!Value(member, depth + 1)) {
                return false;
            }
            v.Members.emplace_back(std::move(key), std::move(member));
            SkipBlanks();
            if (!AtEnd() && Peek() == ',') {
                ++m_pos;
                continue;
            }
            if (!AtEnd() && Peek() == '}') {
                ++m_pos;
                return true;
            }
            return Fail("expected ',' or '}' after a member of the object, found " + Found());
        }
    }

    bool Array(JsonValue& v, int depth) {
        ++m_pos; // [
        SkipBlanks();
        if (!AtEnd() && Peek() == ']') {
            ++m_pos;
            return true;
        }
        for (;;) {
            SkipBlanks();
            JsonValue item;
            if (!Value(item, depth + 1)) {
                return false;
            }
            v.Items.push_back(std::move(item));
            SkipBlanks();
            if (!AtEnd() && Peek() == ',') {
                ++m_pos;
                continue;
            }
            if (!AtEnd() && Peek() == ']') {
                ++m_pos;
                return true;
            }
            return Fail("expected ',' or ']' after an element of the array, found " + Found());
        }
    }

    bool Hex4(unsigned& out) {
        if (m_text.size() - m_pos < 4) {
            return Fail("a \\u escape needs four hexadecimal digits");
        }
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos + i];
            out <<= 4;
            if (c >= '0' && c <= '9') {
                out |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                out |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                out |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return Fail("a \\u escape needs four hexadecimal digits");
            }
        }
        m_pos += 4;
        return true;
    }

    bool String(std::string& out) {
        const std::size_t start = m_pos;
        ++m_pos; // "
        for (;;) {
            if (AtEnd()) {
                return FailAt(start, "a string without its closing double quote");
            }
            const unsigned char c = static_cast<unsigned char>(Peek());
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c < 0x20) {
                return Fail("a control character (byte " + IntText(c) +
                            ") in a string; write it as an escape");
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++m_pos;
                continue;
            }
            const std::size_t escapeAt = m_pos;
            ++m_pos;
            if (AtEnd()) {
                return FailAt(start, "a string without its closing double quote");
            }
            const char e = Peek();
            ++m_pos;
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned cp = 0;
                if (!Hex4(cp)) {
                    return false;
                }
                if (cp >= 0xDC00 && cp <= 0xDFFF) {
                    return FailAt(escapeAt, "a low surrogate without its high surrogate");
                }
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    unsigned low = 0;
                    if (m_text.substr(m_pos, 2) != "\\u") {
                        return FailAt(escapeAt, "a high surrogate without its low surrogate");
                    }
                    m_pos += 2;
                    if (!Hex4(low)) {
                        return false;
                    }
                    if (low < 0xDC00 || low > 0xDFFF) {
                        return FailAt(escapeAt, "a high surrogate without its low surrogate");
                    }
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, static_cast<char32_t>(cp));
                break;
            }
            default:
                return FailAt(escapeAt, std::string("an unknown escape \\") + e);
            }
        }
    }

    bool Number(double& out) {
        const std::size_t start = m_pos;
        auto digits = [&] {
            const std::size_t from = m_pos;
            while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
                ++m_pos;
            }
            return m_pos > from;
        };
        if (Peek() == '-') {
            ++m_pos;
        }
        if (!AtEnd() && Peek() == '0') {
            ++m_pos;
            if (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
                return FailAt(start, "a number with a leading zero");
            }
        } else if (!digits()) {
            return FailAt(start, "a number without digits");
        }
        if (!AtEnd() && Peek() == '.') {
            ++m_pos;
            if (!digits()) {
                return FailAt(start, "a number without digits after its decimal point");
            }
        }
        if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
            ++m_pos;
            if (!AtEnd() && (Peek() == '+' || Peek() == '-')) {
                ++m_pos;
            }
            if (!digits()) {
                return FailAt(start, "a number without digits in its exponent");
            }
        }
        const char* first = m_text.data() + start;
        const char* last = m_text.data() + m_pos;
        const auto res = std::from_chars(first, last, out);
        if (res.ec == std::errc::result_out_of_range) {
            // Underflow to zero is harmless; anything that overflows is not.
            const std::string text(first, last);
            const double rough = std::strtod(text.c_str(), nullptr);
            if (std::isinf(rough)) {
                return FailAt(start, "a number beyond the range of a double");
            }
            out = rough;
            return true;
        }
        if (res.ec != std::errc() || res.ptr != last || !std::isfinite(out)) {
            return FailAt(start, "a number that cannot be read");
        }
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_errorAt = 0;
    std::string m_error;
};

} // namespace

const JsonValue* JsonValue::Find(std::string_view key) const {
    for (const auto& [k, v] : Members) {
        if (k == key) {
            return &v;
        }
    }
    return nullptr;
}

const char* JsonKindName(JsonValue::Kind kind) {
    switch (kind) {
    case JsonValue::Kind::Null:
        return "null";
    case JsonValue::Kind::Bool:
        return "a Boolean";
    case JsonValue::Kind::Number:
        return "a number";
    case JsonValue::Kind::String:
        return "a string";
    case JsonValue::Kind::Array:
        return "an array";
    case JsonValue::Kind::Object:
        return "an object";
    }
    return "a value";
}

bool ParseJson(std::string_view text, JsonValue& root, std::string& error) {
    TJsonParser parser(text);
    return parser.Parse(root, error);
}

std::string JsonPosition(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    std::size_t line = 1;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    const std::size_t column = Utf8Length(text.substr(lineStart, offset - lineStart)) + 1;
    return "line " + IntText(static_cast<long long>(line)) + ", column " +
           IntText(static_cast<long long>(column));
}

} // namespace veltrio
