#pragma once
// The main window: File and Help menus, the tab control with the four tabs, the file commands
// with their save prompts, and the start of the wizard.

#include <QMainWindow>
#include <string>

#include "store/model.h"

class QAction;
class QMenu;
class QTabWidget;
class SummaryTab;
class ShortcutsTab;
class IncludeFilesTab;
class SublaunchTab;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The size the window opens with.
    static constexpr int DefaultWidth = 760;
    static constexpr int DefaultHeight = 500;

    // ---- Members shared with the tabs ----
    // Scratch copy of the model's settings record.
    OemInstall EditSettings;
    // The answer of the last folder browse of File > Open (also empty after Cancel).
    std::string SelectedDir;
    bool FirstActivate = true;

    // ---- Top-level controls ----
    QTabWidget* ssMainTab = nullptr;
    SummaryTab* summaryTab = nullptr;            // index 0 "Summary"
    ShortcutsTab* shortcutsTab = nullptr;        // index 1 "Shortcuts"
    IncludeFilesTab* includeFilesTab = nullptr;  // index 2 "Include Files"
    SublaunchTab* sublaunchTab = nullptr;        // index 3 "Sublaunch"

    // ---- Menus ----
    QMenu* mnuFile = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuClose = nullptr;
    QMenu* mnuEditDestDir = nullptr;  // panel menu of the tree
    QAction* mnuInsertFile = nullptr;
    QAction* mnuInsertFolder = nullptr;
    QAction* mnuRenameFolder = nullptr;
    QAction* mnuDeleteFolder = nullptr;
    QMenu* mnuFileInfo = nullptr;  // panel menu of the file grid
    QAction* mnuDelFile = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

    // ---- Lifecycle and commands ----
    void Form_Load();
    // The window's activation: the first one runs File > Open, later ones (after the wizard
    // closes) refill the controls. Not Qt's window activation, which also fires on the return
    // from every modal dialog.
    void Form_Activate();
    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuSave_Click();
    void mnuExit_Click();
    void ssMainTab_Click(int previousTab);
    void CmdWizard_Click();
    // True when the settings were written.
    bool SaveChanges();
    // Refills every control from the model.
    void ShowSettings();

    // Enables or disables both panel menus.
    void SetPanelMenusEnabled(bool enabled);
    // The panel-menu rule: both enabled exactly while the "Include Files" tab is selected.
    void ApplyPanelMenuRule();

protected:
    void closeEvent(QCloseEvent* event) override;  // Form_Unload
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenus();
    // True once the program has been ended inside a call (only a test's services return then).
    static bool Ended();
    // The three save prompts: Yes saves (and goes on only when the save ran), No goes on,
    // Cancel or a closed box stops. True when the command goes on.
    bool PromptToSave(const char* text);
    // The model's unsaved changes, or an edit still in the Summary box that holds the focus.
    bool HasUnsavedChanges();
    int previousTab_ = 0;
    bool activationQueued_ = false;
};
