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

// Takes an index (decimal, no leading zero) off the front of `s`.
bool EatIndex(std::string_view& s) {
    if (s.empty() || s[0] < '1' || s[0] > '9') return false;
    std::size_t i = 1;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    s.remove_prefix(i);
    return true;
}

bool IsListField(std::string_view rest, const ListKeys& list) {
    for (int i = 0; i < list.fieldCount; ++i)
        if (EqualsIgnoreAsciiCase(rest, list.readFields[static_cast<std::size_t>(i)])) return true;
    return false;
}

bool IsEntryKey(std::string_view rest, const ListKeys& list) {
    return Eat(rest, list.item) && EatIndex(rest) && IsListField(rest, list);
}

}  // namespace

bool IsCopyListKey(std::string_view key) {
    if (EqualsIgnoreAsciiCase(key, kNumberOfGroups)) return true;
    std::string_view s = key;
    if (!Eat(s, "Group") || !EatIndex(s)) return false;
    for (std::string_view field : {"Platform", "Language", "NumberOfFiles", "DestDir", "Loc",
                                   "NumberOfIcons", "NumberOfRegEntries", "NumberOfIniEntries"}) {
        if (EqualsIgnoreAsciiCase(s, field)) return true;
    }
    {
        std::string_view r = s;
        if (Eat(r, kFileNameRead) && EatIndex(r) && r.empty()) return true;
    }
    {
        std::string_view r = s;
        if (Eat(r, "File") && EatIndex(r) && EqualsIgnoreAsciiCase(r, "ExpandType")) return true;
    }
    return IsEntryKey(s, kIconKeys) || IsEntryKey(s, kRegKeys) || IsEntryKey(s, kIniKeys);
}

}  // namespace modTAVIN::keys
