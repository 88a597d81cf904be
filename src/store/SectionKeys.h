#pragma once
// The whole key list of one section, however long. Util::GetIniSectionKeys keeps the fixed
// capacity that the installer's own tooling has always had; the store needs the whole list where
// it bounds a load by what a section really holds and where a save looks for keys it left behind.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace modTAVIN {

// The section's key-name list as the profile functions give it (each name followed by NUL, one
// more NUL at the end), never cut. `sizeHint`: a length the list is not expected to exceed, such
// as the file's size (a list cannot hold more bytes than the file it comes from, plus its NUL).
std::string WholeKeyList(const std::string& section, const std::string& file,
                         std::size_t sizeHint = 0);

// The key names of the section, in file order, duplicates included.
std::vector<std::string> SectionKeyNames(const std::string& section, const std::string& file);

// The length in bytes of the copy-list key names (keys::IsCopyListKey) a section holds, each
// counted with the NUL that ends it in a name list.
std::size_t CopyListNameBytes(const std::string& section, const std::string& file,
                              std::size_t sizeHint);

// Copy-list key names built in one buffer, so that a run of keys costs no allocation. Each call
// gives the same string, holding the new name.
class KeyNames {
public:
    // "Group<g>" + field, as keys::GroupKey.
    const std::string& Group(int g, std::string_view field);
    // "Group<g>" + item + "<n>" + field, as keys::EntryKey.
    const std::string& Entry(int g, std::string_view item, int n, std::string_view field);

private:
    void Number(int n);
    std::string name_;
};

}  // namespace modTAVIN
