#include "store/SectionKeys.h"

#include <algorithm>

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

SectionKeySet::SectionKeySet(const std::string& section, const std::string& file,
                             std::size_t sizeHint)
    : list_(WholeKeyList(section, file, sizeHint)) {
    ForEachListedName(list_, [&](std::string_view name) {
        if (!keys::IsCopyListKey(name)) return;
        names_.insert(name);
        nameBytes_ += name.size() + 1;
    });
}

std::size_t SectionKeySet::Hash::operator()(std::string_view s) const {
    std::size_t h = 14695981039346656037ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(TextMatch::FoldAscii(c));
        h *= 1099511628211ull;
    }
    return h;
}

bool SectionKeySet::Equal::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (TextMatch::FoldAscii(a[i]) != TextMatch::FoldAscii(b[i])) return false;
    return true;
}

}  // namespace modTAVIN
