#include "mainwindow/frmMain.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>

#include "mainwindow/IncludeFilesTab.h"
#include "mainwindow/ShortcutsTab.h"
#include "mainwindow/SublaunchTab.h"
#include "mainwindow/SummaryTab.h"

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frmMain");
    setWindowTitle("Kivotool ");
    BuildMenus();

    ssMainTab = new QTabWidget(this);
    ssMainTab->setObjectName("ssMainTab");
    summaryTab = new SummaryTab(this);
    shortcutsTab = new ShortcutsTab(this);
    includeFilesTab = new IncludeFilesTab(this);
    sublaunchTab = new SublaunchTab(this);
    ssMainTab->addTab(summaryTab, "Summary");
    ssMainTab->addTab(shortcutsTab, "Shortcuts");
    ssMainTab->addTab(includeFilesTab, "Include Files");
    ssMainTab->addTab(sublaunchTab, "Sublaunch");
    setCentralWidget(ssMainTab);
    connect(ssMainTab, &QTabWidget::currentChanged, this, [this](int index) {
        int previous = previousTab_;
        previousTab_ = index;
        ssMainTab_Click(previous);
    });

    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::BuildMenus() {
    auto action = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuOpen = action(mnuFile, "mnuOpen", "&Open...");
    mnuClose = action(mnuFile, "mnuClose", "&Close");
    mnuFile->addSeparator()->setObjectName("mnuSeparator2");
    mnuEditDestDir = mnuFile->addMenu("Edit &Components Panel");
    mnuEditDestDir->setObjectName("mnuEditDestDir");
    mnuInsertFile = action(mnuEditDestDir, "mnuInsertFile", "Insert File");
    mnuInsertFolder = action(mnuEditDestDir, "mnuInsertFolder", "Insert Folder");
    mnuRenameFolder = action(mnuEditDestDir, "mnuRenameFolder", "Rename Folder");
    mnuDeleteFolder = action(mnuEditDestDir, "mnuDeleteFolder", "Delete Folder");
    mnuFileInfo = mnuFile->addMenu("Edit File &Panel");
    mnuFileInfo->setObjectName("mnuFileInfo");
    mnuDelFile = action(mnuFileInfo, "mnuDelFile", "Delete File");
    mnuFile->addSeparator()->setObjectName("mnuSeparator1");
    mnuSave = action(mnuFile, "mnuSave", "&Save");
    mnuFile->addSeparator()->setObjectName("mnuSeparator");
    mnuExit = action(mnuFile, "mnuExit", "&Exit");
    mnuHelp = menuBar()->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    mnuAbout = action(mnuHelp, "mnuAbout", "&About Kivotool");
}

void frmMain::SetPanelMenusEnabled(bool enabled) {
    mnuEditDestDir->setEnabled(enabled);
    mnuEditDestDir->menuAction()->setEnabled(enabled);
    mnuFileInfo->setEnabled(enabled);
    mnuFileInfo->menuAction()->setEnabled(enabled);
}

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
    mnuExit_Click();
}

void frmMain::Form_Activate() {}
void frmMain::mnuOpen_Click() {}
void frmMain::mnuClose_Click() {}
void frmMain::mnuSave_Click() {}
void frmMain::mnuExit_Click() {}
void frmMain::ssMainTab_Click(int) {}
void frmMain::CmdWizard_Click() {}
bool frmMain::SaveChanges() { return false; }

void frmMain::ShowSettings() {
    includeFilesTab->FillDestFilesTree();
    includeFilesTab->FillFileGrid();
    sublaunchTab->FillLaunchList();
}
