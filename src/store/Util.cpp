#include "store/Util.h"

#include <algorithm>
#include <optional>

#include "platform/asciicase.h"
#include "platform/blanks.h"
#include "platform/profile.h"
#include "platform/ui.h"

namespace Util {

namespace {

// Buffer sizes handed to the profile engine: one byte more than the text they can hold.
constexpr std::size_t kValueBuffer = kValueChars + 1;
constexpr std::size_t kSectionListBuffer = kSectionListChars;
constexpr std::size_t kKeyListBuffer = kKeyListChars;

}  // namespace

unsigned char FoldCp1252(unsigned char c) {
    if (c < 0x80) return kivo::platform::FoldAscii(c);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A: return 0x9A;  // S caron
        case 0x8C: return 0x9C;  // OE
        case 0x8E: return 0x9E;  // Z caron
        case 0x9F: return 0xFF;  // Y diaeresis
        default: return c;
    }
}

namespace {

std::size_t FindIgnoringCase(std::string_view text, std::string_view sep) {
    auto same = [](char a, char b) {
        return FoldCp1252(static_cast<unsigned char>(a)) ==
               FoldCp1252(static_cast<unsigned char>(b));
    };
    auto it = std::search(text.begin(), text.end(), sep.begin(), sep.end(), same);
    return it == text.end() && !sep.empty() ? std::string_view::npos
                                            : static_cast<std::size_t>(it - text.begin());
}

std::string SplitAt(std::string& text, std::size_t pos, std::size_t sepSize) {
    if (pos == std::string::npos) {
        std::string token = std::move(text);
        text.clear();
        return token;
    }
    std::string token = text.substr(0, pos);
    text.erase(0, pos + sepSize);
    return token;
}

// Decimal text with blanks around it, a sign and a fraction; the nearest whole number, a half
// going to the even neighbour. Nothing for any other text or a number outside 16 bits.
std::optional<int16_t> ParseWhole(std::string_view s) {
    s = kivo::TrimBlanks(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const std::size_t point = s.find('.');
    const std::string_view whole = s.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    auto digits = [](std::string_view d) {
        return std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(whole) || !digits(fraction)) return std::nullopt;

    long value = 0;
    for (char c : whole) {
        value = value * 10 + (c - '0');
        if (value > 100000) return std::nullopt;
    }
    if (!fraction.empty()) {
        const bool aboveHalf =
            fraction[0] > '5' ||
            (fraction[0] == '5' && fraction.find_first_not_of('0', 1) != std::string_view::npos);
        const bool half = fraction[0] == '5' && !aboveHalf;
        if (aboveHalf || (half && value % 2 == 1)) ++value;
    }
    if (negative) value = -value;
    if (value < INT16_MIN || value > INT16_MAX) return std::nullopt;
    return static_cast<int16_t>(value);
}

std::string IntegerText(int16_t value) {
    const std::string digits = std::to_string(value);
    std::string text;
    text.reserve(digits.size() + 1);
    if (value >= 0) text.append(" ");
    text.append(digits);
    return text;
}

}  // namespace

std::string GetIniString(const std::string& section, const std::string& key, const std::string& def,
                         const std::string& file) {
    return kivo::profile::GetString(section, key, def, kValueBuffer, file);
}

bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
    return kivo::profile::WriteString(section, key, std::string_view(value), file);
}

bool GetIniYesNo(const std::string& section, const std::string& key, bool def,
                 const std::string& file) {
    const std::string text = GetIniString(section, key, def ? "YES" : "NO", file);
    if (text == "YES") return true;
    if (text == "NO") return false;
    return def;
}

bool WriteIniYesNo(const std::string& section, const std::string& key, bool value,
                   const std::string& file) {
    return WriteIniString(section, key, value ? "YES" : "NO", file);
}

int16_t GetIniInteger(const std::string& section, const std::string& key, int16_t def,
                      const std::string& file) {
    return IniInteger(GetIniString(section, key, IntegerText(def), file));
}

int16_t IniInteger(std::string_view text) {
    if (text.empty()) return 0;
    return ParseWhole(text).value_or(0);
}

bool WriteIniInteger(const std::string& section, const std::string& key, int16_t value,
                     const std::string& file) {
    return WriteIniString(section, key, IntegerText(value), file);
}

std::string GetIniSectionNames(const std::string& file) {
    return kivo::profile::GetSectionNames(kSectionListBuffer, file);
}

std::string GetIniSectionKeys(const std::string& section, const std::string& file) {
    return kivo::profile::GetSectionKeys(section, kKeyListBuffer, file);
}

int DeleteIniKey(const std::string& section, const std::string& key, const std::string& file) {
    return kivo::profile::WriteString(section, key, std::nullopt, file) ? 1 : 0;
}

std::string GetToken(std::string& text) { return SplitAt(text, text.find('\0'), 1); }

std::string GetToken(std::string& text, std::string_view separator) {
    // An empty text holds nothing, not even an empty separator.
    const std::size_t pos = text.empty() ? std::string::npos : FindIgnoringCase(text, separator);
    return SplitAt(text, pos, separator.size());
}

bool IsValidPath(const std::string& path) {
    if (path.empty()) return false;
    if (path.find("\\\\") != std::string::npos) return false;
    return path.find_first_of("\"/*?<>|") == std::string::npos;
}

std::string BrowseForFolder(const std::string& title) {
    std::string path = kivo::Ui().BrowseForFolder(title);
    path = path.substr(0, path.find('\0'));
    if (path.size() > kPathChars - 1) path.resize(kPathChars - 1);
    return path;
}

int16_t MaxInt(int16_t a, int16_t b) { return a > b ? a : b; }

}  // namespace Util
