#pragma once
// The key index of a parsed INI file: (section number, key name without regard to ASCII case)
// to the first line of that name. An open-addressing table whose slot holds where the line's
// name and value stand, so that a lookup touches one slot and the name, however large the file.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/asciicase.h"

namespace kivo::profile {

// The key name and the value of a key line's text (defined with the parser).
std::string_view KeyNameOfLine(std::string_view text);
std::string_view ValueOfLine(std::string_view text);

class KeyTable {
public:
    struct Slot {
        std::uint32_t hash = 0;  // 0: empty
        std::uint32_t section = 0;
        std::uint32_t line = 0;
        std::uint32_t repeats = 0;  // later lines of the same name in the section
        const char* name = nullptr;
        const char* value = nullptr;
        std::uint32_t nameSize = 0;
        std::uint32_t valueSize = 0;
        std::string_view Name() const { return {name, nameSize}; }
        std::string_view Value() const { return {value, valueSize}; }
        void Set(std::string_view n, std::string_view v) {
            name = n.data();
            nameSize = static_cast<std::uint32_t>(n.size());
            value = v.data();
            valueSize = static_cast<std::uint32_t>(v.size());
        }
        // The line now holding the key, after an edit.
        void SetText(std::string_view text) { Set(KeyNameOfLine(text), ValueOfLine(text)); }
    };

    Slot* Find(std::uint32_t section, std::string_view name) {
        return Find(HashOf(section, name), section, name);
    }
    Slot* Find(std::uint32_t h, std::uint32_t section, std::string_view name) {
        if (slots_.empty()) return nullptr;
        for (std::size_t i = h & Mask();; i = (i + 1) & Mask()) {
            Slot& s = slots_[i];
            if (s.hash == 0) return nullptr;
            if (s.hash == h && s.section == section &&
                platform::EqualsIgnoreAsciiCase(s.Name(), name))
                return &s;
        }
    }
    const Slot* Find(std::uint32_t section, std::string_view name) const {
        return const_cast<KeyTable*>(this)->Find(section, name);
    }

    // Records a key line by its name and value; the first line of a name wins, later ones are
    // counted.
    // The hash of a name, its slot asked of memory ahead of the Add that will use it (a parse
    // reads the next line meanwhile, instead of waiting for the slot).
    std::uint32_t Prefetch(std::uint32_t section, std::string_view name) const {
        const std::uint32_t h = HashOf(section, name);
        if (!slots_.empty()) __builtin_prefetch(&slots_[h & Mask()]);
        return h;
    }

    // True when the line is the first of its name.
    bool Add(std::uint32_t section, std::string_view name, std::uint32_t line,
             std::string_view value) {
        return Add(HashOf(section, name), section, name, line, value);
    }
    bool Add(std::uint32_t h, std::uint32_t section, std::string_view name, std::uint32_t line,
             std::string_view value) {
        if (Slot* s = Find(h, section, name)) {
            ++s->repeats;
            return false;
        }
        if ((count_ + 1) * 4 > slots_.size() * 3) Grow();
        Slot slot;
        slot.hash = h;
        slot.section = section;
        slot.line = line;
        slot.Set(name, value);
        Place(slot);
        ++count_;
        return true;
    }

    // Room for `keys` names without growing.
    void Reserve(std::size_t keys) {
        std::size_t size = 16;
        while (keys * 4 > size * 3) size *= 2;
        if (size <= slots_.size()) return;
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(size, Slot{});
        for (const Slot& s : old) {
            if (s.hash != 0) Place(s);
        }
    }

    // Removes a slot, moving later slots of its probe run back so no lookup stops short.
    void Erase(Slot* s) {
        std::size_t hole = static_cast<std::size_t>(s - slots_.data());
        for (std::size_t j = (hole + 1) & Mask(); slots_[j].hash != 0; j = (j + 1) & Mask()) {
            const std::size_t home = slots_[j].hash & Mask();
            // Slot j may fill the hole when its home does not lie in (hole, j].
            const bool homeBetween =
                hole < j ? (home > hole && home <= j) : (home > hole || home <= j);
            if (!homeBetween) {
                slots_[hole] = slots_[j];
                hole = j;
            }
        }
        slots_[hole] = Slot{};
        --count_;
    }

private:
    static std::uint32_t HashOf(std::uint32_t section, std::string_view name) {
        // Names that differ in one character, repeated in many sections, must still spread
        // over the whole table: the sum is mixed through every bit.
        std::uint64_t h = platform::HashIgnoreAsciiCase(name) + section * 0x9E3779B97F4A7C15ull;
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        h *= 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 33;
        // The top bit marks a used slot; the low bits, where a slot's place comes from, stay
        // as they are, so that every place can be a name's first choice.
        return static_cast<std::uint32_t>(h) | 0x8000'0000u;
    }
    std::size_t Mask() const { return slots_.size() - 1; }

    void Place(const Slot& slot) {
        std::size_t i = slot.hash & Mask();
        while (slots_[i].hash != 0) i = (i + 1) & Mask();
        slots_[i] = slot;
    }

    void Grow() { Reserve(slots_.empty() ? 1 : slots_.size()); }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

}  // namespace kivo::profile
