#include "store/SectionKeys.h"

#include <algorithm>
#include <charconv>

#include "platform/profile.h"
#include "store/CopyListKeys.h"
#include "store/TextMatch.h"

namespace modTAVIN {

namespace {

// Calls `visit` with every name of a name list.
template <class Visit>
void ForEachListedName(const std::string& list, Visit visit) {
    std::size_t start = 0;
    // Every name ends at its NUL; the last NUL closes the list.
    while (start + 1 < list.size()) {
        std::size_t end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        visit(std::string_view(list).substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

// A list that fills the buffer may have been cut, so it is asked for again with twice the room.
std::string WholeKeyList(const std::string& section, const std::string& file,
                         std::size_t sizeHint) {
    for (std::size_t size = std::max<std::size_t>(64 * 1024, sizeHint + 2);; size *= 2) {
        std::string list = kivo::profile::GetSectionKeys(section, size, file);
        if (list.size() + 1 < size) return list;
    }
}

std::vector<std::string> SectionKeyNames(const std::string& section, const std::string& file) {
    std::vector<std::string> names;
    ForEachListedName(WholeKeyList(section, file),
                      [&](std::string_view name) { names.emplace_back(name); });
    return names;
}

std::size_t CopyListNameBytes(const std::string& section, const std::string& file,
                              std::size_t sizeHint) {
    std::size_t bytes = 0;
    ForEachListedName(WholeKeyList(section, file, sizeHint), [&](std::string_view name) {
        if (keys::IsCopyListKey(name)) bytes += name.size() + 1;
    });
    return bytes;
}

void KeyNames::Number(int n) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    name_.append(digits, end);
}

const std::string& KeyNames::Group(int g, std::string_view field) {
    name_.assign("Group");
    Number(g);
    name_.append(field);
    return name_;
}

const std::string& KeyNames::Entry(int g, std::string_view item, int n, std::string_view field) {
    Group(g, item);
    Number(n);
    name_.append(field);
    return name_;
}

}  // namespace modTAVIN
