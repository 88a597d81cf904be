#pragma once
// Key names of a copy-list section ("...BlindCopy"): built for the load and the save, and
// recognised, so that the save can tell the keys it owns from keys it does not know.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace modTAVIN::keys {

inline constexpr const char* kNumberOfGroups = "NumberOfGroups";

// "Group<g>" + field, e.g. Group3NumberOfFiles.
std::string GroupKey(int g, std::string_view field);
// "Group<g>" + item + "<n>" + field, e.g. Group1Icon2Style, Group1Filename4 (field empty).
std::string EntryKey(int g, std::string_view item, int n, std::string_view field);

// One of a group's lists of records with named fields (icons, registry entries, INI entries).
// The load reads the fields under readFields, the save writes them under writeFields: the same
// keys, spelled as each side has always spelled them.
struct ListKeys {
    const char* countKey;
    const char* item;
    int fieldCount;
    std::array<const char*, 9> readFields;
    std::array<const char*, 9> writeFields;
};
extern const ListKeys kIconKeys;
extern const ListKeys kRegKeys;
extern const ListKeys kIniKeys;

// The file list: Group<g>Filename<f> (read) / Group<g>FileName<f> (written) and
// Group<g>File<f>ExpandType.
inline constexpr const char* kFileNameRead = "Filename";
inline constexpr const char* kFileNameWrite = "FileName";

// What a copy-list key belongs to: a group's own key (list None), or entry `entry` of one of the
// group's lists. Numbers beyond what a count can reach read as kBeyondCounts; NumberOfGroups has
// group 0.
enum class EntryList : std::uint8_t { None, Files, Icons, RegEntries, IniEntries };
inline constexpr int kBeyondCounts = 32768;
struct CopyListKey {
    int group = 0;
    EntryList list = EntryList::None;
    int entry = 0;
    auto operator<=>(const CopyListKey&) const = default;
};
// The key's place for NumberOfGroups and every key of a group or of one of its entries, in any
// letter case: the keys a copy-list section is made of. nullopt for any other key.
std::optional<CopyListKey> ParseCopyListKey(std::string_view key);
inline bool IsCopyListKey(std::string_view key) { return ParseCopyListKey(key).has_value(); }

// The n of a key "<prefix><n><field>" for one of `fields` (any letter case, n without a leading
// zero; beyond the counts: kBeyondCounts), such as Comp3Enabled or Launch2Program; 0 for any other.
int NumberedKeyIndex(std::string_view key, std::string_view prefix,
                     std::span<const char* const> fields);

}  // namespace modTAVIN::keys
