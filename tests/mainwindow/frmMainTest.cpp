// The main window's life and file commands: start-up, Open, Close, Save, Exit with their save
// prompts, the close box, the panel menus and the wizard's start.

#include <QCloseEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include "MainWindowFixture.h"
#include "platform/fileops.h"

using kivo::MsgButtons;
using kivo::MsgResult;
using namespace mwtest;

namespace {

const char kSaveChanges[] = "Do you wish to save your changes?";
const char kSaveClosing[] = "Do you wish to save before closing?";
const char kSaveExiting[] = "Do you wish to save before Exiting?";
const char kUserInfo[] =
    "If this installer is run in silent mode then the Default User name, Company Name and "
    "Serial number must be entered.";

InstallerValues MissingSerial() {
    InstallerValues v;
    v.userInfoDlg = "NO";
    v.serial = "";
    return v;
}

}  // namespace

TEST_F(MainWindowTest, MenuTreeHasItsCaptionsShortcutsAndStartStates) {
    EXPECT_EQ(w->windowTitle(), "Kivotool ");
    struct Entry { const char* name; const char* caption; bool enabled; };
    const Entry entries[] = {
        {"mnuFile", "&File", true},          {"mnuOpen", "&Open...", true},
        {"mnuClose", "&Close", false},       {"mnuEditDestDir", "Edit &Components Panel", false},
        {"mnuInsertFile", "Insert File", true}, {"mnuInsertFolder", "Insert Folder", true},
        {"mnuRenameFolder", "Rename Folder", true}, {"mnuDeleteFolder", "Delete Folder", true},
        {"mnuFileInfo", "Edit File &Panel", false}, {"mnuDelFile", "Delete File", true},
        {"mnuSave", "&Save", false},         {"mnuExit", "&Exit", true},
        {"mnuHelp", "&Help", true},          {"mnuAbout", "&About Kivotool", true},
    };
    for (const Entry& e : entries) {
        QAction* a = Ctl<QAction>(e.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), e.caption) << e.name;
        EXPECT_EQ(a->isEnabled(), e.enabled) << e.name;
    }
    // The File menu in order, separators included.
    QStringList order;
    for (QAction* a : w->mnuFile->actions()) order << a->objectName();
    EXPECT_EQ(order.join(","), "mnuOpen,mnuClose,mnuSeparator2,mnuEditDestDir,mnuFileInfo,"
                               "mnuSeparator1,mnuSave,mnuSeparator,mnuExit");
    EXPECT_EQ(w->mnuOpen->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(w->mnuClose->shortcut(), QKeySequence("Ctrl+C"));
    EXPECT_TRUE(w->mnuSave->shortcut().isEmpty());

    QStringList tabs;
    for (int i = 0; i < w->ssMainTab->count(); ++i) tabs << w->ssMainTab->tabText(i);
    EXPECT_EQ(tabs.join(","), "Summary,Shortcuts,Include Files,Sublaunch");
    EXPECT_EQ(w->ssMainTab->currentIndex(), 0);
    EXPECT_FALSE(TabsShown());
    EXPECT_EQ(Ctl<QPushButton>("CmdWizard")->text(), "Customize...");
    EXPECT_TRUE(Trigger(w.get(), "mnuAbout"));  // does nothing
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(MainWindowTest, StartUpWithCancelledBrowserLeavesAnEmptyWindow) {
    w = std::make_unique<frmMain>();  // a fresh window, before its first activation
    ui->Folder("");
    w->show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !ui->folderTitles.empty(); }));
    EXPECT_EQ(ui->folderTitles[0], kBrowseTitle);
    EXPECT_FALSE(w->FirstActivate);
    EXPECT_FALSE(TabsShown());
    EXPECT_TRUE(Enabled("mnuOpen"));
    EXPECT_TRUE(Enabled("mnuExit"));
    EXPECT_FALSE(Enabled("mnuClose"));
    EXPECT_FALSE(Enabled("mnuSave"));
    EXPECT_FALSE(Enabled("mnuEditDestDir"));
    EXPECT_FALSE(Enabled("mnuFileInfo"));
    EXPECT_EQ(ui->hourglassOnCalls, 0);
    EXPECT_TRUE(ui->messages.empty());
    // Later activations (after the wizard) do not browse again.
    QCoreApplication::processEvents();
    EXPECT_EQ(ui->folderTitles.size(), 1u);
}

TEST_F(MainWindowTest, OpenShowsTheInstallerWithoutAMessage) {
    Open(MakeInstaller());
    EXPECT_TRUE(TabsShown());
    EXPECT_TRUE(Enabled("mnuClose"));
    EXPECT_TRUE(Enabled("mnuSave"));
    EXPECT_FALSE(Enabled("mnuEditDestDir"));  // the Summary tab is selected
    EXPECT_EQ(LabelText("LblInstaller"), kProduct);
    EXPECT_EQ(LabelText("lblState"), "Interactive Mode");
    EXPECT_EQ(LabelText("lblSetupType"), "Typical");
    EXPECT_EQ(BoxText("TextUserName"), "Admin");
    EXPECT_EQ(BoxText("TextCompName"), "Vontu");
    EXPECT_EQ(BoxText("TextSerial"), "123-456");
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(ui->hourglassOnCalls, 1);
    EXPECT_FALSE(ui->hourglass);
    EXPECT_FALSE(modTAVIN::IsModified());
}

TEST_F(MainWindowTest, OpenOfAMissingDirectoryOrAFailingOneChangesNothing) {
    Open(MakeInstaller());
    ui->Folder(work / "nowhere");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_EQ(w->SelectedDir, work / "nowhere");
    EXPECT_EQ(ui->hourglassOnCalls, 1);  // no pointer change for a missing directory

    // A settings file of version 1.2 without a product is refused by the store.
    WriteFileBytes(modTAVIN::PathIn(work / "bad", "TAVIN.ini"), Crlf("[Main]\nTavinVersion=1.2\n"));
    ui->Folder(work / "bad");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_FALSE(ui->hourglass);
    EXPECT_TRUE(TabsShown());
    EXPECT_EQ(modTAVIN::GetInstallerDir(), work / "inst");
    EXPECT_EQ(LabelText("LblInstaller"), kProduct);
}

TEST_F(MainWindowTest, OpenWithUnmodifiedInstallerAsksNothingAndCancelKeepsIt) {
    Open(MakeInstaller());
    ui->Folder("");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_TRUE(w->SelectedDir.empty());
    EXPECT_TRUE(TabsShown());
    EXPECT_TRUE(modTAVIN::IsInstallerOpen());
    EXPECT_EQ(BoxText("TextUserName"), "Admin");
}

TEST_F(MainWindowTest, OpenPromptAnswers) {
    const std::string dir = MakeInstaller();
    Open(dir);
    PassThrough(Box("TextSerial"));  // leaving a box marks the model modified
    ASSERT_TRUE(modTAVIN::IsModified());

    ui->Answer(MsgResult::Cancel);
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0].text, kSaveChanges);
    EXPECT_EQ(ui->messages[0].title, "KIVO");
    EXPECT_EQ(ui->messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(ui->folderTitles.size() == 1);  // only the first open browsed

    ui->Answer(MsgResult::No).Folder("");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_EQ(ui->folderTitles.size(), 2u);
    EXPECT_TRUE(modTAVIN::IsModified());

    ui->Answer(MsgResult::Yes).Folder(dir);
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_TRUE(kivo::fileops::Exists(modTAVIN::PathIn(dir, "Tavin.old")));  // saved first
    EXPECT_FALSE(modTAVIN::IsModified());
}

TEST_F(MainWindowTest, YesWithIncompleteUserInformationStopsEveryCommand) {
    Open(MakeInstaller(MissingSerial()));
    PassThrough(Box("TextUserName"));
    const std::string before = ReadFileBytes(TavinPath());

    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kSaveChanges, kUserInfo}));
    EXPECT_EQ(ui->folderTitles.size(), 1u);  // no browser after the failed save

    ui->ClearLog();
    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kSaveClosing, kUserInfo}));
    EXPECT_TRUE(modTAVIN::IsInstallerOpen());
    EXPECT_TRUE(TabsShown());

    ui->ClearLog();
    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kSaveExiting, kUserInfo}));
    EXPECT_FALSE(ui->ended);

    ui->ClearLog();
    ASSERT_TRUE(Trigger(w.get(), "mnuSave"));
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kUserInfo}));
    EXPECT_EQ(ReadFileBytes(TavinPath()), before);
    EXPECT_FALSE(ui->hourglass);
}

TEST_F(MainWindowTest, ClosePromptAnswers) {
    Open(MakeInstaller());
    PassThrough(Box("TextCompName"));

    ui->Answer(MsgResult::Cancel);
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kSaveClosing}));
    EXPECT_TRUE(modTAVIN::IsInstallerOpen());

    ui->Answer(MsgResult::No);
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_FALSE(modTAVIN::IsInstallerOpen());
    EXPECT_FALSE(TabsShown());
    EXPECT_FALSE(Enabled("mnuClose"));
    EXPECT_FALSE(Enabled("mnuSave"));
    EXPECT_FALSE(kivo::fileops::Exists(modTAVIN::PathIn(work / "inst", "Tavin.old")));

    Open(work / "inst");
    PassThrough(Box("TextCompName"));
    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_TRUE(kivo::fileops::Exists(modTAVIN::PathIn(work / "inst", "Tavin.old")));
    EXPECT_FALSE(modTAVIN::IsInstallerOpen());

    // Nothing modified: no prompt.
    Open(work / "inst");
    ui->ClearLog();
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_FALSE(TabsShown());
}

TEST_F(MainWindowTest, ExitPromptAnswers) {
    // No installer: the program ends at once.
    ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
    EXPECT_TRUE(ui->ended);
    EXPECT_TRUE(ui->messages.empty());
    ui->ended = false;

    Open(MakeInstaller());
    PassThrough(Box("TextDestDir"));
    ui->Answer(MsgResult::Cancel);
    ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kSaveExiting}));
    EXPECT_FALSE(ui->ended);

    ui->Answer(MsgResult::No);
    ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
    EXPECT_TRUE(ui->ended);
    EXPECT_FALSE(kivo::fileops::Exists(modTAVIN::PathIn(work / "inst", "Tavin.old")));
    ui->ended = false;

    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
    EXPECT_TRUE(ui->ended);
    EXPECT_TRUE(kivo::fileops::Exists(modTAVIN::PathIn(work / "inst", "Tavin.old")));
}

TEST_F(MainWindowTest, CloseBoxRunsExitAndStaysWhenExitDoesNotEnd) {
    Open(MakeInstaller());
    PassThrough(Box("TextUserName"));
    ui->Answer(MsgResult::Cancel);
    QCloseEvent cancelled;
    QCoreApplication::sendEvent(w.get(), &cancelled);
    EXPECT_FALSE(cancelled.isAccepted());
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kSaveExiting}));
    EXPECT_FALSE(ui->ended);

    ui->Answer(MsgResult::No);
    QCloseEvent ending;
    QCoreApplication::sendEvent(w.get(), &ending);
    EXPECT_TRUE(ui->ended);
}

TEST_F(MainWindowTest, SaveWithNothingEditedStillWrites) {
    Open(MakeInstaller());
    ASSERT_FALSE(modTAVIN::IsModified());
    ASSERT_TRUE(Trigger(w.get(), "mnuSave"));
    EXPECT_TRUE(kivo::fileops::Exists(modTAVIN::PathIn(work / "inst", "Tavin.old")));
    EXPECT_FALSE(modTAVIN::IsModified());
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_FALSE(ui->hourglass);

    // The focus now stands in the user-name box: leaving it marks the model modified again.
    LoseFocus(Box("TextUserName"));
    EXPECT_TRUE(modTAVIN::IsModified());
}

TEST_F(MainWindowTest, PanelMenusFollowTheTabAndClose) {
    Open(MakeInstaller());
    for (int tab : {2, 1, 2, 3, 0, 2}) {
        w->ssMainTab->setCurrentIndex(tab);
        EXPECT_EQ(Enabled("mnuEditDestDir"), tab == 2) << tab;
        EXPECT_EQ(Enabled("mnuFileInfo"), tab == 2) << tab;
    }
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_FALSE(Enabled("mnuEditDestDir"));
    EXPECT_FALSE(Enabled("mnuFileInfo"));
    // Reopening with the Include Files tab still selected enables them again.
    Open(work / "inst");
    EXPECT_TRUE(Enabled("mnuEditDestDir"));
    EXPECT_TRUE(Enabled("mnuFileInfo"));
}

TEST_F(MainWindowTest, StoreEndingTheProgramStopsTheOpen) {
    // Version 1.0 without a product: the version check finds no product and ends the program.
    WriteFileBytes(modTAVIN::PathIn(work / "old", "TAVIN.ini"), Crlf("[Main]\nTavinVersion=1.0\n"));
    Open(work / "old");
    EXPECT_TRUE(ui->ended);
    EXPECT_FALSE(TabsShown());
    EXPECT_FALSE(Enabled("mnuSave"));
}

namespace {

// A Ctrl+key press as the keyboard delivers it to the focused control.
void PressCtrl(QWidget* target, Qt::Key key) {
    const QString text(QChar(key - Qt::Key_A + 1));
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, text);
    QApplication::sendEvent(target, &release);
}

}  // namespace

TEST_F(MainWindowTest, CtrlOOpensAndCtrlCClosesExceptInsideATextBox) {
    Open(MakeInstaller());
    w->show();
    w->activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return w->isActiveWindow(); }));

    // In a text box Ctrl+C copies.
    QLineEdit* box = Box("TextUserName");
    box->setFocus();
    box->selectAll();
    ASSERT_TRUE(ProcessEventsUntil([&] { return box->hasFocus(); }));
    modTAVIN::S().Modified = false;
    PressCtrl(box, Qt::Key_C);
    EXPECT_TRUE(modTAVIN::IsInstallerOpen());
    EXPECT_TRUE(TabsShown());

    ui->Folder("");
    PressCtrl(box, Qt::Key_O);
    EXPECT_EQ(ui->folderTitles.size(), 2u);

    // Anywhere else it closes the installer.
    w->ssMainTab->setCurrentIndex(1);
    QListWidget* list = Ctl<QListWidget>("ListIncShortcut");
    list->setFocus();
    ASSERT_TRUE(ProcessEventsUntil([&] { return list->hasFocus(); }));
    if (modTAVIN::IsModified()) ui->Answer(MsgResult::No);  // the box stored on leaving
    PressCtrl(list, Qt::Key_C);
    EXPECT_FALSE(modTAVIN::IsInstallerOpen());
    EXPECT_FALSE(TabsShown());
    w->hide();
}

TEST_F(MainWindowTest, WizardDisablesTheWindowAndItsCloseRefillsIt) {
    Open(MakeInstaller());
    w->ssMainTab->setCurrentIndex(2);
    Ctl<QPushButton>("CmdWizard")->click();
    EXPECT_FALSE(w->isEnabled());
    QWidget* wizard = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "frmWizard" && top->isVisible()) wizard = top;
    ASSERT_NE(wizard, nullptr);

    // The close box of the disabled window does nothing.
    QCloseEvent refused;
    QCoreApplication::sendEvent(w.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_FALSE(ui->ended);

    // Something the wizard changed shows once it is gone.
    OemInstall s = modTAVIN::GetOemInstall();
    s.UserName = "Set by the wizard";
    modTAVIN::SetOemInstall(s);
    w->SetPanelMenusEnabled(false);
    QPointer<QWidget> gone(wizard);
    wizard->close();
    EXPECT_TRUE(w->isEnabled());
    ASSERT_TRUE(ProcessEventsUntil([&] { return BoxText("TextUserName") == "Set by the wizard"; }));
    EXPECT_TRUE(Enabled("mnuEditDestDir"));  // the panel-menu rule ran with the refill
    ASSERT_TRUE(ProcessEventsUntil([&] { return gone.isNull(); }));  // deleted on close
}

TEST_F(MainWindowTest, ASaveThatCouldNotWriteStopsEveryCommand) {
    Open(MakeInstaller());
    // The settings file vanishes behind the program's back: the save cannot run.
    ASSERT_TRUE(kivo::fileops::DeleteFile(TavinPath(), true));

    ui->Answer(MsgResult::Yes);
    PassThrough(Box("TextSerial"));
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    ASSERT_EQ(ui->messages.size(), 2u);  // the prompt and the save's own message
    EXPECT_TRUE(modTAVIN::IsInstallerOpen());
    EXPECT_TRUE(TabsShown());
    EXPECT_TRUE(modTAVIN::IsModified());

    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
    EXPECT_FALSE(ui->ended);

    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_EQ(ui->folderTitles.size(), 1u);
    EXPECT_EQ(ui->messages.size(), 6u);
    EXPECT_FALSE(ui->hourglass);
}
