// Loading the model: keys, defaults, value forms, lists and their counts, languages, presets, and
// files whose counts claim more than they hold.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "store/InstallerFixture.h"
#include "store/Util.h"
#include "store/modTAVIN.h"

using modTAVIN::LoadInstaller;
using modTAVIN::S;

namespace {

const char* kProduct = "Vontu(R) Tessary(R) 5.0.5 Patch";

// The product's section of KIVO.ini holding these lines.
std::string ProductSection(const std::string& lines) {
    std::string text;
    text.reserve(std::string_view(kProduct).size() + lines.size() + 3);
    text.append("[").append(kProduct).append("]\n").append(lines);
    return text;
}

std::vector<std::string> Items(const OneBasedList<std::string>& list) {
    return {list.begin(), list.end()};
}

class LoadTest : public InstallerTest {};

TEST_F(LoadTest, MissingOemInstallGivesTheDefaultOfEveryKey) {
    PutTavin(kProduct);
    EXPECT_TRUE(LoadInstaller());
    const OemInstall& o = S().OemSettings;
    EXPECT_FALSE(o.DisplaySelectDestDirDlg);
    EXPECT_FALSE(o.DisplayMaintUIDlg);
    EXPECT_FALSE(o.InstallModeSilent);
    EXPECT_FALSE(o.IgnoreInstallWarnings);
    for (bool f :
         {o.DisplayWelcomeDlg, o.DisplayEULA, o.DisplayTypeOfInstallDlg, o.DisplayCustomDlg,
          o.DisplayUserInfoDlg, o.DisplayConfirmRegDlg, o.DisplayStartCopyDlg, o.DisplayFinishDlg,
          o.DisplayFinalMessage, o.DisplayRebootDlg, o.DisplayBillboards, o.DisplayBackGround,
          o.DisplayProgressBar, o.ProgressBarStart, o.ProgressBarEnd, o.CloseRunningApps,
          o.UninstallCombineVersions, o.UninstallPreviousVersions, o.UninstallModeSilent})
        EXPECT_TRUE(f);
    for (const std::string& t :
         {o.SetupTitle, o.SetupCaptionBarTitle, o.ProgGroupName, o.UserName, o.UserCompanyName,
          o.UserSerialNumber, o.DefaultDestDir, o.PDFOutputFolder, o.Type})
        EXPECT_EQ(t, "");
    EXPECT_TRUE(S().InstallerOpen);
    EXPECT_FALSE(S().Modified);
    EXPECT_EQ(o.Product, kProduct);  // the load does not read [Main]
}

TEST_F(LoadTest, NamesMatchInAnyCaseButFlagWordsOnlyInUpperCase) {
    PutTavin(kProduct, "[oem install]\n"
                       "setuptitle=Title\n"
                       "DISPLAYEULA=NO\n"
                       "DisplayWelcomeDlg=no\n"
                       "DisplayMaintUIDlg=Yes\n"
                       "InstallModeSilent=YES\n"
                       "  UserName  =  Ann Lee  \n"
                       "[SETUPTYPE]\n"
                       "type=Custom\n");
    LoadInstaller();
    const OemInstall& o = S().OemSettings;
    EXPECT_EQ(o.SetupTitle, "Title");
    EXPECT_FALSE(o.DisplayEULA);
    EXPECT_TRUE(o.DisplayWelcomeDlg);   // "no" is no flag word: the default
    EXPECT_FALSE(o.DisplayMaintUIDlg);  // likewise "Yes"
    EXPECT_TRUE(o.InstallModeSilent);
    EXPECT_EQ(o.UserName, "Ann Lee");
    EXPECT_EQ(o.Type, "Custom");
}

TEST_F(LoadTest, CountsReadAlikeInEveryWrittenForm) {
    PutTavin(kProduct,
             "[Components]\nNUMBER = 2 \n"
             "[Launches]\nNumberOfLaunches=3\n"
             "[Comp1 BlindCopy]\nNumberOfGroups= 1\nGroup1Platform=All\nGroup1NumberOfIcons=  2\n"
             "[Comp2 BlindCopy]\nNumberOfGroups=\nGroup1NumberOfFiles=1\nGroup1Filename1=x\n");
    LoadInstaller();
    EXPECT_EQ(S().OemSettings.Components.Count(), 2);
    EXPECT_EQ(S().Launches.Count(), 3);
    EXPECT_EQ(S().OemSettings.NumberOfLaunches, 3);
    ASSERT_EQ(S().BlindCopies.Count(), 2);
    EXPECT_EQ(S().BlindCopies(1).Groups(1).Icons.Count(), 2);
    EXPECT_EQ(S().BlindCopies(2).NumberOfGroups, 0);  // an empty count reads 0
    EXPECT_TRUE(S().BlindCopies(2).Groups.Empty());
}

TEST_F(LoadTest, CountsThatAreNoUsableNumberReadAsZero) {
    PutTavin(kProduct,
             "[Components]\nNUMBER=-3\n"
             "[Launches]\nNumberOfLaunches=many\n"
             "[AnyBlindCopy]\nNumberOfGroups=70000\nGroup1NumberOfFiles=1\nGroup1Filename1=x\n"
             "[OtherBlindCopy]\nNumberOfGroups=1\nGroup1NumberOfFiles=-1\nGroup1NumberOfIcons=1e3\n"
             "Group1NumberOfRegEntries=1\n");
    LoadInstaller();
    EXPECT_TRUE(S().OemSettings.Components.Empty());
    EXPECT_TRUE(S().Launches.Empty());
    EXPECT_EQ(S().OemSettings.NumberOfLaunches, 0);
    ASSERT_EQ(S().BlindCopies.Count(), 2);
    EXPECT_EQ(S().BlindCopies(1).NumberOfGroups, 0);
    EXPECT_TRUE(S().BlindCopies(1).Groups.Empty());
    const FileGroup& g = S().BlindCopies(2).Groups(1);
    EXPECT_EQ(g.NumberOfFiles, 0);
    EXPECT_EQ(g.NumberOfIcons, 0);
    EXPECT_EQ(g.RegEntries.Count(), 1);
}

TEST_F(LoadTest, ComponentsGovernTheCopyListsWhenThereAreAny) {
    PutTavin(kProduct,
             "[Components]\nNUMBER= 2\nComp1Parent=P\nComp1=First\nComp1Enabled=YES\n"
             "[TessaryBlindCopy]\nNumberOfGroups=1\nGroup1NumberOfFiles=1\nGroup1Filename1=t\n"
             "[Comp2 BlindCopy]\nNumberOfGroups=1\nGroup1NumberOfFiles=1\nGroup1Filename1=b\n");
    LoadInstaller();
    const auto& comps = S().OemSettings.Components;
    ASSERT_EQ(comps.Count(), 2);
    EXPECT_EQ(comps(1), (ComponentEntry{"P", "First", true}));
    EXPECT_EQ(comps(2), (ComponentEntry{"", "", false}));
    ASSERT_EQ(S().BlindCopies.Count(), 2);
    EXPECT_EQ(S().BlindCopies(1).Name, "First");
    EXPECT_EQ(S().BlindCopies(1).Section, "Comp1 BlindCopy");
    EXPECT_TRUE(S().BlindCopies(1).Groups.Empty());  // no such section
    EXPECT_EQ(S().BlindCopies(2).Name, "");
    EXPECT_EQ(S().BlindCopies(2).Section, "Comp2 BlindCopy");
    EXPECT_EQ(S().BlindCopies(2).Groups(1).Files(1).FileName, "b");
}

TEST_F(LoadTest, WithoutComponentsEveryBlindCopySectionIsACopyListInFileOrder) {
    PutTavin(kProduct,
             "[lumenoblindcopy]\nNumberOfGroups=0\n"
             "[Other]\nk=v\n"
             "[Comp2 BlindCopy]\n"
             "[Comp2BlindCopy]\n"
             "[MyBLINDCOPYExtra]\n"
             // Only the first of two sections named alike can be read: the second is no list
             // of its own (as one it would be saved a second time into the first).
             "[LumenoBlindCopy]\nNumberOfGroups=1\nGroup1NumberOfIcons=1\n");
    LoadInstaller();
    ASSERT_EQ(S().BlindCopies.Count(), 4);
    const char* names[] = {"lumenoblindcopy", "Comp2 BlindCopy", "Comp2BlindCopy",
                           "MyBLINDCOPYExtra"};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(S().BlindCopies(i).Name, names[i - 1]);
        EXPECT_EQ(S().BlindCopies(i).Section, names[i - 1]);
    }
}

TEST_F(LoadTest, PlatformAndLanguageSplitAtCommasAndAMissingKeyGivesNoEntries) {
    PutTavin(kProduct, "[XBlindCopy]\nNumberOfGroups=6\n"
                       "Group1Language=WRONG\nGroup1NumberOfIcons=1\n"
                       "Group2Platform=\nGroup2Language=All\nGroup2NumberOfIcons=1\n"
                       "Group3Platform=Win95,WinNT\nGroup3Language=a,\nGroup3NumberOfIcons=1\n"
                       "Group4Platform=,Win95\nGroup4Language=a,,b\nGroup4NumberOfIcons=1\n"
                       "Group5Platform= Win95 , WinNT \nGroup5NumberOfIcons=1\n"
                       "Group6Platform=WRONG\nGroup6NumberOfIcons=1\n");
    LoadInstaller();
    const auto& groups = S().BlindCopies(1).Groups;
    ASSERT_EQ(groups.Count(), 6);
    EXPECT_EQ(groups(1).Platform, "");
    EXPECT_TRUE(groups(1).PlatformList.Empty());
    EXPECT_TRUE(groups(1).LanguageList.Empty());  // "WRONG" counts as missing
    EXPECT_EQ(groups(2).Platform, "");
    EXPECT_EQ(Items(groups(2).PlatformList), std::vector<std::string>{""});
    EXPECT_EQ(Items(groups(2).LanguageList), std::vector<std::string>{"All"});
    EXPECT_EQ(Items(groups(3).PlatformList), (std::vector<std::string>{"Win95", "WinNT"}));
    EXPECT_EQ(Items(groups(3).LanguageList), std::vector<std::string>{"a"});
    EXPECT_EQ(Items(groups(4).PlatformList), (std::vector<std::string>{"", "Win95"}));
    EXPECT_EQ(Items(groups(4).LanguageList), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Items(groups(5).PlatformList), (std::vector<std::string>{"Win95 ", " WinNT"}));
    EXPECT_TRUE(groups(6).PlatformList.Empty());
}

TEST_F(LoadTest, GroupListsAndTheirKeysUnderEitherSpelling) {
    PutTavin(kProduct,
             "[XBlindCopy]\nNumberOfGroups=3\n"
             "Group1Platform=All\nGroup1NumberOfFiles=3\nGroup1DestDir=Docs\nGroup1Loc=Src\\Docs\n"
             "Group1Filename1=a.txt\nGroup1File1ExpandType=Normal\n"
             "Group1FileName3=c.txt\n"
             "Group1NumberOfIcons=1\nGroup1Icon1Exe=a.exe\nGroup1Icon1ExeSubdir=Bin\n"
             "Group1Icon1Number=-2\nGroup1Icon1AppLoc=L\n"
             "Group1NumberOfRegEntries=1\nGroup1RegEntry1Parentkey=HKEY_CURRENT_USER\n"
             "Group1RegEntry1ValueData=7\n"
             "Group1NumberOfIniEntries=1\nGroup1IniEntry1Section=S\nGroup1IniEntry1Value=V\n"
             "Group2Platform=All\nGroup2NumberOfFiles=0\nGroup2DestDir=Unread\n"
             "Group2NumberOfIcons=1\n"
             "Group3Platform=All\nGroup3NumberOfFiles=0\nGroup3DestDir=Gone\n");
    LoadInstaller();
    const BlindCopy& bc = S().BlindCopies(1);
    EXPECT_EQ(bc.NumberOfGroups, 3);
    ASSERT_EQ(bc.Groups.Count(), 2);  // group 3 holds nothing and is dropped
    const FileGroup& g = bc.Groups(1);
    EXPECT_EQ(g.DestDir, "Docs");
    EXPECT_EQ(g.NumberOfFiles, 3);
    ASSERT_EQ(g.Files.Count(), 3);
    EXPECT_EQ(g.Files(1), (FileEntry{"Docs", "Src\\Docs", "a.txt", "Normal"}));
    EXPECT_EQ(g.Files(2), (FileEntry{"Docs", "Src\\Docs", "", ""}));
    EXPECT_EQ(g.Files(3).FileName, "c.txt");
    EXPECT_EQ(g.Icons(1).Exe, "a.exe");
    EXPECT_EQ(g.Icons(1).ExeSubDir, "Bin");
    EXPECT_EQ(g.Icons(1).Number, -2);
    EXPECT_EQ(g.Icons(1).AppLoc, "L");
    EXPECT_EQ(g.RegEntries(1).ParentKey, "HKEY_CURRENT_USER");
    EXPECT_EQ(g.RegEntries(1).ValueData, "7");
    EXPECT_EQ(g.IniEntries(1), (IniEntry{"", "", "", "S", "", "V"}));
    EXPECT_EQ(bc.Groups(2).DestDir, "");  // not read without files
    EXPECT_EQ(bc.Groups(2).NumberOfIcons, 1);
}

TEST_F(LoadTest, RemoveShortcutsInFileOrderAndLaunchesByCount) {
    PutTavin(kProduct, "[OEM Remove Shortcut]\nZed=YES\nAlpha=yes\nMid=NO\n"
                       "[Launches]\nNumberOfLaunches= 2\nLaunch1Program=a.exe\nLaunch1CmdLine=-s\n"
                       "Launch1ChangeDir=Utils\\\nLaunch1Wait=YES\nLaunch2Type=INS\n");
    LoadInstaller();
    const auto& rs = S().OemSettings.RemoveShortcuts;
    ASSERT_EQ(rs.Count(), 3);
    EXPECT_EQ(rs(1), (RemoveShortcutEntry{"Zed", true}));
    EXPECT_EQ(rs(2), (RemoveShortcutEntry{"Alpha", false}));
    EXPECT_EQ(rs(3), (RemoveShortcutEntry{"Mid", false}));
    ASSERT_EQ(S().Launches.Count(), 2);
    EXPECT_EQ(S().Launches(1), (LaunchEntry{"", "", "", "a.exe", "-s", "Utils\\", "YES"}));
    EXPECT_EQ(S().Launches(2).Type, "INS");
}

TEST_F(LoadTest, ProductFlagsComeFromTheProductsSectionOfKivoIni) {
    PutKivo(ProductSection(
        "DisplayTypeOfInstallDlg=NO\nDisplayUserInfoDlg=NO\nDisplaySelectDestDirDlg=NO\n"));
    PutTavin(kProduct);
    LoadInstaller();
    EXPECT_TRUE(S().OemSettings.ProductHidesTypeDlg);
    EXPECT_TRUE(S().OemSettings.ProductHidesUserInfoDlg);
    EXPECT_TRUE(S().OemSettings.ProductHidesDestDirDlgs);

    PutKivo(ProductSection("DisplayTypeOfInstallDlg=NO\nDisplaySelectDestDirDlg=YES\n"));
    LoadInstaller();
    EXPECT_TRUE(S().OemSettings.ProductHidesTypeDlg);
    EXPECT_FALSE(S().OemSettings.ProductHidesUserInfoDlg);
    EXPECT_FALSE(S().OemSettings.ProductHidesDestDirDlgs);
}

// ---- Languages ----------------------------------------------------------------------------------

TEST_F(LoadTest, SetupLidNamesTheLanguagesAndSkipsEmptyKeys) {
    PutKivo("[LANGUAGES]\n0009=English\n");
    PutTavin(kProduct);
    Put("Setup.lid", "[Languages]\ncount=3\nDefault=0011\nkey0=0009\nkey1=\nkey2=0011\n");
    LoadInstaller();
    const IssSettings& iss = S().OemSettings.Iss;
    ASSERT_EQ(iss.Languages.Count(), 2);
    EXPECT_EQ(iss.Languages(1), (LanguageEntry{"English", "0009"}));
    EXPECT_EQ(iss.Languages(2), (LanguageEntry{"Lang3", "0011"}));
    EXPECT_EQ(iss.SelectedLanguage, 2);
    EXPECT_EQ(iss.DefaultLanguage, 2);
}

TEST_F(LoadTest, TheResponseFilesLanguageOutranksSetupLidsDefaultAcrossSaves) {
    PutTavin(kProduct);
    Put("Setup.lid", "[Languages]\ncount=3\nDefault=0009\nkey0=0009\nkey1=0011\nkey2=0011\n");
    // Lang that names no entry, or none at all: the default, as before.
    for (const char* iss :
         {"[Application]\nName=Tessary\nLang=0404\n", "[Application]\nName=T\n"}) {
        Put("Setup.iss", iss);
        LoadInstaller();
        EXPECT_EQ(S().OemSettings.Iss.SelectedLanguage, 1) << iss;
    }
    // A language chosen and saved comes back at the next open, and the save after that keeps it.
    S().OemSettings.Iss.SelectedLanguage = 2;
    ASSERT_TRUE(modTAVIN::SaveTavinIni());
    for (int open = 0; open < 2; ++open) {
        LoadInstaller();
        EXPECT_EQ(S().OemSettings.Iss.SelectedLanguage, 2);  // the first entry of that code
        EXPECT_EQ(S().OemSettings.Iss.DefaultLanguage, 1);
        ASSERT_TRUE(modTAVIN::SaveTavinIni());
        EXPECT_EQ(Util::GetIniString("Application", "Lang", "", InDir("Setup.iss")), "0011");
    }
}

TEST_F(LoadTest, NoDefaultAmongTheKeysKeepsTheEarlierSelection) {
    PutTavin(kProduct);
    S().OemSettings.Iss.SelectedLanguage = 5;
    S().OemSettings.Iss.DefaultLanguage = 4;
    Put("Setup.lid", "[Languages]\ncount=1\nDefault=0007\nkey0=0009\n");
    LoadInstaller();
    EXPECT_EQ(S().OemSettings.Iss.SelectedLanguage, 5);
    EXPECT_EQ(S().OemSettings.Iss.DefaultLanguage, 4);
}

TEST_F(LoadTest, WithoutSetupLidTheWholeKivoTableAndTheResponseFilesLanguage) {
    PutKivo("[LANGUAGES]\n0007=German\n0009=English\n0011=Japanese\n");
    PutTavin(kProduct);
    S().OemSettings.Iss.DefaultLanguage = 3;
    LoadInstaller();
    const IssSettings& iss = S().OemSettings.Iss;
    ASSERT_EQ(iss.Languages.Count(), 3);
    EXPECT_EQ(iss.Languages(3), (LanguageEntry{"Japanese", "0011"}));
    EXPECT_EQ(iss.SelectedLanguage, 2);  // "0009" when Setup.iss names none
    EXPECT_EQ(iss.DefaultLanguage, 3);   // untouched

    Put("Setup.iss", "[Application]\nLang=0011\n");
    LoadInstaller();
    EXPECT_EQ(S().OemSettings.Iss.SelectedLanguage, 3);

    Put("Setup.iss", "[Application]\nLang=0404\n");
    LoadInstaller();
    EXPECT_EQ(S().OemSettings.Iss.SelectedLanguage, 1);
}

TEST_F(LoadTest, AResponseFileSetsWriteResponseFileAndItsAbsenceDoesNotClearIt) {
    PutTavin(kProduct);
    Put("Setup.iss", "[Application]\nName=Tessary\n");
    LoadInstaller();
    EXPECT_TRUE(S().OemSettings.Iss.WriteResponseFile);
    Put("Setup.iss", "[Application]\nName=\n");
    LoadInstaller();
    EXPECT_TRUE(S().OemSettings.Iss.WriteResponseFile);
}

// ---- Presets ------------------------------------------------------------------------------------

TEST_F(LoadTest, ProductDefaultsOverwriteTheFactorySettingsAndKeepTheUsersOwn) {
    PutKivo(
        ProductSection("SetupTitle=Factory\nDisplayEULA=NO\nInstallModeSilent=YES\nType=Compact\n"
                       "UserName=Not taken\n"));
    PutTavin(kProduct, "[OEM Install]\nSetupTitle=Mine\nProgGroupName=Group\nUserName=Ann\n"
                       "DefaultDestDir=C:\\X\nIgnoreInstallWarnings=YES\n");
    LoadInstaller();
    S().OemSettings.Iss.WriteResponseFile = true;
    modTAVIN::LoadProductDefaults();
    const OemInstall& o = S().OemSettings;
    EXPECT_TRUE(S().Modified);
    EXPECT_EQ(o.SetupTitle, "Factory");
    EXPECT_EQ(o.ProgGroupName, "");
    EXPECT_FALSE(o.DisplayEULA);
    EXPECT_TRUE(o.InstallModeSilent);
    EXPECT_FALSE(o.IgnoreInstallWarnings);
    EXPECT_EQ(o.Type, "Compact");
    EXPECT_EQ(o.UserName, "Ann");
    EXPECT_EQ(o.DefaultDestDir, "C:\\X");
    EXPECT_FALSE(o.Iss.WriteResponseFile);
}

TEST_F(LoadTest, SilentDefaultsHideEveryDialogAndKeepTheUninstallFlags) {
    PutTavin(kProduct, "[OEM Install]\nUninstallPreviousVersions=NO\n");
    LoadInstaller();
    modTAVIN::SetSilentDefaults();
    const OemInstall& o = S().OemSettings;
    EXPECT_TRUE(S().Modified);
    for (bool f :
         {o.DisplayWelcomeDlg, o.DisplayEULA, o.DisplayTypeOfInstallDlg, o.DisplaySelectDestDirDlg,
          o.DisplayCustomDlg, o.DisplayUserInfoDlg, o.DisplayConfirmRegDlg, o.DisplayStartCopyDlg,
          o.DisplayFinishDlg, o.DisplayFinalMessage, o.DisplayRebootDlg, o.DisplayMaintUIDlg,
          o.DisplayBillboards, o.DisplayBackGround, o.DisplayProgressBar, o.ProgressBarStart,
          o.ProgressBarEnd, o.CloseRunningApps})
        EXPECT_FALSE(f);
    EXPECT_TRUE(o.InstallModeSilent && o.UninstallModeSilent && o.Iss.WriteResponseFile &&
                o.IgnoreInstallWarnings);
    EXPECT_TRUE(o.UninstallCombineVersions);
    EXPECT_FALSE(o.UninstallPreviousVersions);
}

// ---- Files whose counts claim more than they hold -----------------------------------------------

int EntriesHeld() {
    int n = 0;
    for (const BlindCopy& bc : S().BlindCopies) {
        n += bc.Groups.Count();
        for (const FileGroup& g : bc.Groups)
            n += g.Files.Count() + g.Icons.Count() + g.RegEntries.Count() + g.IniEntries.Count();
    }
    return n;
}

// The sample installer with one section replaced.
std::string SampleWith(const std::string& section, const std::string& body) {
    std::string text =
        ReadFileBytes(std::string(KIVO_SOURCE_DIR) + "/examples/sample-installer/TAVIN.ini");
    const std::size_t start = text.find("[" + section + "]\r\n");
    const std::size_t next = text.find("\r\n[", start);
    const std::size_t end = next == std::string::npos ? text.size() : next + 2;
    return text.replace(start, end - start, Crlf("[" + section + "]\n" + body));
}

// "<prefix><n><field>=v<n>\n" for each field and n = 1 to count, or only the n listed.
std::string Keys(const std::string& prefix, int count, std::initializer_list<const char*> fields,
                 std::vector<int> only = {}) {
    std::string text;
    for (const char* field : fields) {
        for (int n = 1; n <= count; ++n) {
            if (only.empty() || std::find(only.begin(), only.end(), n) != only.end())
                text += prefix + std::to_string(n) + field + "=v" + std::to_string(n) + "\n";
        }
    }
    return text;
}

TEST_F(LoadTest, SparseListsOfRealInstallersKeepEveryEntryThroughASave) {
    const std::string group = "NumberOfGroups=1\nGroup1Platform=All\nGroup1Language=All\n";
    const std::string files = group + "Group1DestDir=Docs\nGroup1Loc=Extras\\Docs\n";
    struct Case {
        std::string section, body;
        int promised;
    };
    const Case cases[] = {
        {"Comp3 BlindCopy",
         group + "Group1NumberOfIcons=600\n" +
             Keys("Group1Icon", 600, {"Style", "Folder", "Exe", "Description"}),
         600},
        {"Comp3 BlindCopy",
         files + "Group1NumberOfFiles=5000\n" + Keys("Group1Filename", 5000, {""}), 5000},
        {"Comp3 BlindCopy",
         group + "Group1NumberOfIcons=500\n" + Keys("Group1Icon", 500, {"Exe", "Description"}),
         500},
        {"Comp3 BlindCopy",
         group + "Group1NumberOfRegEntries=1000\n" +
             Keys("Group1RegEntry", 1000, {"Key", "ValueName"}),
         1000},
        {"Comp3 BlindCopy",
         files + "Group1NumberOfFiles=2000\n" + Keys("Group1Filename", 2000, {""}, {1, 2000}),
         2000},
        {"Launches", "NumberOfLaunches= 300\n" + Keys("Launch", 300, {"Program"}), 300},
        {"Components", "NUMBER= 40\n" + Keys("Comp", 40, {""}, {40}), 40},
    };
    // The length of the list each case fills.
    auto length = [](const std::string& section) -> int {
        if (section == "Launches") return S().Launches.Count();
        if (section == "Components") return S().OemSettings.Components.Count();
        const FileGroup& g = S().BlindCopies(3).Groups(1);
        return g.Files.Count() + g.Icons.Count() + g.RegEntries.Count();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 120));
        Put("TAVIN.ini", SampleWith(c.section, c.body));
        S().OemSettings.Product = kProduct;
        ASSERT_TRUE(LoadInstaller());
        EXPECT_EQ(length(c.section), c.promised);
        const auto copies = S().BlindCopies;
        const auto launches = S().Launches;
        const auto components = S().OemSettings.Components;
        ASSERT_TRUE(modTAVIN::SaveTavinIni());

        // Every non-empty value stands in the saved file, under its key.
        const std::string tavin = InDir("TAVIN.ini");
        for (std::size_t at = 0, end; (end = c.body.find('\n', at)) != std::string::npos;
             at = end + 1) {
            const std::string line = c.body.substr(at, end - at);
            const std::size_t eq = line.find('=');
            const std::string value = line.substr(eq + 1);
            if (value.find_first_not_of(' ') == std::string::npos) continue;
            ASSERT_EQ(Util::GetIniString(c.section, line.substr(0, eq), "?", tavin),
                      value.substr(value.find_first_not_of(' ')))
                << line;
        }
        ASSERT_TRUE(LoadInstaller());
        EXPECT_EQ(length(c.section), c.promised);
        EXPECT_EQ(S().BlindCopies, copies);
        EXPECT_EQ(S().Launches, launches);
        EXPECT_EQ(S().OemSettings.Components, components);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(LoadTest, CountsBeyondTheFileAreBoundedYetEveryHeldEntryIsKept) {
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::string> cut;  // what the message names
    };
    const Case cases[] = {
        {"launches", "[Launches]\nNumberOfLaunches=32767\n", {"[Launches] launches: "}},
        {"components", "[Components]\nNUMBER=32767\n", {"[Components] components: "}},
        {"nested lists, a held entry after each cut",
         "[Components]\nNUMBER=1\n[Comp1 BlindCopy]\nNumberOfGroups=32767\n"
         "Group1NumberOfFiles=32767\nGroup1Filename32767=last.dll\n"
         "Group32767NumberOfIcons=32767\nGroup32767Icon32767Exe=last.exe\n",
         {"[Comp1 BlindCopy] Group1 files: ", "[Comp1 BlindCopy] Group32767 icons: 1 of 32767"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutTavin(kProduct, c.body);
        ui.Answer(kivo::MsgResult::OK);
        ASSERT_TRUE(LoadInstaller());
        // One message naming each cut list and what it keeps.
        ASSERT_EQ(ui.Texts().size(), 1u);
        for (const std::string& cut : c.cut)
            EXPECT_NE(ui.Texts()[0].find(cut), std::string::npos) << ui.Texts()[0];
        ui.ClearLog();

        const std::size_t loaded = Get("TAVIN.ini").size();
        S().Modified = true;
        ASSERT_TRUE(modTAVIN::SaveTavinIni());
        // What the empty entries add stays within the file's size plus 1 MB; the keys the held
        // entries lack come on top.
        EXPECT_LE(Get("TAVIN.ini").size(), 2 * loaded + 1024 * 1024 + 4096);

        // A cut list is saved with what it kept: opened again, nothing is cut (a message would
        // find no answer).
        ASSERT_TRUE(LoadInstaller());
        if (S().BlindCopies.Count() == 1) {
            const auto& groups = S().BlindCopies(1).Groups;
            ASSERT_EQ(groups.Count(), 2);
            EXPECT_EQ(groups(1).Files(groups(1).Files.Count()).FileName, "last.dll");
            EXPECT_EQ(groups(2).Icons(groups(2).Icons.Count()).Exe, "last.exe");
        }
    }
}

TEST_F(LoadTest, ASectionNamedManyTimesDoesNotMultiplyTheLoad) {
    // Without [Components] every section name holding BlindCopy is loaded; the same section
    // named a hundred times must not cost a hundred times its size.
    std::string section = "[ABlindCopy]\nNumberOfGroups=1\nGroup1NumberOfFiles=2000\n";
    for (int f = 1; f <= 2000; ++f)
        section += "Group1Filename" + std::to_string(f) + "=file" + std::to_string(f) + ".txt\n";
    std::string body = section;
    for (int i = 0; i < 100; ++i) body += "[ablindcopy]\n";
    PutTavin(kProduct, body);
    LoadInstaller();
    ASSERT_EQ(S().BlindCopies.Count(), 1);
    EXPECT_EQ(S().BlindCopies(1).Groups(1).Files.Count(), 2000);
    EXPECT_LT(EntriesHeld(), 20 * 2000);
}

TEST_F(LoadTest, ALegitimateLargeSectionIsReadWhole) {
    std::string body = "[Components]\nNUMBER=1\nComp1=Big\n[Comp1 BlindCopy]\nNumberOfGroups=40\n";
    for (int g = 1; g <= 40; ++g) {
        std::string p = "Group" + std::to_string(g);
        body += p + "Platform=All\n" + p + "Language=All\n" + p + "NumberOfFiles=100\n" + p +
                "DestDir=D\n" + p + "Loc=L\n";
        for (int f = 1; f <= 100; ++f)
            body += p + "Filename" + std::to_string(f) + "=f.txt\n" + p + "File" +
                    std::to_string(f) + "ExpandType=Normal\n";
    }
    PutTavin(kProduct, body);
    LoadInstaller();
    ASSERT_EQ(S().BlindCopies(1).Groups.Count(), 40);
    EXPECT_EQ(S().BlindCopies(1).Groups(40).Files.Count(), 100);
}

}  // namespace
