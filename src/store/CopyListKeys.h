#pragma once
// Key names of a copy-list section ("...BlindCopy"): built for the load and the save, and
// recognised, so that the save can tell the keys it owns from keys it does not know.

#include <array>
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

// True for NumberOfGroups and every key of a group or of one of its entries, in any letter case:
// the keys a copy-list section is made of. Anything else is a key the store does not know.
bool IsCopyListKey(std::string_view key);

}  // namespace modTAVIN::keys
