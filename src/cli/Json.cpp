#include "Json.h"

#include <charconv>
#include <cmath>

#include "base/Missing.h"

namespace veltrio {

std::string JsonEscape(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static const char* hex = "0123456789abcdef";
                out += "\\u00";
                out += hex[(c >> 4) & 0xF];
                out += hex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    return out;
}

void JsonWriter::Newline() {
    m_out += '\n';
    m_out.append(2 * m_first.size(), ' ');
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) {
            m_out += ',';
        }
        m_first.back() = false;
        Newline();
    }
}

void JsonWriter::BeginObject() {
    BeforeValue();
    m_out += '{';
    m_first.push_back(true);
}

void JsonWriter::EndObject() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) {
        Newline();
    }
    m_out += '}';
    if (m_first.empty()) {
        m_out += '\n';
    }
}

void JsonWriter::BeginArray() {
    BeforeValue();
    m_out += '[';
    m_first.push_back(true);
}

void JsonWriter::EndArray() {
    const bool empty = m_first.back();
    m_first.pop_back();
    if (!empty) {
        Newline();
    }
    m_out += ']';
}

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    m_out += '"' + JsonEscape(key) + "\": ";
    m_afterKey = true;
}

void JsonWriter::String(std::string_view value) {
    BeforeValue();
    m_out += '"' + JsonEscape(value) + '"';
}

void JsonWriter::Number(double value) {
    if (value == MissingValue || !std::isfinite(value)) {
        Null();
        return;
    }
    BeforeValue();
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    m_out.append(buf, res.ptr);
}

void JsonWriter::Real(double value) {
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    BeforeValue();
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    m_out.append(buf, res.ptr);
}

void JsonWriter::Integer(long long value) {
    BeforeValue();
    m_out += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_out += value ? "true" : "false";
}

void JsonWriter::Null() {
    BeforeValue();
    m_out += "null";
}

} // namespace veltrio
