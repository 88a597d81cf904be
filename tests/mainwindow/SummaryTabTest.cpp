// The Summary tab: what it shows of the settings, and how its four boxes store their texts.

#include <array>

#include "MainWindowFixture.h"
#include "mainwindow/SummaryTab.h"

using namespace Qt::StringLiterals;

using namespace mwtest;

namespace {

// A copy list holding registry entries: one group per entry, each "platform|key|type|data".
std::string CopyListSection(const std::vector<std::array<std::string, 4>>& entries) {
    std::string s = "[TessaryBlindCopy]\nNumberOfGroups=" + std::to_string(entries.size()) + "\n";
    int g = 1;
    for (const auto& [platform, key, valueName, data] : entries) {
        const std::string G = "Group" + std::to_string(g++);
        s += G + "Platform=" + platform + "\n" + G + "Language=English\n" + G +
             "NumberOfFiles=0\n" + G + "NumberOfIcons=0\n" + G + "NumberOfRegEntries=1\n";
        const std::string R = G + "RegEntry1";
        const bool server = valueName == "tDAVFDF";
        s += R + "Platform=All\n" + R + "ParentKey=HKEY_LOCAL_MACHINE\n" + R + "Key=" + key + "\n" +
             R + "ValueName=" + valueName + "\n" + R +
             "ValueType=" + (server ? "STRING" : "Number") + "\n" + R + "ValueData=" + data + "\n" +
             G + "NumberOfIniEntries=0\n";
    }
    return s;
}

const char kUpdatesFull[] = "SOFTWARE\\Vontu\\Vontu Tessary\\5.0\\VontuViewer";
const char kUpdatesViewer[] = "SOFTWARE\\Vontu\\Tessary Lumeno\\5.0\\VontuViewer";
const char kServerKey[] = "Software\\Vontu\\Vontu Tessary\\5.0\\Collab\\cServerSettings";

}  // namespace

TEST_F(MainWindowTest, SummaryShowsModeAndSetupType) {
    struct Case {
        const char* type;
        const char* shown;
    };
    const Case cases[] = {{"Typical", "Typical"}, {"Compact", "Compact"}, {"Custom", "Custom"},
                          {"typical", "Default"}, {"CUSTOM", "Default"},  {"", "Default"},
                          {"Minimal", "Default"}};
    int n = 0;
    for (const Case& c : cases) {
        InstallerValues v;
        v.type = c.type;
        v.silent = n % 2 ? "YES" : "NO";
        Open(MakeInstaller(v, "inst" + std::to_string(n)));
        EXPECT_EQ(LabelText("lblSetupType"), c.shown) << c.type;
        EXPECT_EQ(LabelText("lblState"), n % 2 ? "Silent Mode" : "Interactive Mode");
        ++n;
    }
}

TEST_F(MainWindowTest, DestinationPlaceholder) {
    Open(MakeInstaller());
    QLineEdit* box = Box("TextDestDir");
    EXPECT_EQ(BoxText("TextDestDir"), "Installer Default");

    GainFocus(box);  // entering the box empties the placeholder
    EXPECT_EQ(BoxText("TextDestDir"), "");
    LoseFocus(box);  // leaving it empty puts it back and stores the empty text
    EXPECT_EQ(BoxText("TextDestDir"), "Installer Default");
    EXPECT_EQ(modTAVIN::GetOemInstall().DefaultDestDir, "");
    EXPECT_TRUE(modTAVIN::IsModified());

    // Typing the placeholder itself stores it; the next entry empties the box all the same.
    TypeInto(box, u"Installer Default"_s);
    EXPECT_EQ(modTAVIN::GetOemInstall().DefaultDestDir, "Installer Default");
    GainFocus(box);
    EXPECT_EQ(BoxText("TextDestDir"), "");
    LoseFocus(box);
    EXPECT_EQ(modTAVIN::GetOemInstall().DefaultDestDir, "");

    // Any other text stays on entry; a click empties only the placeholder.
    TypeInto(box, u"C:\\Apps\\Tessary"_s);
    GainFocus(box);
    EXPECT_EQ(BoxText("TextDestDir"), "C:\\Apps\\Tessary");
    LoseFocus(box);
    w->summaryTab->TextDestDir_Click();
    EXPECT_EQ(BoxText("TextDestDir"), "C:\\Apps\\Tessary");
}

TEST_F(MainWindowTest, RefillWhileDestinationHasFocusDoesNotStoreThePlaceholder) {
    Open(MakeInstaller());
    QLineEdit* box = Box("TextDestDir");
    GainFocus(box);
    Open(work / "inst");  // Ctrl+O while typing in the box
    LoseFocus(box);
    EXPECT_EQ(modTAVIN::GetOemInstall().DefaultDestDir, "");
    EXPECT_EQ(BoxText("TextDestDir"), "Installer Default");
}

TEST_F(MainWindowTest, BoxesStoreTrimmedTextOnEveryFocusLoss) {
    struct Case {
        const char* box;
        std::string OemInstall::*field;
    };
    const Case cases[] = {{"TextUserName", &OemInstall::UserName},
                          {"TextCompName", &OemInstall::UserCompanyName},
                          {"TextSerial", &OemInstall::UserSerialNumber},
                          {"TextDestDir", &OemInstall::DefaultDestDir}};
    Open(MakeInstaller());
    for (const Case& c : cases) {
        TypeInto(Box(c.box), u"  two  words\t "_s);  // only blanks go
        EXPECT_EQ(modTAVIN::GetOemInstall().*c.field, "two  words\t") << c.box;
        EXPECT_EQ(BoxText(c.box), "two  words\t") << c.box;
        // A character Windows-1252 cannot hold is refused as it is typed.
        Box(c.box)->insert(QString(QChar(0x3A9)));
        EXPECT_EQ(BoxText(c.box), "two  words\t") << c.box;
        // Passing through without a change still marks the model modified.
        modTAVIN::S().Modified = false;
        PassThrough(Box(c.box));
        EXPECT_TRUE(modTAVIN::IsModified()) << c.box;
    }
    // Focus that leaves with the window (a prompt, another application) stores nothing.
    modTAVIN::S().Modified = false;
    QLineEdit* box = Box("TextSerial");
    GainFocus(box);
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(box, &away);
    EXPECT_FALSE(modTAVIN::IsModified());
    LoseFocus(box);
    EXPECT_TRUE(modTAVIN::IsModified());
}

TEST_F(MainWindowTest, RegistryProbesSetTheUpdateAndServerLabels) {
    // No copy list at all.
    Open(MakeInstaller());
    EXPECT_EQ(LabelText("LabelDisUpdates"), "No");
    EXPECT_EQ(LabelText("LabelCollabServer"), "None");

    struct Case {
        std::vector<std::array<std::string, 4>> entries;
        const char* updates;
        const char* server;
    };
    const Case cases[] = {
        // Probe A or B, whatever the data.
        {{{"All", kUpdatesFull, "DisableWebServicesUpdate", "0"}}, "Yes", "None"},
        {{{"Win9x,All", kUpdatesViewer, "DisableWebServicesUpdate", "7"}}, "Yes", "None"},
        // The key compared exactly, and only in groups for "All".
        {{{"All", "software\\Vontu\\Vontu Tessary\\5.0\\VontuViewer", "DisableWebServicesUpdate",
           "1"}},
         "No",
         "None"},
        {{{"WinNT", kUpdatesFull, "DisableWebServicesUpdate", "1"}}, "No", "None"},
        // The server: the last matching entry wins, in any group once one "All" group matches.
        {{{"All", kServerKey, "tDAVFDF", "http://first"},
          {"WinNT", kServerKey, "tDAVFDF", "http://last"}},
         "No",
         "http://last"},
        {{{"WinNT", kServerKey, "tDAVFDF", "http://only"}}, "No", "None"},
    };
    int n = 0;
    for (const Case& c : cases) {
        InstallerValues v;
        v.extra = CopyListSection(c.entries);
        Open(MakeInstaller(v, "reg" + std::to_string(n++)));
        ASSERT_EQ(modTAVIN::BlindCopyCount(), 1) << n;
        EXPECT_EQ(LabelText("LabelDisUpdates"), c.updates) << n;
        EXPECT_EQ(LabelText("LabelCollabServer"), c.server) << n;
    }
}
