// Opening and checking an installer directory: the settings file's version and product, the
// one-time replacement of the installer script, the copy of a product's factory values into
// KIVO.ini, and the upgrade of an old settings file from its template.

#include <array>
#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/asciicase.h"
#include "platform/fileops.h"
#include "platform/profile.h"
#include "platform/ui.h"
#include "store/SectionKeys.h"
#include "store/Util.h"
#include "store/modTAVIN.h"

namespace modTAVIN {

namespace {

namespace fileops = kivo::fileops;
using kivo::MsgButtons;
using kivo::MsgResult;

struct SupportedProduct {
    std::string_view name;
    std::string_view updateCode;
    bool version50;
    std::string_view setupInsReplacement;  // empty: the script is never replaced
};

// The products this tool knows, compared exactly with [Main] Product.
constexpr std::array<SupportedProduct, 11> kProducts{{
    {"Vontu(R) Tessary(R) 5.0", "Tessary5", true, ""},
    {"Vontu(R) Tessary(R) 5.0.5", "Tessary5", false, "Tess505.ins"},
    {"Vontu(R) Tessary(R) 5.0.5 Patch", "Patch5", false, ""},
    {"Vontu(R) Tessary(R) Morvine 1.0", "Morvine1", false, ""},
    {"Vontu(R) Tessary(R) Fumarel 5.0", "Fumarel5", true, ""},
    {"Tessary Lumeno 5.0", "Lumeno5", true, ""},
    {"Tessary Lumeno 5.0.5", "Lumeno5", false, "Lmn505.ins"},
    {"Tessary Formwell 5.0", "Sanctile5", true, ""},
    {"Tessary Sanctile 5.0", "Sanctile5", true, ""},
    {"Tessary Sanctile 5.0.5", "Sanctile5", false, ""},
    {"Scanvel Plugin 5.0", "Scanvel", true, ""},
}};

const SupportedProduct* FindProduct(const std::string& name) {
    for (const auto& p : kProducts) {
        if (p.name == name) return &p;
    }
    return nullptr;
}

// The version from which the settings file has its current layout.
constexpr double kLayoutVersion = 1.1;

// [Main] TavinVersion as a decimal number ("1.1", "1.2"). A missing key, an empty value and
// any text that is no plain decimal number count as -1, so that such a file is treated as old.
double ReadVersion(const std::string& settingsFile) {
    std::string text = Util::GetIniString("Main", "TavinVersion", "-1", settingsFile);
    std::string_view t = text;
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    std::string_view digits = t;
    if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    bool anyDigit = false;
    int points = 0;
    for (char c : digits) {
        if (c >= '0' && c <= '9') {
            anyDigit = true;
        } else if (c == '.') {
            ++points;
        } else {
            return -1;
        }
    }
    if (!anyDigit || points > 1) return -1;
    double value = -1;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc{} || end != t.data() + t.size()) return -1;
    return value;
}

void Message(const std::string& text) {
    kivo::Ui().MessageBox(text, MsgButtons::OK, Util::kMessageTitle);
}

// The reason a file that is there cannot be read, as a message's sentence ("<file>: it is not a
// regular file."), naming the file as spelled on disk; empty when it can be read or is missing.
std::string Unreadable(const std::string& file) {
    const std::string why = kivo::profile::WhyUnreadable(file);
    return why.empty() ? why : fileops::ResolveCase(file) + ": " + why + ".";
}

// The sentence that says why a file the tool needs cannot be used: missing, or unreadable as
// above. Empty when it can be read. `parsed` false: a script that is only ever copied, whose type
// alone is looked at.
std::string CannotUse(const std::string& file, bool parsed = true) {
    if (!fileops::Exists(file)) return file + " is missing.";
    if (parsed) return Unreadable(file);
    if (fileops::FileExists(file)) return {};
    return fileops::ResolveCase(file) + ": it is not a regular file.";
}

void SetPaths(const std::string& dir) {
    S().InstallerDir = dir;
    S().KivoIniPath = PathIn(kivo::Ui().ExecutableDir(), "KIVO.ini");
    S().TavinIniPath = PathIn(dir, "Tavin.ini");
    S().SetupIssPath = PathIn(dir, "Setup.iss");
    S().SetupLidPath = PathIn(dir, "Setup.lid");
}

// Puts the replacement script in place of the installer's Setup.ins, keeping the old one as
// Setupins.orig. Each step is undone when a later one fails, so the installer always keeps a
// Setup.ins.
void ReplaceSetupIns(const std::string& dir, const std::string& script, const std::string& setupIns,
                     std::string_view scriptName) {
    const std::string copy = PathIn(dir, std::string(scriptName));
    const std::string orig = PathIn(dir, "Setupins.orig");
    auto failed = [&](const std::string& file, const std::string& reason) {
        fileops::DeleteFile(copy, true);
        Message("KIVO could not update the setup.ins file: " + file + " could not be written (" +
                reason + "). The original setup.ins file was kept.");
    };

    if (auto r = fileops::CopyFile(script, copy); !r) return failed(copy, r.Text());
    if (auto r = fileops::MoveFile(setupIns, orig); !r) return failed(orig, r.Text());
    if (auto r = fileops::MoveFile(copy, setupIns); !r) {
        if (fileops::MoveFile(orig, setupIns)) return failed(setupIns, r.Text());
        fileops::DeleteFile(copy, true);
        Message("KIVO could not update the setup.ins file: " + setupIns +
                " could not be written (" + r.Text() +
                "). The original setup.ins file is kept as " + orig + ".");
    }
}

// Copies the template over the settings file without ever leaving it missing or half-written:
// the new file is made complete under a temporary name first, and the old one is put back when
// the swap fails. False after a message when nothing was changed.
bool ReplaceSettingsFile(const std::string& dir, const std::string& templ,
                         const std::string& product) {
    const std::string settings = fileops::ResolveCase(PathIn(dir, "Tavin.ini"));
    const std::string fresh = PathIn(dir, "Tavin.ini.kivo-new");
    const std::string orig = PathIn(dir, "Tavin.orig");
    auto failed = [&](const std::string& what, const std::string& reason) {
        fileops::DeleteFile(fresh, true);
        Message("KIVO could not update " + settings + ": " + what + " (" + reason +
                "). The old Tavin.ini file was kept.");
        return false;
    };

    if (fileops::FileExists(fresh)) {
        if (auto r = fileops::DeleteFile(fresh, true); !r)
            return failed(fresh + " could not be deleted", r.Text());
    }
    // The template may be read-only beside the tool; the new settings file must be writable.
    fileops::Result written = fileops::CopyFile(templ, fresh);
    if (written) written = fileops::SetReadOnly(fresh, false);
    if (!written) return failed(fresh + " could not be written", written.Text());
    if (!Util::WriteIniString("Main", "Product", product, fresh)) {
        return failed(fresh + " could not be written", "the product name could not be stored");
    }
    if (fileops::FileExists(orig)) {
        if (auto r = fileops::DeleteFile(orig, true); !r)
            return failed(orig + " could not be deleted", r.Text());
    }
    if (auto r = fileops::MoveFile(settings, orig); !r) {
        return failed(settings + " could not be renamed to " + orig, r.Text());
    }
    if (auto r = fileops::MoveFile(fresh, settings); !r) {
        fileops::MoveFile(orig, settings);
        return failed(fresh + " could not be renamed to " + settings, r.Text());
    }
    return true;
}

}  // namespace

bool OpenInstallerDir(const std::string& dir) {
    const kivo::profile::Operation operation;
    // The load reads these and the save may write Setup.iss: one that is there but cannot be read
    // as a file refuses the open, before anything else is read.
    for (const char* name : {"Setup.iss", "Setup.lid"}) {
        if (const std::string why = Unreadable(PathIn(dir, name)); !why.empty()) {
            Message(why);
            return false;
        }
    }
    const std::string settings = PathIn(dir, "Tavin.ini");
    const double version = ReadVersion(settings);

    if (version <= kLayoutVersion && !UpdateSetupIns(dir)) {
        kivo::Ui().EndProgram();
        return false;
    }

    std::string product;
    if (version >= kLayoutVersion) {
        product = Util::GetIniString("Main", "Product", "Wrong", settings);
        if (product == "Wrong") {
            Message("The version number on your TAVIN.ini file is correct but it is lacking a "
                    "Product name. Please use the original unedited TAVin.ini that came with the "
                    "installer.");
            return false;
        }
    } else {
        // An old file may still name its product; taking it now keeps the load from using the
        // product of the installer opened before. The version check tests it afterwards.
        product = Util::GetIniString("Main", "Product", "", settings);
    }
    // Temporary files of saves that were killed halfway must not ship with the installer.
    RemoveStaleSaveTemps(dir);
    SetPaths(dir);
    S().OemSettings.Product = product;
    return true;
}

bool UpdateSetupIns(const std::string& dir) {
    const std::string product = Util::GetIniString("Main", "Product", "", PathIn(dir, "Tavin.ini"));
    const SupportedProduct* supported = FindProduct(product);
    if (!supported || supported->setupInsReplacement.empty()) return true;

    const std::string lid = PathIn(dir, "Setup.lid");
    if (Util::GetIniString("Languages", "count", "", lid) != "1") return true;
    const std::string key0 = Util::GetIniString("Languages", "key0", "", lid);
    if (key0 != "0011" && key0 != "0009") return true;
    // Setupins.orig marks a replacement done before.
    if (fileops::FileExists(PathIn(dir, "Setupins.orig"))) return true;

    // Without either file there is nothing to replace: say so and open the installer as it is;
    // the replacement is offered again at the next open.
    const std::string script =
        PathIn(kivo::Ui().ExecutableDir(), std::string(supported->setupInsReplacement));
    if (const std::string why = CannotUse(script, false); !why.empty()) {
        Message(why + " KIVO cannot update the setup.ins file. Please reinstall KIVO.");
        return true;
    }
    const std::string setupIns = fileops::ResolveCase(PathIn(dir, "Setup.ins"));
    if (const std::string why = CannotUse(setupIns, false); !why.empty()) {
        Message(why + " KIVO cannot update the setup.ins file.");
        return true;
    }

    if (kivo::Ui().MessageBox(
            "KIVO needs to update the setup.ins file. KIVO will save the original "
            "file as setupins.orig",
            MsgButtons::OKCancel, "Setup.ins update") != MsgResult::OK) {
        return false;
    }
    ReplaceSetupIns(dir, script, setupIns, supported->setupInsReplacement);
    return true;
}

bool KivoHasProductSection() {
    const std::string product = Util::GetIniString("MAIN", "Product", "FAIL", S().TavinIniPath);
    // The whole list: a product past a cut would be imported again over its factory values.
    bool found = false;
    ForEachListedName(WholeSectionList(S().KivoIniPath),
                      [&](std::string_view name) { found = found || name == product; });
    return found;
}

void ImportOemInstallToKivo() {
    SetPaths(S().InstallerDir);
    const std::string& kivoIni = S().KivoIniPath;
    const std::string product = Util::GetIniString("MAIN", "Product", "FAIL", S().TavinIniPath);
    // Without a product there is no section to name; KIVO.ini holds product sections only.
    if (product.empty() || product == "FAIL") return;

    // The factory values are those of the first installer of the product: an import that could
    // not be written earlier in this run kept them, and they stay what is written.
    auto& keptValues = S().FactoryValues;
    auto kept = keptValues.find(product);
    std::vector<std::pair<std::string, std::string>> values;
    if (kept != keptValues.end()) {
        values = kept->second;
    } else {
        const std::string list = WholeKeyList("OEM INSTALL", S().TavinIniPath);
        ForEachListedName(list, [&](std::string_view name) {
            const std::string key(name);
            values.emplace_back(key,
                                Util::GetIniString("OEM INSTALL", key, "ERROR", S().TavinIniPath));
        });
    }
    // Whatever keeps them from KIVO.ini, the run goes on with them: the load's product flags and
    // the wizard's preset read them there.
    auto keep = [&] { keptValues[product] = values; };

    if (const std::string why = CannotUse(kivoIni); !why.empty()) {
        keep();
        Message(why + " Please reinstall KIVO.");
        return;
    }
    // Checked just above; should it have gone since, clearing the attribute below reports it.
    const bool wasReadOnly = fileops::IsReadOnly(kivoIni) == fileops::ReadOnly::Yes;
    auto failed = [&](const std::string& reason) {
        keep();
        fileops::SetReadOnly(kivoIni, wasReadOnly);
        Message("KIVO could not write the default settings of " + product + " to " + kivoIni +
                " (" + reason + ").");
    };
    if (auto r = fileops::SetReadOnly(kivoIni, false); !r) return failed(r.Text());

    // All keys or none: a half-written section would count as the product's factory values.
    kivo::profile::BeginBatch();
    bool written = true;
    for (const auto& [key, value] : values)
        written = Util::WriteIniString(product, key, value, kivoIni) && written;
    if (!written) {
        kivo::profile::AbortBatch();
        return failed("a value could not be stored");
    }
    const kivo::profile::CommitResult result = kivo::profile::CommitBatch();
    if (!result.ok) return failed(result.reason);
    keptValues.erase(product);
    fileops::SetReadOnly(kivoIni, true);
}

bool CheckSilentUserInfo() {
    const OemInstall& s = S().OemSettings;
    if (s.ProductHidesUserInfoDlg || kivo::platform::ContainsIgnoreAsciiCase(s.Product, "Lumeno") ||
        s.DisplayUserInfoDlg) {
        return true;
    }
    if (!s.UserName.empty() && !s.UserCompanyName.empty() && !s.UserSerialNumber.empty())
        return true;
    Message("If this installer is run in silent mode then the Default User name, Company Name and "
            "Serial number must be entered.");
    return false;
}

bool HasResponseFile() {
    return !Util::GetIniString("Application", "Name", "", S().SetupIssPath).empty();
}

bool IsVersion50Product(const std::string& settingsFile) {
    const SupportedProduct* p =
        FindProduct(Util::GetIniString("Main", "Product", "", settingsFile));
    return p && p->version50;
}

bool CheckInstallerVersion(const std::string& dir) {
    const std::string settings = PathIn(dir, "Tavin.ini");
    const bool is50 = IsVersion50Product(settings);
    if (ReadVersion(settings) > kLayoutVersion && !is50) return true;

    const std::string product = Util::GetIniString("Main", "Product", "Wrong", settings);
    if (product == "Wrong") {
        // A file that is there but cannot be read is named, with the reason.
        const std::string why = Unreadable(settings);
        Message(why.empty() ? "Tavin.ini file not found." : why);
        kivo::Ui().EndProgram();
        return false;
    }
    const SupportedProduct* supported = FindProduct(product);
    if (!supported) {
        Message(product + " is not a supported installer. Make sure you selected the correct "
                          "directory and have the latest version of the installer.");
        return false;
    }
    if (kivo::Ui().MessageBox("This Tavin.ini file needs to be updated to version 1.2 to work "
                              "properly. The old ini will be renamed to tavin.orig. Update now?",
                              MsgButtons::YesNo, Util::kMessageTitle) != MsgResult::Yes) {
        return false;
    }
    const std::string templ =
        PathIn(kivo::Ui().ExecutableDir(), "Update" + std::string(supported->updateCode) + ".ini");
    if (const std::string why = CannotUse(templ); !why.empty()) {
        Message(why + " Please reinstall KIVO.");
        return false;
    }
    if (!ReplaceSettingsFile(dir, templ, product)) return false;
    // The tool's own change: a save that follows does not take it for another program's.
    S().TavinIniState = kivo::platform::FileState::At(fileops::ResolveCase(settings));
    S().OemSettings.Product = Util::GetIniString("Main", "Product", "Wrong", settings);
    return true;
}

}  // namespace modTAVIN
