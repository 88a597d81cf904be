#pragma once
// The wizard's working record: the part of the open installer's settings that the wizard edits,
// plus the two registry choices of its options page. Loaded from the model when a wizard window
// first becomes active, replaced whole as the administrator moves through the pages, and applied
// back to the model (settings, registry rows of the first copy list, closing preset) on Finish.
// Also the order of the wizard's steps. Nothing here touches a file. No Qt: texts are
// Windows-1252 bytes.

#include <cstdint>
#include <string>

#include "store/model.h"

namespace modWizUI {

struct WizardSettings {
    std::string Product;
    bool DisplayWelcomeDlg = false;
    bool DisplayEULA = false;
    bool DisplayTypeOfInstallDlg = false;
    bool DisplaySelectDestDirDlg = false;
    bool DisplayCustomDlg = false;
    bool DisplayUserInfoDlg = false;
    bool DisplayConfirmRegDlg = false;
    bool DisplayStartCopyDlg = false;
    bool DisplayFinalMessage = false;
    bool DisplayRebootDlg = false;
    bool InstallModeSilent = false;  // chooses the closing preset; not written back
    bool UninstallPreviousVersions = false;
    std::string DefaultDestDir;
    bool ProductHidesDestDirDlgs = false;  // read-only inside the wizard
    std::string Type;
    bool ProductHidesTypeDlg = false;  // read-only inside the wizard
    std::string UserName;
    std::string UserCompanyName;
    std::string UserSerialNumber;
    bool ProductHidesUserInfoDlg = false;  // read-only inside the wizard
    OneBasedList<ComponentEntry> Components;
    OneBasedList<LanguageEntry> Languages;  // not written back
    int16_t SelectedLanguage = 0;           // 1-based position in Languages
    std::string CollabServer;
    bool DisableUpdates = false;
    bool operator==(const WizardSettings&) const = default;
};

// The module keeps one record for the life of the process, reached only through these
// functions; windows work on copies of it.
void SetWizardSettings(const WizardSettings& settings);
WizardSettings GetWizardSettings();
// Empties the record, as at start-up.
void ResetState();

// Fills the record from the model and the registry rows of its first copy list.
void LoadWizardSettings();
// Writes the record back to the model, sets or removes the registry rows of the first copy
// list for the product's edition, then runs the silent or the product's preset.
void ApplyWizardSettings();

// Edition tests on the record's Product (letter case ignored); all false before a load.
bool IsFullEdition();
bool IsViewerEdition();
bool IsFormsEdition();

// ---- Registry rows ----
// The rows of the first copy list that the options page sets and the Summary tab shows. Their
// value data takes no part in the lookups.
inline constexpr const char* kFullUpdateKey = "SOFTWARE\\Vontu\\Vontu Tessary\\5.0\\VontuViewer";
inline constexpr const char* kViewerUpdateKey = "SOFTWARE\\Vontu\\Tessary Lumeno\\5.0\\VontuViewer";
inline constexpr const char* kWebServicesUpdate = "DisableWebServicesUpdate";
inline constexpr const char* kProductUpdate = "DisableTessaryUpdate";
// The row that turns off one kind of update (value name) under an edition's key.
RegEntry UpdatesOffRow(const char* key, const char* valueName);
// The row that names the online-comments server.
RegEntry CollabServerRow(const std::string& server);

// ---- Step order ----
// The wizard's steps are numbered 0 to 11; 2, 3 and 4 have no page and no move leads there.
// Both moves decide on the record as last stored, and Back retraces the way Next took.

// True when the options page (step 10) is offered: for the three editions only.
bool OptionsOffered();
// The step Next leads to from `from`. Step 7 goes on to the components when its page has the
// Custom setup type chosen (`customChosen`); steps without a Next give themselves.
int16_t NextStep(int16_t from, bool customChosen);
// The step Back leads to from `from`; step 0 gives itself.
int16_t PreviousStep(int16_t from);

// Absolute value; the one value without a 16-bit absolute (-32768) gives 32767.
int16_t AbsInt(int16_t value);

}  // namespace modWizUI
