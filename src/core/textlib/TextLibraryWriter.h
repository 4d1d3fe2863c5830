#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

// Compiles a UTF-8 language source into the bytes of a language file.
//
// Source format, one entry a line:
//   # comment                       (blank lines are ignored too)
//   chapter 5 = Data file           (declares chapter 5 and its name, at most 20 characters)
//   5.41 = Cannot read the number in line
// The text is everything after "= " up to the end of the line, trailing blanks
// removed; "\_" stands for a space that must be kept (at either end) and "\\"
// for a backslash. A text holds at most 80 characters of the file's code page:
// 850 unless a line "codepage 852" before the first entry names another.
//
// Every fault is reported as "<sourceName>:<line>: <what>" in `errors`; the
// result is empty when there is any.
std::string CompileLanguageSource(std::string_view source, std::string_view sourceName,
                                  std::vector<std::string>& errors);

// The entries of a language source as written (UTF-8, escapes resolved),
// checked as CompileLanguageSource checks them.
struct TLanguageSource {
    struct Item {
        std::string Text;
        int Line = 0;
    };
    struct Chapter {
        std::string Name;
        int Line = 0;
        std::map<int, Item> Items;
    };
    int CodePage = 850;
    std::map<int, Chapter> Chapters;
};
TLanguageSource ParseLanguageSource(std::string_view source, std::string_view sourceName,
                                    std::vector<std::string>& errors);

} // namespace veltrio
