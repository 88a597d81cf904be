// Opening an installer, editing it through the controls and saving it, checked byte for byte.

#include <QPushButton>

#include "MainWindowFixture.h"
#include "platform/fileops.h"

using namespace Qt::StringLiterals;

using namespace mwtest;

TEST_F(MainWindowTest, EditsThroughTheControlsReachTheSettingsFileExactly) {
    const InstallerValues original;
    const std::string dir = MakeInstaller(original);
    const std::string before = ReadFileBytes(TavinPath());
    Open(dir);

    TypeInto(Box("TextUserName"), ToQ("  Jos\xe9 Pe\xf1"
                                      "a "));
    TypeInto(Box("TextDestDir"), u"C:\\Program Files\\Tessary"_s);
    TypeInto(Box("TextSerial"), u"999-000"_s);
    w->ssMainTab->setCurrentIndex(1);
    Ctl<QListWidget>("ListIncShortcut")->setCurrentRow(0);  // "Tessary Reader"
    Ctl<QPushButton>("CmdRemShortcut")->click();
    w->ssMainTab->setCurrentIndex(0);
    // The last edit is still in its box, which holds the focus: the save stores it first.
    QLineEdit* company = Box("TextCompName");
    GainFocus(company);
    company->setText(u"Acme Corp"_s);
    ASSERT_TRUE(Trigger(w.get(), "mnuSave"));

    InstallerValues edited = original;
    edited.userName = "Jos\xe9 Pe\xf1"
                      "a";
    edited.destDir = "C:\\Program Files\\Tessary";
    edited.serial = "999-000";
    edited.company = "Acme Corp";
    edited.extra = "[OEM Remove Shortcut]\nTessary Reader=YES\nAcme Tool=YES\n";
    EXPECT_EQ(ReadFileBytes(TavinPath()), TavinIni(edited));
    EXPECT_EQ(ReadFileBytes(modTAVIN::PathIn(dir, "Tavin.old")), before);
    EXPECT_FALSE(kivo::fileops::Exists(modTAVIN::PathIn(dir, "Setup.iss")));
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_FALSE(modTAVIN::IsModified());

    // Reopening shows what was saved.
    ASSERT_TRUE(Trigger(w.get(), "mnuClose"));
    Open(dir);
    EXPECT_EQ(BoxText("TextUserName"), "Jos\xe9 Pe\xf1"
                                       "a");
    EXPECT_EQ(BoxText("TextCompName"), "Acme Corp");
    EXPECT_EQ(Ctl<QListWidget>("ListRemShortcut")->count(), 2);
}
