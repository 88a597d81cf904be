// Loading the model from the installer's files, and the two presets of the wizard.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "platform/asciicase.h"
#include "platform/fileops.h"
#include "platform/profile.h"
#include "store/CopyListKeys.h"
#include "store/OemInstallKeys.h"
#include "store/SectionKeys.h"
#include "store/Util.h"
#include "store/modTAVIN.h"

namespace modTAVIN {

namespace {

using keys::EntryKey;
using keys::GroupKey;
using keys::ListKeys;

// A count as the lists use it: text that is no number, a number beyond 16 bits (Util gives 0
// for both) and a negative number all read as 0.
int16_t ReadCount(const std::string& section, const std::string& key, const std::string& file) {
    int16_t n = Util::GetIniInteger(section, key, 0, file);
    return n < 0 ? int16_t{0} : n;
}

// ---- Bounding a load by what the settings file really holds ------------------------------------
//
// A count key can claim up to 32,767 entries, and counts nest (groups, then each group's lists),
// so a small hostile file could make the load build billions of entries, and the save write
// every key of them. Every entry the load builds is paid for out of two allowances: the
// section's, the length of the copy-list key names it really holds (plus a little room for a
// sparse section), paid per key an entry has; and the file's, its size, paid likewise, per byte
// of each value read, and for each key the file does not hold but the save will write, by the
// bytes of the line the save writes for it. So the whole load stays in proportion to the file
// also when one section is loaded more than once, and what a save adds to the file stays
// within the file's own size. A count beyond what the allowances can back is cut, and the list
// keeps as its count as read the number of entries it really got.
// A real installer's key names are all longer than their price, and its keys are mostly there,
// so a real file is never cut.
constexpr long kPricePerKey = 8;                   // a copy-list key name is at least 9 characters
constexpr long kPricePerGroup = 8 * kPricePerKey;  // a group's own keys (platform ... counts)
constexpr long kSectionSlack = 4096;  // room for a section whose counts outrun its keys a little
constexpr long kFileSlack = 64 * 1024;
// A key line the save writes for a key the file does not hold: its name, '=', a default value
// of at most 8 characters and the line end.
constexpr long kMissingLineExtra = 1 + 8 + 2;

struct LoadBudget {
    std::size_t fileSize = 0;
    long file = 0;  // what the file's allowance still holds
    // The copy-list key name bytes of the sections listed so far, per section name (any case).
    std::unordered_map<std::string, std::size_t> sections;
};

LoadBudget* g_budget = nullptr;  // set for the time of one LoadTavinIni

void StartBudget(LoadBudget& budget, const std::string& file) {
    std::error_code ec;
    auto size = std::filesystem::file_size(kivo::fileops::ResolveCase(file), ec);
    budget.fileSize = ec ? 0 : static_cast<std::size_t>(size);
    budget.file = static_cast<long>(budget.fileSize) + kFileSlack;
}

// The keys and the allowance of one copy-list section for the load in progress.
class SectionBudget {
public:
    SectionBudget(const std::string& section, const std::string& file) {
        if (!g_budget) {
            // Outside a whole load (a single section loaded on its own): the file is the bound.
            StartBudget(own_, file);
            budget_ = &own_;
        } else {
            budget_ = g_budget;
        }
        auto [slot, added] = budget_->sections.try_emplace(kivo::platform::FoldedAscii(section), 0);
        if (added) slot->second = CopyListNameBytes(section, file, budget_->fileSize);
        section_ = static_cast<long>(slot->second) + kSectionSlack;
    }

    // Whether an entry of `keys` keys can be paid for; pays for it when it can.
    bool Take(long keys) { return Pay(keys * kPricePerKey); }
    bool TakeGroup() { return Pay(kPricePerGroup); }
    // The bytes of a value read are paid out of the file's allowance.
    void PayValue(const std::string& value) { budget_->file -= static_cast<long>(value.size()); }
    // A key the file does not hold, which the save writes all the same.
    void PayMissing(const std::string& key) {
        budget_->file -= static_cast<long>(key.size()) + kMissingLineExtra;
    }

private:
    bool Pay(long price) {
        if (section_ < price || budget_->file < price) return false;
        section_ -= price;
        budget_->file -= price;
        return true;
    }

    LoadBudget own_;
    LoadBudget* budget_ = nullptr;
    long section_ = 0;
};

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

// Reads the keys of one copy-list section; keys the section does not hold give their defaults.
// Each key is looked up once, and its name is built in one buffer.
class SectionReader {
public:
    SectionReader(const std::string& section, const std::string& file, SectionBudget& budget)
        : section_(section), file_(file), budget_(budget) {}

    // The value of a key the save writes back (a missing one pays for the line it will get).
    std::string Text(const std::string& key, const char* def = "") {
        std::string v;
        if (Find(key, v)) {
            budget_.PayValue(v);
        } else {
            budget_.PayMissing(key);
            v = def;
        }
        return v;
    }
    int16_t Number(const std::string& key) {
        std::string v;
        if (!Find(key, v)) {
            budget_.PayMissing(key);
            return 0;
        }
        return Util::IniInteger(v);
    }
    // A count: the save writes it only for a list with entries, which pay for themselves.
    int16_t Count(const std::string& key) {
        std::string v;
        if (!Find(key, v)) return 0;
        const int16_t n = Util::IniInteger(v);
        return n < 0 ? int16_t{0} : n;
    }

    KeyNames& names() { return names_; }
    SectionBudget& budget() { return budget_; }

private:
    bool Find(const std::string& key, std::string& v) {
        return kivo::profile::FindString(section_, key, Util::kValueChars + 1, file_, v);
    }

    const std::string& section_;
    const std::string& file_;
    SectionBudget& budget_;
    KeyNames names_;
};

// Reads `count` entries of a list; stops early when the allowance runs out. Returns the number
// of entries read, which becomes the list's count as read.
template <class Entry, class ReadEntry>
int16_t ReadEntries(SectionReader& in, int16_t count, long keysPerEntry, OneBasedList<Entry>& list,
                    ReadEntry readEntry) {
    list.Clear();
    for (int i = 1; i <= count; ++i) {
        if (!in.budget().Take(keysPerEntry)) break;
        Entry e{};
        readEntry(i, e);
        list.Append(std::move(e));
    }
    return static_cast<int16_t>(list.Count());
}

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

    int16_t files = in.Count(key.Group(g, "NumberOfFiles"));
    if (files > 0) {
        grp.DestDir = in.Text(key.Group(g, "DestDir"));
        grp.Loc = in.Text(key.Group(g, "Loc"));
    }
    grp.NumberOfFiles = ReadEntries(in, files, 2, grp.Files, [&](int f, FileEntry& e) {
        e.FileName = in.Text(key.Entry(g, keys::kFileNameRead, f, ""));
        e.ExpandType = in.Text(key.Entry(g, "File", f, "ExpandType"));
        e.DestDir = grp.DestDir;
        e.Loc = grp.Loc;
    });

    grp.NumberOfIcons = ReadEntries(in, in.Count(key.Group(g, keys::kIconKeys.countKey)), 9,
                                    grp.Icons, [&](int i, IconEntry& e) { ReadIcon(in, g, i, e); });
    grp.NumberOfRegEntries = ReadEntries(
        in, in.Count(key.Group(g, keys::kRegKeys.countKey)), 6, grp.RegEntries,
        [&](int r, RegEntry& e) { ReadSixTexts(in, keys::kRegKeys, g, r, e, kRegFields); });
    grp.NumberOfIniEntries = ReadEntries(
        in, in.Count(key.Group(g, keys::kIniKeys.countKey)), 6, grp.IniEntries,
        [&](int n, IniEntry& e) { ReadSixTexts(in, keys::kIniKeys, g, n, e, kIniFields); });
}

// Walks a name list (names each followed by NUL, one more NUL at the end) up to its first empty
// name.
template <class Visit>
void ForEachName(std::string list, Visit visit) {
    for (std::string name = Util::GetToken(list); !name.empty(); name = Util::GetToken(list))
        visit(name);
}

// The three flags computed from the product's factory values in KIVO.ini.
void LoadProductFlags() {
    State& s = S();
    const std::string& product = s.OemSettings.Product;
    bool typeDlg = Util::GetIniYesNo(product, "DisplayTypeOfInstallDlg", true, s.KivoIniPath);
    bool userInfoDlg = Util::GetIniYesNo(product, "DisplayUserInfoDlg", true, s.KivoIniPath);
    bool destDirDlg = Util::GetIniYesNo(product, "DisplaySelectDestDirDlg", false, s.KivoIniPath);
    s.OemSettings.ProductHidesTypeDlg = !typeDlg;
    s.OemSettings.ProductHidesUserInfoDlg = !userInfoDlg;
    s.OemSettings.ProductHidesDestDirDlgs = !destDirDlg && !typeDlg;
}

// Holds the whole-file allowance for the time of one load.
class BudgetScope {
public:
    explicit BudgetScope(const std::string& file) {
        StartBudget(budget_, file);
        g_budget = &budget_;
    }
    ~BudgetScope() { g_budget = nullptr; }
    BudgetScope(const BudgetScope&) = delete;
    BudgetScope& operator=(const BudgetScope&) = delete;

private:
    LoadBudget budget_;
};

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
    BudgetScope budget(s.TavinIniPath);
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
}

void LoadComponents() {
    State& s = S();
    const std::string section = "Components";
    int16_t n = ReadCount(section, "NUMBER", s.TavinIniPath);
    OneBasedList<ComponentEntry>& list = s.OemSettings.Components;
    list.Clear();
    for (int i = 1; i <= n; ++i) {
        std::string comp = "Comp" + std::to_string(i);
        ComponentEntry c;
        c.Parent = Util::GetIniString(section, comp + "Parent", "", s.TavinIniPath);
        c.Name = Util::GetIniString(section, comp, "", s.TavinIniPath);
        c.Enabled = Util::GetIniYesNo(section, comp + "Enabled", false, s.TavinIniPath);
        list.Append(std::move(c));
    }
}

void LoadComponentBlindCopies() {
    State& s = S();
    s.BlindCopies.Clear();
    for (int i = 1; i <= s.OemSettings.Components.Count(); ++i) {
        s.BlindCopies.Append(BlindCopy{});
        LoadBlindCopySection(static_cast<int16_t>(i), s.OemSettings.Components(i).Name,
                             "Comp" + std::to_string(i) + " BlindCopy");
    }
}

void LoadBlindCopySectionsByName() {
    State& s = S();
    s.BlindCopies.Clear();
    // Of sections whose names differ only in letter case, every read finds the first: a later
    // one would be a second copy of its list, which the save would then write twice.
    std::unordered_set<std::string> loaded;
    ForEachName(Util::GetIniSectionNames(s.TavinIniPath), [&](const std::string& name) {
        if (!kivo::platform::ContainsIgnoreAsciiCase(name, "BlindCopy")) return;
        if (!loaded.insert(kivo::platform::FoldedAscii(name)).second) return;
        s.BlindCopies.Append(BlindCopy{});
        LoadBlindCopySection(static_cast<int16_t>(s.BlindCopies.Count()), name, name);
    });
}

void LoadBlindCopySection(int16_t position, const std::string& name, const std::string& section) {
    State& s = S();
    if (position < 1 || position > s.BlindCopies.Count()) return;
    BlindCopy& bc = s.BlindCopies(position);
    bc.Name = name;
    bc.Section = section;
    bc.Groups.Clear();

    SectionBudget budget(section, s.TavinIniPath);
    SectionReader in(section, s.TavinIniPath, budget);
    int16_t groups = in.Count(keys::kNumberOfGroups);
    for (int g = 1; g <= groups; ++g) {
        if (!budget.TakeGroup()) break;
        FileGroup grp;
        ReadGroup(in, g, grp);
        bc.Groups.Append(std::move(grp));
    }
    bc.NumberOfGroups = static_cast<int16_t>(bc.Groups.Count());
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
    const std::string section = "Launches";
    int16_t n = ReadCount(section, "NumberOfLaunches", s.TavinIniPath);
    s.OemSettings.NumberOfLaunches = n;
    s.Launches.Clear();
    for (int i = 1; i <= n; ++i) {
        std::string p = "Launch" + std::to_string(i);
        auto read = [&](const char* field) {
            return Util::GetIniString(section, p + field, "", s.TavinIniPath);
        };
        LaunchEntry e;
        e.CmdLine = read("CmdLine");
        e.Language = read("Language");
        e.Platform = read("Platform");
        e.Program = read("Program");
        e.Type = read("Type");
        e.Wait = read("Wait");
        e.ChangeDir = read("ChangeDir");
        s.Launches.Append(std::move(e));
    }
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
            o.*k.text = Util::GetIniString(product, k.key, "", s.KivoIniPath);
        else
            o.*k.flag = Util::GetIniYesNo(product, k.key, k.def, s.KivoIniPath);
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
