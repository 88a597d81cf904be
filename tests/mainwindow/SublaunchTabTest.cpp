// The "Sublaunch" tab against the store's launch list: rows, Add through the file dialog,
// Delete, Up/Down and the flags box.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include "GuiTestUtil.h"
#include "mainwindow/SublaunchTab.h"
#include "mainwindow/frmMain.h"
#include "qtui/QtText.h"
#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using namespace Qt::StringLiterals;

using namespace modTAVIN;
using Texts = std::vector<std::string>;

namespace {

LaunchEntry Launch(const std::string& changeDir, const std::string& program,
                   const std::string& cmdLine = "", const std::string& type = "EXE") {
    return {"All", "All", type, program, cmdLine, changeDir, "YES"};
}

class SublaunchTabTest : public ::testing::Test {
protected:
    SublaunchTabTest() { ResetState(); }
    ~SublaunchTabTest() override { ResetState(); }

    // Another installer in the model, unmodified.
    void Model(std::initializer_list<LaunchEntry> launches) {
        ResetState();
        S().InstallerDir = tmp / "Inst";
        for (const auto& e : launches) InsertLaunch(static_cast<int16_t>(LaunchCount() + 1), e);
        S().Modified = false;
    }
    // The same, and the window refilled as an open does.
    void Open(std::initializer_list<LaunchEntry> launches) {
        Model(launches);
        frm.ShowSettings();
    }
    // Makes the file exist and gives its path.
    std::string File(const std::string& relative) {
        WriteFileBytes(tmp / relative, "MZ");
        return tmp / relative;
    }
    void Add(const std::string& chosen) {
        ui.File(chosen);
        Press("CmdAddLaunch");
    }
    void Press(const char* button) { Find<QPushButton>(&frm, button)->click(); }
    void Type(QChar c, Qt::KeyboardModifiers mods = Qt::NoModifier, QObject* to = nullptr) {
        QKeyEvent press(QEvent::KeyPress, c == u' ' ? Qt::Key_Space : 0, mods, QString(c));
        QApplication::sendEvent(to ? to : flags, &press);
    }

    Texts Rows() const {
        Texts rows;
        for (int i = 0; i < list->count(); ++i) rows.push_back(FromQ(list->item(i)->text()));
        return rows;
    }
    int Selected() const {
        const auto items = list->selectedItems();
        return items.size() == 1 ? list->row(items.front()) : -1;
    }
    std::string Box() const { return FromQ(flags->text()); }
    std::string Programs() const {
        std::string out;
        for (int i = 1; i <= LaunchCount(); ++i)
            out += GetLaunch(static_cast<int16_t>(i)).Program + ",";
        return out;
    }

    FakeUi ui;
    TempDir tmp;
    frmMain frm;
    SublaunchTab* tab = frm.sublaunchTab;
    QListWidget* list = Find<QListWidget>(&frm, "ListLaunch");
    QLineEdit* flags = Find<QLineEdit>(&frm, "TextInstallerFlags");
};

TEST_F(SublaunchTabTest, RowsShowDirectoryProgramAndFlags) {
    Open({Launch("", "Tool.exe", "-s"), Launch("Utils\\", "Setup2.ins"),
          Launch("\\Utils\\", "Setup2.ins"), Launch("Utils\\Tools", "t.exe ", "-q")});
    EXPECT_EQ(Rows(), (Texts{"\\Tool.exe -s", "\\Utils\\Setup2.ins ", "\\Utils\\Setup2.ins ",
                             "\\Utils\\Tools\\t.exe -q"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Box(), "-s");
    EXPECT_FALSE(IsModified());

    // A later row selected, then another installer with fewer launches: its last row.
    list->setCurrentRow(3);
    Model({Launch("", "E.exe", "-e"), Launch("", "F.exe", "-f")});
    tab->FillLaunchList();
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Box(), "-f");
    // None at all: no rows, and the box keeps its text.
    Open({});
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(Box(), "-f");
}

TEST_F(SublaunchTabTest, AddRefusesTheOwnSetupFirstAndFilesElsewhere) {
    Open({Launch("", "A.exe", "-a")});
    const std::string own = "You cannot sublaunch the installer you are currently customizing.";
    // Neither exists: the refusal comes before the existence test.
    Add(tmp / "Inst/setup.exe");
    Add(tmp / "Inst/Setup.exe");
    Add("");                         // cancelled
    Add(tmp / "Inst/Missing.exe");   // no such file
    Add(File("Install2/Tool.exe"));  // a sibling whose name begins the same
    EXPECT_EQ(
        ui.Texts(),
        (Texts{own, own, "You must select a file under the " + tmp / "Inst" + " directory."}));
    EXPECT_EQ(ui.messages[0].title, "KIVO");
    EXPECT_EQ(ui.messages[2].buttons, kivo::MsgButtons::OK);
    EXPECT_EQ(ui.hourglassOnCalls, 1);
    EXPECT_FALSE(ui.hourglass);
    EXPECT_EQ(ui.fileDialogs.back().filter,
              "Executable File (*.exe)|*.exe| Install Shield Script (*.ins)|*.ins");
    EXPECT_EQ(ui.fileDialogs.back().initialDir, tmp / "Inst");
    EXPECT_EQ(LaunchCount(), 1);
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, AddBuildsTheLaunchFromThePathBelowTheDirectory) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b")});
    Add("");
    EXPECT_EQ(Selected(), 1);  // the last row, whatever the outcome
    Add(File("Inst/Utils/Tools/Tool.exe"));
    Add(File("Inst/SETUP.EXE"));
    Add(File("Inst/Sub/setup.exe"));
    EXPECT_EQ(GetLaunch(3), Launch("Utils\\Tools\\", "Tool.exe"));
    EXPECT_EQ(GetLaunch(4), Launch("", "SETUP.EXE"));
    EXPECT_EQ(GetLaunch(5), Launch("Sub\\", "setup.exe"));
    EXPECT_EQ(Rows()[2], "\\Utils\\Tools\\Tool.exe ");
    EXPECT_EQ(Selected(), 4);
    EXPECT_EQ(Box(), "");
    EXPECT_TRUE(IsModified());

    const std::pair<const char*, const char*> types[] = {
        {"tool.old.exe", "EXE"}, {"script.ins", "INS"}, {"notes.exe.ins", "EXE"},
        {"README", ""},          {"Script.INS", ""},    {"run.bat", ""}};
    for (const auto& [name, type] : types) {
        Add(File(std::string("Inst/") + name));
        EXPECT_EQ(GetLaunch(LaunchCount()), Launch("", name, "", type)) << name;
    }

    // UTF-8 names of this file system reach the settings file as Windows-1252.
    Add(File("Inst/Outils \xC3\xA9t\xC3\xA9/r\xC3\xA9gler.exe"));
    EXPECT_EQ(GetLaunch(LaunchCount()), Launch("Outils \xE9t\xE9\\", "r\xE9gler.exe", "", "EXE"));
}

TEST_F(SublaunchTabTest, SelectingARowShowsItsFlagsAndCannotBeUndone) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b")});
    list->resize(300, 200);
    list->doItemsLayout();
    const QPointF at = list->visualItemRect(list->item(1)).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &click);
    }
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Box(), "-b");
    // Ctrl+Space would deselect, leaving the box to edit the first launch.
    Type(u' ', Qt::ControlModifier, list);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Rows(), (Texts{"\\A.exe -a", "\\B.exe -b"}));
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, UpAndDownMoveTheSelectedLaunch) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b"), Launch("", "C.exe", "-c")});
    Press("CmdMoveUp");  // first row: nothing to exchange
    list->setCurrentRow(2);
    Press("CmdMoveDown");  // last row: likewise
    EXPECT_EQ(Selected(), 2);
    EXPECT_FALSE(IsModified());
    list->clearSelection();
    Press("CmdMoveUp");
    EXPECT_EQ(Selected(), -1);
    EXPECT_FALSE(IsModified());

    list->setCurrentRow(1);
    Press("CmdMoveUp");
    EXPECT_EQ(Programs(), "B.exe,A.exe,C.exe,");
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Box(), "-b");
    EXPECT_TRUE(IsModified());
    Press("CmdMoveDown");
    Press("CmdMoveDown");
    EXPECT_EQ(Rows(), (Texts{"\\A.exe -a", "\\C.exe -c", "\\B.exe -b"}));
    EXPECT_EQ(Selected(), 2);

    // One row: not even a rebuild, which would show this change made behind the list's back.
    Open({Launch("", "A.exe", "-a")});
    S().Launches(1).Program = "Z.exe";
    Press("CmdMoveUp");
    Press("CmdMoveDown");
    EXPECT_EQ(Rows(), (Texts{"\\A.exe -a"}));
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, DeleteRemovesTheSelectedLaunch) {
    Open({Launch("", "A.exe", "-a"), Launch("", "B.exe", "-b")});
    list->setCurrentRow(1);
    Press("CmdDelLaunch");
    EXPECT_EQ(Rows(), (Texts{"\\A.exe -a"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_TRUE(IsModified());

    // The only launch: the box keeps its text, and typing then stores nothing.
    Press("CmdDelLaunch");
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(Box(), "-a");
    S().Modified = false;
    Type(u'x');
    Press("CmdDelLaunch");
    EXPECT_EQ(LaunchCount(), 0);
    EXPECT_FALSE(IsModified());
}

TEST_F(SublaunchTabTest, TypingStoresEveryKeystrokeAsAChange) {
    Open({Launch("", "A.exe", "-a"), Launch("Sub\\", "B.exe")});
    list->setCurrentRow(1);  // the box's text changes to the launch's own: no edit
    EXPECT_FALSE(IsModified());
    Texts seen;
    for (QChar c : QString(u"-q /"_s)) {
        Type(c);
        seen.push_back(GetLaunch(2).CmdLine + "|" + Rows()[1]);
    }
    EXPECT_EQ(seen, (Texts{"-|\\Sub\\B.exe -", "-q|\\Sub\\B.exe -q", "-q |\\Sub\\B.exe -q ",
                           "-q /|\\Sub\\B.exe -q /"}));
    // Typing inside the text keeps the caret where it is.
    flags->setCursorPosition(1);
    Type(u'X');
    Type(u'Y');
    EXPECT_EQ(GetLaunch(2).CmdLine, "-XYq /");
    EXPECT_EQ(flags->cursorPosition(), 3);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(GetLaunch(1).CmdLine, "-a");
    EXPECT_TRUE(IsModified());
}

TEST_F(SublaunchTabTest, SaveWritesTheLaunchesTheListShows) {
    Model({});
    S().TavinIniPath = tmp / "Inst/TAVIN.ini";
    S().SetupIssPath = tmp / "Inst/Setup.iss";
    WriteFileBytes(S().TavinIniPath, Crlf("[Launches]\nNumberOfLaunches= 3\n"
                                          "Launch1Program=A.exe\nLaunch1CmdLine=-a\n"
                                          "Launch2Program=B.ins\nLaunch2ChangeDir=Sub\\\n"
                                          "Launch3Program=C.exe\nLaunch3CmdLine=-c\n"));
    LoadLaunches();
    frm.ShowSettings();
    list->setCurrentRow(1);
    Press("CmdMoveUp");
    Type(u'/');
    Type(u'z');
    list->setCurrentRow(2);
    Press("CmdDelLaunch");
    Add(File("Inst/Tools/D.exe"));
    const Texts shown = Rows();
    ASSERT_EQ(shown, (Texts{"\\Sub\\B.ins /z", "\\A.exe -a", "\\Tools\\D.exe "}));
    std::vector<LaunchEntry> before;
    for (int i = 1; i <= LaunchCount(); ++i) before.push_back(GetLaunch(static_cast<int16_t>(i)));

    ASSERT_TRUE(SaveTavinIni());
    Model({});
    S().TavinIniPath = tmp / "Inst/TAVIN.ini";
    LoadLaunches();
    std::vector<LaunchEntry> after;
    for (int i = 1; i <= LaunchCount(); ++i) after.push_back(GetLaunch(static_cast<int16_t>(i)));
    EXPECT_EQ(after, before);
    tab->FillLaunchList();
    EXPECT_EQ(Rows(), shown);
}

}  // namespace
