#include "platform/inidoc.h"

#include <algorithm>
#include <cstring>

namespace kivo::profile {

namespace {

// A NUL ends the readable text of a line; the bytes after it are kept but never read.
std::string_view Readable(std::string_view text) { return text.substr(0, text.find('\0')); }

// Where the next `c` at or after `from` stands; `n` when there is none.
std::size_t Next(const char* b, std::size_t from, std::size_t n, char c) {
    const void* p = std::memchr(b + from, c, n - from);
    return p ? static_cast<std::size_t>(static_cast<const char*>(p) - b) : n;
}

std::string_view ValueOf(std::string_view text) { return ValueOfLine(text); }

// Names are mostly asked for as the file spells them: an exact match settles those at once.
bool SameName(std::string_view a, std::string_view b) {
    return a == b || platform::EqualsIgnoreAsciiCase(a, b);
}

// Bytes that read as a byte-order mark where they open a file.
bool OpensWithAMark(std::string_view text) {
    for (std::string_view mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        if (text.substr(0, mark.size()) == mark) return true;
    }
    return false;
}

}  // namespace

// The value part of a key line: after the first '=', blanks trimmed.
std::string_view ValueOfLine(std::string_view text) {
    const std::string_view readable = Readable(text);
    return TrimBlanks(readable.substr(readable.find('=') + 1));
}

IniDoc::IniDoc() { sections_.emplace_back(); }

IniDoc::IniDoc(std::string bytes) : buf_(new char[bytes.size()]), bufSize_(bytes.size()) {
    std::copy(bytes.begin(), bytes.end(), buf_.get());
    Parse();
}

IniDoc::IniDoc(Bytes bytes, std::size_t size) : buf_(std::move(bytes)), bufSize_(size) { Parse(); }

void IniDoc::Parse() {
    sections_.emplace_back();
    const char* b = buf_.get();
    const std::size_t n = bufSize_;
    // Every key line holds a '=': the key index is sized once for them all (a file of short
    // lines of one repeated name gets less, and grows as it needs).
    keys_.Reserve(
        std::min<std::size_t>(static_cast<std::size_t>(std::count(b, b + n, '=')), n / 24 + 16));
    const auto headers =
        std::min<std::size_t>(static_cast<std::size_t>(std::count(b, b + n, '[')), n / 24 + 16);
    sections_.reserve(headers + 1);
    std::size_t indexSize = 64;
    while (headers * 2 > indexSize) indexSize *= 2;
    sectionIndex_.assign(indexSize, NameRun{});
    std::size_t pos = 0;
    if (n >= 3 && std::memcmp(b, "\xEF\xBB\xBF", 3) == 0) {
        bomSize_ = pos = 3;
    } else if (n >= 2 &&
               (std::memcmp(b, "\xFF\xFE", 2) == 0 || std::memcmp(b, "\xFE\xFF", 2) == 0)) {
        utf16_ = true;
    }
    Eol first = Eol::None;
    std::size_t nextLf = Next(b, pos, n, '\n'), nextCr = Next(b, pos, n, '\r');
    while (pos < n) {
        // The next CR and the next LF are each searched for once, whatever the mix of line ends.
        if (nextLf < pos) nextLf = Next(b, pos, n, '\n');
        if (nextCr < pos) nextCr = Next(b, pos, n, '\r');
        const std::size_t e = std::min(nextLf, nextCr);
        Eol eol = Eol::None;
        std::size_t next = n;
        if (e < n) {
            if (b[e] == '\n') {
                eol = Eol::LF;
                next = e + 1;
            } else if (e + 1 < n && b[e + 1] == '\n') {
                eol = Eol::CRLF;
                next = e + 2;
            } else {
                eol = Eol::CR;
                next = e + 1;
            }
        }
        if (first == Eol::None) first = eol;
        AddLine({b + pos, e - pos}, eol);
        pos = next;
    }
    IndexPendingKey();
    // Lines added later take the file's own line end; a file without any gets CRLF.
    if (first != Eol::None) fileEol_ = first;
}

IniDoc::Line IniDoc::MakeLine(std::string_view text, Eol eol, std::string_view* name) const {
    Line line;
    line.text = text.data();
    line.size = static_cast<std::uint32_t>(text.size());
    line.eol = eol;
    const std::string_view readable = Readable(text);
    const std::string_view trimmed = TrimBlanks(readable);
    if (trimmed.empty()) {
        line.kind = Kind::Blank;
    } else if (trimmed.front() == '[' && trimmed.find(']') != std::string_view::npos) {
        // The name runs to the last ']' of the line; whatever follows it is ignored.
        line.kind = Kind::Header;
        *name = TrimBlanks(trimmed.substr(1, trimmed.rfind(']') - 1));
    } else if (const auto eq = readable.find('='); eq != std::string_view::npos) {
        line.kind = Kind::Key;
        *name = TrimBlanks(readable.substr(0, eq));
        line.comment = !name->empty() && name->front() == ';';
        const auto start = static_cast<std::size_t>(name->data() - text.data());
        if (start <= 0xFF && name->size() < kUnknownName) {
            line.nameStart = static_cast<std::uint8_t>(start);
            line.nameSize = static_cast<std::uint16_t>(name->size());
        } else {
            line.nameSize = kUnknownName;
        }
    }
    return line;
}

void IniDoc::AddLine(std::string_view text, Eol eol) {
    std::string_view name;
    Line line = MakeLine(text, eol, &name);
    if (line.kind == Kind::Header) {
        Section s;
        s.hasHeader = true;
        s.header = line;
        s.name = name;
        sections_.push_back(std::move(s));
        if (!name.empty()) IndexSection(static_cast<std::uint32_t>(sections_.size() - 1));
        return;
    }
    const auto si = static_cast<std::uint32_t>(sections_.size() - 1);
    auto& lines = sections_.back().lines;
    lines.push_back(line);
    if (line.kind == Kind::Key) {
        const std::uint32_t hash = keys_.Prefetch(si, name);
        IndexPendingKey();
        pending_ = {hash, si, static_cast<std::uint32_t>(lines.size() - 1), name, ValueOf(text)};
    }
}

void IniDoc::IndexPendingKey() {
    if (pending_.hash == 0) return;
    const PendingKey& k = pending_;
    sections_[k.section].lines[k.line].indexed =
        keys_.Add(k.hash, k.section, k.name, k.line, k.value);
    pending_.hash = 0;
}

std::string_view IniDoc::Keep(std::string text) {
    editedBytes_ += text.size();
    arena_.push_back(std::move(text));
    return arena_.back();
}

std::uint32_t IniDoc::SectionHash(std::string_view name) {
    const std::size_t h = platform::HashIgnoreAsciiCase(name);
    return static_cast<std::uint32_t>(h ^ (h >> 32)) | 0x8000'0000u;  // see KeyTable
}

IniDoc::NameRun& IniDoc::RunOf(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = sectionIndex_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        NameRun& r = sectionIndex_[i];
        if (r.hash == 0 ||
            (r.hash == hash && platform::EqualsIgnoreAsciiCase(sections_[r.last].name, name)))
            return r;
    }
}

void IniDoc::IndexSection(std::uint32_t si) {
    if ((namedSections_ + 1) * 2 > sectionIndex_.size()) {
        std::vector<NameRun> old = std::move(sectionIndex_);
        std::size_t size = 64;
        while ((namedSections_ + 1) * 2 > size) size *= 2;
        sectionIndex_.assign(size, NameRun{});
        for (const NameRun& r : old) {
            if (r.hash != 0) RunOf(sections_[r.last].name, r.hash) = r;
        }
    }
    const std::string_view name = sections_[si].name;
    const std::uint32_t hash = SectionHash(name);
    NameRun& r = RunOf(name, hash);
    if (r.hash == 0) {
        r = {hash, si, si};
        ++namedSections_;
        return;
    }
    if (r.first == 0)
        r.first = si;  // every earlier one is gone
    else
        sections_[r.last].nextSameName = si;
    r.last = si;
}

std::optional<std::uint32_t> IniDoc::FindSection(std::string_view name) const {
    // The nameless top part always exists and shadows a section written as "[]".
    if (name.empty()) return 0;
    if (lastSection_ != 0 && SameName(name, lastSectionName_)) return lastSection_;
    if (sectionIndex_.empty()) return std::nullopt;
    const NameRun& r = RunOf(name, SectionHash(name));
    if (r.first == 0) return std::nullopt;
    lastSection_ = r.first;
    lastSectionName_.assign(name);
    return lastSection_;
}

std::string_view KeyNameOfLine(std::string_view text) {
    const std::string_view readable = Readable(text);
    return TrimBlanks(readable.substr(0, readable.find('=')));
}

std::optional<std::string_view> IniDoc::Value(std::string_view section,
                                              std::string_view key) const {
    const auto si = FindSection(section);
    if (!si) return std::nullopt;
    if (const Line* line = NextKeyLine(*si, key)) return ValueOf(line->View());
    const KeyTable::Slot* slot = keys_.Find(*si, key);
    if (!slot) return std::nullopt;
    lastKeySection_ = *si;
    lastKeyLine_ = slot->line;
    return slot->Value();
}

// The key's line when it is one of the few lines after the one found last in the section.
const IniDoc::Line* IniDoc::NextKeyLine(std::uint32_t section, std::string_view key) const {
    if (section != lastKeySection_) return nullptr;
    const auto& lines = sections_[section].lines;
    constexpr std::uint32_t kLookAhead = 3;
    for (std::uint32_t i = lastKeyLine_ + 1; i < lines.size() && i <= lastKeyLine_ + kLookAhead;
         ++i) {
        const Line& line = lines[i];
        if (!line.indexed || line.deleted) continue;
        if (SameName(KeyOf(line), key)) {
            lastKeyLine_ = i;
            return &line;
        }
    }
    return nullptr;
}

std::string IniDoc::SectionNames() const {
    std::string out;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        if (s.deleted || s.name.empty()) continue;
        out.append(s.name);
        out.push_back('\0');
    }
    out.push_back('\0');
    return out;
}

std::string IniDoc::KeyNames(std::string_view section) const {
    std::string out;
    if (const auto si = FindSection(section)) {
        for (const Line& line : sections_[*si].lines) {
            if (line.deleted || line.kind != Kind::Key || line.comment) continue;
            out.append(KeyOf(line));
            out.push_back('\0');
        }
    }
    out.push_back('\0');
    return out;
}

std::uint32_t IniDoc::AppendLineTo(std::uint32_t section, Line line) {
    auto& lines = sections_[section].lines;
    // A new key goes after the last line of its section, but before the blank lines that
    // separate it from the next header, so that the section's layout stays recognisable.
    std::size_t pos = lines.size();
    while (pos > 0 && lines[pos - 1].kind == Kind::Blank && !lines[pos - 1].deleted) --pos;
    EndLineBefore(section, pos);
    // Its line end must not join the blank line after it into one.
    if (pos < lines.size() && line.eol == Eol::CR && OpensWithLf(lines[pos])) line.eol = Eol::CRLF;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pos), line);
    return static_cast<std::uint32_t>(pos);
}

IniDoc::Line* IniDoc::LineBefore(std::uint32_t section, std::size_t pos) {
    for (std::uint32_t si = section;; --si) {
        Section& s = sections_[si];
        if (!s.deleted) {
            for (std::size_t i = std::min(pos, s.lines.size()); i > 0; --i) {
                if (!s.lines[i - 1].deleted) return &s.lines[i - 1];
            }
            if (s.hasHeader) return &s.header;
        }
        if (si == 0) return nullptr;
        pos = sections_[si - 1].lines.size();
    }
}

// Only the file's last line can lack a line end: a line put after it gives it the file's own, in
// the copy as in the bytes written, so that both read as the same lines.
void IniDoc::EndLineBefore(std::uint32_t section, std::size_t pos) {
    Line* before = LineBefore(section, pos);
    if (before && before->eol == Eol::None) before->eol = fileEol_;
}

bool IniDoc::Set(std::string_view section, std::string_view key, std::string_view value) {
    auto si = FindSection(section);
    if (!si) {
        std::string bracketed;
        bracketed.reserve(section.size() + 2);
        bracketed.append("[").append(section).append("]");
        EndLineBefore(static_cast<std::uint32_t>(sections_.size() - 1), SIZE_MAX);
        const std::string_view header = Keep(std::move(bracketed));
        Section s;
        s.hasHeader = true;
        s.header.text = header.data();
        s.header.size = static_cast<std::uint32_t>(header.size());
        s.header.eol = fileEol_;
        s.header.kind = Kind::Header;
        s.name = header.substr(1, section.size());
        sections_.push_back(std::move(s));
        si = static_cast<std::uint32_t>(sections_.size() - 1);
        IndexSection(*si);
    }
    Section& s = sections_[*si];
    // Rewriting the value a key already has changes nothing.
    if (const Line* line = NextKeyLine(*si, key); line && ValueOf(line->View()) == value)
        return false;
    if (KeyTable::Slot* slot = keys_.Find(*si, key)) {
        Line& line = s.lines[slot->line];
        lastKeySection_ = *si;
        lastKeyLine_ = slot->line;
        if (slot->Value() == value) return false;
        // The key keeps its spelling from the file and the line keeps its own line end.
        std::string replaced = std::string(KeyOf(line)) + "=" + std::string(value);
        if (replaced == line.View()) return false;
        const std::string_view text = Keep(std::move(replaced));
        line.text = text.data();
        line.size = static_cast<std::uint32_t>(text.size());
        line.nameStart = 0;  // the name now opens the line
        slot->SetText(text);
        return true;
    }
    const std::string_view text = Keep(std::string(key) + "=" + std::string(value));
    std::string_view name;
    Line line = MakeLine(text, fileEol_, &name);
    line.indexed = true;
    // Key lines never follow the insertion point, so the index of every other key stays valid.
    lastKeySection_ = *si;
    lastKeyLine_ = AppendLineTo(*si, line);
    keys_.Add(*si, name, lastKeyLine_, ValueOf(text));
    return true;
}

bool IniDoc::DeleteKey(std::string_view section, std::string_view key) {
    const auto si = FindSection(section);
    if (!si) return false;
    KeyTable::Slot* found = keys_.Find(*si, key);
    if (!found) return false;
    KeyTable::Slot& slot = *found;
    auto& lines = sections_[*si].lines;
    if (*si == 0 && WouldUncoverAMark(slot.line)) {
        // The key's text goes and its line end stays, as an empty line.
        Line& line = lines[slot.line];
        line.size = 0;
        line.kind = Kind::Blank;
        line.indexed = line.comment = false;
    } else {
        lines[slot.line].deleted = true;
        KeepLineEndsApart(*si, slot.line);
    }
    if (slot.repeats == 0) {
        keys_.Erase(found);
        return true;
    }
    // The next line of the same name shows through.
    for (std::uint32_t i = slot.line + 1; i < lines.size(); ++i) {
        if (!lines[i].deleted && lines[i].kind == Kind::Key &&
            platform::EqualsIgnoreAsciiCase(KeyOf(lines[i]), key)) {
            slot.line = i;
            slot.SetText(lines[i].View());
            lines[i].indexed = true;
            break;
        }
    }
    --slot.repeats;
    return true;
}

// A line ended by a bare CR, followed after the deleted line by an empty LF-ended line, would
// make one CRLF with it, and a blank line would vanish: the earlier line takes the deleted line's
// LF, so the bytes around the deleted line stay as they were and read as the same lines.
void IniDoc::KeepLineEndsApart(std::uint32_t section, std::uint32_t deleted) {
    auto& lines = sections_[section].lines;
    std::size_t next = deleted + 1;
    while (next < lines.size() && lines[next].deleted) ++next;
    if (next == lines.size() || !OpensWithLf(lines[next])) return;
    Line* before = LineBefore(section, deleted);
    if (before && before->eol == Eol::CR) before->eol = Eol::CRLF;
}

bool IniDoc::WouldOpenTheFile(std::string_view section) const {
    if (!section.empty() || bomSize_ != 0) return false;
    const auto& lines = sections_[0].lines;
    // Where a new key of the top part goes: after its last line that is not blank.
    std::size_t pos = lines.size();
    while (pos > 0 && lines[pos - 1].kind == Kind::Blank && !lines[pos - 1].deleted) --pos;
    return std::all_of(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(pos),
                       [](const Line& l) { return l.deleted; });
}

// The line after the deleted one would open a file without a mark of its own, and it begins with
// a mark: it would be read as that mark and the text after it, or as UTF-16 text. (Only the top
// part can hold such a line: every other part opens with its header.)
bool IniDoc::WouldUncoverAMark(std::uint32_t deleted) const {
    if (bomSize_ != 0) return false;
    const auto& lines = sections_[0].lines;
    for (std::uint32_t i = 0; i < deleted; ++i) {
        if (!lines[i].deleted) return false;
    }
    for (std::size_t i = deleted + 1; i < lines.size(); ++i) {
        if (!lines[i].deleted) return OpensWithAMark(lines[i].View());
    }
    return false;
}

// At the very start of the file, a new key beginning with a byte-order mark would be read as that
// mark and the name after it, or as UTF-16 text. (A key of the top part already there sits after
// a line that is not deleted.)
bool IniDoc::MarkWouldOpenTheFile(std::string_view section, std::string_view key) const {
    return OpensWithAMark(key) && WouldOpenTheFile(section);
}

bool IniDoc::DeleteSection(std::string_view section) {
    if (section.empty()) {
        bool changed = false;
        for (Line& line : sections_[0].lines) {
            if (line.deleted) continue;
            if (line.kind == Kind::Key) {
                if (KeyTable::Slot* slot = keys_.Find(0, KeyOf(line))) keys_.Erase(slot);
            }
            line.deleted = true;
            changed = true;
        }
        return changed;
    }
    if (sectionIndex_.empty()) return false;
    NameRun& run = RunOf(section, SectionHash(section));
    if (run.first == 0) return false;
    // The keys of the dropped section stay in the index under its number, which no lookup
    // reaches any more.
    Section& dropped = sections_[run.first];
    dropped.deleted = true;
    lastSection_ = 0;
    run.first = dropped.nextSameName;
    return true;
}

bool IniDoc::IsWritableKey(std::string_view key, std::string_view value) {
    if (key.find('=') != std::string_view::npos) return false;
    if (key.empty()) return true;
    if (key.front() == ';') return false;
    return key.front() != '[' ||
           (key.find(']') == std::string_view::npos && value.find(']') == std::string_view::npos);
}

std::string_view IniDoc::EolText(Eol eol) {
    switch (eol) {
        case Eol::LF: return "\n";
        case Eol::CR: return "\r";
        case Eol::CRLF: return "\r\n";
        case Eol::None: break;
    }
    return {};
}

std::string IniDoc::Serialize() const {
    std::string out;
    out.reserve(bufSize_ + editedBytes_ + 64);
    out.append(buf_.get(), bomSize_);
    auto emit = [&](const Line& line) {
        out.append(line.text, line.size);
        out.append(EolText(line.eol));
    };
    for (const Section& s : sections_) {
        if (s.deleted) continue;
        if (s.hasHeader) emit(s.header);
        for (const Line& line : s.lines) {
            if (!line.deleted) emit(line);
        }
    }
    return out;
}

}  // namespace kivo::profile
