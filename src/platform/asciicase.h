#pragma once
// Letter case of ASCII only: names of INI sections and keys, and of files, match without regard
// to the case of A-Z; bytes 0x80-0xFF compare exactly.

#include <cstddef>
#include <string_view>

namespace kivo::platform {

constexpr unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

constexpr bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
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

struct CaselessHash {
    std::size_t operator()(std::string_view s) const { return HashIgnoreAsciiCase(s); }
};
struct CaselessEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualsIgnoreAsciiCase(a, b); }
};

}  // namespace kivo::platform
