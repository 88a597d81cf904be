#pragma once
// One INI file held in memory as its lines, each kept as the bytes it had (text and line end),
// with an index of sections and keys by name (ASCII case folded). Edits change, add or drop
// single lines, so writing the document back reproduces every untouched byte.
//
// Names handed to the lookups and edits are already trimmed by the caller (except where the
// caller's rules say otherwise); this class only matches them.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/asciicase.h"
#include "platform/blanks.h"
#include "platform/keytable.h"

namespace kivo::profile {

class IniDoc {
public:
    // A file's bytes as read, not filled beforehand.
    using Bytes = std::unique_ptr<char[]>;

    IniDoc();                            // the document of a missing or empty file
    explicit IniDoc(std::string bytes);  // parses the file's bytes
    IniDoc(Bytes bytes, std::size_t size);
    IniDoc(const IniDoc&) = delete;
    IniDoc& operator=(const IniDoc&) = delete;

    // The stored value of a key, blanks trimmed, quotes still on; nullopt when the section or
    // the key is missing. Section "" is the nameless part before the first header.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;

    // Name lists in full: each name followed by NUL, one more NUL at the end; a list without
    // names is a single NUL.
    std::string SectionNames() const;
    std::string KeyNames(std::string_view section) const;

    // Whether the line "key=value" (key trimmed) reads back as that key of its section, listed
    // among its keys: not when the key holds '=' (the line would read as another key), starts
    // with ';' (a comment, left out of the key list) or starts with '[' on a line that holds a
    // ']' (a section header). Any other key the reader gives back can be written.
    static bool IsWritableKey(std::string_view key, std::string_view value);
    // For a key IsWritableKey accepts: whether its line would also read back as itself where
    // Set puts it. A save asks this for every key it writes: only a key whose first byte may
    // open a byte-order mark is looked at further.
    bool ReadsBackAsItself(std::string_view section, std::string_view key) const {
        return key.empty() || static_cast<unsigned char>(key.front()) < 0xEF ||
               !MarkWouldOpenTheFile(section, key);
    }

    // Edits; each returns true when the document changed. Set expects a key IsWritableKey and
    // ReadsBackAsItself accept.
    bool Set(std::string_view section, std::string_view key, std::string_view value);
    bool DeleteKey(std::string_view section, std::string_view key);
    bool DeleteSection(std::string_view section);

    std::string Serialize() const;

    // A UTF-16 file is read as bytes (and so finds nothing) and must not be written as bytes.
    bool IsUtf16() const { return utf16_; }
    // Bytes held for edited lines beyond the file as read.
    std::size_t EditedBytes() const { return editedBytes_; }

private:
    enum class Eol : std::uint8_t { None, LF, CR, CRLF };
    enum class Kind : std::uint8_t { Blank, Other, Key, Header };

    struct Line {
        const char* text = nullptr;  // into buf_ or into an edited line of arena_
        std::uint32_t size = 0;
        // Packed, so that a line costs 16 bytes however many the file holds.
        Eol eol : 2 = Eol::None;
        Kind kind : 2 = Kind::Other;
        bool comment : 1 =
            false;  // a key line starting with ';': readable, but not in the key list
        bool deleted : 1 = false;
        bool indexed : 1 = false;  // a key line the index leads to: the first of its name
        // A key line's name as the parse found it (kUnknownName: to be found in the text).
        std::uint8_t nameStart = 0;
        std::uint16_t nameSize = 0;
        std::string_view View() const { return {text, size}; }
    };
    struct Section {
        bool hasHeader = false;  // false only for the nameless top part
        bool deleted = false;
        Line header;
        std::string_view name;           // trimmed, as spelled in the file
        std::uint32_t nextSameName = 0;  // the next section of the name in file order; 0: none
        std::vector<Line> lines;
    };
    // The sections of one name: the first one still there (0: none left), and the last one.
    struct NameRun {
        std::uint32_t hash = 0;  // 0: an empty slot
        std::uint32_t first = 0;
        std::uint32_t last = 0;
    };
    void IndexSection(std::uint32_t si);
    void KeepLineEndsApart(std::uint32_t section, std::uint32_t deleted);
    // The last line still there before line `pos` of the section (its header, or a line of an
    // earlier section, when none is); nullptr at the file's start.
    Line* LineBefore(std::uint32_t section, std::size_t pos);
    void EndLineBefore(std::uint32_t section, std::size_t pos);
    // An empty LF-ended line: a bare CR right before it would read as one CRLF with it.
    static bool OpensWithLf(const Line& line) { return line.size == 0 && line.eol == Eol::LF; }
    // Whether a new key of the section would be the file's first bytes.
    bool WouldOpenTheFile(std::string_view section) const;
    bool WouldUncoverAMark(std::uint32_t deleted) const;
    bool MarkWouldOpenTheFile(std::string_view section, std::string_view key) const;
    // The index's slot for a section name: its run, or the empty slot where it belongs.
    NameRun& RunOf(std::string_view name, std::uint32_t hash) const;
    static std::uint32_t SectionHash(std::string_view name);
    void Parse();
    void AddLine(std::string_view text, Eol eol);
    void IndexPendingKey();
    Line MakeLine(std::string_view text, Eol eol, std::string_view* name) const;
    std::string_view Keep(std::string text);
    std::optional<std::uint32_t> FindSection(std::string_view name) const;
    const Line* NextKeyLine(std::uint32_t section, std::string_view key) const;
    std::uint32_t AppendLineTo(std::uint32_t section, Line line);
    static std::string_view EolText(Eol eol);
    static constexpr std::uint16_t kUnknownName = 0xFFFF;
    static std::string_view KeyOf(const Line& line) {
        return line.nameSize != kUnknownName
                   ? std::string_view(line.text + line.nameStart, line.nameSize)
                   : KeyNameOfLine(line.View());
    }

    Bytes buf_;
    std::size_t bufSize_ = 0;
    std::deque<std::string> arena_;  // stable storage for edited and added lines
    std::size_t editedBytes_ = 0;
    std::size_t bomSize_ = 0;
    bool utf16_ = false;
    Eol fileEol_ = Eol::CRLF;
    std::vector<Section> sections_;  // [0] is the nameless top part
    // Named sections by name: an open-addressing table, never more than half full.
    mutable std::vector<NameRun> sectionIndex_;
    std::size_t namedSections_ = 0;
    KeyTable keys_;
    // While parsing: the key line read last, indexed once the next line is read.
    struct PendingKey {
        std::uint32_t hash = 0;  // 0: none
        std::uint32_t section = 0;
        std::uint32_t line = 0;
        std::string_view name, value;
    } pending_;
    // The section found last: a run of lookups in one section finds it without the index.
    mutable std::string lastSectionName_;
    mutable std::uint32_t lastSection_ = 0;  // 0: none (the top part needs no lookup)
    // The key line found last, by section and line number: keys are mostly asked for in the
    // order of the file, so the lines after it are tried before the index.
    mutable std::uint32_t lastKeySection_ = 0;
    mutable std::uint32_t lastKeyLine_ = 0;
};

}  // namespace kivo::profile
