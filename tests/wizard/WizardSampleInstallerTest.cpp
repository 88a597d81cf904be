// The whole road on a copy of the sample installer: open it in the main window, walk the wizard
// with silent mode, a custom setup and the options page, finish, save from the main window, and
// compare the installer's files byte for byte.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "GuiTestUtil.h"
#include "mainwindow/MainWindowFixture.h"
#include "mainwindow/frmMain.h"
#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"
#include "wizard/frmWizard.h"

using namespace Qt::StringLiterals;

namespace {

using mwtest::ProcessEventsUntil;

frmWizard* OpenWizard() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* w = qobject_cast<frmWizard*>(top); w && w->isVisible()) return w;
    }
    return nullptr;
}

// Replaces the one line "key=old" of a CRLF file by "key=new".
void Edit(std::string& file, const std::string& key, const std::string& from,
          const std::string& to) {
    const std::string line = "\r\n" + key + "=" + from + "\r\n";
    const auto at = file.find(line);
    ASSERT_NE(at, std::string::npos) << line;
    ASSERT_EQ(file.find(line, at + 1), std::string::npos) << "not unique: " << line;
    file.replace(at, line.size(), "\r\n" + key + "=" + to + "\r\n");
}

// Inserts lines (LF-separated, written CRLF) right after the one line `after`.
void InsertAfter(std::string& file, const std::string& after, const std::string& lines) {
    const std::string anchor = "\r\n" + after + "\r\n";
    const auto at = file.find(anchor);
    ASSERT_NE(at, std::string::npos) << after;
    file.insert(at + anchor.size(), Crlf(lines));
}

constexpr const char* kProduct = "Vontu(R) Tessary(R) 5.0.5 Patch";

TEST(WizardOnSampleInstaller, WalkFinishAndSaveWriteTheChoices) {
    TempDir exe;
    TempDir work;
    // Factory values that hide none of the installer's dialogs.
    WriteFileBytes(exe / "KIVO.ini",
                   Crlf(std::string("[LANGUAGES]\n0009=English\n0011=Japanese\n[") + kProduct +
                        "]\nDisplayTypeOfInstallDlg=YES\nDisplayUserInfoDlg=YES\n"
                        "DisplaySelectDestDirDlg=NO\nDisplayWelcomeDlg=YES\n"));
    const std::string inst = work / "installer";
    CopyTree(std::string(KIVO_SOURCE_DIR) + "/examples/sample-installer", inst);
    const std::string tavinBefore = ReadFileBytes(modTAVIN::PathIn(inst, "TAVIN.ini"));
    const std::string issBefore = ReadFileBytes(modTAVIN::PathIn(inst, "Setup.iss"));
    ASSERT_FALSE(tavinBefore.empty());

    modTAVIN::ResetState();
    modWizUI::ResetState();
    FakeUi ui(exe.path());
    {
        frmMain main;
        main.FirstActivate = false;
        ui.Folder(inst);
        ASSERT_TRUE(Trigger(&main, "mnuOpen"));
        ASSERT_TRUE(modTAVIN::IsInstallerOpen());
        ASSERT_TRUE(modTAVIN::GetOemInstall().Product == kProduct);

        Find<QPushButton>(&main, "CmdWizard")->click();
        EXPECT_FALSE(main.isEnabled());
        QPointer<frmWizard> w = OpenWizard();
        ASSERT_TRUE(w);
        ASSERT_TRUE(ProcessEventsUntil([&] { return !w->FirstActivate; })) << "first activation";

        auto next = [&](int expected) {
            w->cmdNav[3]->click();
            EXPECT_EQ(w->CurrentStep, expected);
        };
        next(1);
        w->cmbSilentMode->setCurrentIndex(1);
        next(5);
        ASSERT_EQ(w->ListLanguages->count(), 2);
        EXPECT_EQ(w->ListLanguages->item(1)->text(), u"Japanese"_s);
        w->ListLanguages->setCurrentRow(1);
        next(7);
        EXPECT_TRUE(w->OptTypical->isChecked());
        w->OptCustom->click();
        w->TextDestDir4->setText(u"  D:\\Tessary "_s);
        LoseFocus(w->TextDestDir4);
        next(8);
        QTreeWidgetItem* docs = w->FindNode(u"Ind3"_s);
        ASSERT_TRUE(docs);
        EXPECT_EQ(docs->text(0), u"Documentation"_s);
        docs->setCheckState(0, Qt::Unchecked);
        next(9);
        EXPECT_EQ(w->TextUserName->text(), u"Site Administrator"_s);
        w->TextSerialNumber->setText(u"TSP5-9999-0000-1111"_s);
        next(10);
        w->TextCollaboration->setText(u"http://dav.harbour.example/comments"_s);
        w->ChkDisUpdate->setChecked(true);
        next(11);
        w->cmdNav[4]->click();
        EXPECT_TRUE(main.isEnabled());
        // The main window's next activation refills it; the save then stores its boxes.
        ASSERT_TRUE(
            ProcessEventsUntil([&] { return main.EditSettings.DefaultDestDir == "D:\\Tessary"; }));
        delete w.data();

        ASSERT_TRUE(Trigger(&main, "mnuSave"));
        EXPECT_FALSE(modTAVIN::IsModified());
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;

    std::string tavin = tavinBefore;
    for (const char* flag :
         {"DisplayWelcomeDlg", "DisplayEULA", "DisplayTypeOfInstallDlg", "DisplayCustomDlg",
          "DisplayUserInfoDlg", "DisplayConfirmRegDlg", "DisplayStartCopyDlg", "DisplayFinishDlg",
          "DisplayFinalMessage", "DisplayBillboards", "DisplayBackGround", "DisplayProgressBar",
          "ProgressBarStart", "ProgressBarEnd", "CloseRunningApps"}) {
        Edit(tavin, flag, "YES", "NO");
    }
    Edit(tavin, "InstallModeSilent", "NO", "YES");
    Edit(tavin, "IgnoreInstallWarnings", "NO", "YES");
    Edit(tavin, "UserSerialNumber", "TSP5-0417-2289-6630", "TSP5-9999-0000-1111");
    Edit(tavin, "DefaultDestDir", "C:\\Program Files\\Vontu\\Tessary 5.0", "D:\\Tessary");
    Edit(tavin, "Type", "Typical", "Custom");
    Edit(tavin, "Comp3Enabled", "YES", "NO");
    InsertAfter(tavin, "Group2RegEntry2ValueData=1",
                "Group1NumberOfRegEntries=3\n"
                "Group1RegEntry1Platform=All\n"
                "Group1RegEntry1Parentkey=HKEY_LOCAL_MACHINE\n"
                "Group1RegEntry1Key=Software\\Vontu\\Vontu Tessary\\5.0\\Collab\\cServerSettings\n"
                "Group1RegEntry1ValueName=tDAVFDF\n"
                "Group1RegEntry1ValueType=STRING\n"
                "Group1RegEntry1ValueData=http://dav.harbour.example/comments\n"
                "Group1RegEntry2Platform=All\n"
                "Group1RegEntry2Parentkey=HKEY_LOCAL_MACHINE\n"
                "Group1RegEntry2Key=SOFTWARE\\Vontu\\Vontu Tessary\\5.0\\VontuViewer\n"
                "Group1RegEntry2ValueName=DisableWebServicesUpdate\n"
                "Group1RegEntry2ValueType=Number\n"
                "Group1RegEntry2ValueData=1\n"
                "Group1RegEntry3Platform=All\n"
                "Group1RegEntry3Parentkey=HKEY_LOCAL_MACHINE\n"
                "Group1RegEntry3Key=SOFTWARE\\Vontu\\Vontu Tessary\\5.0\\VontuViewer\n"
                "Group1RegEntry3ValueName=DisableTessaryUpdate\n"
                "Group1RegEntry3ValueType=Number\n"
                "Group1RegEntry3ValueData=1\n");
    EXPECT_EQ(ReadFileBytes(modTAVIN::PathIn(inst, "TAVIN.ini")), tavin);
    EXPECT_EQ(ReadFileBytes(modTAVIN::PathIn(inst, "Tavin.old")), tavinBefore);

    std::string iss = issBefore;
    Edit(iss, "Lang", "0009", "0011");
    EXPECT_EQ(ReadFileBytes(modTAVIN::PathIn(inst, "Setup.iss")), iss);
    modTAVIN::ResetState();
    modWizUI::ResetState();
}

}  // namespace
