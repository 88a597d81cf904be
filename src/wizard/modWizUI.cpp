#include "wizard/modWizUI.h"

#include "platform/asciicase.h"
#include "store/modTAVIN.h"

namespace modWizUI {

namespace {

WizardSettings g_settings;

constexpr const char* kCollabKey = "Software\\Vontu\\Vontu Tessary\\5.0\\Collab\\cServerSettings";

RegEntry Row(const char* key, const std::string& valueName, const char* valueType,
             const std::string& data) {
    return RegEntry{"All", "HKEY_LOCAL_MACHINE", key, valueName, valueType, data};
}

// The rows live in copy list 1. A model without any copy list has none of them: lookups find
// nothing and edits are skipped, so the wizard never fails on such a model.
constexpr int16_t kRegList = 1;

bool HasRegList() { return modTAVIN::BlindCopyCount() >= kRegList; }

bool FindRow(const RegEntry& row, std::string* data = nullptr) {
    return HasRegList() && modTAVIN::FindRegEntry(kRegList, row, data);
}

void RemoveRowIfPresent(const RegEntry& row) {
    if (FindRow(row)) modTAVIN::RemoveRegEntry(kRegList, row);
}

void SetRow(const RegEntry& row) {
    if (HasRegList()) modTAVIN::SetRegEntry(kRegList, row);
}

bool ProductContains(const char* part) {
    return kivo::platform::ContainsIgnoreAsciiCase(g_settings.Product, part);
}

// Removes both update-disabling rows under key, then sets them again when they are wanted.
void ApplyUpdateRows(const char* key, bool wanted) {
    for (const char* name : {kWebServicesUpdate, kProductUpdate}) {
        RemoveRowIfPresent(UpdatesOffRow(key, name));
        if (wanted) SetRow(UpdatesOffRow(key, name));
    }
}

}  // namespace

RegEntry CollabServerRow(const std::string& server) {
    return Row(kCollabKey, "tDAVFDF", "STRING", server);
}
RegEntry UpdatesOffRow(const char* key, const char* valueName) {
    return Row(key, valueName, "Number", "1");
}

void SetWizardSettings(const WizardSettings& settings) { g_settings = settings; }

WizardSettings GetWizardSettings() { return g_settings; }

void ResetState() { g_settings = {}; }

void LoadWizardSettings() {
    const OemInstall o = modTAVIN::GetOemInstall();
    WizardSettings& w = g_settings;
    w.Product = o.Product;
    w.DisplayWelcomeDlg = o.DisplayWelcomeDlg;
    w.DisplayEULA = o.DisplayEULA;
    w.DisplayTypeOfInstallDlg = o.DisplayTypeOfInstallDlg;
    w.DisplaySelectDestDirDlg = o.DisplaySelectDestDirDlg;
    w.DisplayCustomDlg = o.DisplayCustomDlg;
    w.DisplayUserInfoDlg = o.DisplayUserInfoDlg;
    w.DisplayConfirmRegDlg = o.DisplayConfirmRegDlg;
    w.DisplayStartCopyDlg = o.DisplayStartCopyDlg;
    w.DisplayFinalMessage = o.DisplayFinalMessage;
    w.DisplayRebootDlg = o.DisplayRebootDlg;
    w.InstallModeSilent = o.InstallModeSilent;
    w.UninstallPreviousVersions = o.UninstallPreviousVersions;
    w.DefaultDestDir = o.DefaultDestDir;
    w.ProductHidesDestDirDlgs = o.ProductHidesDestDirDlgs;
    w.Type = o.Type;
    w.ProductHidesTypeDlg = o.ProductHidesTypeDlg;
    w.UserName = o.UserName;
    w.UserCompanyName = o.UserCompanyName;
    w.UserSerialNumber = o.UserSerialNumber;
    w.ProductHidesUserInfoDlg = o.ProductHidesUserInfoDlg;
    w.Components = o.Components;
    w.Languages = o.Iss.Languages;
    w.SelectedLanguage = o.Iss.SelectedLanguage;

    // Both lookups run; only the viewer's web-services row and the full/forms product-update
    // row count, whatever the edition.
    const bool viewerRow = FindRow(UpdatesOffRow(kViewerUpdateKey, kWebServicesUpdate));
    const bool fullRow = FindRow(UpdatesOffRow(kFullUpdateKey, kProductUpdate));
    w.DisableUpdates = viewerRow || fullRow;

    std::string server;
    w.CollabServer = FindRow(CollabServerRow({}), &server) ? server : std::string();
}

void ApplyWizardSettings() {
    const WizardSettings& w = g_settings;
    OemInstall o = modTAVIN::GetOemInstall();
    o.DisplayWelcomeDlg = w.DisplayWelcomeDlg;
    o.DisplayEULA = w.DisplayEULA;
    o.DisplayTypeOfInstallDlg = w.DisplayTypeOfInstallDlg;
    o.DisplaySelectDestDirDlg = w.DisplaySelectDestDirDlg;
    o.DisplayCustomDlg = w.DisplayCustomDlg;
    o.DisplayUserInfoDlg = w.DisplayUserInfoDlg;
    o.DisplayConfirmRegDlg = w.DisplayConfirmRegDlg;
    o.DisplayStartCopyDlg = w.DisplayStartCopyDlg;
    o.DisplayFinalMessage = w.DisplayFinalMessage;
    o.DisplayRebootDlg = w.DisplayRebootDlg;
    o.DefaultDestDir = w.DefaultDestDir;
    o.Type = w.Type;
    o.UserCompanyName = w.UserCompanyName;
    o.UserName = w.UserName;
    o.UserSerialNumber = w.UserSerialNumber;
    o.Components = w.Components;
    o.Iss.SelectedLanguage = w.SelectedLanguage;
    o.UninstallCombineVersions = w.UninstallPreviousVersions;
    o.UninstallPreviousVersions = w.UninstallPreviousVersions;
    modTAVIN::SetOemInstall(o);

    if (IsFullEdition()) {
        if (!w.CollabServer.empty()) {
            SetRow(CollabServerRow(w.CollabServer));
        } else {
            RemoveRowIfPresent(CollabServerRow({}));
        }
    }

    if (IsViewerEdition()) {
        ApplyUpdateRows(kViewerUpdateKey, w.DisableUpdates);
    } else if (IsFullEdition() || IsFormsEdition()) {
        ApplyUpdateRows(kFullUpdateKey, w.DisableUpdates);
    }

    // The preset overrides whatever step one stored for the fields it sets.
    if (w.InstallModeSilent) {
        modTAVIN::SetSilentDefaults();
    } else {
        modTAVIN::LoadProductDefaults();
    }
}

bool IsFullEdition() {
    return ProductContains("Vontu(R) Tessary(R)") &&
           !ProductContains("Vontu(R) Tessary(R) Fumarel");
}

bool IsViewerEdition() { return ProductContains("Tessary Lumeno"); }

bool IsFormsEdition() {
    return ProductContains("Tessary Formwell") || ProductContains("Tessary Sanctile");
}

bool OptionsOffered() { return IsFullEdition() || IsViewerEdition() || IsFormsEdition(); }

namespace {

// After the user information: the options page where it is offered, else the end.
int16_t AfterUserInfo() { return OptionsOffered() ? 10 : 11; }

// After the destination: the user information unless the product hides it.
int16_t AfterDestination() { return g_settings.ProductHidesUserInfoDlg ? AfterUserInfo() : 9; }

}  // namespace

int16_t NextStep(int16_t from, bool customChosen) {
    const WizardSettings& s = g_settings;
    switch (from) {
        case 0: return 1;
        case 1: return s.InstallModeSilent ? 5 : AfterUserInfo();
        case 5:
            if (s.ProductHidesDestDirDlgs) return AfterDestination();
            return s.ProductHidesTypeDlg ? 6 : 7;
        case 6: return AfterDestination();
        case 7: return customChosen ? 8 : AfterDestination();
        case 8: return AfterDestination();
        case 9: return AfterUserInfo();
        case 10: return 11;
        default: return from;  // Next is disabled on step 11
    }
}

int16_t PreviousStep(int16_t from) {
    const WizardSettings& s = g_settings;
    switch (from) {
        case 1: return 0;
        case 5: return 1;
        case 6: return 5;
        case 7: return 5;
        case 8: return 7;
        case 9:
            if (s.ProductHidesDestDirDlgs) return 5;
            if (s.ProductHidesTypeDlg) return 6;
            return s.Type == "Custom" ? 8 : 7;
        case 10:
            if (!s.InstallModeSilent) return 1;
            return s.ProductHidesUserInfoDlg ? PreviousStep(9) : 9;
        case 11: return OptionsOffered() ? 10 : PreviousStep(10);
        default: return from;  // Back is disabled on step 0
    }
}

int16_t AbsInt(int16_t value) {
    if (value == INT16_MIN) return INT16_MAX;
    return static_cast<int16_t>(value < 0 ? -value : value);
}

}  // namespace modWizUI
