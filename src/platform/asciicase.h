#pragma once
// Letter case of ASCII only: names of INI sections and keys, and of files, match without regard
// to the case of A-Z; bytes 0x80-0xFF compare exactly.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace kivo::platform {

constexpr unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

constexpr bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(static_cast<unsigned char>(a[i])) !=
            FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// A copy with A-Z lowered, for keys of ordinary maps and sets.
inline std::string FoldedAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    return out;
}

// FNV-1a over the folded bytes, for hash tables keyed without regard to case.
constexpr std::size_t HashIgnoreAsciiCase(std::string_view s) {
    std::size_t h = 14695981039346656037ull;
    for (char c : s) {
        h ^= FoldAscii(static_cast<unsigned char>(c));
        h *= 1099511628211ull;
    }
    return h;
}

// True when `part` occurs in `text` without regard to case; the empty part occurs everywhere.
constexpr bool ContainsIgnoreAsciiCase(std::string_view text, std::string_view part) {
    auto it = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
        return FoldAscii(static_cast<unsigned char>(a)) == FoldAscii(static_cast<unsigned char>(b));
    });
    return it != text.end() || part.empty();
}

struct CaselessHash {
    std::size_t operator()(std::string_view s) const { return HashIgnoreAsciiCase(s); }
};
struct CaselessEqual {
    bool operator()(std::string_view a, std::string_view b) const {
        return EqualsIgnoreAsciiCase(a, b);
    }
};

}  // namespace kivo::platform
