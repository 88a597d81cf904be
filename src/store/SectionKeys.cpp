#include "store/SectionKeys.h"

#include <algorithm>
#include <charconv>

#include "platform/asciicase.h"
#include "platform/profile.h"
#include "store/CopyListKeys.h"
#include "store/TextMatch.h"

namespace modTAVIN {


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

std::string_view NameSet::NameAt(std::uint32_t i) const {
    const std::uint32_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
}

namespace {
std::uint32_t NameHash(std::string_view name) {
    const std::size_t h = kivo::platform::HashIgnoreAsciiCase(name);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}
}  // namespace

std::size_t NameSet::SlotOf(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint64_t s = slots_[i];
        if (s == 0) return i;
        if (s >> 32 == hash &&
            kivo::platform::EqualsIgnoreAsciiCase(NameAt(static_cast<std::uint32_t>(s) - 1), name))
            return i;
    }
}

bool NameSet::Contains(std::string_view name) const {
    return !slots_.empty() && slots_[SlotOf(name, NameHash(name))] != 0;
}

void NameSet::Insert(std::string_view name) {
    if ((ends_.size() + 1) * 2 > slots_.size()) Grow();
    const std::uint32_t hash = NameHash(name);
    const std::size_t i = SlotOf(name, hash);
    if (slots_[i] != 0) return;
    bytes_.append(name);
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    slots_[i] = std::uint64_t{hash} << 32 | ends_.size();
}

void NameSet::Grow() {
    std::vector<std::uint64_t> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
    const std::size_t mask = slots_.size() - 1;
    for (std::uint64_t s : old) {
        if (s == 0) continue;
        std::size_t i = (s >> 32) & mask;
        while (slots_[i] != 0) i = (i + 1) & mask;
        slots_[i] = s;
    }
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
