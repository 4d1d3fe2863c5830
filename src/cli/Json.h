#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

// A small streaming JSON writer with two-space indentation. Numbers are
// written in the shortest form that reads back exactly, with "." whatever the
// locale; the missing value -99 is written as null.
class JsonWriter {
public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    void Key(std::string_view key);
    void String(std::string_view value);
    void Number(double value);
    // A finite number as it is, -99 included (a value that is not a
    // missing figure, such as a limit).
    void Real(double value);
    void Integer(long long value);
    void Bool(bool value);
    void Null();

    const std::string& str() const { return m_out; }

private:
    void BeforeValue();
    void Newline();
    std::string m_out;
    std::vector<bool> m_first; // per open container: no element written yet
    bool m_afterKey = false;
};

std::string JsonEscape(std::string_view s);

} // namespace veltrio
