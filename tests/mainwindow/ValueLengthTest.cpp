// Every text the main window puts into TAVIN.ini comes back whole at the next open: a box takes
// no more than one value can hold, and a chosen path or a folder name that would pass it is
// refused.

#include <QKeyEvent>
#include <QTreeWidget>
#include <algorithm>

#include "MainWindowFixture.h"
#include "mainwindow/IncludeFilesTab.h"
#include "mainwindow/SublaunchTab.h"
#include "mainwindow/ValueLimit.h"

using namespace mwtest;

namespace {

const std::size_t kMax = Util::kValueChars;

std::string Chars(std::size_t n, char c) { return std::string(n, c); }

void Key(QWidget* box, char c) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar::fromLatin1(c)));
    QApplication::sendEvent(box, &press);
}

// The files of the first copy list, as "DestDir|Loc|FileName".
std::vector<std::string> Files() {
    std::vector<std::string> out;
    for (const FileGroup& g : modTAVIN::GetBlindCopy(1).Groups)
        for (const FileEntry& f : g.Files)
            out.push_back(f.DestDir + "|" + f.Loc + "|" + f.FileName);
    return out;
}

}  // namespace

TEST_F(MainWindowTest, EveryStoredTextFitsWhatOneReadGivesBack) {
    InstallerValues v;
    v.extra += "[TessaryBlindCopy]\nNumberOfGroups=2\n"
               "Group1Platform=All\nGroup1Language=All\nGroup1NumberOfFiles=1\nGroup1DestDir=A\n"
               "Group1Loc=\nGroup1Filename1=a.txt\nGroup1File1ExpandType=Normal\n"
               "Group2Platform=All\nGroup2Language=All\nGroup2NumberOfFiles=1\n"
               "Group2DestDir=A\\Sub\nGroup2Loc=\nGroup2Filename1=b.txt\n"
               "Group2File1ExpandType=Normal\n";
    const std::string dir = MakeInstaller(v);
    const std::string inst = dir + "/";
    // Directory and file names of this file system (255 bytes at most each).
    for (const std::string& f : {Chars(kMax - 1, 'd') + "/t.exe", Chars(kMax, 'd') + "/t.exe",
                                 Chars(kMax + 1, 'd') + "/t.exe", Chars(kMax - 4, 'p') + ".exe",
                                 Chars(kMax - 3, 'p') + ".exe"})
        WriteFileBytes(inst + f, "MZ");
    Open(dir);

    // The Summary boxes: the 244th character, set or typed, is not taken.
    const char* boxes[] = {"TextDestDir", "TextUserName", "TextCompName", "TextSerial"};
    for (const char* name : boxes) {
        QLineEdit* box = Box(name);
        GainFocus(box);
        box->setText(ToQ(Chars(kMax + 57, name[4])));
        Key(box, 'z');
        LoseFocus(box);
        EXPECT_EQ(BoxText(name), Chars(kMax, name[4])) << name;
    }

    // Sublaunch: each stored part of the path (ChangeDir, Program) may have 243 characters.
    ui->File(inst + Chars(kMax - 1, 'd') + "/t.exe")
        .File(inst + Chars(kMax, 'd') + "/t.exe")
        .File(inst + Chars(kMax - 4, 'p') + ".exe")
        .File(inst + Chars(kMax - 3, 'p') + ".exe");
    for (int i = 0; i < 4; ++i) w->sublaunchTab->CmdAddLaunch_Click();
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kPathTooLong, kPathTooLong}));
    ASSERT_EQ(modTAVIN::LaunchCount(), 2);
    EXPECT_EQ(modTAVIN::GetLaunch(1).ChangeDir, Chars(kMax - 1, 'd') + "\\");
    EXPECT_EQ(modTAVIN::GetLaunch(2).Program, Chars(kMax - 4, 'p') + ".exe");
    // The flags box likewise.
    QLineEdit* flags = Box("TextInstallerFlags");
    flags->setText(ToQ(Chars(kMax, 'f')));
    Key(flags, 'z');
    EXPECT_EQ(modTAVIN::GetLaunch(2).CmdLine, Chars(kMax, 'f'));

    // Include Files: Loc and FileName of an added file, and the destination a rename makes.
    IncludeFilesTab* tab = w->includeFilesTab;
    QTreeWidgetItem* folderA = tab->TVWDestFiles->topLevelItem(0)->child(0);
    ASSERT_EQ(FromQ(folderA->text(0)), "A");
    tab->TVWDestFiles->setCurrentItem(folderA);
    ui->ClearLog();
    ui->File(inst + Chars(kMax + 1, 'd') + "/t.exe")
        .File(inst + Chars(kMax - 3, 'p') + ".exe")
        .File(inst + Chars(kMax, 'd') + "/t.exe");
    for (int i = 0; i < 3; ++i) tab->mnuInsertFile_Click();
    // A folder whose own path is too long for a destination takes no file.
    QTreeWidgetItem* deep =
        tab->AddTreeNode(folderA, IncludeFilesTab::tvwChild, {}, Chars(kMax - 1, 'x'), "Folder");
    tab->TVWDestFiles->setCurrentItem(deep);
    ui->File(inst + Chars(kMax, 'd') + "/t.exe");
    tab->mnuInsertFile_Click();
    // "A\Sub" below the folder gets 4 characters more than the folder's own path.
    for (std::size_t length : {kMax - 3, kMax - 4}) {
        tab->TVWDestFiles->setCurrentItem(folderA);
        int16_t cancel = 0;
        std::string name = Chars(length, 'n');
        tab->TVWDestFiles_AfterLabelEdit(cancel, name);
        EXPECT_EQ(name, length == kMax - 3 ? "A" : Chars(length, 'n'));
    }
    EXPECT_EQ(ui->Texts(), (std::vector<std::string>{kPathTooLong, kPathTooLong, kFolderPathTooLong,
                                                     kFolderPathTooLong}));
    const std::string n = Chars(kMax - 4, 'n');
    std::vector<std::string> want = {n + "|" + Chars(kMax, 'd') + "|t.exe", n + "\\Sub||b.txt",
                                     n + "||a.txt"};
    std::sort(want.begin(), want.end());
    std::vector<std::string> got = Files();
    std::sort(got.begin(), got.end());
    ASSERT_EQ(got, want);

    // What was stored is what the next open reads.
    std::vector<LaunchEntry> launches = {modTAVIN::GetLaunch(1), modTAVIN::GetLaunch(2)};
    const OemInstall before = modTAVIN::GetOemInstall();
    ASSERT_TRUE(Trigger(w.get(), "mnuSave"));
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    Open(dir);
    const OemInstall after = modTAVIN::GetOemInstall();
    EXPECT_EQ(after.DefaultDestDir, before.DefaultDestDir);
    EXPECT_EQ(after.UserName, Chars(kMax, 'U'));
    EXPECT_EQ(after.UserCompanyName, before.UserCompanyName);
    EXPECT_EQ(after.UserSerialNumber, before.UserSerialNumber);
    EXPECT_EQ(modTAVIN::GetLaunch(1), launches[0]);
    EXPECT_EQ(modTAVIN::GetLaunch(2), launches[1]);
    got = Files();
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
}
