// Loading the model from the installer's files, and the two presets of the wizard.

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "platform/asciicase.h"
#include "platform/fileops.h"
#include "platform/profile.h"
#include "platform/ui.h"
#include "store/CopyListKeys.h"
#include "store/OemInstallKeys.h"
#include "store/SectionKeys.h"
#include "store/Util.h"
#include "store/modTAVIN.h"

namespace modTAVIN {

namespace {

using keys::ListKeys;

// A count as the lists use it: text that is no number, a number beyond 16 bits (Util gives 0
// for both) and a negative number all read as 0.
int16_t ReadCount(const std::string& section, const std::string& key, const std::string& file) {
    int16_t n = Util::GetIniInteger(section, key, 0, file);
    return n < 0 ? int16_t{0} : n;
}

// ---- Bounding a load by what the settings file holds ---------------------------------------------
//
// A count key can promise up to 32,767 entries, and counts nest (groups, then each group's four
// lists), so a small file could make the load build billions of entries and the save write every
// key of them. An entry of which the file holds at least one key is always loaded, and costs
// nothing for the keys it lacks: those are bounded by the file itself. An entry the count promises
// but the file holds no key of (a gap: a stale count, a run of deleted entries) becomes an empty
// entry, whose keys the save writes with empty values; gaps are paid for, by the bytes of those
// lines, out of one allowance per load: the file's size plus 1 MB. Where the allowance runs out,
// the gaps left are dropped and the held entries after them move up, and the load says which
// lists it cut. A group of which the file holds no key would be dropped at the end of the load
// (it has no entries), so it is never built.
constexpr std::size_t kGapAllowance = 1024 * 1024;
constexpr std::size_t kLineEnd = 2;  // what the save ends a line with, at the most
constexpr std::size_t kMaxCutLines = 10;
constexpr std::size_t kGroupPrefix = 5;  // "Group"

std::size_t Digits(int n) { return n < 10 ? 1 : n < 100 ? 2 : n < 1000 ? 3 : n < 10000 ? 4 : 5; }

// The bytes of the lines "<prefix><n><field>=" (and `valueBytes` of values) the save writes for
// an empty entry n; `prefix` is the length of what comes before n.
std::size_t EmptyEntryBytes(std::size_t prefix, int n, std::span<const char* const> fields,
                            std::size_t valueBytes = 0) {
    std::size_t bytes = valueBytes;
    for (const char* field : fields)
        bytes += prefix + Digits(n) + std::char_traits<char>::length(field) + 1 + kLineEnd;
    return bytes;
}

class LoadAllowance {
public:
    explicit LoadAllowance(const std::string& file) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(kivo::fileops::ResolveCase(file), ec);
        fileSize_ = ec ? 0 : static_cast<std::size_t>(size);
        left_ = fileSize_ + kGapAllowance;
    }

    std::size_t FileSize() const { return fileSize_; }

    // Whether a gap whose lines weigh `bytes` can be paid for; pays when it can. Once the
    // allowance has refused a gap, it refuses every later one, so a cut list ends where the
    // allowance ran out.
    bool PayGap(std::size_t bytes) {
        if (exhausted_ || bytes > left_) {
            exhausted_ = true;
            return false;
        }
        left_ -= bytes;
        return true;
    }

    void Cut(const std::string& section, const std::string& list, int kept, int promised) {
        if (cuts_.size() < kMaxCutLines) {
            cuts_.push_back("[" + section + "] " + list + ": " + std::to_string(kept) + " of " +
                            std::to_string(promised) + " kept");
        }
        ++cutCount_;
    }

    // One message for every list the load cut.
    void Report() const {
        if (cutCount_ == 0) return;
        std::string text =
            "TAVIN.ini promises more entries than it holds. Every entry the file holds was "
            "loaded, but not all of the empty ones its counts promise: saving writes these lists "
            "shorter.";
        for (const std::string& line : cuts_) text += "\n" + line;
        if (cutCount_ > cuts_.size())
            text += "\n... and " + std::to_string(cutCount_ - cuts_.size()) + " more lists";
        kivo::Ui().MessageBox(text, kivo::MsgButtons::OK, Util::kMessageTitle);
    }

private:
    std::size_t fileSize_ = 0;
    std::size_t left_ = 0;
    bool exhausted_ = false;
    std::vector<std::string> cuts_;
    std::size_t cutCount_ = 0;
};

LoadAllowance* g_load = nullptr;  // the allowance of the load in progress

// The allowance of the load in progress; the outermost scope starts it and reports its cuts.
class LoadScope {
public:
    explicit LoadScope(const std::string& file) {
        if (g_load) return;
        own_ = std::make_unique<LoadAllowance>(file);
        g_load = own_.get();
    }
    ~LoadScope() {
        if (own_) g_load = nullptr;
    }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;

    LoadAllowance* operator->() const { return g_load; }
    LoadAllowance& operator*() const { return *g_load; }
    // At the end of the outermost scope's work: the message on the cuts, if any.
    void Finish() const {
        if (own_) own_->Report();
    }

private:
    std::unique_ptr<LoadAllowance> own_;
};

// Fills `list` with `count` entries: entry i is read by `read` when `held` (ascending, without
// repeats) names it, else it is an empty entry if the allowance pays `gapBytes(i)` for it. Says
// so when the list comes out short.
template <class Entry, class Read, class GapBytes>
void BuildList(LoadAllowance& allowance, const std::string& section, const std::string& what,
               int count, const std::vector<int>& held, OneBasedList<Entry>& list, Read read,
               GapBytes gapBytes) {
    list.Clear();
    auto next = std::lower_bound(held.begin(), held.end(), 1);
    for (int i = 1; i <= count;) {
        if (next != held.end() && *next == i) {
            Entry e{};
            read(i, e);
            list.Append(std::move(e));
            ++next;
            ++i;
            continue;
        }
        const int gapEnd = next != held.end() && *next <= count ? *next : count + 1;
        for (; i < gapEnd; ++i) {
            if (!allowance.PayGap(gapBytes(i))) {
                i = gapEnd;
                break;
            }
            list.Append(Entry{});
        }
    }
    if (list.Count() < count) allowance.Cut(section, what, list.Count(), count);
}

// The entries numbered in a section's keys, ascending, for the keys `number` gives a number to.
template <class Number>
std::vector<int> NumbersInKeys(const std::string& section, const std::string& file,
                               std::size_t sizeHint, Number number) {
    std::vector<int> numbers;
    ForEachListedName(WholeKeyList(section, file, sizeHint), [&](std::string_view key) {
        if (const int n = number(key); n > 0) numbers.push_back(n);
    });
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// ---- Copy lists ---------------------------------------------------------------------------------

// A platform or language value split at its commas; see the split rule of the load.
OneBasedList<std::string> SplitList(std::string rest) {
    OneBasedList<std::string> list;
    std::string token = Util::GetToken(rest, ",");
    while (!rest.empty()) {
        list.Append(token);
        token = Util::GetToken(rest, ",");
    }
    list.Append(token);
    return list;
}

// Which groups and entries of a copy-list section the file holds keys of.
class SectionHoldings {
public:
    SectionHoldings(const std::string& section, const std::string& file, std::size_t sizeHint) {
        ForEachListedName(WholeKeyList(section, file, sizeHint), [&](std::string_view name) {
            if (const auto key = keys::ParseCopyListKey(name); key && key->group > 0)
                keys_.push_back(*key);
        });
        std::sort(keys_.begin(), keys_.end());
        keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
    }

    // The groups, ascending.
    std::vector<int> Groups() const {
        std::vector<int> groups;
        for (const keys::CopyListKey& k : keys_)
            if (groups.empty() || groups.back() != k.group) groups.push_back(k.group);
        return groups;
    }
    // The entries of one list of group g, ascending.
    std::vector<int> Entries(int g, keys::EntryList list) const {
        std::vector<int> entries;
        for (auto it = std::lower_bound(keys_.begin(), keys_.end(), keys::CopyListKey{g, list, 0});
             it != keys_.end() && it->group == g && it->list == list; ++it)
            entries.push_back(it->entry);
        return entries;
    }

private:
    std::vector<keys::CopyListKey> keys_;
};

// Reads the keys of one copy-list section; keys the section does not hold give their defaults.
// Each key is looked up once, and its name is built in one buffer.
class SectionReader {
public:
    SectionReader(const std::string& section, const std::string& file, LoadAllowance& allowance)
        : section_(section),
          file_(file),
          allowance_(allowance),
          held_(section, file, allowance.FileSize()) {}

    std::string Text(const std::string& key, const char* def = "") {
        std::string v;
        if (!Find(key, v)) v = def;
        return v;
    }
    int16_t Number(const std::string& key) {
        std::string v;
        return Find(key, v) ? Util::IniInteger(v) : int16_t{0};
    }
    int16_t Count(const std::string& key) {
        std::string v;
        if (!Find(key, v)) return 0;
        const int16_t n = Util::IniInteger(v);
        return n < 0 ? int16_t{0} : n;
    }

    // Fills one of group g's lists with `count` entries.
    template <class Entry, class Read, class GapBytes>
    int16_t List(int g, keys::EntryList which, const char* what, int count,
                 OneBasedList<Entry>& list, Read read, GapBytes gapBytes) {
        BuildList(allowance_, section_, "Group" + std::to_string(g) + " " + what, count,
                  held_.Entries(g, which), list, read, gapBytes);
        return static_cast<int16_t>(list.Count());
    }

    KeyNames& names() { return names_; }
    const SectionHoldings& held() const { return held_; }

private:
    bool Find(const std::string& key, std::string& v) {
        return kivo::profile::FindString(section_, key, Util::kValueChars + 1, file_, v);
    }

    const std::string& section_;
    const std::string& file_;
    LoadAllowance& allowance_;
    SectionHoldings held_;
    KeyNames names_;
};

void ReadIcon(SectionReader& in, int g, int i, IconEntry& e) {
    const ListKeys& k = keys::kIconKeys;
    auto key = [&](int f) -> const std::string& {
        return in.names().Entry(g, k.item, i, k.readFields[static_cast<std::size_t>(f)]);
    };
    e.Style = in.Text(key(0));
    e.Folder = in.Text(key(1));
    e.SubFolder = in.Text(key(2));
    e.Exe = in.Text(key(3));
    e.ExeSubDir = in.Text(key(4));
    e.Description = in.Text(key(5));
    e.Number = in.Number(key(6));
    e.App = in.Text(key(7));
    e.AppLoc = in.Text(key(8));
}

// Registry and INI entries share their shape: six texts in field order.
template <class Entry>
void ReadSixTexts(SectionReader& in, const ListKeys& k, int g, int n, Entry& e,
                  std::string Entry::*const (&fields)[6]) {
    for (std::size_t f = 0; f < 6; ++f)
        e.*fields[f] = in.Text(in.names().Entry(g, k.item, n, k.readFields[f]));
}

std::string RegEntry::*const kRegFields[6] = {&RegEntry::Platform,  &RegEntry::ParentKey,
                                              &RegEntry::Key,       &RegEntry::ValueName,
                                              &RegEntry::ValueType, &RegEntry::ValueData};
std::string IniEntry::*const kIniFields[6] = {&IniEntry::Platform, &IniEntry::FileLoc,
                                              &IniEntry::FileName, &IniEntry::Section,
                                              &IniEntry::Key,      &IniEntry::Value};

// A group's platform or language list. The key missing (read as "WRONG") leaves the text empty
// and the list without entries; an empty value gives one empty entry.
void ReadNameList(SectionReader& in, const std::string& key, std::string& text,
                  OneBasedList<std::string>& list) {
    // The key missing reads as "WRONG".
    std::string v = in.Text(key, "WRONG");
    list.Clear();
    text.clear();
    if (v == "WRONG") return;
    text = v;
    list = SplitList(v);
}

void ReadGroup(SectionReader& in, int g, FileGroup& grp) {
    KeyNames& key = in.names();
    ReadNameList(in, key.Group(g, "Platform"), grp.Platform, grp.PlatformList);
    ReadNameList(in, key.Group(g, "Language"), grp.Language, grp.LanguageList);

    const int16_t files = in.Count(key.Group(g, "NumberOfFiles"));
    if (files > 0) {
        grp.DestDir = in.Text(key.Group(g, "DestDir"));
        grp.Loc = in.Text(key.Group(g, "Loc"));
    }
    // Group<g>FileName<f> and Group<g>File<f>ExpandType.
    static constexpr const char* kFileFields[] = {keys::kFileNameWrite, "FileExpandType"};
    grp.NumberOfFiles = in.List(
        g, keys::EntryList::Files, "files", files, grp.Files,
        [&](int f, FileEntry& e) {
            e.FileName = in.Text(key.Entry(g, keys::kFileNameRead, f, ""));
            e.ExpandType = in.Text(key.Entry(g, "File", f, "ExpandType"));
        },
        [&](int f) { return EmptyEntryBytes(kGroupPrefix + Digits(g), f, kFileFields); });
    // Every file, an empty one too, takes the group's destination.
    for (FileEntry& e : grp.Files) {
        e.DestDir = grp.DestDir;
        e.Loc = grp.Loc;
    }

    auto list = [&](const ListKeys& k, keys::EntryList which, const char* what, auto& entries,
                    auto read) {
        return in.List(
            g, which, what, in.Count(key.Group(g, k.countKey)), entries, read, [&](int n) {
                // An icon's Number is written " 0".
                return EmptyEntryBytes(
                    kGroupPrefix + Digits(g) + std::char_traits<char>::length(k.item), n,
                    std::span(k.writeFields.data(), static_cast<std::size_t>(k.fieldCount)),
                    &k == &keys::kIconKeys ? 2 : 0);
            });
    };
    grp.NumberOfIcons = list(keys::kIconKeys, keys::EntryList::Icons, "icons", grp.Icons,
                             [&](int i, IconEntry& e) { ReadIcon(in, g, i, e); });
    grp.NumberOfRegEntries =
        list(keys::kRegKeys, keys::EntryList::RegEntries, "registry entries", grp.RegEntries,
             [&](int r, RegEntry& e) { ReadSixTexts(in, keys::kRegKeys, g, r, e, kRegFields); });
    grp.NumberOfIniEntries =
        list(keys::kIniKeys, keys::EntryList::IniEntries, "INI entries", grp.IniEntries,
             [&](int n, IniEntry& e) { ReadSixTexts(in, keys::kIniKeys, g, n, e, kIniFields); });
}

// Walks a name list (names each followed by NUL, one more NUL at the end) up to its first empty
// name.
template <class Visit>
void ForEachName(std::string list, Visit visit) {
    for (std::string name = Util::GetToken(list); !name.empty(); name = Util::GetToken(list))
        visit(name);
}

// A value of the product's factory values: KIVO.ini's section of the product, or what an import
// that could not be written kept instead; `def` when neither holds the key.
std::string FactoryString(const std::string& product, const std::string& key,
                          const std::string& def) {
    const State& s = S();
    const auto kept = s.FactoryValues.find(product);
    if (kept == s.FactoryValues.end()) return Util::GetIniString(product, key, def, s.KivoIniPath);
    for (const auto& [name, value] : kept->second)
        if (kivo::platform::EqualsIgnoreAsciiCase(name, key)) return value;
    return def;
}

bool FactoryYesNo(const std::string& product, const std::string& key, bool def) {
    const std::string text = FactoryString(product, key, def ? "YES" : "NO");
    return text == "YES" || (text != "NO" && def);
}

// The three flags computed from the product's factory values in KIVO.ini.
void LoadProductFlags() {
    State& s = S();
    const std::string& product = s.OemSettings.Product;
    bool typeDlg = FactoryYesNo(product, "DisplayTypeOfInstallDlg", true);
    bool userInfoDlg = FactoryYesNo(product, "DisplayUserInfoDlg", true);
    bool destDirDlg = FactoryYesNo(product, "DisplaySelectDestDirDlg", false);
    s.OemSettings.ProductHidesTypeDlg = !typeDlg;
    s.OemSettings.ProductHidesUserInfoDlg = !userInfoDlg;
    s.OemSettings.ProductHidesDestDirDlgs = !destDirDlg && !typeDlg;
}

}  // namespace

bool LoadInstaller() {
    const kivo::profile::Operation operation;
    LoadTavinIni();
    S().Modified = false;
    S().InstallerOpen = true;
    return true;
}

void LoadTavinIni() {
    const kivo::profile::Operation operation;
    State& s = S();
    // The file is the one found now, by this spelling, for the rest of the session: the saves
    // write it and back it up, and a file of another spelling that appears later is not it.
    s.TavinIniPath = kivo::fileops::ResolveCase(s.TavinIniPath);
    const LoadScope load(s.TavinIniPath);
    OemInstall& o = s.OemSettings;
    for (const keys::OemKey& k : keys::OemKeys()) {
        const char* section = k.inSetupType ? keys::kSetupType : keys::kOemInstall;
        if (k.text)
            o.*k.text = Util::GetIniString(section, k.key, "", s.TavinIniPath);
        else
            o.*k.flag = Util::GetIniYesNo(section, k.key, k.def, s.TavinIniPath);
    }
    LoadLanguageSettings();
    LoadComponents();
    if (!o.Components.Empty())
        LoadComponentBlindCopies();
    else
        LoadBlindCopySectionsByName();
    LoadRemoveShortcuts();
    LoadLaunches();
    LoadProductFlags();
    RemoveEmptyGroups();
    // The files as the load read them: what another program changes from now on is its own.
    RecordFilesAsOpened();
    load.Finish();
}

void RecordFilesAsOpened() {
    State& s = S();
    s.TavinIniState = kivo::profile::ParsedState(s.TavinIniPath);
    s.SetupIssState = kivo::profile::ParsedState(s.SetupIssPath);
}

void LoadLanguageSettings() {
    if (HasResponseFile()) S().OemSettings.Iss.WriteResponseFile = true;
    LoadLanguages();
}

void LoadLanguages() {
    State& s = S();
    IssSettings& iss = s.OemSettings.Iss;
    int16_t count = Util::GetIniInteger("Languages", "count", 0, s.SetupLidPath);
    if (count < 1) {
        iss.Languages.Clear();
        ForEachName(Util::GetIniSectionKeys("LANGUAGES", s.KivoIniPath), [&](const std::string&
                                                                                 code) {
            iss.Languages.Append({Util::GetIniString("LANGUAGES", code, "", s.KivoIniPath), code});
        });
        iss.SelectedLanguage = 1;
        std::string lang = Util::GetIniString("Application", "Lang", "0009", s.SetupIssPath);
        for (int i = 1; i <= iss.Languages.Count(); ++i) {
            if (iss.Languages(i).Code == lang) iss.SelectedLanguage = static_cast<int16_t>(i);
        }
        return;
    }
    std::string def = Util::GetIniString("Languages", "Default", "", s.SetupLidPath);
    iss.Languages.Clear();
    for (int k = 1; k <= count; ++k) {
        std::string code =
            Util::GetIniString("Languages", "key" + std::to_string(k - 1), "", s.SetupLidPath);
        if (code.empty()) continue;
        std::string name =
            Util::GetIniString("LANGUAGES", code, "Lang" + std::to_string(k), s.KivoIniPath);
        iss.Languages.Append({name, code});
        if (code == def) {
            iss.SelectedLanguage = static_cast<int16_t>(iss.Languages.Count());
            iss.DefaultLanguage = iss.SelectedLanguage;
        }
    }
    // The language a save chose stands in the response file: it outranks the installer's default,
    // or reopening and saving would go back to the default.
    const std::string chosen = Util::GetIniString("Application", "Lang", "", s.SetupIssPath);
    for (int i = 1; !chosen.empty() && i <= iss.Languages.Count(); ++i) {
        if (iss.Languages(i).Code == chosen) {
            iss.SelectedLanguage = static_cast<int16_t>(i);
            break;
        }
    }
}

void LoadComponents() {
    State& s = S();
    const LoadScope load(s.TavinIniPath);
    const std::string section = "Components";
    const int16_t n = ReadCount(section, "NUMBER", s.TavinIniPath);
    static constexpr const char* kFields[] = {"Parent", "", "Enabled"};
    // A component is held by its keys here or by its copy-list section.
    std::vector<int> held;
    if (n > 0) {
        held = NumbersInKeys(section, s.TavinIniPath, load->FileSize(), [](std::string_view key) {
            return keys::NumberedKeyIndex(key, "Comp", kFields);
        });
        static constexpr const char* kCopyList[] = {" BlindCopy"};
        ForEachListedName(WholeSectionList(s.TavinIniPath, load->FileSize()),
                          [&](std::string_view name) {
                              if (int i = keys::NumberedKeyIndex(name, "Comp", kCopyList))
                                  held.push_back(i);
                          });
        std::sort(held.begin(), held.end());
        held.erase(std::unique(held.begin(), held.end()), held.end());
    }
    BuildList(
        *load, section, "components", n, held, s.OemSettings.Components,
        [&](int i, ComponentEntry& c) {
            const std::string comp = "Comp" + std::to_string(i);
            c.Parent = Util::GetIniString(section, comp + "Parent", "", s.TavinIniPath);
            c.Name = Util::GetIniString(section, comp, "", s.TavinIniPath);
            c.Enabled = Util::GetIniYesNo(section, comp + "Enabled", false, s.TavinIniPath);
        },
        // Comp<i>Enabled is written NO.
        [](int i) { return EmptyEntryBytes(4, i, kFields, 2); });
    load.Finish();
}

void LoadComponentBlindCopies() {
    State& s = S();
    const LoadScope load(s.TavinIniPath);
    s.BlindCopies.Clear();
    for (int i = 1; i <= s.OemSettings.Components.Count(); ++i) {
        s.BlindCopies.Append(BlindCopy{});
        LoadBlindCopySection(static_cast<int16_t>(i), s.OemSettings.Components(i).Name,
                             "Comp" + std::to_string(i) + " BlindCopy");
    }
    load.Finish();
}

void LoadBlindCopySectionsByName() {
    State& s = S();
    const LoadScope load(s.TavinIniPath);
    s.BlindCopies.Clear();
    // Of sections whose names differ only in letter case, every read finds the first: a later
    // one would be a second copy of its list, which the save would then write twice.
    std::unordered_set<std::string> loaded;
    // The whole list: a list cut short would leave sections unread that the save then writes
    // anew.
    ForEachListedName(
        WholeSectionList(s.TavinIniPath, load->FileSize()), [&](std::string_view listed) {
            if (!kivo::platform::ContainsIgnoreAsciiCase(listed, "BlindCopy")) return;
            const std::string name(listed);
            if (!loaded.insert(kivo::platform::FoldedAscii(name)).second) return;
            s.BlindCopies.Append(BlindCopy{});
            LoadBlindCopySection(static_cast<int16_t>(s.BlindCopies.Count()), name, name);
        });
    load.Finish();
}

void LoadBlindCopySection(int16_t position, const std::string& name, const std::string& section) {
    State& s = S();
    if (position < 1 || position > s.BlindCopies.Count()) return;
    const LoadScope load(s.TavinIniPath);
    BlindCopy& bc = s.BlindCopies(position);
    bc.Name = name;
    bc.Section = section;
    bc.Groups.Clear();
    std::string count;
    bc.NumberOfGroups = kivo::profile::FindString(section, keys::kNumberOfGroups,
                                                  Util::kValueChars + 1, s.TavinIniPath, count)
                            ? std::max(Util::IniInteger(count), int16_t{0})
                            : int16_t{0};
    if (bc.NumberOfGroups > 0) {
        SectionReader in(section, s.TavinIniPath, *load);
        for (int g : in.held().Groups()) {
            if (g > bc.NumberOfGroups) break;
            FileGroup grp;
            ReadGroup(in, g, grp);
            bc.Groups.Append(std::move(grp));
        }
    }
    load.Finish();
}

void LoadRemoveShortcuts() {
    State& s = S();
    const std::string section = "OEM Remove Shortcut";
    OneBasedList<RemoveShortcutEntry>& list = s.OemSettings.RemoveShortcuts;
    list.Clear();
    ForEachName(Util::GetIniSectionKeys(section, s.TavinIniPath), [&](const std::string& key) {
        list.Append({key, Util::GetIniYesNo(section, key, false, s.TavinIniPath)});
    });
}

void LoadLaunches() {
    State& s = S();
    const LoadScope load(s.TavinIniPath);
    const std::string section = "Launches";
    const int16_t n = ReadCount(section, "NumberOfLaunches", s.TavinIniPath);
    // The count as read stays what the file says, so that the save removes the keys of every
    // launch beyond the list.
    s.OemSettings.NumberOfLaunches = n;
    static constexpr const char* kFields[] = {"Platform", "Language",  "Type", "Program",
                                              "CmdLine",  "ChangeDir", "Wait"};
    std::vector<int> held;
    if (n > 0) {
        held = NumbersInKeys(section, s.TavinIniPath, load->FileSize(), [](std::string_view key) {
            return keys::NumberedKeyIndex(key, "Launch", kFields);
        });
    }
    BuildList(
        *load, section, "launches", n, held, s.Launches,
        [&](int i, LaunchEntry& e) {
            const std::string p = "Launch" + std::to_string(i);
            auto read = [&](const char* field) {
                return Util::GetIniString(section, p + field, "", s.TavinIniPath);
            };
            e.CmdLine = read("CmdLine");
            e.Language = read("Language");
            e.Platform = read("Platform");
            e.Program = read("Program");
            e.Type = read("Type");
            e.Wait = read("Wait");
            e.ChangeDir = read("ChangeDir");
        },
        [](int i) { return EmptyEntryBytes(6, i, kFields); });
    load.Finish();
}

void LoadProductDefaults() {
    const kivo::profile::Operation operation;
    State& s = S();
    s.Modified = true;
    OemInstall& o = s.OemSettings;
    const std::string product = o.Product;
    for (const keys::OemKey& k : keys::OemKeys()) {
        if (!k.productDefault) continue;
        if (k.text)
            o.*k.text = FactoryString(product, k.key, "");
        else
            o.*k.flag = FactoryYesNo(product, k.key, k.def);
    }
    o.Iss.WriteResponseFile = false;
}

void SetSilentDefaults() {
    State& s = S();
    s.Modified = true;
    OemInstall& o = s.OemSettings;
    for (bool OemInstall::*f :
         {&OemInstall::DisplayWelcomeDlg, &OemInstall::DisplayEULA,
          &OemInstall::DisplayTypeOfInstallDlg, &OemInstall::DisplaySelectDestDirDlg,
          &OemInstall::DisplayCustomDlg, &OemInstall::DisplayUserInfoDlg,
          &OemInstall::DisplayConfirmRegDlg, &OemInstall::DisplayStartCopyDlg,
          &OemInstall::DisplayFinishDlg, &OemInstall::DisplayFinalMessage,
          &OemInstall::DisplayRebootDlg, &OemInstall::DisplayMaintUIDlg,
          &OemInstall::DisplayBillboards, &OemInstall::DisplayBackGround,
          &OemInstall::DisplayProgressBar, &OemInstall::ProgressBarStart,
          &OemInstall::ProgressBarEnd, &OemInstall::CloseRunningApps}) {
        o.*f = false;
    }
    o.InstallModeSilent = true;
    o.UninstallModeSilent = true;
    o.Iss.WriteResponseFile = true;
    o.IgnoreInstallWarnings = true;
}

}  // namespace modTAVIN
