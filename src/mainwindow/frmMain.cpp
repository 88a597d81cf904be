#include "mainwindow/frmMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>

#include "mainwindow/IncludeFilesTab.h"
#include "mainwindow/ShortcutsTab.h"
#include "mainwindow/SublaunchTab.h"
#include "mainwindow/SummaryTab.h"
#include "platform/fileops.h"
#include "platform/ui.h"
#include "qtui/Controls.h"
#include "store/Util.h"
#include "store/modTAVIN.h"
#include "wizard/frmWizard.h"

namespace {
constexpr int kIncludeFilesTab = 2;
}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    setWindowTitle(QStringLiteral("Kivotool "));
    BuildMenus();

    ssMainTab = new QTabWidget(this);
    ssMainTab->setObjectName("ssMainTab");
    summaryTab = new SummaryTab(this);
    shortcutsTab = new ShortcutsTab(this);
    includeFilesTab = new IncludeFilesTab(this);
    sublaunchTab = new SublaunchTab(this);
    ssMainTab->addTab(summaryTab, QStringLiteral("Summary"));
    ssMainTab->addTab(shortcutsTab, QStringLiteral("Shortcuts"));
    ssMainTab->addTab(includeFilesTab, QStringLiteral("Include Files"));
    ssMainTab->addTab(sublaunchTab, QStringLiteral("Sublaunch"));
    setCentralWidget(ssMainTab);
    resize(DefaultWidth, DefaultHeight);
    connect(ssMainTab, &QTabWidget::currentChanged, this, [this](int index) {
        int previous = previousTab_;
        previousTab_ = index;
        ssMainTab_Click(previous);
    });

    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::BuildMenus() {
    auto action = [](QMenu* menu, const char* name, const char* caption) {
        return Named(menu->addAction(QLatin1String(caption)), name);
    };
    // The menu and the entry that opens it carry one name.
    auto submenu = [](auto* parent, const char* name, const char* caption) {
        QMenu* m = Named(parent->addMenu(QLatin1String(caption)), name);
        Named(m->menuAction(), name);
        return m;
    };
    mnuFile = submenu(menuBar(), "mnuFile", "&File");
    mnuOpen = action(mnuFile, "mnuOpen", "&Open...");
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    // A window shortcut: a focused text box claims Ctrl+C for copying before the shortcut
    // sees it, so Close runs from every other control and copy still works in the boxes.
    mnuClose = action(mnuFile, "mnuClose", "&Close");
    mnuClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuFile->addSeparator()->setObjectName("mnuSeparator2");
    mnuEditDestDir = submenu(mnuFile, "mnuEditDestDir", "Edit &Components Panel");
    mnuInsertFile = action(mnuEditDestDir, "mnuInsertFile", "Insert File");
    mnuInsertFolder = action(mnuEditDestDir, "mnuInsertFolder", "Insert Folder");
    mnuRenameFolder = action(mnuEditDestDir, "mnuRenameFolder", "Rename Folder");
    mnuDeleteFolder = action(mnuEditDestDir, "mnuDeleteFolder", "Delete Folder");
    mnuFileInfo = submenu(mnuFile, "mnuFileInfo", "Edit File &Panel");
    mnuDelFile = action(mnuFileInfo, "mnuDelFile", "Delete File");
    mnuFile->addSeparator()->setObjectName("mnuSeparator1");
    mnuSave = action(mnuFile, "mnuSave", "&Save");
    mnuFile->addSeparator()->setObjectName("mnuSeparator");
    mnuExit = action(mnuFile, "mnuExit", "&Exit");
    mnuHelp = submenu(menuBar(), "mnuHelp", "&Help");
    mnuAbout = action(mnuHelp, "mnuAbout", "&About Kivotool");  // has no action

    mnuClose->setEnabled(false);
    SetPanelMenusEnabled(false);
    mnuSave->setEnabled(false);

    connect(mnuOpen, &QAction::triggered, this, &frmMain::mnuOpen_Click);
    connect(mnuClose, &QAction::triggered, this, &frmMain::mnuClose_Click);
    connect(mnuSave, &QAction::triggered, this, &frmMain::mnuSave_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
}

void frmMain::SetPanelMenusEnabled(bool enabled) {
    mnuEditDestDir->setEnabled(enabled);
    mnuEditDestDir->menuAction()->setEnabled(enabled);
    mnuFileInfo->setEnabled(enabled);
    mnuFileInfo->menuAction()->setEnabled(enabled);
}

void frmMain::ApplyPanelMenuRule() {
    SetPanelMenusEnabled(ssMainTab->currentIndex() == kIncludeFilesTab);
}

bool frmMain::Ended() { return kivo::Ui().ProgramEnded(); }

void frmMain::Form_Load() {
    ssMainTab->hide();
    FirstActivate = true;
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (FirstActivate && !activationQueued_) {
        // Queued, so that the folder browser comes up as the window first shows.
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] { Form_Activate(); });
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    event->ignore();
    // While the wizard is open the window takes no input, its close box included.
    if (!isEnabled()) return;
    mnuExit_Click();
}

void frmMain::Form_Activate() {
    if (FirstActivate) {
        mnuOpen_Click();
    } else {
        ShowSettings();
        ApplyPanelMenuRule();
    }
    FirstActivate = false;
}

// Choosing a menu entry or the close box leaves the focus in the box being edited, so its
// focus-loss store has not run: without this, its text would be dropped without a prompt.
bool frmMain::HasUnsavedChanges() { return modTAVIN::IsModified() || summaryTab->HasPendingEdit(); }

bool frmMain::PromptToSave(const char* text) {
    switch (kivo::Ui().MessageBox(text, kivo::MsgButtons::YesNoCancel, Util::kMessageTitle)) {
        case kivo::MsgResult::Yes: return SaveChanges();
        case kivo::MsgResult::No: return true;
        default: return false;
    }
}

void frmMain::mnuOpen_Click() {
    const bool modified = HasUnsavedChanges();
    const bool open = modTAVIN::IsInstallerOpen();
    if (modified && open && !PromptToSave("Do you wish to save your changes?")) return;
    if (Ended()) return;

    const std::string dir = Util::BrowseForFolder(
        "Select the Directory which contains the Tessary Installer you wish to customize");
    SelectedDir = dir;
    if (dir.empty() || !kivo::fileops::Exists(dir)) return;

    kivo::Ui().SetHourglass(true);
    if (modTAVIN::OpenInstallerDir(dir) && !Ended()) {
        if (!modTAVIN::KivoHasProductSection()) modTAVIN::ImportOemInstallToKivo();
        if (Ended()) return;
        bool loaded;
        if (modTAVIN::IsVersion50Product(modTAVIN::PathIn(dir, "Tavin.ini"))) {
            modTAVIN::CheckInstallerVersion(dir);
            if (Ended()) return;
            loaded = modTAVIN::LoadInstaller();
        } else {
            loaded = modTAVIN::LoadInstaller();
            if (Ended()) return;
            modTAVIN::CheckInstallerVersion(dir);
        }
        if (Ended()) return;
        if (loaded) {
            ssMainTab->show();
            mnuClose->setEnabled(true);
            mnuSave->setEnabled(true);
            if (ssMainTab->currentIndex() == kIncludeFilesTab) SetPanelMenusEnabled(true);
            ShowSettings();
        }
    }
    if (Ended()) return;
    kivo::Ui().SetHourglass(false);
}

bool frmMain::SaveChanges() {
    kivo::Ui().SetHourglass(true);
    summaryTab->MoveFocusTo(summaryTab->TextDestDir);
    summaryTab->MoveFocusTo(summaryTab->TextUserName);
    QCoreApplication::processEvents();
    const bool modified = modTAVIN::IsModified();
    const bool userInfoOk = modTAVIN::CheckSilentUserInfo();
    // A save that could not write the files has not saved: the command that asked for it
    // must not go on as if it had (closing or ending would lose the changes).
    const bool saved = modified && userInfoOk && modTAVIN::SaveTavinIni();
    kivo::Ui().SetHourglass(false);
    return saved;
}

void frmMain::mnuSave_Click() { SaveChanges(); }

void frmMain::mnuClose_Click() {
    if (HasUnsavedChanges() && !PromptToSave("Do you wish to save before closing?")) return;
    if (Ended()) return;
    mnuClose->setEnabled(false);
    mnuSave->setEnabled(false);
    SetPanelMenusEnabled(false);
    ssMainTab->hide();
    modTAVIN::CloseInstaller();
}

void frmMain::mnuExit_Click() {
    const bool modified = HasUnsavedChanges();
    const bool open = modTAVIN::IsInstallerOpen();
    if (modified && open && !PromptToSave("Do you wish to save before Exiting?")) return;
    if (Ended()) return;
    kivo::Ui().EndProgram();
}

void frmMain::ssMainTab_Click(int) { ApplyPanelMenuRule(); }

void frmMain::CmdWizard_Click() {
    setEnabled(false);
    auto* wizard = new frmWizard(this);
    wizard->setAttribute(Qt::WA_DeleteOnClose);
    // The window's later activation refills it, so that the wizard's changes show.
    connect(
        wizard, &frmWizard::Closed, this, [this] { Form_Activate(); }, Qt::QueuedConnection);
    wizard->show();
}

void frmMain::ShowSettings() {
    EditSettings = modTAVIN::GetOemInstall();
    summaryTab->ShowRecord(EditSettings);
    includeFilesTab->FillDestFilesTree();
    includeFilesTab->FillFileGrid();
    sublaunchTab->FillLaunchList();
    if (sublaunchTab->ListLaunch && sublaunchTab->ListLaunch->count() > 0)
        sublaunchTab->ListLaunch->setCurrentRow(0);
    shortcutsTab->FillShortcutLists(EditSettings);
    summaryTab->ShowRegistryLabels();
}
