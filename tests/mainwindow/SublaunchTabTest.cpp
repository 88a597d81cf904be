// The "Sublaunch" tab: the list rows, adding through the file dialog, delete, moves and the
// flags box, each against the store's launch list.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "GuiTestUtil.h"
#include "mainwindow/QtText.h"
#include "mainwindow/SublaunchTab.h"
#include "mainwindow/frmMain.h"
#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using namespace modTAVIN;

namespace {

LaunchEntry Launch(const std::string& changeDir, const std::string& program,
                   const std::string& cmdLine = "") {
    LaunchEntry e;
    e.Platform = "All";
    e.Language = "All";
    e.Type = "EXE";
    e.Program = program;
    e.CmdLine = cmdLine;
    e.ChangeDir = changeDir;
    e.Wait = "YES";
    return e;
}

class SublaunchTabTest : public ::testing::Test {
protected:
    SublaunchTabTest() {
        ResetState();
        S().InstallerDir = tmp / "Inst";
        WriteFileBytes(tmp / "Inst/Tavin.ini", "");
    }
    ~SublaunchTabTest() override { ResetState(); }

    // Puts the launches into the model, unmodified, and refills the window as an open does.
    void Open(std::initializer_list<LaunchEntry> launches) {
        for (const auto& e : launches) InsertLaunch(static_cast<int16_t>(LaunchCount() + 1), e);
        S().Modified = false;
        frm.ShowSettings();
    }

    // A file that exists, and its path.
    std::string File(const std::string& relative) {
        WriteFileBytes(tmp / relative, "MZ");
        return tmp / relative;
    }

    // Chooses the path in the dialog and presses "Add".
    void Add(const std::string& path) {
        ui.File(path);
        Find<QPushButton>(&frm, "CmdAddLaunch")->click();
    }
    void Press(const char* button) { Find<QPushButton>(&frm, button)->click(); }

    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int i = 0; i < list->count(); ++i) rows.push_back(FromQ(list->item(i)->text()));
        return rows;
    }
    int Selected() const {
        const auto items = list->selectedItems();
        return items.size() == 1 ? list->row(items.front()) : -1;
    }
    std::string Box() const { return FromQ(flags->text()); }
    std::vector<std::string> Programs() const {
        std::vector<std::string> out;
        for (int i = 1; i <= LaunchCount(); ++i) out.push_back(GetLaunch(static_cast<int16_t>(i)).Program);
        return out;
    }
    void Type(QChar c) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(flags, &press);
    }

    FakeUi ui;
    TempDir tmp;
    frmMain frm;
    SublaunchTab* tab = frm.sublaunchTab;
    QListWidget* list = tab->ListLaunch;
    QLineEdit* flags = tab->TextInstallerFlags;
};

TEST_F(SublaunchTabTest, ControlsAreWrittenAsTheTabDescribes) {
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(list->isSortingEnabled());
    EXPECT_EQ(Find<QPushButton>(&frm, "CmdAddLaunch")->text(), "Add");
    EXPECT_EQ(Find<QPushButton>(&frm, "CmdDelLaunch")->text(), "Delete");
    EXPECT_EQ(Find<QPushButton>(&frm, "CmdMoveUp")->text(), "Up");
    EXPECT_EQ(Find<QPushButton>(&frm, "CmdMoveDown")->text(), "Down");
    EXPECT_NE(Find<QLineEdit>(&frm, "TextInstallerFlags"), nullptr);
}

TEST_F(SublaunchTabTest, RowTextsJoinDirectoryProgramAndFlags) {
    Open({Launch("", "Tool.exe", "-s"), Launch("Utils\\", "Setup2.ins"),
          Launch("\\Utils\\", "Setup2.ins"), Launch("Utils\\Tools", "t.exe ", "-q")});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\\Tool.exe -s", "\\Utils\\Setup2.ins ",
                                                "\\Utils\\Setup2.ins ", "\\Utils\\Tools\\t.exe -q"}));
    // The refill selects the first launch and shows its flags without marking anything.
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Box(), "-s");
    EXPECT_FALSE(IsModified());
    EXPECT_EQ(GetLaunch(1).CmdLine, "-s");
}

TEST_F(SublaunchTabTest, AddDialogStartsInTheInstallerDirectoryWithBothFilters) {
    Open({});
    Add("");
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].filter,
              "Executable File (*.exe)|*.exe| Install Shield Script (*.ins)|*.ins");
    EXPECT_EQ(ui.fileDialogs[0].initialDir, GetInstallerDir());
    // A cancelled dialog adds nothing, says nothing and shows no hourglass.
    EXPECT_EQ(LaunchCount(), 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.hourglassOnCalls, 0);
}

TEST_F(SublaunchTabTest, TheInstallersOwnSetupIsRefusedBeforeTheExistenceTest) {
    Open({});
    const std::string refused = "You cannot sublaunch the installer you are currently customizing.";
    // Neither file exists: the refusal must come first all the same.
    Add(tmp / "Inst/setup.exe");
    Add(tmp / "Inst/Setup.exe");
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(ui.messages[0].buttons, kivo::MsgButtons::OK);
    EXPECT_EQ(ui.messages[0].title, "KIVO");
    EXPECT_EQ(ui.hourglassOnCalls, 0);
    EXPECT_EQ(LaunchCount(), 0);
    EXPECT_FALSE(IsModified());

    // Other spellings and a setup program further down are ordinary programs.
    Add(File("Inst/SETUP.EXE"));
    Add(File("Inst/Sub/setup.exe"));
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(Programs(), (std::vector<std::string>{"SETUP.EXE", "setup.exe"}));
    EXPECT_EQ(GetLaunch(2).ChangeDir, "Sub\\");
    EXPECT_TRUE(IsModified());
}

TEST_F(SublaunchTabTest, AFileOutsideTheInstallerDirectoryIsRefused) {
    Open({});
    // The sibling's path begins with the installer directory's text.
    Add(File("Install2/Tool.exe"));
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"You must select a file under the " + tmp / "Inst" +
                                                    " directory."}));
    EXPECT_EQ(LaunchCount(), 0);
    EXPECT_FALSE(ui.hourglass);
    EXPECT_EQ(ui.hourglassOnCalls, 1);

    // A missing file is passed over silently.
    Add(tmp / "Inst/Missing.exe");
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(LaunchCount(), 0);
}

TEST_F(SublaunchTabTest, AddedLaunchTakesItsFieldsFromThePathBelowTheDirectory) {
    Open({});
    Add(File("Inst/Utils/Tools/Tool.exe"));
    Add(File("Inst/Direct.exe"));
    EXPECT_EQ(GetLaunch(1), Launch("Utils\\Tools\\", "Tool.exe"));
    EXPECT_EQ(GetLaunch(2), Launch("", "Direct.exe"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\\Utils\\Tools\\Tool.exe ", "\\Direct.exe "}));
    EXPECT_FALSE(ui.hourglass);
    // The same file may be added again.
    Add(tmp / "Inst/Direct.exe");
    EXPECT_EQ(LaunchCount(), 3);
}

TEST_F(SublaunchTabTest, TypeComesFromTheTextAfterTheFirstFullStop) {
    Open({});
    const std::pair<const char*, const char*> cases[] = {
        {"tool.old.exe", "EXE"}, {"script.ins", "INS"}, {"notes.exe.ins", "EXE"},
        {"README", ""},          {"Script.INS", ""},   {"run.bat", ""},
        {"TOOL.EXE", "EXE"},
    };
    for (const auto& [name, type] : cases) {
        Add(File(std::string("Inst/") + name));
        const LaunchEntry added = GetLaunch(LaunchCount());
        EXPECT_EQ(added.Program, name);
        EXPECT_EQ(added.Type, type) << name;
    }
}

TEST_F(SublaunchTabTest, AddSelectsTheLastRowWhateverTheOutcome) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b")});
    ASSERT_EQ(Selected(), 0);

    Add("");  // cancelled
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Box(), "-b");

    list->setCurrentRow(0);
    Add(tmp / "Inst/setup.exe");  // refused
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Box(), "-b");

    Add(File("Inst/C.exe"));  // added: the new launch, with its empty flags
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Box(), "");
    EXPECT_EQ(Rows().back(), "\\C.exe ");
    EXPECT_EQ(GetLaunch(1).CmdLine, "-a");
    EXPECT_EQ(GetLaunch(2).CmdLine, "-b");
}

TEST_F(SublaunchTabTest, SelectingARowShowsItsFlagsAndChangesNoLaunch) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b"), Launch("", "C.exe")});
    list->setCurrentRow(2);
    EXPECT_EQ(Box(), "");
    list->setCurrentRow(1);
    EXPECT_EQ(Box(), "-b");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\\A.exe -a", "\\B.exe -b", "\\C.exe "}));
    EXPECT_EQ(GetLaunch(3).CmdLine, "");
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, UpAndDownMoveTheSelectedLaunchAndKeepItSelected) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b"), Launch("", "C.exe", "-c")});
    list->setCurrentRow(1);
    Press("CmdMoveUp");
    EXPECT_EQ(Programs(), (std::vector<std::string>{"B.exe", "A.exe", "C.exe"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Box(), "-b");
    EXPECT_TRUE(IsModified());

    Press("CmdMoveDown");
    Press("CmdMoveDown");
    EXPECT_EQ(Programs(), (std::vector<std::string>{"A.exe", "C.exe", "B.exe"}));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\\A.exe -a", "\\C.exe -c", "\\B.exe -b"}));
}

TEST_F(SublaunchTabTest, MovesPastTheEndsChangeNothing) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b")});
    Press("CmdMoveUp");  // row 0
    EXPECT_EQ(Selected(), 0);
    list->setCurrentRow(1);
    Press("CmdMoveDown");
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Box(), "-b");
    EXPECT_EQ(Programs(), (std::vector<std::string>{"A.exe", "B.exe"}));
    EXPECT_FALSE(IsModified());

    // Without a selection neither button does anything.
    list->clearSelection();
    Press("CmdMoveUp");
    Press("CmdMoveDown");
    EXPECT_EQ(Selected(), -1);
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, MovesOnASingleRowDoNotEvenRebuild) {
    Open({Launch("", "A.exe", "-a")});
    // Changed behind the list's back: a rebuild would show it.
    S().Launches(1).Program = "Z.exe";
    Press("CmdMoveUp");
    Press("CmdMoveDown");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\\A.exe -a"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, DeleteRemovesTheSelectedLaunchAndSelectsTheFirst) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b"), Launch("", "C.exe", "-c")});
    list->setCurrentRow(2);
    Press("CmdDelLaunch");
    EXPECT_EQ(Programs(), (std::vector<std::string>{"A.exe", "B.exe"}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\\A.exe -a", "\\B.exe -b"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Box(), "-a");
    EXPECT_TRUE(IsModified());
}

TEST_F(SublaunchTabTest, DeletingTheOnlyLaunchKeepsTheFlagsText) {
    Open({Launch("", "A.exe", "-a")});
    Press("CmdDelLaunch");
    EXPECT_EQ(LaunchCount(), 0);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(Box(), "-a");
    // Nothing left: typing and another delete change nothing.
    S().Modified = false;
    Type('x');
    Press("CmdDelLaunch");
    EXPECT_EQ(Box(), "-ax");
    EXPECT_EQ(LaunchCount(), 0);
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, TypingStoresEveryIntermediateTextUnmodified) {
    Open({Launch("", "A.exe", "-a"), Launch("Sub\\", "B.exe")});
    list->setCurrentRow(1);
    std::vector<std::string> seen;
    for (QChar c : QString("-q /x")) {
        Type(c);
        seen.push_back(GetLaunch(2).CmdLine + "|" + Rows()[1]);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"-|\\Sub\\B.exe -", "-q|\\Sub\\B.exe -q",
                                              "-q |\\Sub\\B.exe -q ", "-q /|\\Sub\\B.exe -q /",
                                              "-q /x|\\Sub\\B.exe -q /x"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(GetLaunch(1).CmdLine, "-a");
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, TypingInsideTheTextKeepsTheCaret) {
    Open({Launch("", "A.exe", "abc")});
    flags->setCursorPosition(1);
    Type('X');
    Type('Y');
    EXPECT_EQ(GetLaunch(1).CmdLine, "aXYbc");
    EXPECT_EQ(flags->cursorPosition(), 3);
}

TEST_F(SublaunchTabTest, RefillWithFewerLaunchesSelectsTheLastRow) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b"), Launch("", "C.exe", "-c"),
          Launch("", "D.exe", "-d")});
    list->setCurrentRow(3);
    // Another installer, with two launches.
    ResetState();
    S().InstallerDir = tmp / "Inst";
    InsertLaunch(1, Launch("", "E.exe", "-e"));
    InsertLaunch(2, Launch("", "F.exe", "-f"));
    S().Modified = false;
    tab->FillLaunchList();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\\E.exe -e", "\\F.exe -f"}));
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Box(), "-f");
    EXPECT_FALSE(IsModified());

    // And one without launches: no rows, the box keeps its text.
    ResetState();
    tab->FillLaunchList();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(Box(), "-f");
}

TEST_F(SublaunchTabTest, TheUserCannotDeselectTheSelectedRow) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b")});
    list->setCurrentRow(1);
    QKeyEvent toggle(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier, " ");
    QApplication::sendEvent(list, &toggle);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Box(), "-b");
}

}  // namespace
