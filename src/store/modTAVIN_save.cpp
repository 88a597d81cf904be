// Saving the model into the installer directory: TAVIN.ini key by key (after a backup to
// Tavin.old), and Setup.iss written or deleted.
//
// A save is all or nothing. Every write goes into the profile engine's parsed copy of its file;
// whatever can be checked is checked before anything reaches the disk. The commit then writes
// the backup and every changed file to flushed temporary files, and only when all are ready puts
// them in place back to back: Tavin.old first (so that TAVIN.ini is never replaced before the
// backup of its previous content stands), then TAVIN.ini, then Setup.iss (written or deleted).
// A crash can then only fall between two renames, and the worst it leaves is the new TAVIN.ini
// beside the previous Setup.iss, with that previous TAVIN.ini whole in Tavin.old. A failed save
// shows one message naming the file and the reason, leaves the model modified, leaves every file
// as it was (a rename refused at the last moment has the renames before it put back) and returns
// false.

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/asciicase.h"
#include "platform/atomicfile.h"
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

namespace fileops = kivo::fileops;
namespace profile = kivo::profile;
using keys::EntryKey;
using keys::GroupKey;
using keys::ListKeys;

// ---- The save in progress -----------------------------------------------------------------------

struct SaveRun {
    bool failed = false;
    bool reported = false;  // the failure has shown its own message
    std::string failFile;
    std::string failReason;
};

SaveRun* g_run = nullptr;  // set for the time of one SaveTavinIni

// A name or text as a message shows it: control characters are written out, so that a line
// break in a name cannot pass for the end of the message's line.
std::string Visible(const std::string& text) {
    static const char* const kNames[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                         "BS",  "TAB", "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                         "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                         "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20)
            out += std::string("<") + kNames[u] + ">";
        else if (u == 0x7F)
            out += "<DEL>";
        else
            out += c;
    }
    return out;
}

bool HoldsLineBreak(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// Remembers the first write that failed, with what was wrong; the save stops at the commit.
void WriteFailed(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value) {
    if (!g_run || g_run->failed) return;
    g_run->failed = true;
    g_run->failFile = fileops::ResolveCase(file);
    std::string& why = g_run->failReason;
    if (HoldsLineBreak(section))
        why = "the section name \"" + Visible(section) + "\" holds a line break";
    else if (HoldsLineBreak(key))
        why = "the key name \"" + Visible(key) + "\" in [" + Visible(section) +
              "] holds a line break";
    else if (HoldsLineBreak(value))
        why = "the value of " + Visible(key) + " in [" + Visible(section) + "] holds a line break";
    else if (const std::string cannot = fileops::CannotReplace(file); !cannot.empty())
        why = cannot;
    else if (fileops::IsReadOnly(file) == fileops::ReadOnly::Yes)  // a missing file is made
        why = "the file is read-only";
    else if (key.find('=') != std::string::npos)
        why = "the key name \"" + Visible(key) + "\" in [" + Visible(section) + "] holds \"=\"";
    else if (!key.empty() && (key[0] == '[' || key[0] == ';'))
        why = "the key name \"" + Visible(key) + "\" in [" + Visible(section) + "] begins with \"" +
              key[0] + "\"";
    else
        why = "the key " + Visible(key) + " cannot be written";
}

const std::string& Tavin() { return S().TavinIniPath; }

void PutText(const std::string& section, const std::string& key, const std::string& value) {
    if (!Util::WriteIniString(section, key, value, Tavin()))
        WriteFailed(Tavin(), section, key, value);
}
void PutFlag(const std::string& section, const std::string& key, bool value) {
    if (!Util::WriteIniYesNo(section, key, value, Tavin())) WriteFailed(Tavin(), section, key, "");
}
// The number form with a blank before a number that is not negative.
void PutNumber(const std::string& section, const std::string& key, int16_t value) {
    if (!Util::WriteIniInteger(section, key, value, Tavin()))
        WriteFailed(Tavin(), section, key, "");
}
void Remove(const std::string& section, const std::string& key) {
    if (Util::DeleteIniKey(section, key, Tavin()) == 0) WriteFailed(Tavin(), section, key, "");
}

// ---- Copy lists ---------------------------------------------------------------------------------

// Writes one copy-list section and remembers which keys it wrote, so that the keys of groups and
// entries the model no longer has can be removed afterwards.
class SectionWriter {
public:
    explicit SectionWriter(std::string section) : section_(std::move(section)) {}

    void Text(const std::string& key, const std::string& value) {
        PutText(section_, key, value);
        written_.Insert(key);
    }
    // Counts of a copy-list section: plain digits, no blank.
    void Digits(const std::string& key, int value) { Text(key, std::to_string(value)); }
    void Number(const std::string& key, int16_t value) {
        PutNumber(section_, key, value);
        written_.Insert(key);
    }
    void Delete(const std::string& key) { Remove(section_, key); }
    // Keeps the key, unwritten, when it holds `mark`.
    void KeepIfHolds(const std::string& key, const std::string& mark) {
        // The default of a missing key must differ from the mark.
        if (Util::GetIniString(section_, key, mark + "?", Tavin()) == mark) written_.Insert(key);
    }

    // Every key of the copy-list layout that this save did not write belongs to a group or an
    // entry the model no longer has (or to nothing a load would read): it goes. Keys of any
    // other form are not ours and stay.
    void RemoveStaleKeys() {
        const std::string list = WholeKeyList(section_, Tavin());
        ForEachListedName(list, [&](std::string_view key) {
            if (!written_.Contains(key) && keys::IsCopyListKey(key)) Delete(std::string(key));
        });
    }

    // The names of the keys to write, built in one buffer.
    KeyNames& names() { return names_; }

private:
    std::string section_;
    NameSet written_;
    KeyNames names_;
};

// Joins a platform or language list with commas; an entry met while the text is still empty
// takes its place instead of being joined.
std::string JoinList(const OneBasedList<std::string>& list) {
    std::string text;
    for (const std::string& item : list) {
        if (text.empty())
            text = item;
        else
            text += "," + item;
    }
    return text;
}

bool IsOneOf(const std::string& s, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (s == n) return true;
    return false;
}

// The i of a section named exactly "Comp<i> BlindCopy" (no leading zero), or 0.
int ComponentSectionIndex(const std::string& section) {
    const std::string head = "Comp", tail = " BlindCopy";
    if (section.size() <= head.size() + tail.size() || section.compare(0, head.size(), head) != 0 ||
        section.compare(section.size() - tail.size(), tail.size(), tail) != 0)
        return 0;
    std::string digits = section.substr(head.size(), section.size() - head.size() - tail.size());
    if (digits.empty() || digits.size() > 4 || digits[0] == '0') return 0;
    int i = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        i = i * 10 + (c - '0');
    }
    return i;
}

// The section a copy list is written into, from the product and the section it was loaded from.
std::string TargetSection(const std::string& product, const std::string& section) {
    if ((kivo::platform::ContainsIgnoreAsciiCase(product, "Tessary Formwell") ||
         kivo::platform::ContainsIgnoreAsciiCase(product, "Tessary Sanctile")) &&
        product != "Tessary Sanctile 5.0.5") {
        return IsOneOf(section, {"Comp1 BlindCopy", "Comp2 BlindCopy", "Comp3 BlindCopy",
                                 "TessaryBlindCopy"})
                   ? "TessaryBlindCopy"
                   : "AsianLanguageBlindCopy";
    }
    if (kivo::platform::ContainsIgnoreAsciiCase(product, "Tessary Lumeno") &&
        product != "Tessary Lumeno 5.0.5")
        return "LumenoBlindCopy";
    if (kivo::platform::ContainsIgnoreAsciiCase(product, "Vontu(R) Tessary(R) Fumarel") &&
        product != "Vontu(R) Tessary(R) Fumarel 5.0.5")
        return "FumarelBlindCopy";
    if (product == "Vontu(R) Tessary(R) 5.0") {
        int i = ComponentSectionIndex(section);
        if ((i >= 1 && i <= 6) || i == 11) return "TessaryBlindCopy";
        if (i >= 7 && i <= 9) return "FumarelBlindCopy";
        if (i == 10) return "QuilletBlindCopy";
        if (i == 12 || i == 13) return "AccessoriesBlindCopy";
        if (i >= 14 && i <= 18) return "AsianLanguageBlindCopy";
    }
    return section;
}

// The DestDir given to a written group that has none; empty where the section has no default.
std::string DefaultDestDir(const std::string& target) {
    static const std::unordered_map<std::string, std::string> defaults = {
        {"TessaryBlindCopy", "Tessary"},        {"LumenoBlindCopy", "Lumeno"},
        {"AsianLanguageBlindCopy", "Resource"}, {"FumarelBlindCopy", "Fumarl"},
        {"AccessoriesBlindCopy", "Pagefold"},   {"QuilletBlindCopy", "Tessary"}};
    auto it = defaults.find(target);
    return it == defaults.end() ? std::string() : it->second;
}

// A list that is empty now and was already empty at the last load or save writes nothing. What a
// save wrote when the list lost its last entry (the blank keys of the first entry, a count of 0) is
// left as it stands, so that saving again changes nothing; any other key of the list goes.
void KeepEmptiedListMarks(SectionWriter& w, const std::vector<std::string>& firstEntryKeys,
                          const std::string& countKey = "") {
    for (const std::string& key : firstEntryKeys) w.KeepIfHolds(key, "");
    if (!countKey.empty()) w.KeepIfHolds(countKey, "0");
}

void WriteFiles(SectionWriter& w, int g, FileGroup& grp) {
    KeyNames& key = w.names();
    const int len = grp.Files.Count();
    const int asRead = grp.NumberOfFiles;
    if (len == 0 && asRead == 0) {
        KeepEmptiedListMarks(
            w, {EntryKey(g, keys::kFileNameWrite, 1, ""), EntryKey(g, "File", 1, "ExpandType")});
        return;
    }
    if (len > 0) {
        w.Digits(key.Group(g, "NumberOfFiles"), len);
        w.Text(key.Group(g, "DestDir"), grp.DestDir);
        w.Text(key.Group(g, "Loc"), grp.Loc);
    } else {
        w.Delete(key.Group(g, "NumberOfFiles"));
        w.Delete(key.Group(g, "DestDir"));
        w.Delete(key.Group(g, "Loc"));
    }
    const int last = Util::MaxInt(static_cast<int16_t>(len), static_cast<int16_t>(asRead));
    static const std::string kEmpty;
    for (int f = 1; f <= last; ++f) {
        const bool kept = f <= len;
        if (kept || f == 1) {
            w.Text(key.Entry(g, keys::kFileNameWrite, f, ""),
                   kept ? grp.Files(f).FileName : kEmpty);
            w.Text(key.Entry(g, "File", f, "ExpandType"), kept ? grp.Files(f).ExpandType : kEmpty);
        } else {
            w.Delete(key.Entry(g, keys::kFileNameWrite, f, ""));
            w.Delete(key.Entry(g, "File", f, "ExpandType"));
        }
    }
    grp.NumberOfFiles = static_cast<int16_t>(len);
}

// Writes icons, registry entries or INI entries by the rule for these lists.
template <class Entry, class WriteField>
void WriteList(SectionWriter& w, int g, const ListKeys& k, const OneBasedList<Entry>& list,
               int16_t& asRead, WriteField writeField) {
    const int len = list.Count();
    if (len == 0 && asRead == 0) {
        std::vector<std::string> first;
        for (int f = 0; f < k.fieldCount; ++f)
            first.push_back(EntryKey(g, k.item, 1, k.writeFields[static_cast<std::size_t>(f)]));
        KeepEmptiedListMarks(w, first, GroupKey(g, k.countKey));
        return;
    }
    w.Digits(w.names().Group(g, k.countKey), len);
    const int last = Util::MaxInt(static_cast<int16_t>(len), asRead);
    for (int n = 1; n <= last; ++n) {
        for (int f = 0; f < k.fieldCount; ++f) {
            const std::string& key =
                w.names().Entry(g, k.item, n, k.writeFields[static_cast<std::size_t>(f)]);
            if (n <= len)
                writeField(key, list(n), f);
            else if (n == 1)
                w.Text(key, "");
            else
                w.Delete(key);
        }
    }
    asRead = static_cast<int16_t>(len);
}

void WriteIcon(SectionWriter& w, const std::string& key, const IconEntry& e, int field) {
    switch (field) {
        case 0: w.Text(key, e.Style); break;
        case 1: w.Text(key, e.Folder); break;
        case 2: w.Text(key, e.SubFolder); break;
        case 3: w.Text(key, e.Exe); break;
        case 4: w.Text(key, e.ExeSubDir); break;
        case 5: w.Text(key, e.Description); break;
        case 6: w.Number(key, e.Number); break;
        case 7: w.Text(key, e.App); break;
        default: w.Text(key, e.AppLoc); break;
    }
}

const std::string& RegField(const RegEntry& e, int field) {
    const std::string* fields[] = {&e.Platform,  &e.ParentKey, &e.Key,
                                   &e.ValueName, &e.ValueType, &e.ValueData};
    return *fields[field];
}

const std::string& IniField(const IniEntry& e, int field) {
    const std::string* fields[] = {&e.Platform, &e.FileLoc, &e.FileName,
                                   &e.Section,  &e.Key,     &e.Value};
    return *fields[field];
}

void WriteGroup(SectionWriter& w, const std::string& target, int g, FileGroup& grp) {
    w.Text(w.names().Group(g, "Platform"), JoinList(grp.PlatformList));
    w.Text(w.names().Group(g, "Language"), JoinList(grp.LanguageList));
    if (grp.DestDir.empty()) grp.DestDir = DefaultDestDir(target);
    WriteFiles(w, g, grp);
    WriteList(w, g, keys::kIconKeys, grp.Icons, grp.NumberOfIcons,
              [&](const std::string& key, const IconEntry& e, int f) { WriteIcon(w, key, e, f); });
    WriteList(
        w, g, keys::kRegKeys, grp.RegEntries, grp.NumberOfRegEntries,
        [&](const std::string& key, const RegEntry& e, int f) { w.Text(key, RegField(e, f)); });
    WriteList(
        w, g, keys::kIniKeys, grp.IniEntries, grp.NumberOfIniEntries,
        [&](const std::string& key, const IniEntry& e, int f) { w.Text(key, IniField(e, f)); });
}

// ---- Failure ------------------------------------------------------------------------------------

void ShowSaveFailure(const std::string& file, const std::string& reason) {
    kivo::Ui().MessageBox("The installer was not saved.\n" + Visible(file) + ": " + reason + ".",
                          kivo::MsgButtons::OK, Util::kMessageTitle);
}

// What the writes change in the copy lists: each group's DestDir and its four counts as read.
// A save that fails puts them back.
class GroupsSnapshot {
public:
    explicit GroupsSnapshot(const OneBasedList<BlindCopy>& lists) {
        for (const BlindCopy& bc : lists)
            for (const FileGroup& g : bc.Groups)
                saved_.push_back({g.DestDir, g.NumberOfFiles, g.NumberOfIcons, g.NumberOfRegEntries,
                                  g.NumberOfIniEntries});
    }
    void Restore(OneBasedList<BlindCopy>& lists) const {
        auto it = saved_.begin();
        for (BlindCopy& bc : lists) {
            for (FileGroup& g : bc.Groups) {
                g.DestDir = it->destDir;
                g.NumberOfFiles = it->files;
                g.NumberOfIcons = it->icons;
                g.NumberOfRegEntries = it->regEntries;
                g.NumberOfIniEntries = it->iniEntries;
                ++it;
            }
        }
    }

private:
    struct Group {
        std::string destDir;
        int16_t files, icons, regEntries, iniEntries;
    };
    std::vector<Group> saved_;
};

class RunScope {
public:
    explicit RunScope(SaveRun& run) { g_run = &run; }
    ~RunScope() {
        g_run = nullptr;
        if (profile::InBatch()) profile::AbortBatch();
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
};

}  // namespace

bool SaveTavinIni() {
    const profile::Operation operation;
    State& s = S();
    RemoveEmptyGroups();
    s.Modified = false;

    SaveRun run;
    RunScope scope(run);
    // The writes change the model's copy lists (a default DestDir, the counts as read); a save
    // that fails leaves the model as it was.
    const GroupsSnapshot before(s.BlindCopies);
    // What killed saves of earlier runs left behind goes first, so that it never ships.
    RemoveStaleSaveTemps(s.InstallerDir);
    // The name the load found (a model saved without a load: the name found now) is kept: a
    // file of another spelling that appears later is not the one opened.
    if (!s.TavinIniState) s.TavinIniPath = fileops::ResolveCase(s.TavinIniPath);
    const std::string tavin = s.TavinIniPath;
    const std::string iss = fileops::ResolveCase(s.SetupIssPath);
    const std::string old = fileops::ResolveCase(PathIn(s.InstallerDir, "Tavin.old"));

    auto fail = [&](const std::string& file, const std::string& reason) {
        if (profile::InBatch()) profile::AbortBatch();
        before.Restore(s.BlindCopies);
        s.Modified = true;
        if (!run.reported) ShowSaveFailure(file, reason);
        return false;
    };

    // Every file the save will replace or delete is checked before anything is written.
    if (fileops::DirectoryExists(tavin)) return fail(tavin, "it is a directory");
    if (!fileops::FileExists(tavin) || fileops::ResolveCase(tavin) != tavin)
        return fail(tavin, "the file no longer exists");
    if (std::string why = fileops::CannotReplace(tavin); !why.empty()) return fail(tavin, why);
    const bool writeIss = s.OemSettings.Iss.WriteResponseFile;
    const bool deleteIss = !writeIss && HasResponseFile();
    // Tavin.old is the tool's own: it is replaced, read-only, another user's or a symbolic link
    // (never followed), wherever it could be deleted and made anew.
    if (std::string why = fileops::CannotRecreate(old); !why.empty())
        return fail(old, "the backup cannot be written: " + why);

    // A read-only TAVIN.ini is written all the same and stays read-only. This process may: it
    // owns the file or may write it (checked above). The attribute is never lifted on disk, so
    // neither a failure nor a kill can leave the file without it.
    const bool wasReadOnly = fileops::IsReadOnly(tavin) == fileops::ReadOnly::Yes;

    // Every write goes into the engine's parsed copies first.
    profile::BeginBatch();
    if (wasReadOnly) profile::WriteThroughReadOnly(tavin);
    OemInstall& o = s.OemSettings;
    for (const keys::OemKey& k : keys::OemKeys()) {
        if (k.inSetupType) continue;
        if (k.text)
            PutText(keys::kOemInstall, k.key, o.*k.text);
        else
            PutFlag(keys::kOemInstall, k.key, o.*k.flag);
    }
    PutText(keys::kSetupType, "Type", o.Type);
    WriteComponents();
    WriteBlindCopySections();
    WriteRemoveShortcuts();
    WriteLaunches();
    // Setup.iss after every key of TAVIN.ini: the commit puts the files in place in the order of
    // their first change.
    SaveResponseFile();
    if (run.failed) return fail(run.failFile, run.failReason);
    // Setup.iss is checked only when the save replaces or deletes it: one the save leaves byte
    // for byte as it is (read-only media, another user's file) is no reason to refuse.
    if (deleteIss || (writeIss && profile::BatchChanges(iss))) {
        if (std::string why = fileops::CannotReplace(iss); !why.empty())
            return fail(iss, deleteIss ? "the file cannot be deleted: " + why : why);
        if (fileops::FileExists(iss) && fileops::IsReadOnly(iss) == fileops::ReadOnly::Yes)
            return fail(iss, deleteIss ? "the file is read-only and cannot be deleted"
                                       : "the file is read-only");
    }
    // Another program's change of a file since the open is written over only when the user says
    // so. Attributes alone are no such change (the save keeps them), nor is a file the save
    // leaves as it is.
    for (const auto& [path, seen] : {std::pair{tavin, s.TavinIniState}, {iss, s.SetupIssState}}) {
        if (!seen || profile::ParsedState(path).SameContent(*seen) || !profile::BatchChanges(path))
            continue;
        if (kivo::Ui().MessageBox(
                path + " was changed by another program after it was opened. Save "
                       "your changes over it?",
                kivo::MsgButtons::YesNo, Util::kMessageTitle) != kivo::MsgResult::Yes) {
            run.reported = true;
            return fail(path, "");
        }
    }

    // The backup of TAVIN.ini as it stands, with the attributes it had.
    profile::CopyAtCommit(tavin, old, wasReadOnly);
    const profile::CommitResult committed = profile::CommitBatch();
    if (!committed.ok) return fail(committed.file, committed.reason);
    // What this save left is the tool's own.
    RecordFilesAsOpened();
    return true;
}

void RemoveStaleSaveTemps(const std::string& dir) {
    kivo::platform::RemoveStaleTemps(dir, {"TAVIN.ini", "Setup.iss", "Tavin.old"});
}

void WriteComponents() {
    const OneBasedList<ComponentEntry>& list = S().OemSettings.Components;
    if (list.Empty()) return;
    const std::string section = "Components";
    PutNumber(section, "NUMBER", static_cast<int16_t>(list.Count()));
    for (int i = 1; i <= list.Count(); ++i) {
        const std::string comp = "Comp" + std::to_string(i);
        PutText(section, comp + "Parent", list(i).Parent);
        PutText(section, comp, list(i).Name);
        PutFlag(section, comp + "Enabled", list(i).Enabled);
    }
}

void SaveResponseFile() {
    if (S().OemSettings.Iss.WriteResponseFile)
        Write_ISSFile();
    else if (HasResponseFile())
        DeleteResponseFile();
}

void Write_ISSFile() {
    const State& s = S();
    const std::string& file = s.SetupIssPath;
    auto put = [&](const char* section, const char* key, const std::string& value) {
        if (!Util::WriteIniString(section, key, value, file))
            WriteFailed(file, section, key, value);
    };
    put("InstallShield Silent", "Version", "v5.00.000");
    put("InstallShield Silent", "File", "Response File");
    put("File Transfer", "OverwriteReadOnly", "YesToAll");
    put("Application", "Name", "Tessary");
    put("Application", "Version", "5.0");
    put("Application", "Company", "Vontu");
    const IssSettings& iss = s.OemSettings.Iss;
    if (iss.SelectedLanguage >= 0 && iss.SelectedLanguage <= iss.Languages.Count()) {
        put("Application", "Lang", iss.Languages(iss.SelectedLanguage).Code);
    } else if (!g_run || !g_run->failed) {
        // Inside a save, a response file without the language asked for is no save, and this
        // message is the failure's one message.
        kivo::Ui().MessageBox("Error in Write_ISSFile Selected item out of bounds.",
                              kivo::MsgButtons::OK, Util::kMessageTitle);
        if (g_run) {
            WriteFailed(file, "Application", "Lang", "");
            g_run->reported = true;
        }
    }
    put("DlgOrder", "Count", "0");
}

void DeleteResponseFile() {
    const std::string& file = S().SetupIssPath;
    if (!fileops::FileExists(file)) return;
    // Inside a save the file goes with the commit, right after TAVIN.ini is put in place.
    if (profile::InBatch())
        profile::DeleteAtCommit(fileops::ResolveCase(file));
    else
        fileops::DeleteFile(file, false);
}

void WriteBlindCopySections() {
    State& s = S();
    // Records whose target is one section share it: their groups are numbered on from 1 in
    // record order under one NumberOfGroups.
    struct Target {
        std::string section;
        std::vector<int> records;
    };
    std::vector<Target> targets;
    std::unordered_map<std::string, std::size_t> byName;
    // The sections the load read the copy lists from.
    std::unordered_set<std::string> read;
    const int count = s.BlindCopies.Count();
    for (int b = 1; b <= count; ++b) {
        read.insert(kivo::platform::FoldedAscii(s.BlindCopies(b).Section));
        const std::string product = Util::GetIniString("Main", "Product", "Wrong", Tavin());
        const std::string section = TargetSection(product, s.BlindCopies(b).Section);
        auto [it, added] = byName.try_emplace(kivo::platform::FoldedAscii(section), targets.size());
        if (added) targets.push_back({section, {}});
        targets[it->second].records.push_back(b);
    }

    for (const Target& t : targets) {
        int groups = 0;
        bool heldGroups = false;
        for (int b : t.records) {
            groups += s.BlindCopies(b).Groups.Count();
            heldGroups = heldGroups || s.BlindCopies(b).NumberOfGroups > 0;
        }
        // A section whose lists never had groups is left alone; one whose groups all went says so.
        if (groups == 0 && !heldGroups) continue;
        SectionWriter w(t.section);
        w.Digits(keys::kNumberOfGroups, groups);
        int g = 0;
        for (int b : t.records) {
            for (FileGroup& grp : s.BlindCopies(b).Groups) WriteGroup(w, t.section, ++g, grp);
        }
        // Keys of a section the load did not read are not known to be stale: they stay.
        if (read.contains(kivo::platform::FoldedAscii(t.section))) w.RemoveStaleKeys();
    }

    // Copy lists loaded by section name (no components) are read back from every such section.
    // One whose groups now stand in another target section must not keep them in its own too,
    // or the next load reads them twice and each save adds them again: its section says that it
    // holds no groups any more.
    if (!s.OemSettings.Components.Empty()) return;
    for (int b = 1; b <= count; ++b) {
        const BlindCopy& rec = s.BlindCopies(b);
        if (rec.NumberOfGroups <= 0 || byName.contains(kivo::platform::FoldedAscii(rec.Section)))
            continue;
        SectionWriter w(rec.Section);
        w.Digits(keys::kNumberOfGroups, 0);
        w.RemoveStaleKeys();
    }
}

void WriteRemoveShortcuts() {
    for (const RemoveShortcutEntry& e : S().OemSettings.RemoveShortcuts)
        PutFlag("OEM Remove Shortcut", e.Name, e.Remove);
}

void WriteLaunches() {
    const State& s = S();
    const std::string section = "Launches";
    const int len = s.Launches.Count();
    PutNumber(section, "NumberOfLaunches", static_cast<int16_t>(len));
    static const std::pair<const char*, std::string LaunchEntry::*> fields[] = {
        {"Platform", &LaunchEntry::Platform}, {"Language", &LaunchEntry::Language},
        {"Type", &LaunchEntry::Type},         {"Program", &LaunchEntry::Program},
        {"CmdLine", &LaunchEntry::CmdLine},   {"ChangeDir", &LaunchEntry::ChangeDir},
        {"Wait", &LaunchEntry::Wait}};
    const int last = Util::MaxInt(static_cast<int16_t>(len), s.OemSettings.NumberOfLaunches);
    for (int i = 1; i <= last; ++i) {
        const std::string launch = "Launch" + std::to_string(i);
        for (const auto& [name, field] : fields) {
            if (i <= len)
                PutText(section, launch + name, s.Launches(i).*field);
            else if (i == 1)
                PutText(section, launch + name, "");
            else
                Remove(section, launch + name);
        }
    }
}

}  // namespace modTAVIN
