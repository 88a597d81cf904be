#include "store/CopyListKeys.h"

#include "platform/asciicase.h"

namespace modTAVIN::keys {

const ListKeys kIconKeys = {
    "NumberOfIcons",
    "Icon",
    9,
    {"Style", "Folder", "SubFolder", "Exe", "ExeSubDir", "Description", "Number", "App", "AppLoc"},
    {"Style", "Folder", "SubFolder", "Exe", "ExeSubdir", "Description", "Number", "App", "AppLoc"}};
const ListKeys kRegKeys = {"NumberOfRegEntries",
                           "RegEntry",
                           6,
                           {"Platform", "ParentKey", "Key", "ValueName", "ValueType", "ValueData"},
                           {"Platform", "Parentkey", "Key", "ValueName", "ValueType", "ValueData"}};
const ListKeys kIniKeys = {"NumberOfIniEntries",
                           "IniEntry",
                           6,
                           {"Platform", "FileLoc", "FileName", "Section", "Key", "Value"},
                           {"Platform", "FileLoc", "FileName", "Section", "Key", "Value"}};

std::string GroupKey(int g, std::string_view field) {
    std::string k = "Group";
    k += std::to_string(g);
    k += field;
    return k;
}

std::string EntryKey(int g, std::string_view item, int n, std::string_view field) {
    std::string k = GroupKey(g, item);
    k += std::to_string(n);
    k += field;
    return k;
}

namespace {

using kivo::platform::EqualsIgnoreAsciiCase;

// Takes `word` off the front of `s` (any case).
bool Eat(std::string_view& s, std::string_view word) {
    if (s.size() < word.size() || !EqualsIgnoreAsciiCase(s.substr(0, word.size()), word))
        return false;
    s.remove_prefix(word.size());
    return true;
}

// Takes an index (decimal, no leading zero) off the front of `s`, into `n`.
bool EatIndex(std::string_view& s, int& n) {
    if (s.empty() || s[0] < '1' || s[0] > '9') return false;
    n = 0;
    std::size_t i = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        n = n < kBeyondCounts ? n * 10 + (s[i] - '0') : kBeyondCounts;
    if (n > kBeyondCounts) n = kBeyondCounts;
    s.remove_prefix(i);
    return true;
}

bool IsListField(std::string_view rest, const ListKeys& list) {
    for (int i = 0; i < list.fieldCount; ++i)
        if (EqualsIgnoreAsciiCase(rest, list.readFields[static_cast<std::size_t>(i)])) return true;
    return false;
}

bool IsEntryKey(std::string_view rest, const ListKeys& list, int& n) {
    return Eat(rest, list.item) && EatIndex(rest, n) && IsListField(rest, list);
}

}  // namespace

std::optional<CopyListKey> ParseCopyListKey(std::string_view key) {
    if (EqualsIgnoreAsciiCase(key, kNumberOfGroups)) return CopyListKey{};
    std::string_view s = key;
    CopyListKey k;
    if (!Eat(s, "Group") || !EatIndex(s, k.group)) return std::nullopt;
    for (std::string_view field : {"Platform", "Language", "NumberOfFiles", "DestDir", "Loc",
                                   "NumberOfIcons", "NumberOfRegEntries", "NumberOfIniEntries"}) {
        if (EqualsIgnoreAsciiCase(s, field)) return k;
    }
    k.list = EntryList::Files;
    if (std::string_view r = s; Eat(r, kFileNameRead) && EatIndex(r, k.entry) && r.empty())
        return k;
    if (std::string_view r = s;
        Eat(r, "File") && EatIndex(r, k.entry) && EqualsIgnoreAsciiCase(r, "ExpandType"))
        return k;
    for (auto [list, keys] :
         {std::pair{EntryList::Icons, &kIconKeys}, std::pair{EntryList::RegEntries, &kRegKeys},
          std::pair{EntryList::IniEntries, &kIniKeys}}) {
        k.list = list;
        if (IsEntryKey(s, *keys, k.entry)) return k;
    }
    return std::nullopt;
}

int NumberedKeyIndex(std::string_view key, std::string_view prefix,
                     std::span<const char* const> fields) {
    int n = 0;
    if (!Eat(key, prefix) || !EatIndex(key, n)) return 0;
    for (const char* field : fields)
        if (EqualsIgnoreAsciiCase(key, field)) return n;
    return 0;
}

}  // namespace modTAVIN::keys
