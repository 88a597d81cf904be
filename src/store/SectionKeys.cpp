#include "store/SectionKeys.h"

#include <algorithm>
#include <charconv>

#include "platform/asciicase.h"
#include "platform/profile.h"

namespace modTAVIN {

namespace {
// A list that fills the buffer may have been cut, so it is asked for again with twice the room.
template <class Get>
std::string WholeList(std::size_t sizeHint, Get get) {
    for (std::size_t size = std::max<std::size_t>(64 * 1024, sizeHint + 2);; size *= 2) {
        std::string list = get(size);
        if (list.size() + 1 < size) return list;
    }
}
}  // namespace

std::string WholeKeyList(const std::string& section, const std::string& file,
                         std::size_t sizeHint) {
    return WholeList(sizeHint, [&](std::size_t size) {
        return kivo::profile::GetSectionKeys(section, size, file);
    });
}

std::string WholeSectionList(const std::string& file, std::size_t sizeHint) {
    return WholeList(sizeHint,
                     [&](std::size_t size) { return kivo::profile::GetSectionNames(size, file); });
}

std::vector<std::string> SectionKeyNames(const std::string& section, const std::string& file) {
    std::vector<std::string> names;
    ForEachListedName(WholeKeyList(section, file),
                      [&](std::string_view name) { names.emplace_back(name); });
    return names;
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

bool NameSet::Contains(std::string_view name) {
    if (slots_.empty()) {
        if (walk_ < ends_.size() && kivo::platform::EqualsIgnoreAsciiCase(NameAt(walk_), name)) {
            ++walk_;
            return true;
        }
        if (ends_.empty()) return false;
        Index();
    }
    return slots_[SlotOf(name, NameHash(name))] != 0;
}

void NameSet::Insert(std::string_view name) {
    // A name added twice is found all the same; the index, once built, keeps up.
    if (!slots_.empty() && slots_[SlotOf(name, NameHash(name))] != 0) return;
    bytes_.append(name);
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    if (!slots_.empty()) {
        if (ends_.size() * 2 > slots_.size()) {
            Index();
        } else {
            const std::uint32_t hash = NameHash(name);
            slots_[SlotOf(name, hash)] = std::uint64_t{hash} << 32 | ends_.size();
        }
    }
}

void NameSet::Index() {
    std::size_t size = 64;
    while (ends_.size() * 2 > size) size *= 2;
    slots_.assign(size, 0);
    for (std::uint32_t n = 0; n < ends_.size(); ++n) {
        const std::string_view name = NameAt(n);
        const std::uint32_t hash = NameHash(name);
        std::uint64_t& slot = slots_[SlotOf(name, hash)];
        if (slot == 0) slot = std::uint64_t{hash} << 32 | (n + 1);
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
