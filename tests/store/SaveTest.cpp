// Saving the model: the bytes of TAVIN.ini and Setup.iss, the target sections of copy lists, the
// keys removed or blanked, read-only files, and saves that fail.

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/asciicase.h"
#include "platform/atomicfile.h"
#include "platform/fileops.h"
#include "store/InstallerFixture.h"
#include "store/modTAVIN.h"
#include "support/ChildProcess.h"
#include "support/FileFlag.h"
#include "support/TavinText.h"

using modTAVIN::LoadInstaller;
using modTAVIN::S;
using modTAVIN::SaveTavinIni;

namespace {

namespace fs = std::filesystem;

// The lines of one section of an INI text, header included, up to the next header.
std::string SectionOf(const std::string& text, const std::string& name) {
    const std::string header = "[" + name + "]\r\n";
    std::size_t start = text.find(header);
    if (start == std::string::npos) return {};
    std::size_t end = text.find("\r\n[", start + header.size() - 2);
    return text.substr(start, end == std::string::npos ? std::string::npos : end + 2 - start);
}

OneBasedList<std::string> List(std::initializer_list<const char*> items) {
    OneBasedList<std::string> l;
    for (const char* i : items) l.Append(i);
    return l;
}

FileGroup GroupWithRegEntry(const std::string& valueName) {
    FileGroup g;
    g.PlatformList = List({"All"});
    g.Platform = "All";
    g.LanguageList = List({"All"});
    g.Language = "All";
    g.RegEntries.Append({"All", "HKEY_LOCAL_MACHINE", "SOFTWARE\\Vontu", valueName, "STRING", "1"});
    return g;
}

FileGroup GroupWithFiles(const std::string& destDir, std::initializer_list<const char*> names) {
    FileGroup g;
    g.PlatformList = List({"All"});
    g.LanguageList = List({"All"});
    g.DestDir = destDir;
    g.Loc = "Src";
    for (const char* n : names) g.Files.Append({destDir, "Src", n, "Normal"});
    return g;
}

BlindCopy Record(const std::string& section, std::initializer_list<FileGroup> groups) {
    BlindCopy bc;
    bc.Name = section;
    bc.Section = section;
    for (const FileGroup& g : groups) bc.Groups.Append(g);
    return bc;
}

class SaveTest : public InstallerTest {
protected:
    // Saves and expects success without any message.
    void Save() {
        ASSERT_TRUE(SaveTavinIni());
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(S().Modified);
    }
};

// ---- Files written from nothing -----------------------------------------------------------------

TEST_F(SaveTest, AFileWrittenFromNothingHoldsEveryKeyInOrder) {
    PutTavin("Any Product");
    LoadInstaller();
    OemInstall& o = S().OemSettings;
    o.SetupTitle = "Title";
    o.DisplayEULA = false;
    o.UserName = "Ann";
    o.Type = "Custom";
    o.Components.Append({"Parent", "Core", true});
    o.Components.Append({"", "Extra", false});
    o.RemoveShortcuts.Append({"Tessary 5.0", true});
    o.RemoveShortcuts.Append({"Other", false});
    FileGroup g = GroupWithFiles("Docs", {"a.txt", "b.txt"});
    g.Icons.Append({"Normal", "F", "SF", "t.exe", "Bin", "Tool", -2, "App", "AppLoc"});
    g.IniEntries.Append({"All", "<WINDIR>", "t.ini", "Sec", "K", "V"});
    S().BlindCopies.Append(Record("Comp1 BlindCopy", {g, GroupWithRegEntry("Level")}));
    S().BlindCopies.Append(Record("Comp2 BlindCopy", {}));
    S().Launches.Append({"All", "All", "EXE", "tool.exe", "/s", "Utils\\", "YES"});
    Save();

    EXPECT_EQ(Get("TAVIN.ini"),
              Crlf("[Main]\nTavinVersion=1.2\nProduct=Any Product\n" +
                   OemInstallSection({.setupTitle = "Title", .eula = "NO", .userName = "Ann"}) +
                   "[SetupType]\n"
                   "Type=Custom\n"
                   "[Components]\n"
                   "NUMBER= 2\n"
                   "Comp1Parent=Parent\n"
                   "Comp1=Core\n"
                   "Comp1Enabled=YES\n"
                   "Comp2Parent=\n"
                   "Comp2=Extra\n"
                   "Comp2Enabled=NO\n"
                   "[Comp1 BlindCopy]\n"
                   "NumberOfGroups=2\n"
                   "Group1Platform=All\n"
                   "Group1Language=All\n"
                   "Group1NumberOfFiles=2\n"
                   "Group1DestDir=Docs\n"
                   "Group1Loc=Src\n"
                   "Group1FileName1=a.txt\n"
                   "Group1File1ExpandType=Normal\n"
                   "Group1FileName2=b.txt\n"
                   "Group1File2ExpandType=Normal\n"
                   "Group1NumberOfIcons=1\n"
                   "Group1Icon1Style=Normal\n"
                   "Group1Icon1Folder=F\n"
                   "Group1Icon1SubFolder=SF\n"
                   "Group1Icon1Exe=t.exe\n"
                   "Group1Icon1ExeSubdir=Bin\n"
                   "Group1Icon1Description=Tool\n"
                   "Group1Icon1Number=-2\n"
                   "Group1Icon1App=App\n"
                   "Group1Icon1AppLoc=AppLoc\n"
                   "Group1NumberOfIniEntries=1\n"
                   "Group1IniEntry1Platform=All\n"
                   "Group1IniEntry1FileLoc=<WINDIR>\n"
                   "Group1IniEntry1FileName=t.ini\n"
                   "Group1IniEntry1Section=Sec\n"
                   "Group1IniEntry1Key=K\n"
                   "Group1IniEntry1Value=V\n"
                   "Group2Platform=All\n"
                   "Group2Language=All\n"
                   "Group2NumberOfRegEntries=1\n"
                   "Group2RegEntry1Platform=All\n"
                   "Group2RegEntry1Parentkey=HKEY_LOCAL_MACHINE\n"
                   "Group2RegEntry1Key=SOFTWARE\\Vontu\n"
                   "Group2RegEntry1ValueName=Level\n"
                   "Group2RegEntry1ValueType=STRING\n"
                   "Group2RegEntry1ValueData=1\n"
                   "[OEM Remove Shortcut]\n"
                   "Tessary 5.0=YES\n"
                   "Other=NO\n"
                   "[Launches]\n"
                   "NumberOfLaunches= 1\n"
                   "Launch1Platform=All\n"
                   "Launch1Language=All\n"
                   "Launch1Type=EXE\n"
                   "Launch1Program=tool.exe\n"
                   "Launch1CmdLine=/s\n"
                   "Launch1ChangeDir=Utils\\\n"
                   "Launch1Wait=YES\n"));
    EXPECT_EQ(Get("Tavin.old"), Crlf("[Main]\nTavinVersion=1.2\nProduct=Any Product\n"));
    EXPECT_FALSE(fs::exists(InDir("Setup.iss")));
    // The counts as read now describe the file.
    EXPECT_EQ(S().BlindCopies(1).Groups(1).NumberOfFiles, 2);
    EXPECT_EQ(S().BlindCopies(1).Groups(1).NumberOfIcons, 1);
    EXPECT_EQ(S().BlindCopies(1).Groups(2).NumberOfRegEntries, 1);
}

TEST_F(SaveTest, AResponseFileWrittenFromNothingHoldsItsEightKeysInOrder) {
    PutTavin("Any Product");
    LoadInstaller();
    IssSettings& iss = S().OemSettings.Iss;
    iss.WriteResponseFile = true;
    iss.Languages.Clear();
    iss.Languages.Append({"English", "0009"});
    iss.Languages.Append({"Japanese", "0011"});
    iss.SelectedLanguage = 2;
    Save();
    EXPECT_EQ(Get("Setup.iss"),
              Crlf("[InstallShield Silent]\nVersion=v5.00.000\nFile=Response File\n"
                   "[File Transfer]\nOverwriteReadOnly=YesToAll\n"
                   "[Application]\nName=Tessary\nVersion=5.0\nCompany=Vontu\n"
                   "Lang=0011\n"
                   "[DlgOrder]\nCount=0\n"));
}

// ---- Existing files -----------------------------------------------------------------------------

TEST_F(SaveTest, AnExistingFileKeepsEveryLineTheSaveDoesNotChange) {
    std::string oem =
        "[OEM Install]\nSetupTitle=Old\n; a note\nCustomKey=kept\nSetupCaptionBarTitle=Cap\n"
        "DisplayWelcomeDlg=YES\nDisplayEULA=YES\nDisplayTypeOfInstallDlg=YES\n"
        "DisplaySelectDestDirDlg=NO\nDisplayCustomDlg=YES\nDisplayUserInfoDlg=YES\n"
        "DisplayConfirmRegDlg=YES\nDisplayStartCopyDlg=YES\nDisplayFinishDlg=YES\n"
        "DisplayFinalMessage=YES\nDisplayRebootDlg=YES\nDisplayMaintUIDlg=NO\n"
        "DisplayBillboards=YES\nProgGroupName=G\nDisplayBackGround=YES\nDisplayProgressBar=YES\n"
        "ProgressBarStart=YES\nProgressBarEnd=YES\nCloseRunningApps=YES\nInstallModeSilent=NO\n"
        "UninstallCombineVersions=YES\nUninstallPreviousVersions=YES\nUninstallModeSilent=YES\n"
        "UserCompanyName=\nUserSerialNumber=\nDefaultDestDir=\nUserName=\nPDFOutputFolder=\n"
        "IgnoreInstallWarnings=NO\n\n";
    std::string rest = "[SetupType]\nType=Typical\n\n"
                       "[Components]\nNote=no components here\n\n"
                       "[Unknown Section]\nwhatever = 1\nno equals sign\n\n"
                       "[Launches]\nNumberOfLaunches= 0\n";
    PutTavin("Any Product", "\n" + oem + rest);
    const std::string before = Get("TAVIN.ini");
    LoadInstaller();
    OemInstall o = modTAVIN::GetOemInstall();
    o.SetupTitle = "New";
    modTAVIN::SetOemInstall(o);
    Save();
    std::string expected = before;
    expected.replace(expected.find("SetupTitle=Old"), 14, "SetupTitle=New");
    EXPECT_EQ(Get("TAVIN.ini"), expected);
}

TEST_F(SaveTest, KeysKeepTheirSpellingAndNewKeysTakeTheSavesSpelling) {
    PutTavin("Any Product",
             "[XBlindCopy]\nNumberOfGroups=1\nGroup1Platform=All\nGroup1Language=All\n"
             "Group1NumberOfFiles=1\nGroup1DestDir=D\nGroup1Loc=L\n"
             "Group1Filename1=a.txt\nGroup1File1ExpandType=Normal\n"
             "Group1NumberOfIcons=1\nGroup1Icon1Style=\nGroup1Icon1Folder=\nGroup1Icon1SubFolder=\n"
             "Group1Icon1Exe=\nGroup1Icon1ExeSubDir=Old\nGroup1Icon1Description=\n"
             "Group1Icon1Number= 0\nGroup1Icon1App=\nGroup1Icon1AppLoc=\n"
             "Group1NumberOfRegEntries=1\nGroup1RegEntry1Platform=All\n"
             "Group1RegEntry1ParentKey=HKEY_CURRENT_USER\nGroup1RegEntry1Key=K\n"
             "Group1RegEntry1ValueName=N\nGroup1RegEntry1ValueType=STRING\n"
             "Group1RegEntry1ValueData=D\n");
    LoadInstaller();
    FileGroup& g = S().BlindCopies(1).Groups(1);
    g.Files(1).FileName = "b.txt";
    g.Files.Append({"D", "L", "c.txt", "Normal"});
    g.Icons(1).ExeSubDir = "New";
    g.RegEntries(1).ParentKey = "HKEY_LOCAL_MACHINE";
    Save();
    const std::string text = Get("TAVIN.ini");
    EXPECT_NE(text.find("\r\nGroup1Filename1=b.txt\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nGroup1FileName2=c.txt\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nGroup1Icon1ExeSubDir=New\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nGroup1RegEntry1ParentKey=HKEY_LOCAL_MACHINE\r\n"), std::string::npos);
    EXPECT_EQ(text.find("FileName1"), std::string::npos);
    EXPECT_EQ(text.find("ExeSubdir"), std::string::npos);
    EXPECT_EQ(text.find("Parentkey"), std::string::npos);
}

TEST_F(SaveTest, ReadOnlyTavinIniIsWrittenAndStaysReadOnly) {
    PutTavin("Any Product", "[OEM Install]\nSetupTitle=Old\n");
    const std::string before = Get("TAVIN.ini");
    fs::permissions(InDir("TAVIN.ini"), fs::perms::owner_read | fs::perms::group_read);
    LoadInstaller();
    S().OemSettings.SetupTitle = "New";
    Save();
    EXPECT_EQ(kivo::fileops::IsReadOnly(InDir("TAVIN.ini")), kivo::fileops::ReadOnly::Yes);
    EXPECT_NE(Get("TAVIN.ini").find("SetupTitle=New"), std::string::npos);
    EXPECT_EQ(Get("Tavin.old"), before);

    // The next save replaces a read-only Tavin.old too.
    kivo::fileops::SetReadOnly(InDir("Tavin.old"), true);
    const std::string second = Get("TAVIN.ini");
    S().OemSettings.SetupTitle = "Newer";
    Save();
    EXPECT_EQ(Get("Tavin.old"), second);
    EXPECT_NE(Get("TAVIN.ini").find("SetupTitle=Newer"), std::string::npos);
}

TEST_F(SaveTest, AWritableTavinIniKeepsItsPermissionBits) {
    PutTavin("Any Product");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(InDir("TAVIN.ini"), mode);
    LoadInstaller();
    Save();
    EXPECT_EQ(fs::status(InDir("TAVIN.ini")).permissions(), mode);
}

// ---- Launches -----------------------------------------------------------------------------------

std::string LaunchKeys(int i, const std::string& program) {
    std::string p = "Launch" + std::to_string(i);
    return p + "Platform=All\n" + p + "Language=All\n" + p + "Type=EXE\n" + p +
           "Program=" + program + "\n" + p + "CmdLine=\n" + p + "ChangeDir=\n" + p + "Wait=YES\n";
}

TEST_F(SaveTest, AnEmptiedLaunchListKeepsBlankKeysOfTheFirstLaunchOnly) {
    PutTavin("Any Product", "[Launches]\nNumberOfLaunches= 3\n" + LaunchKeys(1, "a.exe") +
                                LaunchKeys(2, "b.exe") + LaunchKeys(3, "c.exe"));
    LoadInstaller();
    while (modTAVIN::LaunchCount() > 0) modTAVIN::DeleteLaunch(1);
    Save();
    EXPECT_EQ(SectionOf(Get("TAVIN.ini"), "Launches"),
              Crlf("[Launches]\nNumberOfLaunches= 0\nLaunch1Platform=\nLaunch1Language=\n"
                   "Launch1Type=\nLaunch1Program=\nLaunch1CmdLine=\nLaunch1ChangeDir=\n"
                   "Launch1Wait=\n"));
}

TEST_F(SaveTest, AGrownLaunchListWritesEveryLaunch) {
    PutTavin("Any Product",
             "[Launches]\nNumberOfLaunches= 2\n" + LaunchKeys(1, "a.exe") + LaunchKeys(2, "b.exe"));
    LoadInstaller();
    modTAVIN::InsertLaunch(3, {"All", "All", "EXE", "c.exe", "", "", "YES"});
    modTAVIN::InsertLaunch(4, {"All", "All", "EXE", "d.exe", "", "", "YES"});
    Save();
    EXPECT_EQ(SectionOf(Get("TAVIN.ini"), "Launches"),
              Crlf("[Launches]\nNumberOfLaunches= 4\n" + LaunchKeys(1, "a.exe") +
                   LaunchKeys(2, "b.exe") + LaunchKeys(3, "c.exe") + LaunchKeys(4, "d.exe")));
}

// ---- Copy lists ---------------------------------------------------------------------------------

const char* kTwoFilesAndTwoIcons =
    "[Components]\nNUMBER= 1\nComp1=Core\n"
    "[Comp1 BlindCopy]\nNumberOfGroups=2\n"
    "Group1Platform=All\nGroup1Language=All\nGroup1NumberOfFiles=2\nGroup1DestDir=D\n"
    "Group1Loc=L\nGroup1Filename1=a.txt\nGroup1File1ExpandType=Normal\n"
    "Group1Filename2=b.txt\nGroup1File2ExpandType=Normal\n"
    "Group1NumberOfIcons=1\nGroup1Icon1Style=S\nGroup1Icon1Folder=F\nGroup1Icon1SubFolder=SF\n"
    "Group1Icon1Exe=E\nGroup1Icon1ExeSubDir=X\nGroup1Icon1Description=De\nGroup1Icon1Number= 1\n"
    "Group1Icon1App=A\nGroup1Icon1AppLoc=AL\n"
    "Group2Platform=All\nGroup2Language=All\nGroup2NumberOfFiles=1\nGroup2DestDir=E\n"
    "Group2Loc=M\nGroup2Filename1=c.txt\nGroup2File1ExpandType=Normal\n"
    "Group2NumberOfIcons=2\n"
    "Group2Icon1Style=S\nGroup2Icon1Folder=F\nGroup2Icon1SubFolder=SF\nGroup2Icon1Exe=E\n"
    "Group2Icon1ExeSubDir=X\nGroup2Icon1Description=De\nGroup2Icon1Number= 1\nGroup2Icon1App=A\n"
    "Group2Icon1AppLoc=AL\n"
    "Group2Icon2Style=S\nGroup2Icon2Folder=F\nGroup2Icon2SubFolder=SF\nGroup2Icon2Exe=E\n"
    "Group2Icon2ExeSubDir=X\nGroup2Icon2Description=De\nGroup2Icon2Number= 2\nGroup2Icon2App=A\n"
    "Group2Icon2AppLoc=AL\n";

TEST_F(SaveTest, ListsThatLostEveryEntryKeepOnlyTheFirstEntryBlank) {
    PutTavin("Any Product", kTwoFilesAndTwoIcons);
    LoadInstaller();
    S().BlindCopies(1).Groups(1).Files.Clear();  // keeps its icon
    S().BlindCopies(1).Groups(2).Icons.Clear();  // keeps its file
    Save();
    EXPECT_EQ(SectionOf(Get("TAVIN.ini"), "Comp1 BlindCopy"),
              Crlf("[Comp1 BlindCopy]\nNumberOfGroups=2\n"
                   "Group1Platform=All\nGroup1Language=All\n"
                   "Group1Filename1=\nGroup1File1ExpandType=\n"
                   "Group1NumberOfIcons=1\nGroup1Icon1Style=S\nGroup1Icon1Folder=F\n"
                   "Group1Icon1SubFolder=SF\nGroup1Icon1Exe=E\nGroup1Icon1ExeSubDir=X\n"
                   "Group1Icon1Description=De\nGroup1Icon1Number= 1\nGroup1Icon1App=A\n"
                   "Group1Icon1AppLoc=AL\n"
                   "Group2Platform=All\nGroup2Language=All\nGroup2NumberOfFiles=1\n"
                   "Group2DestDir=E\nGroup2Loc=M\nGroup2Filename1=c.txt\n"
                   "Group2File1ExpandType=Normal\n"
                   "Group2NumberOfIcons=0\n"
                   "Group2Icon1Style=\nGroup2Icon1Folder=\nGroup2Icon1SubFolder=\nGroup2Icon1Exe=\n"
                   "Group2Icon1ExeSubDir=\nGroup2Icon1Description=\nGroup2Icon1Number=\n"
                   "Group2Icon1App=\nGroup2Icon1AppLoc=\n"));
    EXPECT_EQ(S().BlindCopies(1).Groups(1).NumberOfFiles, 0);
    EXPECT_EQ(S().BlindCopies(1).Groups(2).NumberOfIcons, 0);

    // The blank first entries and the count of 0 stay as written: saving again, in the same
    // session or after the next load, changes nothing.
    const std::string once = Get("TAVIN.ini");
    Save();
    EXPECT_EQ(Get("TAVIN.ini"), once);
    LoadInstaller();
    Save();
    EXPECT_EQ(Get("TAVIN.ini"), once);
}

TEST_F(SaveTest, GroupsAndEntriesTheModelNoLongerHasLeaveNoKeys) {
    PutTavin("Any Product",
             "[XBlindCopy]\nNumberOfGroups=3\n"
             "Group1Platform=All\nGroup1Language=All\nGroup1NumberOfFiles=2\nGroup1DestDir=A\n"
             "Group1Loc=LA\nGroup1Filename1=a1\nGroup1File1ExpandType=Normal\n"
             "Group1Filename2=a2\nGroup1File2ExpandType=Normal\n"
             "Group2Platform=All\nGroup2Language=All\nGroup2NumberOfFiles=1\nGroup2DestDir=B\n"
             "Group2Loc=LB\nGroup2Filename1=b1\nGroup2File1ExpandType=Normal\n"
             "Unknown=stays\nGroup01Loc=not ours\nGroup2PlatformList=not ours\n"
             "Group3Platform=All\nGroup3Language=All\nGroup3NumberOfRegEntries=1\n"
             "Group3RegEntry1Platform=All\nGroup3RegEntry1ParentKey=HKEY_LOCAL_MACHINE\n"
             "Group3RegEntry1Key=K\nGroup3RegEntry1ValueName=N\nGroup3RegEntry1ValueType=STRING\n"
             "Group3RegEntry1ValueData=1\n"
             "Group4Platform=All\nGroup4NumberOfFiles=1\nGroup4Filename1=beyond the count\n");
    LoadInstaller();
    // The first group goes; the others move down one place.
    modTAVIN::RemoveFileFromBlindCopy(1, {"A", "LA", "a1", "Normal"});
    modTAVIN::RemoveFileFromBlindCopy(1, {"A", "LA", "a2", "Normal"});
    Save();
    EXPECT_EQ(SectionOf(Get("TAVIN.ini"), "XBlindCopy"),
              Crlf("[XBlindCopy]\nNumberOfGroups=2\n"
                   "Group1Platform=All\nGroup1Language=All\nGroup1NumberOfFiles=1\n"
                   "Group1DestDir=B\nGroup1Loc=LB\nGroup1Filename1=b1\n"
                   "Group1File1ExpandType=Normal\n"
                   "Group2Platform=All\nGroup2Language=All\n"
                   "Unknown=stays\nGroup01Loc=not ours\nGroup2PlatformList=not ours\n"
                   "Group2NumberOfRegEntries=1\nGroup2RegEntry1Platform=All\n"
                   "Group2RegEntry1Parentkey=HKEY_LOCAL_MACHINE\nGroup2RegEntry1Key=K\n"
                   "Group2RegEntry1ValueName=N\nGroup2RegEntry1ValueType=STRING\n"
                   "Group2RegEntry1ValueData=1\n"));
    const BlindCopy saved = S().BlindCopies(1);
    LoadInstaller();
    EXPECT_EQ(S().BlindCopies(1).Groups, saved.Groups);
}

TEST_F(SaveTest, ARecordWhoseGroupsAllWentSaysSo) {
    PutTavin("Any Product",
             "[Components]\nNUMBER= 2\nComp1=Core\nComp2=Extra\n"
             "[Comp1 BlindCopy]\nNumberOfGroups=1\nGroup1Platform=All\nGroup1Language=All\n"
             "Group1NumberOfFiles=1\nGroup1DestDir=D\nGroup1Loc=L\nGroup1Filename1=a.txt\n"
             "Group1File1ExpandType=Normal\n");
    LoadInstaller();
    modTAVIN::RemoveFileFromBlindCopy(1, {"D", "L", "a.txt", "Normal"});
    ASSERT_TRUE(S().BlindCopies(1).Groups.Empty());
    Save();
    const std::string text = Get("TAVIN.ini");
    EXPECT_EQ(SectionOf(text, "Comp1 BlindCopy"), Crlf("[Comp1 BlindCopy]\nNumberOfGroups=0\n"));
    // A list that never had groups writes nothing at all.
    EXPECT_EQ(text.find("Comp2 BlindCopy"), std::string::npos);
    LoadInstaller();
    EXPECT_TRUE(S().BlindCopies(1).Groups.Empty());
}

TEST_F(SaveTest, EmptyDestDirTakesTheDefaultOfTheTargetSection) {
    PutTavin("Tessary Lumeno 5.0");
    S().BlindCopies.Append(
        Record("Comp1 BlindCopy", {GroupWithFiles("", {"a.txt"}), GroupWithRegEntry("V")}));
    Save();
    const std::string section = SectionOf(Get("TAVIN.ini"), "LumenoBlindCopy");
    EXPECT_NE(section.find("\r\nGroup1DestDir=Lumeno\r\n"), std::string::npos);
    EXPECT_EQ(section.find("Group2DestDir"), std::string::npos);  // no files, no key
    EXPECT_EQ(S().BlindCopies(1).Groups(1).DestDir, "Lumeno");
    EXPECT_EQ(S().BlindCopies(1).Groups(2).DestDir, "Lumeno");
    // The file entries keep their own DestDir; only the group's is written.
    EXPECT_EQ(S().BlindCopies(1).Groups(1).Files(1).DestDir, "");
}

// Where a record loaded from `section` is written under `product`, and the DestDir its
// file-less default gives.
struct TargetCase {
    const char* product;  // nullptr: no [Main] Product at all
    const char* section;
    const char* target;
    const char* destDir;
};

void PrintTo(const TargetCase& c, std::ostream* os) {
    *os << (c.product ? c.product : "(no product)") << " / " << c.section << " -> " << c.target;
}

class SaveTargetTest : public InstallerTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(SaveTargetTest, TheProductAndTheSectionChooseWhereACopyListGoes) {
    const TargetCase& c = GetParam();
    if (c.product)
        PutTavin(c.product);
    else
        Put("TAVIN.ini", "[Main]\nTavinVersion=1.2\n");
    S().BlindCopies.Append(Record(c.section, {GroupWithFiles("", {"a.txt"})}));
    ASSERT_TRUE(SaveTavinIni());
    const std::string text = Get("TAVIN.ini");
    const std::string section = SectionOf(text, c.target);
    EXPECT_NE(section.find("NumberOfGroups=1"), std::string::npos) << text;
    EXPECT_NE(section.find(std::string("Group1DestDir=") + c.destDir + "\r\n"), std::string::npos);
    if (std::string(c.target) != c.section) {
        EXPECT_EQ(text.find("[" + std::string(c.section) + "]"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SaveTargetTest,
    ::testing::Values(
        TargetCase{"Tessary Formwell 5.0", "Comp1 BlindCopy", "TessaryBlindCopy", "Tessary"},
        TargetCase{"Tessary Sanctile 5.0", "TessaryBlindCopy", "TessaryBlindCopy", "Tessary"},
        TargetCase{"Tessary Sanctile 5.0", "Comp4 BlindCopy", "AsianLanguageBlindCopy", "Resource"},
        TargetCase{"Tessary Sanctile 5.0", "comp1 blindcopy", "AsianLanguageBlindCopy", "Resource"},
        TargetCase{"Tessary Sanctile 5.0.5", "Comp1 BlindCopy", "Comp1 BlindCopy", ""},
        TargetCase{"TESSARY LUMENO Viewer", "Comp3 BlindCopy", "LumenoBlindCopy", "Lumeno"},
        TargetCase{"Tessary Lumeno 5.0.5", "Comp3 BlindCopy", "Comp3 BlindCopy", ""},
        TargetCase{"Vontu(R) Tessary(R) Fumarel 5.0", "Comp9 BlindCopy", "FumarelBlindCopy",
                   "Fumarl"},
        TargetCase{"Vontu(R) Tessary(R) Fumarel 5.0.5", "Comp9 BlindCopy", "Comp9 BlindCopy", ""},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp6 BlindCopy", "TessaryBlindCopy", "Tessary"},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp11 BlindCopy", "TessaryBlindCopy", "Tessary"},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp7 BlindCopy", "FumarelBlindCopy", "Fumarl"},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp10 BlindCopy", "QuilletBlindCopy", "Tessary"},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp13 BlindCopy", "AccessoriesBlindCopy",
                   "Pagefold"},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp18 BlindCopy", "AsianLanguageBlindCopy",
                   "Resource"},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp19 BlindCopy", "Comp19 BlindCopy", ""},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "Comp01 BlindCopy", "Comp01 BlindCopy", ""},
        TargetCase{"Vontu(R) Tessary(R) 5.0", "TessaryBlindCopy", "TessaryBlindCopy", "Tessary"},
        TargetCase{"vontu(r) tessary(r) 5.0", "Comp1 BlindCopy", "Comp1 BlindCopy", ""},
        TargetCase{nullptr, "Comp1 BlindCopy", "Comp1 BlindCopy", ""}),
    [](const ::testing::TestParamInfo<TargetCase>& testCase) {
        std::string name = "Case" + std::to_string(testCase.index) + "_";
        for (char c : std::string(testCase.param.target))
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
                name += c;
        return name;
    });

TEST_F(SaveTest, RecordsWithOneTargetShareItsNumbering) {
    PutTavin("Vontu(R) Tessary(R) 5.0");
    S().BlindCopies.Append(
        Record("Comp1 BlindCopy", {GroupWithRegEntry("A1"), GroupWithRegEntry("A2")}));
    S().BlindCopies.Append(Record("Comp20 BlindCopy", {GroupWithRegEntry("Own")}));
    S().BlindCopies.Append(Record("Comp2 BlindCopy", {}));
    S().BlindCopies.Append(Record("Comp3 BlindCopy", {GroupWithRegEntry("C1")}));
    Save();
    const std::string text = Get("TAVIN.ini");
    const std::string tessary = SectionOf(text, "TessaryBlindCopy");
    EXPECT_NE(tessary.find("NumberOfGroups=3\r\n"), std::string::npos);
    EXPECT_NE(tessary.find("Group1RegEntry1ValueName=A1\r\n"), std::string::npos);
    EXPECT_NE(tessary.find("Group2RegEntry1ValueName=A2\r\n"), std::string::npos);
    EXPECT_NE(tessary.find("Group3RegEntry1ValueName=C1\r\n"), std::string::npos);
    EXPECT_EQ(tessary.find("Group4"), std::string::npos);
    EXPECT_NE(SectionOf(text, "Comp20 BlindCopy").find("Group1RegEntry1ValueName=Own"),
              std::string::npos);
    // Sections in the order in which records first reach them.
    EXPECT_LT(text.find("[TessaryBlindCopy]"), text.find("[Comp20 BlindCopy]"));

    // A second save of the same model changes nothing.
    const std::string first = text;
    modTAVIN::SetOemInstall(modTAVIN::GetOemInstall());
    Save();
    EXPECT_EQ(Get("TAVIN.ini"), first);
}

TEST_F(SaveTest, CopyListsLoadedByNameMoveIntoTheirTargetOnce) {
    // Without components every copy-list section is loaded; under the viewer's rule all of them
    // are written into one section, so the others give their groups up instead of keeping them.
    PutTavin("Tessary Lumeno 5.0",
             "[LumenoBlindCopy]\nNumberOfGroups=1\nGroup1Platform=All\nGroup1Language=All\n"
             "Group1NumberOfFiles=1\nGroup1DestDir=Lumeno\nGroup1Loc=Src\n"
             "Group1Filename1=a.txt\nGroup1File1ExpandType=Normal\n"
             "[AsianLanguageBlindCopy]\nNumberOfGroups=1\nGroup1Platform=All\nGroup1Language=All\n"
             "Group1NumberOfFiles=1\nGroup1DestDir=Resource\nGroup1Loc=Src\n"
             "Group1Filename1=b.txt\nGroup1File1ExpandType=Normal\nOther=kept\n");
    ASSERT_TRUE(LoadInstaller());
    ASSERT_EQ(S().BlindCopies.Count(), 2);
    modTAVIN::SetOemInstall(modTAVIN::GetOemInstall());
    Save();
    const std::string first = Get("TAVIN.ini");
    const std::string lumeno = SectionOf(first, "LumenoBlindCopy");
    EXPECT_NE(lumeno.find("NumberOfGroups=2\r\n"), std::string::npos);
    EXPECT_NE(lumeno.find("Group2FileName1=b.txt\r\n"), std::string::npos);
    EXPECT_EQ(SectionOf(first, "AsianLanguageBlindCopy"),
              "[AsianLanguageBlindCopy]\r\nNumberOfGroups=0\r\nOther=kept\r\n");

    // Opened and saved again, nothing multiplies.
    ASSERT_TRUE(LoadInstaller());
    EXPECT_EQ(S().BlindCopies(1).Groups.Count() + S().BlindCopies(2).Groups.Count(), 2);
    modTAVIN::SetOemInstall(modTAVIN::GetOemInstall());
    Save();
    EXPECT_EQ(Get("TAVIN.ini"), first);
}

TEST_F(SaveTest, AnEmptyComponentListLeavesItsSectionAlone) {
    PutTavin("Any Product", "[Components]\nComp1=Stale\n");
    LoadInstaller();
    Save();
    EXPECT_EQ(SectionOf(Get("TAVIN.ini"), "Components"), Crlf("[Components]\nComp1=Stale\n"));
}

// ---- The response file --------------------------------------------------------------------------

TEST_F(SaveTest, CountsTheFileDoesNotBackGrowTheSavedFileBoundedly) {
    auto claims = [](int groups) {
        std::string t = "NumberOfGroups=32767\n";
        for (int g = 1; g <= groups; ++g) {
            const std::string p = "Group" + std::to_string(g);
            for (const char* count :
                 {"NumberOfFiles", "NumberOfIcons", "NumberOfRegEntries", "NumberOfIniEntries"})
                t += p + count + "=32767\n";
        }
        return t;
    };
    std::vector<std::pair<const char*, std::string>> files;
    {  // many small sections, each claiming every group and entry
        std::string t = "[Components]\nNUMBER=2000\n";
        for (int c = 1; c <= 2000; ++c)
            t += "[Comp" + std::to_string(c) + " BlindCopy]\n" + claims(1);
        files.emplace_back("sections", t);
    }
    {  // one section whose groups each claim files it does not hold
        std::string t = "[Components]\nNUMBER=1\n[Comp1 BlindCopy]\nNumberOfGroups=32767\n";
        for (int g = 1; g <= 6000; ++g) t += "Group" + std::to_string(g) + "NumberOfFiles=32767\n";
        files.emplace_back("groups", t);
    }
    {  // groups without any key of their own, beside keys that are no copy-list keys
        std::string t = "[Components]\nNUMBER=1\n[Comp1 BlindCopy]\nNumberOfGroups=32767\n";
        for (int i = 0; i < 3000; ++i)
            t += "Padding" + std::to_string(i) + std::string(40, 'k') + "=\n";
        files.emplace_back("no group keys", t);
    }
    {  // copy lists found by name
        std::string t;
        for (int s = 1; s <= 60; ++s) t += "[B" + std::to_string(s) + "BlindCopy]\n" + claims(8);
        files.emplace_back("by name", t);
    }
    for (const auto& [shape, body] : files) {
        SCOPED_TRACE(shape);
        PutTavin("Any Product", body);
        ui.Answer(kivo::MsgResult::OK);  // the message on the lists the load cut
        LoadInstaller();
        ui.answers.clear();
        const std::size_t loaded = Get("TAVIN.ini").size();
        // The counts as read say what the model holds.
        for (const BlindCopy& bc : S().BlindCopies) {
            EXPECT_GE(bc.NumberOfGroups, bc.Groups.Count());
            for (const FileGroup& g : bc.Groups) {
                EXPECT_EQ(g.NumberOfFiles, g.Files.Count());
                EXPECT_EQ(g.NumberOfIcons, g.Icons.Count());
                EXPECT_EQ(g.NumberOfRegEntries, g.RegEntries.Count());
                EXPECT_EQ(g.NumberOfIniEntries, g.IniEntries.Count());
            }
        }
        S().Modified = true;
        ui.ClearLog();
        Save();
        // The empty entries the counts promise add at most the file's size plus 1 MB; the keys
        // that the groups the file holds lack (platform, language, destination) come on top.
        EXPECT_LE(Get("TAVIN.ini").size(), 4 * loaded + 1024 * 1024) << loaded << " bytes loaded";
    }
}

TEST_F(SaveTest, AResponseFileThatIsNoLongerWantedGoesOnlyWhenItNamesTheApplication) {
    PutTavin("Any Product");
    LoadInstaller();
    S().OemSettings.Iss.WriteResponseFile = false;
    Put("Setup.iss", "[Application]\nName=\nLang=0009\n");
    Save();
    EXPECT_TRUE(fs::exists(InDir("Setup.iss")));
    Put("Setup.iss", "[Application]\nName=Tessary\n");
    Save();
    EXPECT_FALSE(fs::exists(InDir("Setup.iss")));
    Save();  // and without one nothing happens
    EXPECT_FALSE(fs::exists(InDir("Setup.iss")));
}

TEST_F(SaveTest, TheResponseFileKeepsItsOwnSectionsAndTheSelectedLanguage) {
    PutTavin("Any Product");
    Put("Setup.iss", "[InstallShield Silent]\nVersion=v5.00.000\n[SdWelcome-0]\nResult=1\n"
                     "[Application]\nName=Tessary\nLang=0011\n");
    LoadInstaller();
    IssSettings& iss = S().OemSettings.Iss;
    iss.Languages.Clear();
    iss.Languages.Append({"English", "0009"});
    iss.SelectedLanguage = 0;  // element 0 is always empty
    Save();
    EXPECT_EQ(Get("Setup.iss"),
              Crlf("[InstallShield Silent]\nVersion=v5.00.000\nFile=Response File\n"
                   "[SdWelcome-0]\nResult=1\n"
                   "[Application]\nName=Tessary\nLang=\nVersion=5.0\nCompany=Vontu\n"
                   "[File Transfer]\nOverwriteReadOnly=YesToAll\n[DlgOrder]\nCount=0\n"));
}

// The language asked for cannot be written: the save fails whole, with the message it always
// gave, and nothing reaches the disk.
TEST_F(SaveTest, ASelectedLanguageOutOfBoundsFailsTheWholeSave) {
    for (int16_t selected : {int16_t{2}, int16_t{-1}}) {
        PutTavin("Any Product", "[OEM Install]\nSetupTitle=Old\n");
        Put("Setup.iss", "[Application]\nName=Tessary\nLang=0011\n");
        const std::string tavinBefore = Get("TAVIN.ini"), issBefore = Get("Setup.iss");
        LoadInstaller();
        S().OemSettings.SetupTitle = "New";
        IssSettings& iss = S().OemSettings.Iss;
        iss.Languages.Clear();
        iss.Languages.Append({"English", "0009"});
        iss.SelectedLanguage = selected;
        EXPECT_FALSE(SaveTavinIni());
        EXPECT_TRUE(S().Modified);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Error in Write_ISSFile Selected item out of bounds.");
        EXPECT_EQ(ui.messages[0].title, "KIVO");
        EXPECT_EQ(ui.messages[0].buttons, kivo::MsgButtons::OK);
        EXPECT_EQ(Get("TAVIN.ini"), tavinBefore);
        EXPECT_EQ(Get("Setup.iss"), issBefore);
        EXPECT_FALSE(fs::exists(InDir("Tavin.old")));
        ui.ClearLog();
    }
}

// ---- Saves that fail ----------------------------------------------------------------------------

class SaveFailureTest : public SaveTest {
protected:
    // A loaded installer with a response file, a copy list whose group's DestDir the save would
    // fill in, and a change to save.
    void SetUp() override {
        PutKivo("[LANGUAGES]\n0009=English\n");
        PutTavin("Tessary Lumeno 5.0",
                 "[OEM Install]\nSetupTitle=Old\n"
                 "[LumenoBlindCopy]\nNumberOfGroups=1\nGroup1Platform=All\nGroup1Language=All\n"
                 "Group1NumberOfFiles=1\nGroup1DestDir=\nGroup1Loc=L\nGroup1Filename1=a.txt\n"
                 "Group1File1ExpandType=Normal\n");
        Put("Setup.iss", "[Application]\nName=Tessary\nLang=0009\n");
        LoadInstaller();
        OemInstall o = modTAVIN::GetOemInstall();
        o.SetupTitle = "New";
        modTAVIN::SetOemInstall(o);
        tavinBefore = Get("TAVIN.ini");
        issBefore = Get("Setup.iss");
        modelBefore = S().BlindCopies;
    }

    // The save fails with one message naming `file`, and nothing is changed but Tavin.old.
    void ExpectFailureNaming(const std::string& file) {
        EXPECT_FALSE(SaveTavinIni());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(kivo::platform::ContainsIgnoreAsciiCase(ui.messages[0].text, file))
            << ui.messages[0].text;
        EXPECT_EQ(ui.messages[0].title, "KIVO");
        EXPECT_EQ(ui.messages[0].buttons, kivo::MsgButtons::OK);
        EXPECT_TRUE(S().Modified);
        EXPECT_EQ(S().BlindCopies, modelBefore);  // no default DestDir, no new counts
        EXPECT_EQ(Get("TAVIN.ini"), tavinBefore);
        EXPECT_EQ(Get("Setup.iss"), issBefore);
    }

    std::string tavinBefore, issBefore;
    OneBasedList<BlindCopy> modelBefore;
};

TEST_F(SaveFailureTest, TavinIniGone) {
    fs::remove(InDir("TAVIN.ini"));
    tavinBefore.clear();
    ExpectFailureNaming("TAVIN.ini");
    EXPECT_FALSE(fs::exists(InDir("TAVIN.ini")));
    EXPECT_FALSE(fs::exists(InDir("Tavin.old")));
}

TEST_F(SaveFailureTest, BackupImpossible) {
    fs::create_directories(InDir("Tavin.old") + "/in the way");
    ExpectFailureNaming("Tavin.old");
}

TEST_F(SaveFailureTest, ReadOnlyResponseFileToWrite) {
    kivo::fileops::SetReadOnly(InDir("Setup.iss"), true);
    ExpectFailureNaming("Setup.iss");
    EXPECT_FALSE(fs::exists(InDir("Tavin.old")));  // refused before anything was touched
}

TEST_F(SaveFailureTest, ReadOnlyResponseFileToDelete) {
    S().OemSettings.Iss.WriteResponseFile = false;
    kivo::fileops::SetReadOnly(InDir("Setup.iss"), true);
    ExpectFailureNaming("Setup.iss");
    EXPECT_EQ(kivo::fileops::IsReadOnly(InDir("Setup.iss")), kivo::fileops::ReadOnly::Yes);
}

TEST_F(SaveFailureTest, AValueThatCannotBeWritten) {
    S().OemSettings.UserName = "two\r\nlines";
    ExpectFailureNaming("TAVIN.ini");
    EXPECT_NE(ui.messages[0].text.find("UserName"), std::string::npos);
}

TEST_F(SaveFailureTest, ReadOnlyTavinIniStaysReadOnlyAfterAFailure) {
    kivo::fileops::SetReadOnly(InDir("TAVIN.ini"), true);
    S().OemSettings.UserName = "two\r\nlines";
    ExpectFailureNaming("TAVIN.ini");
    EXPECT_EQ(kivo::fileops::IsReadOnly(InDir("TAVIN.ini")), kivo::fileops::ReadOnly::Yes);
}

// Files may grow to `bytes` at most for the life of the object: a full disk for the writer.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(SaveFailureTest, TavinIniCannotBeWrittenWhole) {
    for (int i = 0; i < 50; ++i)
        S().Launches.Append(
            {"All", "All", "EXE", "program" + std::to_string(i) + ".exe", "", "", "YES"});
    FileSizeLimit limit(tavinBefore.size() + 100);
    ExpectFailureNaming("TAVIN.ini");
    EXPECT_EQ(ui.messages[0].text.find("Setup.iss"), std::string::npos);
}

TEST_F(SaveFailureTest, SetupIssCannotBeWrittenWholeAfterTavinIni) {
    // A response file larger than the settings file; the limit lets TAVIN.ini through only.
    std::string big = "[Application]\nName=Tessary\nLang=0009\n[Notes]\n";
    for (int i = 0; i < 400; ++i) big += "Note" + std::to_string(i) + "=kept as it is\n";
    Put("Setup.iss", big);
    issBefore = Get("Setup.iss");
    FileSizeLimit limit(tavinBefore.size() + 1000);
    ExpectFailureNaming("Setup.iss");
}

// Wherever a save fails, before the commit or while it prepares the files, the backup of the
// save before it stays.
TEST_F(SaveFailureTest, AFailedSaveKeepsThePreviousBackup) {
    Put("Tavin.old", "[Main]\nProduct=the save before\n");
    const std::string backup = Get("Tavin.old");
    auto expectKept = [&](const char* cause) {
        SCOPED_TRACE(cause);
        EXPECT_FALSE(SaveTavinIni());
        EXPECT_TRUE(S().Modified);
        EXPECT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(Get("Tavin.old"), backup);
        EXPECT_EQ(Get("TAVIN.ini"), tavinBefore);
        ui.ClearLog();
    };

    S().OemSettings.UserName = "two\r\nlines";
    expectKept("a value that cannot be written");
    S().OemSettings.UserName.clear();

    S().OemSettings.Iss.SelectedLanguage = 9;
    expectKept("a language out of bounds");
    S().OemSettings.Iss.SelectedLanguage = 1;

    fs::remove(InDir("Setup.iss"));
    fs::create_directory(InDir("Setup.iss"));
    expectKept("Setup.iss is a directory");
    fs::remove(InDir("Setup.iss"));
    Put("Setup.iss", "[Application]\nName=Tessary\nLang=0009\n");

    for (int i = 0; i < 50; ++i)
        S().Launches.Append(
            {"All", "All", "EXE", "program" + std::to_string(i) + ".exe", "", "", "YES"});
    {
        FileSizeLimit limit(tavinBefore.size() + 100);
        expectKept("TAVIN.ini cannot be written whole");
    }
    ASSERT_TRUE(SaveTavinIni());  // and a save that succeeds does replace it
    EXPECT_EQ(Get("Tavin.old"), tavinBefore);
}

// ---- Messages -----------------------------------------------------------------------------------

TEST_F(SaveTest, FailureMessagesSayWhatIsWrongWithWhichFileOrName) {
    PutTavin("Any Product");
    LoadInstaller();
    auto failure = [&] {
        EXPECT_FALSE(SaveTavinIni());
        EXPECT_EQ(ui.messages.size(), 1u);
        const std::string text = ui.messages.empty() ? "" : ui.messages[0].text;
        ui.ClearLog();
        return text;
    };
    const std::string head = "The installer was not saved.\n";

    fs::create_directory(InDir("Setup.iss"));
    S().OemSettings.Iss.WriteResponseFile = true;
    S().OemSettings.Iss.SelectedLanguage = 0;
    EXPECT_EQ(failure(), head + InDir("Setup.iss") + ": it is a directory.");
    fs::remove(InDir("Setup.iss"));

    S().BlindCopies.Append(Record("Comp1\nBlindCopy", {GroupWithRegEntry("Level")}));
    EXPECT_EQ(failure(), head + InDir("TAVIN.ini") +
                             ": the section name \"Comp1<LF>BlindCopy\" holds a line break.");
    S().BlindCopies.Clear();

    // The message has no line break but its own, whatever the name holds.
    S().OemSettings.RemoveShortcuts.Append({"Old\r\nTools\x01", true});
    EXPECT_EQ(failure(), head + InDir("TAVIN.ini") +
                             ": the key name \"Old<CR><LF>Tools<SOH>\" in [OEM Remove Shortcut] "
                             "holds a line break.");
}

// ---- What a save leaves on disk -----------------------------------------------------------------

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(SaveTest, ASaveThatChangesNothingWritesOnlyTheBackup) {
    PutKivo("[LANGUAGES]\n0009=English\n");
    Put("Setup.lid", "[Languages]\ncount=1\nDefault=0009\nkey0=0009\n");
    PutTavin("Any Product", "[OEM Install]\nSetupTitle=Title\n");
    Put("Setup.iss", "[Application]\nName=Tessary\nLang=0009\n");
    LoadInstaller();
    Save();  // brings both files into the save's form
    const std::string tavin = Get("TAVIN.ini"), iss = Get("Setup.iss");
    const ino_t tavinInode = InodeOf(InDir("TAVIN.ini")), issInode = InodeOf(InDir("Setup.iss"));
    fs::remove(InDir("Tavin.old"));

    LoadInstaller();
    S().Modified = true;
    Save();
    EXPECT_EQ(InodeOf(InDir("TAVIN.ini")), tavinInode);
    EXPECT_EQ(InodeOf(InDir("Setup.iss")), issInode);
    EXPECT_EQ(Get("TAVIN.ini"), tavin);
    EXPECT_EQ(Get("Setup.iss"), iss);
    EXPECT_EQ(Get("Tavin.old"), tavin);

    // A change to one file replaces that file only.
    S().OemSettings.SetupTitle = "Other";
    Save();
    EXPECT_NE(InodeOf(InDir("TAVIN.ini")), tavinInode);
    EXPECT_EQ(InodeOf(InDir("Setup.iss")), issInode);
    EXPECT_EQ(Get("Tavin.old"), tavin);
}

// Every entry of a folder but `leftOut`, with its owner, mode, inode and bytes: what a failed
// save leaves as it was.
std::map<std::string, std::string> Snapshot(const std::string& folder,
                                            const std::string& leftOut = "") {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder)) {
        struct stat st {};
        stat(e.path().c_str(), &st);
        if (e.path().filename() != leftOut)
            files[e.path().filename()] = std::to_string(st.st_uid) + " " +
                                         std::to_string(st.st_mode & 07777) + " " +
                                         std::to_string(st.st_ino) + " " + ReadFileBytes(e.path());
    }
    return files;
}

// A save that fails with the one message "The installer was not saved.\n" + `message`.
void ExpectNotSaved(FakeUi& ui, const std::string& message) {
    EXPECT_FALSE(SaveTavinIni());
    EXPECT_TRUE(S().Modified);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages.empty() ? "" : ui.messages[0].text,
              "The installer was not saved.\n" + message);
    ui.ClearLog();
}

// The commit's test seams, removed when the object ends.
struct CommitSeams {
    ~CommitSeams() {
        kivo::platform::testing::SetRenameFault({});
        kivo::platform::testing::SetBeforeCommitCheck({});
        kivo::platform::testing::SetAfterKeep({});
    }
};

// A rename that fails after every check (an I/O error, a security module's denial) has the
// renames before it put back: the files are as they were, each the same file as before. Should
// one not go back, the undo goes on, and the message names where that file's content is kept.
TEST_F(SaveFailureTest, ARenameThatFailsAfterAllPutsBackTheRenamesBeforeIt) {
    Put("Tavin.old", "[Main]\nProduct=the save before\n");
    const std::string io = "Input/output error";
    struct Case {
        const char* failing;  // the file whose rename fails
        bool deleteIss, undoFails;
    };
    CommitSeams seams;
    std::string kept;
    for (const Case c : {Case{"TAVIN.ini", false, false}, Case{"Setup.iss", false, false},
                         Case{"Setup.iss", true, false}, Case{"Setup.iss", true, true}}) {
        SCOPED_TRACE(std::string(c.failing) + (c.deleteIss ? " deleted" : "") +
                     (c.undoFails ? ", TAVIN.ini not put back" : ""));
        S().OemSettings.Iss.WriteResponseFile = !c.deleteIss;
        const std::string leftOut = c.undoFails ? "TAVIN.ini" : "";
        const auto before = Snapshot(dir.path(), leftOut);
        std::map<std::string, int> renames;
        kivo::platform::testing::SetRenameFault([&](const std::string& target) {
            const std::string name = kivo::platform::LastComponent(target);
            const int nth = ++renames[name];
            return (name == c.failing && nth == 1) || (name == leftOut && nth == 2) ? EIO : 0;
        });
        EXPECT_FALSE(SaveTavinIni());
        auto after = Snapshot(dir.path(), leftOut);
        for (const auto& [name, stamp] : after)
            if (c.undoFails && name.find(".kivo-kept-") != std::string::npos) kept = name;
        after.erase(kept);
        EXPECT_EQ(after, before);
        std::string message = "The installer was not saved.\n" + InDir(c.failing) + ": " + io;
        if (c.undoFails)
            message += "; " + InDir(leftOut) + " could not be put back (" + io +
                       "); its previous content is kept as " + InDir(kept);
        EXPECT_EQ(ui.Texts(), std::vector<std::string>{message + "."});
        ui.ClearLog();
    }
    kivo::platform::testing::SetRenameFault({});
    ASSERT_TRUE(modTAVIN::OpenInstallerDir(dir.path()));
    EXPECT_EQ(Get(kept), tavinBefore);
}

// Another program's change that lands while the save prepares its files is seen by the last
// look right before the renames, a change of the change time alone too; nothing is replaced.
TEST_F(SaveFailureTest, AChangeByAnotherProgramDuringTheCommitIsNeverOverwritten) {
    Put("Tavin.old", "[Main]\nProduct=the save before\n");
    const std::string tavin = InDir("TAVIN.ini");
    std::string sameSize = tavinBefore;
    sameSize.replace(sameSize.find("=Old"), 4, "=Odd");
    struct Change {
        const char* what;
        std::string theirs;
        mode_t mode;
        bool afterKeep;
    };
    CommitSeams seams;
    for (const Change& c : {Change{"grown", tavinBefore + "Note=theirs\r\n", 0644, false},
                            Change{"same size", sameSize, 0644, false},
                            Change{"same size after the keep", sameSize, 0644, true},
                            Change{"chmod after the keep", tavinBefore, 0600, true}}) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(tavin, tavinBefore);
        chmod(tavin.c_str(), 0644);
        TakeFilesAsOpened();
        const auto before = Snapshot(dir.path(), "TAVIN.ini");
        auto change = [&] {
            struct stat st {};
            stat(tavin.c_str(), &st);
            WriteFileBytes(tavin, c.theirs);
            chmod(tavin.c_str(), c.mode);
            // The modification time put back: of a same-size edit only the change time tells.
            const timespec times[2] = {st.st_atim, st.st_mtim};
            utimensat(AT_FDCWD, tavin.c_str(), times, 0);
        };
        kivo::platform::testing::SetBeforeCommitCheck([&] {
            if (!c.afterKeep) change();
        });
        kivo::platform::testing::SetAfterKeep([&](const std::string& target) {
            if (c.afterKeep && target == tavin) change();
        });
        ExpectNotSaved(ui, tavin + ": The file was changed by another program.");
        EXPECT_EQ(Snapshot(dir.path(), "TAVIN.ini"), before);
        EXPECT_EQ(Get("TAVIN.ini"), c.theirs);
    }
}

// A file the system keeps from being replaced or removed is refused before anything is renamed,
// in plain words.
TEST_F(SaveFailureTest, ImmutableAndAppendOnlyFilesAndFoldersAreRefusedUpFront) {
    Put("Tavin.old", "[Main]\nProduct=the save before\n");
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {InDir("TAVIN.ini"), FS_IMMUTABLE_FL, InDir("TAVIN.ini") + ": it is immutable."},
        {InDir("Setup.iss"), FS_APPEND_FL, InDir("Setup.iss") + ": it is append-only."},
        {InDir("Tavin.old"), FS_IMMUTABLE_FL,
         InDir("Tavin.old") + ": the backup cannot be written: it is immutable."},
        {dir.path(), FS_APPEND_FL, InDir("TAVIN.ini") + ": its folder is append-only."}};
    for (const auto& [path, flag, message] : cases) {
        const auto before = Snapshot(dir.path());
        FileFlag flagged(path, flag);
        if (!flagged.set()) GTEST_SKIP() << "cannot set file flags here";
        ExpectNotSaved(ui, message);
        EXPECT_EQ(Snapshot(dir.path()), before);
    }
}

// The process id of a process that has ended.
pid_t EndedProcess() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

TEST_F(SaveTest, OpenAndSaveRemoveOnlyTheTemporaryFilesOfEndedSaves) {
    PutTavin("Any Product");
    char hostName[256] = {};
    gethostname(hostName, sizeof hostName - 1);
    const std::string host = hostName;
    const std::string endedPid = std::to_string(EndedProcess());
    const std::string ended = host + "-" + endedPid;
    const std::string running = host + "-" + std::to_string(getppid());
    const std::string self = host + "-" + std::to_string(getpid());
    const std::vector<std::string> stale = {
        ".TAVIN.ini.kivo-" + ended + "-0", ".Setup.iss.kivo-" + ended + "-17",
        ".Tavin.old.kivo-" + ended + "-3", ".tavin.INI.kivo-" + ended + "-3"};
    const std::vector<std::string> kept = {
        ".TAVIN.ini.kivo-" + running + "-0", ".TAVIN.ini.kivo-" + self + "-1",
        "TAVIN.ini.kivo-" + ended + "-0", ".TAVIN.ini.kivo-" + host + "-0" + endedPid + "-0",
        ".TAVIN.ini.kivo-" + ended + "-", ".TAVIN.ini.kivo-" + ended + "-1x",
        ".TAVIN.ini.kivo-" + ended + "-1.bak", ".kivo-" + ended + "-1", ".TAVIN.ini.kivo-" + ended,
        ".TAVIN.ini.kivo--" + ended + "-1", "Tavin.ini.kivo-new",
        // another machine's save, live or not, in a shared folder
        ".TAVIN.ini.kivo-nas-2.example.org-" + endedPid + "-0", ".TAVIN.ini.kivo-x" + ended + "-0",
        ".TAVIN.ini.kivo-" + endedPid + "-0",
        // a file the save never writes
        ".My Notes.kivo-" + ended + "-12", ".TAVIN.ini.bak.kivo-" + ended + "-1"};
    for (const std::string& name : stale) WriteFileBytes(InDir(name), "left by a killed save");
    for (const std::string& name : kept) WriteFileBytes(InDir(name), "not ours to remove");
    // Only regular files are ever ours.
    fs::create_directory(InDir(".Setup.iss.kivo-" + ended + "-2"));
    fs::create_symlink("TAVIN.ini", InDir(".Tavin.old.kivo-" + ended + "-4"));

    ASSERT_TRUE(modTAVIN::OpenInstallerDir(dir.path()));
    for (const std::string& name : stale) EXPECT_FALSE(fs::exists(InDir(name))) << name;
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(InDir(name))) << name;
    EXPECT_TRUE(fs::is_directory(InDir(".Setup.iss.kivo-" + ended + "-2")));
    EXPECT_TRUE(fs::is_symlink(InDir(".Tavin.old.kivo-" + ended + "-4")));

    WriteFileBytes(InDir(stale[0]), "left by another killed save");
    LoadInstaller();
    Save();
    EXPECT_FALSE(fs::exists(InDir(stale[0])));
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(InDir(name))) << name;
}

TEST_F(SaveFailureTest, AFolderRenamedHalfwayStillGetsTheWholeCommit) {
    Put("Tavin.old", "[Main]\nProduct=the save before\n");
    const std::string moved = dir.path() + "-moved";
    const std::size_t files = Snapshot(dir.path()).size();
    CommitSeams seams;
    kivo::platform::testing::SetRenameFault([&](const std::string& target) {
        if (kivo::platform::LastComponent(target) == "TAVIN.ini" && !fs::exists(moved))
            fs::rename(dir.path(), moved);
        return 0;
    });
    EXPECT_TRUE(SaveTavinIni());
    fs::rename(moved, dir.path());
    EXPECT_EQ(Get("Tavin.old"), tavinBefore);
    EXPECT_EQ(Snapshot(dir.path()).size(), files);  // nothing kept, no temporary file
}

// A copy list or a product listed past the buffer of the INI functions is found: the save keeps
// its files, the open does not import its factory values again.
TEST_F(SaveTest, NameListsPastTheBufferAreReadWhole) {
    auto group = [](const std::string& file) {
        return "NumberOfGroups=1\nGroup1Platform=All\nGroup1Language=All\nGroup1DestDir=Lumeno\n"
               "Group1Loc=Src\nGroup1NumberOfFiles=1\nGroup1Filename1=" +
               file + "\n";
    };
    auto saved = [&](const char* section) {
        LoadInstaller();
        S().Modified = true;
        Save();
        return SectionOf(Get("TAVIN.ini"), section);
    };
    std::string sections = "[Comp1 BlindCopy]\n" + group("early");
    for (int i = 1; i <= 45; ++i)
        sections += "[A section with a long name " + std::to_string(i) + "]\nKey=1\n";
    PutTavin("Tessary Lumeno 5.0", sections + "[LumenoBlindCopy]\n" + group("late"));
    const std::string lumeno = saved("LumenoBlindCopy");
    for (const char* file : {"=early\r", "=late\r"})
        EXPECT_NE(lumeno.find(file), std::string::npos) << lumeno;

    // A section the load does not read (a component list's target) keeps the keys not written.
    PutTavin("Vontu(R) Tessary(R) 5.0",
             "[Components]\nNUMBER= 1\nComp1=Core\n[Comp1 BlindCopy]\n" + group("core") +
                 "[TessaryBlindCopy]\nNumberOfGroups=2\nGroup2Filename1=factory\n");
    const std::string tessary = saved("TessaryBlindCopy");
    for (const char* line : {"Group1FileName1=core\r", "Group2Filename1=factory\r"})
        EXPECT_NE(tessary.find(line), std::string::npos) << tessary;

    std::string kivo = "[LANGUAGES]\n0009=English\n";
    for (int i = 1; i <= 50; ++i)
        kivo += "[Vontu(R) Tessary(R) Product " + std::to_string(i) + "]\nSetupTitle=Factory\n";
    PutKivo(kivo);
    PutTavin("Vontu(R) Tessary(R) Product 50");
    EXPECT_TRUE(modTAVIN::KivoHasProductSection());
}

// The tool's own changes never ask; the saves write and back up TAVIN.ini as the load spelled it.
TEST_F(SaveTest, AChangeByAnotherProgramSinceTheOpenIsWrittenOverOnlyWhenTheUserSaysSo) {
    PutKivo("[LANGUAGES]\n0009=English\n");
    Put("TAVIN.ini", "[Main]\nTavinVersion=1.1\nProduct=Vontu(R) Tessary(R) Morvine 1.0\n");
    Put("Setup.iss", "[Application]\nName=Tessary\nLang=0009\n");
    WriteFileBytes(exeDir / "UpdateMorvine1.ini", Crlf("[Main]\nTavinVersion=1.2\nProduct=\n"));
    ASSERT_TRUE(modTAVIN::OpenInstallerDir(dir.path()));
    LoadInstaller();
    ui.Answer(kivo::MsgResult::Yes);  // the update after the load, as the open road makes it
    ASSERT_TRUE(modTAVIN::CheckInstallerVersion(dir.path()));
    ui.ClearLog();
    S().Modified = true;
    Save();

    // Their change of a line that the next save writes again.
    for (const auto& [name, line] :
         {std::pair{"TAVIN.ini", "UserName=\r\n"}, std::pair{"Setup.iss", "Lang=0009\r\n"}}) {
        SCOPED_TRACE(name);
        std::string text = Get(name);
        WriteFileBytes(InDir(name), text.replace(text.find(line), 4, "Theirs"));
        const auto before = Snapshot(dir.path());
        S().Modified = true;
        ui.Answer(kivo::MsgResult::No);
        EXPECT_FALSE(SaveTavinIni());
        EXPECT_TRUE(S().Modified);
        EXPECT_EQ(Snapshot(dir.path()), before);
        ui.Answer(kivo::MsgResult::Yes);
        EXPECT_TRUE(SaveTavinIni());
        const std::string question = InDir(name) + " was changed by another program after it "
                                                   "was opened. Save your changes over it?";
        EXPECT_EQ(ui.Texts(), std::vector<std::string>({question, question}));
        EXPECT_EQ(ui.messages[0].buttons, kivo::MsgButtons::YesNo);
        ui.ClearLog();
    }

    fs::rename(InDir("TAVIN.ini"), InDir("tavin.ini"));
    ASSERT_TRUE(modTAVIN::OpenInstallerDir(dir.path()));
    LoadInstaller();
    WriteFileBytes(InDir("TAVIN.ini"), "another file");
    S().Modified = true;
    Save();
    EXPECT_EQ(Get("Tavin.old"), Get("tavin.ini"));
    EXPECT_EQ(Get("TAVIN.ini"), "another file");
}

// ---- A file this user may not write -------------------------------------------------------------

constexpr uid_t kNobody = kNobodyId;

struct OwnedFile {
    std::string name;
    uid_t owner;
    mode_t mode;
    std::string lfText;
};

// An installer directory owned by an unprivileged user, with files of the given owners, saved
// by that user in a child process. Needs root for the ownerships and the change of ids.
class ForeignFilesTest : public SaveTest {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
        // mkdtemp makes the test's folder 0700; the user must reach the installer inside it.
        chmod(dir.path().c_str(), 0711);
        if (const std::string why = ClosedToOthers(dir.path()); !why.empty()) GTEST_SKIP() << why;
        inst = dir / "inst";
        fs::create_directory(inst);
        ASSERT_EQ(chown(inst.c_str(), kNobody, kNobody), 0);
        PutKivo("[LANGUAGES]\n0009=English\n");
        modTAVIN::State& s = S();
        s.InstallerDir = inst;
        s.TavinIniPath = modTAVIN::PathIn(inst, "Tavin.ini");
        s.SetupIssPath = modTAVIN::PathIn(inst, "Setup.iss");
        s.SetupLidPath = modTAVIN::PathIn(inst, "Setup.lid");
        s.OemSettings.Product = "Any Product";
    }

    // The installer's files (Setup.lid, which is only read, besides them).
    void Make(std::vector<OwnedFile> files) {
        for (const std::string& name : Names()) fs::remove(inst + "/" + name);
        files.push_back({"Setup.lid", 0, 0644, "[Languages]\ncount=1\nDefault=0009\nkey0=0009\n"});
        for (const OwnedFile& f : files) {
            const std::string path = inst + "/" + f.name;
            WriteFileBytes(path, Crlf(f.lfText));
            ASSERT_EQ(chown(path.c_str(), f.owner, f.owner), 0);
            ASSERT_EQ(chmod(path.c_str(), f.mode), 0);
        }
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(inst)) names.push_back(e.path().filename());
        return names;
    }

    // Loads, changes and saves as the user; whether it saved, and the messages shown.
    std::pair<bool, std::string> SaveAsUser(bool asRoot = false) {
        const std::string out = InChildProcess(
            [&] {
                LoadInstaller();
                S().OemSettings.SetupTitle = "Saved by the user";
                S().Modified = true;
                std::string report = SaveTavinIni() ? "saved" : "failed";
                for (const auto& m : ui.messages) report += "|" + m.text;
                return report;
            },
            !asRoot);
        EXPECT_NE(out, "child hung");
        const bool saved = out.rfind("saved", 0) == 0;
        return {saved,
                out.substr(out.find('|') == std::string::npos ? out.size() : out.find('|') + 1)};
    }

    // Owner, group, mode and bytes of a file of the installer.
    std::string Stamp(const std::string& name) const {
        struct stat st {};
        if (stat((inst + "/" + name).c_str(), &st) != 0) return "missing";
        return std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " " +
               std::to_string(st.st_mode & 07777) + " " + ReadFileBytes(inst + "/" + name);
    }

    std::string inst;
    const std::string tavinText = "[Main]\nTavinVersion=1.2\nProduct=Any Product\n";
    const std::string issText = "[Application]\nName=Tessary\nLang=0009\n";
};

TEST_F(ForeignFilesTest, AFileTheUserMayNotWriteIsNeverReplaced) {
    const std::string head = "The installer was not saved.\n";
    struct Case {
        const char* what;
        std::vector<OwnedFile> files;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"root's TAVIN.ini",
         {{"TAVIN.ini", 0, 0644, tavinText}, {"Setup.iss", kNobody, 0644, issText}},
         head + inst + "/TAVIN.ini: this user may not write it (Permission denied)."},
        {"root's read-only TAVIN.ini, whose attribute the user cannot clear",
         {{"TAVIN.ini", 0, 0444, tavinText},
          {"Setup.iss", kNobody, 0644, issText},
          {"Tavin.old", kNobody, 0644, "[Main]\nProduct=older\n"}},
         head + inst + "/TAVIN.ini: this user may not write it (Permission denied)."},
        {"root's Setup.iss",
         {{"TAVIN.ini", kNobody, 0644, tavinText}, {"Setup.iss", 0, 0644, issText}},
         head + inst + "/Setup.iss: this user may not write it (Permission denied)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Make(c.files);
        std::vector<std::string> before;
        for (const OwnedFile& f : c.files) before.push_back(Stamp(f.name));
        const auto [saved, messages] = SaveAsUser();
        EXPECT_FALSE(saved);
        EXPECT_EQ(messages, c.message);
        for (std::size_t i = 0; i < c.files.size(); ++i)
            EXPECT_EQ(Stamp(c.files[i].name), before[i]);
        EXPECT_EQ(Names().size(), c.files.size() + 1);  // no backup, no temporary file
    }

    // Where the user may write, the files keep their owner, group and mode.
    Make({{"TAVIN.ini", kNobody, 0640, tavinText}, {"Setup.iss", kNobody, 0600, issText}});
    const auto [saved, messages] = SaveAsUser();
    EXPECT_TRUE(saved) << messages;
    const std::string owner = std::to_string(kNobody) + ":" + std::to_string(kNobody) + " ";
    EXPECT_EQ(Stamp("TAVIN.ini").substr(0, owner.size() + 4), owner + std::to_string(0640) + " ");
    EXPECT_NE(Stamp("TAVIN.ini").find("SetupTitle=Saved by the user"), std::string::npos);
    EXPECT_EQ(Stamp("Setup.iss").substr(0, owner.size() + 4), owner + std::to_string(0600) + " ");
    EXPECT_EQ(Stamp("Tavin.old"), owner + std::to_string(0640) + " " + Crlf(tavinText));
}

// In a folder with the sticky bit only the owner of a file, or of the folder, may replace or
// delete it, whatever the file's permission bits: such a save is refused before any rename.
// Tavin.old is the tool's own: another user's, read-only, is replaced wherever the folder lets
// the user delete it and make it anew.
TEST_F(ForeignFilesTest, AFileTheFolderKeepsFromTheUserStopsTheSaveBeforeAnyRename) {
    const std::string older = "[Main]\nProduct=older\n";
    auto make = [&](const OwnedFile& foreign) {
        std::vector<OwnedFile> files = {{"TAVIN.ini", kNobody, 0640, tavinText},
                                        {"Setup.iss", kNobody, 0644, issText},
                                        {"Tavin.old", kNobody, 0644, older}};
        for (OwnedFile& f : files)
            if (f.name == foreign.name) f = foreign;
        Make(files);
    };
    ASSERT_EQ(chown(inst.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(inst.c_str(), 01777), 0);
    const std::vector<std::pair<OwnedFile, std::string>> cases = {
        {{"TAVIN.ini", 0, 0666, tavinText}, "TAVIN.ini"},
        {{"Setup.iss", 0, 0666, issText}, "Setup.iss"},
        {{"Tavin.old", 0, 0444, older}, "Tavin.old: the backup cannot be written"}};
    for (const auto& [foreign, file] : cases) {
        make(foreign);
        const auto before = Snapshot(inst);
        const auto [saved, messages] = SaveAsUser();
        EXPECT_FALSE(saved);
        EXPECT_EQ(messages, "The installer was not saved.\n" + inst + "/" + file +
                                ": the folder has the sticky bit and this user owns neither the "
                                "file nor the folder.");
        EXPECT_EQ(Snapshot(inst), before);
    }

    ASSERT_EQ(chmod(inst.c_str(), 0777), 0);
    for (const mode_t mode : {0644, 0444, 0400}) {
        make({"Tavin.old", 0, mode, older});
        EXPECT_TRUE(SaveAsUser().first) << mode;
        EXPECT_EQ(Stamp("Tavin.old"), std::to_string(kNobody) + ":" + std::to_string(kNobody) +
                                          " " + std::to_string(0640) + " " + Crlf(tavinText));
        EXPECT_EQ(Names().size(), 4u);  // the three files and Setup.lid: no temporary file
    }
}

// Wherever deleting the name and making it anew is allowed; what the link pointed to stays.
TEST_F(ForeignFilesTest, ASymbolicLinkAtTheBackupIsReplacedNeverFollowed) {
    const std::string old = inst + "/Tavin.old";
    WriteFileBytes(dir / "victim.txt", "not the tool's\n");
    ASSERT_EQ(chmod((dir / "victim.txt").c_str(), 0600), 0);
    const std::string victim = Stamp("../victim.txt");
    ASSERT_EQ(chown(inst.c_str(), 0, 0), 0);
    // Where the link points, whether root saves, the mode of root's folder, the link's owner.
    const std::vector<std::tuple<std::string, bool, mode_t, uid_t>> cases = {
        {"../victim.txt", true, 0755, 0},
        {"../victim.txt", false, 0777, 0},
        {"TAVIN.ini", false, 01777, kNobody}};
    for (const auto& [link, asRoot, folderMode, linkOwner] : cases) {
        SCOPED_TRACE(link + (asRoot ? " as root" : " as the user"));
        ASSERT_EQ(chmod(inst.c_str(), folderMode), 0);
        Make({{"TAVIN.ini", kNobody, 0640, tavinText}, {"Setup.iss", kNobody, 0644, issText}});
        fs::create_symlink(link, old);
        ASSERT_EQ(lchown(old.c_str(), linkOwner, linkOwner), 0);
        const auto [saved, messages] = SaveAsUser(asRoot);
        EXPECT_TRUE(saved) << messages;
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(old)));
        EXPECT_EQ(ReadFileBytes(old), Crlf(tavinText));
        EXPECT_EQ(Stamp("../victim.txt"), victim);
        EXPECT_EQ(Names().size(), 4u);  // the three files and Setup.lid: no temporary file
    }
}

// Without an exchange of two names: killed between moving Tavin.old aside and the new one in.
TEST_F(ForeignFilesTest, AKillAfterTheBackupWasMovedAsideLosesNothing) {
    if (ReadFileBytes("/proc/sys/fs/protected_hardlinks") != "1\n")
        GTEST_SKIP() << "links to another user's file are not refused here";
    const std::string older = "[Main]\nProduct=older\n", old = inst + "/Tavin.old";
    ASSERT_EQ(chown(inst.c_str(), 0, 0), 0);
    ASSERT_EQ(chmod(inst.c_str(), 0777), 0);
    Make({{"TAVIN.ini", kNobody, 0640, tavinText},
          {"Setup.iss", kNobody, 0644, issText},
          {"Tavin.old", 0, 0400, older}});
    CommitSeams seams;
    int renames = 0;  // the first, an exchange of the two names, is refused
    kivo::platform::testing::SetRenameFault([&](const std::string& target) {
        if (target != old) return 0;
        if (!fs::exists(fs::symlink_status(old))) _exit(0);  // killed: Tavin.old is missing
        return ++renames == 1 ? EINVAL : 0;
    });
    EXPECT_FALSE(SaveAsUser().first);
    kivo::platform::testing::SetRenameFault({});
    ASSERT_TRUE(modTAVIN::OpenInstallerDir(inst));
    EXPECT_EQ(Stamp("Tavin.old"), "0:0 " + std::to_string(0400) + " " + Crlf(older));
}

TEST_F(ForeignFilesTest, ASetupIssTheSaveLeavesAsItIsIsNoReasonToRefuse) {
    const std::string unchanged =
        "[InstallShield Silent]\nVersion=v5.00.000\nFile=Response File\n[File Transfer]\n"
        "OverwriteReadOnly=YesToAll\n[Application]\nName=Tessary\nVersion=5.0\nCompany=Vontu\n"
        "Lang=0009\n[DlgOrder]\nCount=0\n";
    // The mode of both files; whether the folder and Setup.iss are root's, with the sticky bit.
    const std::vector<std::tuple<const char*, mode_t, bool, int>> cases = {
        {"read-only media", 0444, false, 0},
        {"root's Setup.iss in a sticky folder", 0666, true, 0},
        {"an immutable Setup.iss", 0644, false, FS_IMMUTABLE_FL}};
    for (const auto& [what, mode, sticky, flag] : cases) {
        const uid_t owner = sticky ? 0 : kNobody;
        ASSERT_EQ(chown(inst.c_str(), owner, owner), 0);
        ASSERT_EQ(chmod(inst.c_str(), sticky ? 01777 : 0755), 0);
        Make({{"TAVIN.ini", kNobody, mode, tavinText}, {"Setup.iss", owner, mode, unchanged}});
        const FileFlag fileFlag(inst + "/Setup.iss", flag);
        if (flag != 0 && !fileFlag.set()) GTEST_SKIP() << "cannot set file flags here";
        const auto [saved, messages] = SaveAsUser();
        EXPECT_TRUE(saved) << what << ": " << messages;
    }
}

}  // namespace
