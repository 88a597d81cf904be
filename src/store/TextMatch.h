#pragma once
// Case-insensitive text search for the few places where the store ignores letter case
// (platform lists, product names). Texts are Windows-1252 bytes; ASCII letters fold.

#include <algorithm>
#include <string_view>

namespace TextMatch {

inline char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// True when `part` occurs in `text` without regard to case; the empty part occurs everywhere.
inline bool ContainsNoCase(std::string_view text, std::string_view part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                          [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
    return it != text.end() || part.empty();
}

}  // namespace TextMatch
