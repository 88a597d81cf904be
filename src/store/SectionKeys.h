#pragma once
// The whole key list of one section, however long. Util::GetIniSectionKeys keeps the fixed
// capacity that the installer's own tooling has always had; the store needs the whole list where
// it bounds a load by what a section really holds and where a save looks for keys it left behind.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace modTAVIN {

// The section's key-name list as the profile functions give it (each name followed by NUL, one
// more NUL at the end), never cut. `sizeHint`: a length the list is not expected to exceed, such
// as the file's size (a list cannot hold more bytes than the file it comes from, plus its NUL).
std::string WholeKeyList(const std::string& section, const std::string& file,
                         std::size_t sizeHint = 0);

// The key names of the section, in file order, duplicates included.
std::vector<std::string> SectionKeyNames(const std::string& section, const std::string& file);

// The copy-list keys a section holds (keys::IsCopyListKey), to be asked without regard to case.
// A key that is not there reads as its default, so a reader may skip asking the file for it.
class SectionKeySet {
public:
    SectionKeySet(const std::string& section, const std::string& file, std::size_t sizeHint);
    bool Has(std::string_view key) const { return names_.contains(key); }
    // The length of those names in bytes, each counted with the NUL that ends it in a name list.
    std::size_t NameBytes() const { return nameBytes_; }

private:
    struct Hash {
        std::size_t operator()(std::string_view s) const;
    };
    struct Equal {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    std::string list_;
    std::size_t nameBytes_ = 0;
    std::unordered_set<std::string_view, Hash, Equal> names_;
};

}  // namespace modTAVIN
