// The main window's life and file commands: start-up, Open, Close, Save, Exit with their save
// prompts, the close box, the panel menus, the shortcuts and the wizard's start.

#include <QCloseEvent>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include "MainWindowFixture.h"
#include "platform/fileops.h"

using namespace Qt::StringLiterals;

using kivo::MsgButtons;
using kivo::MsgResult;
using namespace mwtest;

namespace {

const char kUserInfo[] =
    "If this installer is run in silent mode then the Default User name, Company Name and "
    "Serial number must be entered.";

bool Saved(const std::string& dir) {
    return kivo::fileops::Exists(modTAVIN::PathIn(dir, "Tavin.old"));
}

// A Ctrl+key press as the keyboard delivers it to the focused control.
void PressCtrl(QWidget* target, Qt::Key key) {
    const QString text(QChar(key - Qt::Key_A + 1));
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::ControlModifier, text);
    QApplication::sendEvent(target, &release);
}

}  // namespace

TEST_F(MainWindowTest, MenusAndTabsStartAsTheWindowLoads) {
    EXPECT_EQ(w->windowTitle(), u"Kivotool "_s);
    QStringList file;
    for (QAction* a : w->mnuFile->actions())
        file << a->objectName() + u"="_s + a->text() + (a->isEnabled() ? u""_s : u" (off)"_s);
    EXPECT_EQ(file.join(u", "_s),
              u"mnuOpen=&Open..., mnuClose=&Close (off), mnuSeparator2=, "
              "mnuEditDestDir=Edit &Components Panel (off), mnuFileInfo=Edit File &Panel (off), "
              "mnuSeparator1=, mnuSave=&Save (off), mnuSeparator=, mnuExit=&Exit"_s);
    EXPECT_EQ(w->mnuOpen->shortcut(), QKeySequence(u"Ctrl+O"_s));
    EXPECT_EQ(w->mnuClose->shortcut(), QKeySequence(u"Ctrl+C"_s));
    EXPECT_EQ(w->mnuEditDestDir->actions().size(), 4);
    EXPECT_EQ(w->mnuAbout->text(), u"&About Kivotool"_s);
    QStringList tabs;
    for (int i = 0; i < w->ssMainTab->count(); ++i) tabs << w->ssMainTab->tabText(i);
    EXPECT_EQ(tabs.join(u","_s), u"Summary,Shortcuts,Include Files,Sublaunch"_s);
    EXPECT_FALSE(TabsShown());
    EXPECT_TRUE(Trigger(w.get(), "mnuAbout"));  // does nothing
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(MainWindowTest, StartUpWithCancelledBrowserLeavesAnEmptyWindow) {
    w = std::make_unique<frmMain>();  // a fresh window, before its first activation
    ui->Folder("");
    w->show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !ui->folderTitles.empty(); }));
    EXPECT_EQ(ui->folderTitles[0], kBrowseTitle);
    EXPECT_FALSE(TabsShown());
    for (const char* off : {"mnuClose", "mnuSave", "mnuEditDestDir", "mnuFileInfo"})
        EXPECT_FALSE(Enabled(off)) << off;
    EXPECT_EQ(ui->hourglassOnCalls, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui->folderTitles.size(), 1u);  // only the first activation browses
}

TEST_F(MainWindowTest, OpenShowsTheInstallerAndFailedOpensChangeNothing) {
    Open(MakeInstaller());
    EXPECT_TRUE(TabsShown());
    EXPECT_TRUE(Enabled("mnuClose"));
    EXPECT_TRUE(Enabled("mnuSave"));
    EXPECT_FALSE(Enabled("mnuEditDestDir"));  // the Summary tab is selected
    EXPECT_EQ(BoxText("TextUserName"), "Admin");
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(ui->hourglassOnCalls, 1);
    EXPECT_FALSE(ui->hourglass);
    EXPECT_FALSE(modTAVIN::IsModified());

    // Unmodified: no prompt; a cancelled browser keeps the installer, not SelectedDir.
    ui->Folder("");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_TRUE(w->SelectedDir.empty());
    ui->Folder(work / "nowhere");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_EQ(w->SelectedDir, work / "nowhere");
    EXPECT_EQ(ui->hourglassOnCalls, 1);  // no pointer change without a directory

    // A version 1.2 settings file without a product is refused by the store.
    WriteFileBytes(modTAVIN::PathIn(work / "bad", "TAVIN.ini"), Crlf("[Main]\nTavinVersion=1.2\n"));
    ui->Folder(work / "bad");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_EQ(ui->messages.size(), 1u);
    EXPECT_FALSE(ui->hourglass);
    EXPECT_TRUE(TabsShown());
    EXPECT_EQ(modTAVIN::GetInstallerDir(), work / "inst");
    EXPECT_EQ(BoxText("TextUserName"), "Admin");
}

TEST_F(MainWindowTest, OpenLoadsAfterTheVersionUpdateOnlyForVersion50Products) {
    // An old settings file that the version check replaces by the product's template: the
    // window shows the template's values exactly when the load came after the check.
    WriteFileBytes(exeDir / "UpdateSanctile5.ini",
                   Crlf("[Main]\nTavinVersion=1.2\nProduct=x\n[OEM Install]\n"
                        "UserName=From the template\n"));
    struct Case {
        const char* product;
        const char* shown;
    };
    const Case cases[] = {{"Tessary Sanctile 5.0", "From the template"},
                          {"Tessary Sanctile 5.0.5", "From the old file"}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.product);
        const std::string dir = work / ("old" + std::to_string(n++));
        WriteFileBytes(modTAVIN::PathIn(dir, "TAVIN.ini"),
                       Crlf(std::string("[Main]\nTavinVersion=1.0\nProduct=") + c.product +
                            "\n[OEM Install]\nUserName=From the old file\n"));
        ui->Answer(MsgResult::Yes);  // the offer to update the settings file
        Open(dir);
        ASSERT_EQ(ui->messages.size(), 1u);
        ui->ClearLog();
        EXPECT_TRUE(TabsShown());
        EXPECT_EQ(BoxText("TextUserName"), c.shown);
        EXPECT_NE(ReadFileBytes(modTAVIN::PathIn(dir, "TAVIN.ini")).find("From the template"),
                  std::string::npos);
    }
}

TEST_F(MainWindowTest, EachPromptWithEachAnswer) {
    struct Command {
        const char* action;
        const char* prompt;
    };
    const Command commands[] = {{"mnuOpen", "Do you wish to save your changes?"},
                                {"mnuClose", "Do you wish to save before closing?"},
                                {"mnuExit", "Do you wish to save before Exiting?"}};
    int n = 0;
    for (const Command& c : commands) {
        for (MsgResult answer : {MsgResult::Cancel, MsgResult::No, MsgResult::Yes}) {
            SCOPED_TRACE(std::string(c.action) + " answer " + std::to_string(int(answer)));
            modTAVIN::ResetState();
            ui->ended = false;
            const std::string dir = MakeInstaller({}, "p" + std::to_string(n++));
            Open(dir);
            PassThrough(Box("TextSerial"));  // merely leaving a box marks the model modified
            ui->ClearLog();
            const bool goesOn = answer != MsgResult::Cancel;
            ui->Answer(answer);
            if (goesOn && c.action == std::string("mnuOpen")) ui->Folder("");
            ASSERT_TRUE(Trigger(w.get(), c.action));

            ASSERT_EQ(ui->Texts(), std::vector<std::string>{c.prompt});
            EXPECT_EQ(ui->messages[0].title, "KIVO");
            EXPECT_EQ(ui->messages[0].buttons, MsgButtons::YesNoCancel);
            EXPECT_EQ(Saved(dir), answer == MsgResult::Yes);
            EXPECT_EQ(ui->folderTitles.size(), c.action == std::string("mnuOpen") && goesOn);
            EXPECT_EQ(modTAVIN::IsInstallerOpen(),
                      !(c.action == std::string("mnuClose") && goesOn));
            EXPECT_EQ(ui->ended, c.action == std::string("mnuExit") && goesOn);
        }
    }
    // Exit with no installer open ends at once.
    modTAVIN::CloseInstaller();
    ui->ClearLog();
    ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
    EXPECT_TRUE(ui->ended);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(MainWindowTest, AnEditStillInTheFocusedBoxIsAskedAboutAndSaved) {
    Open(MakeInstaller());
    QLineEdit* serial = Box("TextSerial");
    // The menus and the close box leave the focus in the box, so nothing is stored yet.
    GainFocus(serial);
    serial->setText(u"123-456 "_s);  // no change once trimmed: nothing to ask
    ui->Folder("");
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    EXPECT_TRUE(ui->messages.empty());

    serial->setText(u"999"_s);
    ASSERT_FALSE(modTAVIN::IsModified());
    ui->Answer(MsgResult::Cancel).Answer(MsgResult::Cancel).Answer(MsgResult::Cancel);
    ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    QCloseEvent closeBox;
    QCoreApplication::sendEvent(w.get(), &closeBox);
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{"Do you wish to save your changes?",
                                                     "Do you wish to save before closing?",
                                                     "Do you wish to save before Exiting?"}));
    EXPECT_FALSE(ui->ended);
    EXPECT_TRUE(TabsShown());

    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_FALSE(modTAVIN::IsInstallerOpen());
    EXPECT_NE(ReadFileBytes(TavinPath()).find("UserSerialNumber=999\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, ASaveThatDidNotRunStopsEveryCommand) {
    // Two ways: the user-information test fails, or the file vanished behind the program's back.
    InstallerValues incomplete;
    incomplete.userInfoDlg = "NO";
    incomplete.serial = "";
    for (bool vanished : {false, true}) {
        SCOPED_TRACE(vanished ? "file vanished" : "user information incomplete");
        modTAVIN::ResetState();
        Open(MakeInstaller(vanished ? InstallerValues{} : incomplete));
        if (vanished) {
            ASSERT_TRUE(kivo::fileops::DeleteFile(TavinPath(), true));
        }
        PassThrough(Box("TextUserName"));
        ui->ClearLog();
        ui->ended = false;
        ui->Answer(MsgResult::Yes).Answer(MsgResult::Yes).Answer(MsgResult::Yes);
        ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
        ASSERT_TRUE(Trigger(w.get(), "mnuExit"));
        ASSERT_TRUE(Trigger(w.get(), "mnuOpen"));
        ASSERT_TRUE(Trigger(w.get(), "mnuSave"));
        EXPECT_EQ(ui->messages.size(), 7u);  // three prompts, four of the store's messages
        if (!vanished) {
            EXPECT_EQ(ui->Texts().back(), kUserInfo);
        }
        EXPECT_TRUE(modTAVIN::IsInstallerOpen());
        EXPECT_TRUE(TabsShown());
        EXPECT_FALSE(ui->ended);
        EXPECT_TRUE(ui->folderTitles.empty());  // the open stopped before the browser
        EXPECT_TRUE(modTAVIN::IsModified());
        EXPECT_FALSE(ui->hourglass);
    }
}

TEST_F(MainWindowTest, CloseBoxRunsExitAndStaysWhenExitDoesNotEnd) {
    Open(MakeInstaller());
    PassThrough(Box("TextUserName"));
    ui->Answer(MsgResult::Cancel).Answer(MsgResult::No);
    QCloseEvent cancelled;
    QCoreApplication::sendEvent(w.get(), &cancelled);
    EXPECT_FALSE(cancelled.isAccepted());
    EXPECT_EQ(ui->Texts(), std::vector<std::string>{"Do you wish to save before Exiting?"});
    EXPECT_FALSE(ui->ended);
    QCloseEvent ending;
    QCoreApplication::sendEvent(w.get(), &ending);
    EXPECT_TRUE(ui->ended);
}

TEST_F(MainWindowTest, SaveWithNothingEditedStillWrites) {
    Open(MakeInstaller());
    ASSERT_TRUE(Trigger(w.get(), "mnuSave"));
    EXPECT_TRUE(Saved(work / "inst"));
    EXPECT_FALSE(modTAVIN::IsModified());
    EXPECT_TRUE(ui->messages.empty());
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
    Open(work / "inst");  // the Include Files tab is still selected
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

TEST_F(MainWindowTest, CtrlOOpensAndCtrlCClosesExceptInsideATextBox) {
    Open(MakeInstaller());
    w->show();
    w->activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return w->isActiveWindow(); }));
    QLineEdit* box = Box("TextUserName");
    box->setFocus();
    ASSERT_TRUE(ProcessEventsUntil([&] { return box->hasFocus(); }));
    modTAVIN::S().Modified = false;
    PressCtrl(box, Qt::Key_C);  // copies
    EXPECT_TRUE(modTAVIN::IsInstallerOpen());
    ui->Folder("");
    PressCtrl(box, Qt::Key_O);
    EXPECT_EQ(ui->folderTitles.size(), 2u);

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
    QPointer<QWidget> wizard;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == u"frmWizard"_s && top->isVisible()) wizard = top;
    ASSERT_FALSE(wizard.isNull());
    QCloseEvent refused;  // the close box of the disabled window does nothing
    QCoreApplication::sendEvent(w.get(), &refused);
    EXPECT_FALSE(ui->ended);

    OemInstall s = modTAVIN::GetOemInstall();  // as if the wizard had changed it
    s.UserName = "Set by the wizard";
    modTAVIN::SetOemInstall(s);
    w->SetPanelMenusEnabled(false);
    wizard->close();
    EXPECT_TRUE(w->isEnabled());
    ASSERT_TRUE(ProcessEventsUntil([&] { return BoxText("TextUserName") == "Set by the wizard"; }));
    EXPECT_TRUE(Enabled("mnuEditDestDir"));  // the panel-menu rule ran with the refill
    ASSERT_TRUE(ProcessEventsUntil([&] { return wizard.isNull(); }));  // deleted on close
}

TEST_F(MainWindowTest, EditedCommandLineFlagsAloneAreAskedAboutOnClose) {
    // Two launches; only their flags are touched.
    std::string tavin = TavinIni({});
    const std::string none = "NumberOfLaunches= 0\r\n";
    tavin.replace(tavin.find(none), none.size(),
                  Crlf("NumberOfLaunches= 2\nLaunch1Program=A.exe\nLaunch1CmdLine=-a\n"
                       "Launch2Program=B.exe\nLaunch2CmdLine=-b\n"));
    WriteFileBytes(TavinPath(), tavin);
    Open(work / "inst");
    w->ssMainTab->setCurrentIndex(3);
    auto* list = Ctl<QListWidget>("ListLaunch");
    QLineEdit* flags = Box("TextInstallerFlags");
    ASSERT_EQ(BoxText("TextInstallerFlags"), "-a");

    // Selecting rows (each puts its own flags into the box) and the refill of a later
    // activation change nothing: Close asks nothing.
    list->setCurrentRow(1);
    list->setCurrentRow(0);
    w->Form_Activate();
    EXPECT_FALSE(modTAVIN::IsModified());
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_TRUE(ui->messages.empty());

    // One typed character in the second launch's flags: Close asks, and Yes saves it.
    Open(work / "inst");
    list->setCurrentRow(1);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, u"z"_s);
    QApplication::sendEvent(flags, &key);
    ASSERT_EQ(BoxText("TextInstallerFlags"), "-bz");
    EXPECT_TRUE(modTAVIN::IsModified());
    ui->Answer(MsgResult::Yes);
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    EXPECT_EQ(ui->Texts(), std::vector<std::string>{"Do you wish to save before closing?"});
    EXPECT_FALSE(modTAVIN::IsInstallerOpen());
    const std::string saved = ReadFileBytes(TavinPath());
    EXPECT_NE(saved.find("Launch2CmdLine=-bz\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Launch1CmdLine=-a\r\n"), std::string::npos);
}
