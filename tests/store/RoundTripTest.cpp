// The sample installer opened, loaded, changed through the store and saved without any window;
// and load, save, load again giving the model that was saved.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <utility>

#include "platform/profile.h"
#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using modTAVIN::S;

namespace {

const std::string kSample = std::string(KIVO_SOURCE_DIR) + "/examples/sample-installer";

class SampleInstallerTest : public ::testing::Test {
protected:
    SampleInstallerTest() : ui(exeDir.path()) {
        kivo::profile::ClearCache();
        modTAVIN::ResetState();
        WriteFileBytes(exeDir / "KIVO.ini",
                       Crlf("[LANGUAGES]\n0007=German\n0009=English\n0011=Japanese\n"));
        CopyTree(kSample, dir.path());
        original = ReadFileBytes(dir / "TAVIN.ini");
        originalIss = ReadFileBytes(dir / "Setup.iss");
    }
    ~SampleInstallerTest() override { kivo::profile::ClearCache(); }

    void OpenAndLoad() {
        ASSERT_TRUE(modTAVIN::OpenInstallerDir(dir.path()));
        ASSERT_TRUE(modTAVIN::LoadInstaller());
        ASSERT_TRUE(ui.messages.empty());  // an open asks nothing
    }

    void Save() {
        ASSERT_TRUE(modTAVIN::SaveTavinIni());
        EXPECT_TRUE(ui.messages.empty());
    }

    std::string Tavin() const { return ReadFileBytes(dir / "TAVIN.ini"); }

    TempDir dir;
    TempDir exeDir;
    FakeUi ui;
    std::string original, originalIss;
};

// Replaces the one occurrence of `from` in `text`.
void ReplaceOnce(std::string& text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    ASSERT_EQ(text.find(from, at + 1), std::string::npos) << from;
    text.replace(at, from.size(), to);
}

TEST_F(SampleInstallerTest, OpensAndLoadsWhatTheFilesHold) {
    OpenAndLoad();
    const OemInstall& o = S().OemSettings;
    EXPECT_EQ(o.Product, "Vontu(R) Tessary(R) 5.0.5 Patch");
    EXPECT_EQ(o.SetupTitle, "Vontu(R) Tessary(R) 5.0.5 Patch");
    EXPECT_FALSE(o.DisplayRebootDlg);
    EXPECT_EQ(o.DefaultDestDir, "C:\\Program Files\\Vontu\\Tessary 5.0");
    EXPECT_EQ(o.Type, "Typical");
    EXPECT_EQ(o.Components.Count(), 4);
    EXPECT_EQ(o.RemoveShortcuts.Count(), 3);
    ASSERT_EQ(o.Iss.Languages.Count(), 2);
    EXPECT_EQ(o.Iss.Languages(2), (LanguageEntry{"Japanese", "0011"}));
    EXPECT_EQ(o.Iss.SelectedLanguage, 1);
    EXPECT_TRUE(o.Iss.WriteResponseFile);
    ASSERT_EQ(S().BlindCopies.Count(), 4);
    EXPECT_EQ(S().BlindCopies(1).Name, "Tessary Core");
    EXPECT_EQ(S().BlindCopies(1).Groups.Count(), 2);
    EXPECT_EQ(S().BlindCopies(2).Groups(1).IniEntries.Count(), 1);
    EXPECT_EQ(S().BlindCopies(3).Groups(1).Files.Count(), 2);
    EXPECT_TRUE(S().BlindCopies(4).Groups.Empty());
    EXPECT_EQ(S().Launches.Count(), 2);
    EXPECT_FALSE(S().Modified);
}

// The state of a file that a replace or a write would change.
std::pair<ino_t, std::int64_t> FileState(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {0, 0};
    return {st.st_ino, st.st_mtim.tv_sec * 1'000'000'000ll + st.st_mtim.tv_nsec};
}

TEST_F(SampleInstallerTest, SavingWithoutChangesChangesNoByte) {
    OpenAndLoad();
    modTAVIN::SetOemInstall(modTAVIN::GetOemInstall());
    const auto tavinBefore = FileState(dir / "TAVIN.ini");
    const auto issBefore = FileState(dir / "Setup.iss");
    Save();
    EXPECT_EQ(Tavin(), original);
    EXPECT_EQ(ReadFileBytes(dir / "Setup.iss"), originalIss);
    EXPECT_EQ(ReadFileBytes(dir / "Tavin.old"), original);
    // Writing every key with the value it already has leaves both files untouched.
    EXPECT_EQ(FileState(dir / "TAVIN.ini"), tavinBefore);
    EXPECT_EQ(FileState(dir / "Setup.iss"), issBefore);
}

TEST_F(SampleInstallerTest, ChangesMadeThroughTheStoreReachTheFilesAndNothingElseDoes) {
    OpenAndLoad();
    OemInstall o = modTAVIN::GetOemInstall();
    o.SetupTitle = "Tessary 5.0.5 Patch for Harbour Lane";
    o.DisplayRebootDlg = true;
    o.UserName = "Ann Lee";
    o.Iss.SelectedLanguage = 2;
    modTAVIN::SetOemInstall(o);
    modTAVIN::AddFileToBlindCopy(3, {"Docs", "Extras\\Docs", "changes.txt", "Normal"});
    modTAVIN::RemoveFileFromBlindCopy(1, {"Tools", "Utils\\Tools", "tool.exe", "Normal"});
    modTAVIN::SetRegEntry(1, {"All", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Vontu\\Tessary\\5.0\\Patch",
                              "Level", "STRING", "5.0.6"});
    modTAVIN::DeleteLaunch(2);
    Save();

    std::string expected = original;
    ReplaceOnce(expected, "SetupTitle=Vontu(R) Tessary(R) 5.0.5 Patch\r\n",
                "SetupTitle=Tessary 5.0.5 Patch for Harbour Lane\r\n");
    ReplaceOnce(expected, "DisplayRebootDlg=NO\r\n", "DisplayRebootDlg=YES\r\n");
    ReplaceOnce(expected, "UserName=Site Administrator\r\n", "UserName=Ann Lee\r\n");
    // Comp1: the group without files keeps its shortcut and a blank first file.
    ReplaceOnce(expected,
                "Group1NumberOfFiles=1\r\nGroup1DestDir=Tools\r\nGroup1Loc=Utils\\Tools\r\n"
                "Group1Filename1=tool.exe\r\nGroup1File1ExpandType=Normal\r\n",
                "Group1Filename1=\r\nGroup1File1ExpandType=\r\n");
    ReplaceOnce(expected, "Group2RegEntry1ValueData=5.0.5\r\n",
                "Group2RegEntry1ValueData=5.0.6\r\n");
    // Comp3: the new file joins the group of its folder.
    ReplaceOnce(expected, "Group1NumberOfFiles=2\r\n", "Group1NumberOfFiles=3\r\n");
    ReplaceOnce(expected, "Group1File2ExpandType=Normal\r\n",
                "Group1File2ExpandType=Normal\r\nGroup1FileName3=changes.txt\r\n"
                "Group1File3ExpandType=Normal\r\n");
    ReplaceOnce(expected, "NumberOfLaunches= 2\r\n", "NumberOfLaunches= 1\r\n");
    ReplaceOnce(expected,
                "Launch2Platform=All\r\nLaunch2Language=All\r\nLaunch2Type=INS\r\n"
                "Launch2Program=addon.ins\r\nLaunch2CmdLine=\r\nLaunch2ChangeDir=Extras\\\r\n"
                "Launch2Wait=YES\r\n",
                "");
    EXPECT_EQ(Tavin(), expected);

    std::string iss = originalIss;
    ReplaceOnce(iss, "Lang=0009\r\n", "Lang=0011\r\n");
    EXPECT_EQ(ReadFileBytes(dir / "Setup.iss"), iss);
    EXPECT_EQ(ReadFileBytes(dir / "Tavin.old"), original);
    EXPECT_FALSE(S().Modified);
}

// The model as the next load gives it back: the counts as read of groups and launches are those
// of the file just written.
modTAVIN::State AsReloaded(modTAVIN::State s) {
    for (BlindCopy& bc : s.BlindCopies) bc.NumberOfGroups = static_cast<int16_t>(bc.Groups.Count());
    s.OemSettings.NumberOfLaunches = static_cast<int16_t>(s.Launches.Count());
    return s;
}

void ExpectSameModel(const modTAVIN::State& a, const modTAVIN::State& b) {
    EXPECT_TRUE(a.OemSettings == b.OemSettings);
    EXPECT_TRUE(a.BlindCopies == b.BlindCopies);
    EXPECT_TRUE(a.Launches == b.Launches);
}

TEST_F(SampleInstallerTest, DeletionsSurviveASaveAndTheNextLoad) {
    OpenAndLoad();
    // Comp1: the file and the shortcut of group 1 go, so group 2 becomes group 1; one of its
    // registry values goes too.
    modTAVIN::RemoveFileFromBlindCopy(1, {"Tools", "Utils\\Tools", "tool.exe", "Normal"});
    S().BlindCopies(1).Groups(1).Icons.Clear();
    modTAVIN::RemoveRegEntry(
        1, {"All", "HKEY_CURRENT_USER", "Software\\Vontu\\Tessary\\5.0\\Update", "CheckForUpdates",
            "Number", ""});
    // Comp2 loses its only INI value, Comp3 one of its two files; the first launch goes.
    S().BlindCopies(2).Groups(1).IniEntries.Clear();
    modTAVIN::RemoveFileFromBlindCopy(3, {"Docs", "Extras\\Docs", "readme.txt", "Normal"});
    modTAVIN::DeleteLaunch(1);
    Save();
    const modTAVIN::State saved = AsReloaded(S());
    ASSERT_EQ(saved.BlindCopies(1).Groups.Count(), 1);
    ASSERT_EQ(saved.BlindCopies(2).Groups.Count(), 0);

    kivo::profile::ClearCache();
    ASSERT_TRUE(modTAVIN::LoadInstaller());
    ExpectSameModel(S(), saved);

    // And a second round changes nothing more.
    const std::string once = Tavin();
    modTAVIN::SetOemInstall(modTAVIN::GetOemInstall());
    Save();
    EXPECT_EQ(Tavin(), once);
    ASSERT_TRUE(modTAVIN::LoadInstaller());
    ExpectSameModel(S(), saved);
}

}  // namespace
