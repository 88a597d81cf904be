#pragma once
// The whole key list of one section, however long. Util::GetIniSectionKeys keeps the fixed
// capacity that the installer's own tooling has always had; the store needs the whole list where
// it bounds a load by what a section really holds and where a save looks for keys it left behind.

#include <cstddef>
#include <cstdint>
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

// The file's section-name list in the same form, never cut.
std::string WholeSectionList(const std::string& file, std::size_t sizeHint = 0);

// Calls `visit` with every name of a name list (each name followed by NUL, one more NUL at the
// end).
template <class Visit>
void ForEachListedName(std::string_view list, Visit visit) {
    std::size_t start = 0;
    while (start + 1 < list.size()) {
        std::size_t end = list.find('\0', start);
        if (end == std::string_view::npos) end = list.size();
        visit(list.substr(start, end - start));
        start = end + 1;
    }
}

// A set of key names, matched without regard to ASCII case, held in one buffer: adding a name
// costs no allocation of its own. Names asked for in the order they were added (a section
// written in the order of its file) are found by walking that order; any other question
// builds an index once.
class NameSet {
public:
    void Insert(std::string_view name);
    bool Contains(std::string_view name);

private:
    std::string_view NameAt(std::uint32_t i) const;
    // The slot of the name, or the empty slot where it belongs.
    std::size_t SlotOf(std::string_view name, std::uint32_t hash) const;
    void Index();
    std::string bytes_;
    std::vector<std::uint32_t> ends_;  // where each name ends in bytes_
    std::uint32_t walk_ = 0;           // the name the walk expects next
    // Once built: the name's hash in the upper half, its number + 1 in the lower; 0: empty.
    std::vector<std::uint64_t> slots_;
};

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
