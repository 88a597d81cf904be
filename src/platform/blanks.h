#pragma once
// Trimming the blanks at the ends of a text. The INI engine trims spaces and tabs around names
// and values; the windows trim only the spaces around what is typed into a box (a tab there is
// part of the text).

#include <string_view>

namespace kivo {

// Blanks are space and tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsSpace(char c) { return c == ' '; }

// s without the characters isBlank accepts at either end; a view into s.
template <class IsBlankChar>
constexpr std::string_view TrimWhere(std::string_view s, IsBlankChar isBlank) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

constexpr std::string_view TrimBlanks(std::string_view s) { return TrimWhere(s, IsBlank); }
constexpr std::string_view TrimSpaces(std::string_view s) { return TrimWhere(s, IsSpace); }

}  // namespace kivo
