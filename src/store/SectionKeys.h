#pragma once
// The whole key list of one section, however long. Util::GetIniSectionKeys keeps the fixed
// capacity that the installer's own tooling has always had; the store needs the whole list where
// it bounds a load by what a section really holds and where a save looks for keys it left behind.

#include <cstddef>
#include <string>
#include <vector>

namespace modTAVIN {

// Length in bytes of the section's key-name list (each name and its NUL), 0 when it has no keys.
std::size_t SectionKeyListBytes(const std::string& section, const std::string& file);

// The key names of the section, in file order, duplicates included.
std::vector<std::string> SectionKeyNames(const std::string& section, const std::string& file);

}  // namespace modTAVIN
