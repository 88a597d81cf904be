// The store's door to INI files and its small text helpers.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/profile.h"
#include "store/Util.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using namespace std::string_literals;

namespace {

class UtilIni : public ::testing::Test {
protected:
    void SetUp() override { kivo::profile::ClearCache(); }
    void Use(const std::string& bytes) { WriteFileBytes(path, bytes); }
    TempDir dir;
    std::string path = dir / "Tavin.ini";
};

TEST_F(UtilIni, ValuesAreCutAt243Characters) {
    const std::string v243(243, 'x');
    Use("[A]\r\nexact=" + v243 + "\r\nlonger=" + v243 + "yz\r\nquoted=\"" + v243 + "\"\r\n");
    EXPECT_EQ(Util::GetIniString("A", "exact", "", path), v243);
    EXPECT_EQ(Util::GetIniString("A", "longer", "", path), v243);
    EXPECT_EQ(Util::GetIniString("A", "missing", v243 + "z", path), v243);
    EXPECT_EQ(Util::GetIniString("A", "quoted", "", path), v243.substr(1));
    // An empty key name is a name, not a request for the key list.
    EXPECT_EQ(Util::GetIniString("A", "", "dflt", path), "dflt");
}

TEST_F(UtilIni, WritingTextKeepsItAsGiven) {
    EXPECT_TRUE(Util::WriteIniString("OEM Install", "SetupTitle", "My \"Setup\"", path));
    EXPECT_TRUE(Util::WriteIniString("OEM Install", "Empty", "", path));
    EXPECT_EQ(ReadFileBytes(path), "[OEM Install]\r\nSetupTitle=My \"Setup\"\r\nEmpty=\r\n");
    EXPECT_EQ(Util::GetIniString("oem install", "empty", "dflt", path), "");
    EXPECT_FALSE(Util::WriteIniString("A", "k", "two\r\nlines", path));
    EXPECT_FALSE(Util::WriteIniString("A", "k", "v", dir / "missing/Tavin.ini"));
}

TEST_F(UtilIni, FlagsAreExactlyYesOrNo) {
    Use(Crlf("[A]\ny=YES\nn=NO\nlower=yes\nmixed=No\nother=TRUE\nempty=\n"));
    EXPECT_TRUE(Util::GetIniYesNo("A", "y", false, path));
    EXPECT_FALSE(Util::GetIniYesNo("A", "n", true, path));
    for (const char* key : {"lower", "mixed", "other", "empty", "missing"}) {
        EXPECT_TRUE(Util::GetIniYesNo("A", key, true, path)) << key;
        EXPECT_FALSE(Util::GetIniYesNo("A", key, false, path)) << key;
    }
    EXPECT_TRUE(Util::WriteIniYesNo("A", "w", true, path));
    EXPECT_TRUE(Util::GetIniYesNo("A", "w", false, path));
    EXPECT_TRUE(Util::WriteIniYesNo("A", "w", false, path));
    EXPECT_EQ(Util::GetIniString("A", "w", "", path), "NO");
}

TEST_F(UtilIni, WholeNumbers) {
    EXPECT_TRUE(Util::WriteIniInteger("C", "three", 3, path));
    EXPECT_TRUE(Util::WriteIniInteger("C", "zero", 0, path));
    EXPECT_TRUE(Util::WriteIniInteger("C", "minus", -2, path));
    EXPECT_EQ(ReadFileBytes(path), "[C]\r\nthree= 3\r\nzero= 0\r\nminus=-2\r\n");
    EXPECT_EQ(Util::GetIniInteger("C", "three", 9, path), 3);
    EXPECT_EQ(Util::GetIniInteger("C", "zero", 9, path), 0);
    EXPECT_EQ(Util::GetIniInteger("C", "minus", 9, path), -2);
    EXPECT_EQ(Util::GetIniInteger("C", "missing", 5, path), 5);
    EXPECT_EQ(Util::GetIniInteger("C", "missing", -7, path), -7);

    Use(Crlf("[N]\nempty=\nhalf=2.5\nhalf2=3.5\nneg=-2.5\nfrac=2.51\nsign=+7\npad=\t 12 \n"
             "max=32767\nmin=-32768\nover=32768\nround_over=32767.5\nhuge=99999999999\n"
             "word=abc\nmixed=12abc\ndot=.\nspace=1 2\nquoted=\"4\"\n"));
    const std::vector<std::pair<const char*, int>> cases = {
        {"empty", 0}, {"half", 2},    {"half2", 4},    {"neg", -2},  {"frac", 3},       {"sign", 7},
        {"pad", 12},  {"max", 32767}, {"min", -32768}, {"over", 0},  {"round_over", 0}, {"huge", 0},
        {"word", 0},  {"mixed", 0},   {"dot", 0},      {"space", 0}, {"quoted", 4},
    };
    for (const auto& [key, want] : cases)
        EXPECT_EQ(Util::GetIniInteger("N", key, 5, path), want) << key;
}

TEST_F(UtilIni, NameListsAndDeletingKeys) {
    Use(Crlf("[Main]\nA=1\nB=2\n;c=3\n[Comp1 BlindCopy]\n"));
    EXPECT_EQ(Util::GetIniSectionNames(path), "Main\0Comp1 BlindCopy\0\0"s);
    EXPECT_EQ(Util::GetIniSectionKeys("MAIN", path), "A\0B\0\0"s);
    EXPECT_EQ(Util::GetIniSectionKeys("Comp1 BlindCopy", path), "\0"s);
    EXPECT_EQ(Util::GetIniSectionKeys("Missing", dir / "missing.ini"), "\0"s);

    EXPECT_NE(Util::DeleteIniKey("Main", "a", path), 0);
    EXPECT_NE(Util::DeleteIniKey("Main", "missing", path), 0);
    EXPECT_EQ(ReadFileBytes(path), Crlf("[Main]\nB=2\n;c=3\n[Comp1 BlindCopy]\n"));
    chmod(path.c_str(), 0444);
    EXPECT_EQ(Util::DeleteIniKey("Main", "B", path), 0);
}

TEST_F(UtilIni, TheSectionListIsCutAt1023Bytes) {
    // 120 names of 9 characters: 1,201 bytes with their NULs and the closing one.
    std::string file, full;
    for (int i = 0; i < 120; ++i) {
        const std::string name = "Sect" + std::to_string(10000 + i);
        file += "[" + name + "]\r\n";
        full += name + '\0';
    }
    Use(file);
    const std::string list = Util::GetIniSectionNames(path);
    EXPECT_EQ(list.size(), 1022u);
    EXPECT_EQ(list, full.substr(0, 1021) + '\0');
}

TEST(UtilToken, SplittingAtASeparator) {
    struct Case {
        std::string text, sep, token, rest;
    };
    const Case cases[] = {
        {"a\\b\\c", "\\", "a", "b\\c"},
        {"abc", "\\", "abc", ""},
        {"\\abc", "\\", "", "abc"},
        {"abc\\", "\\", "abc", ""},
        {"", "\\", "", ""},
        {"C:\\Inst\\Sub\\file", "c:\\INST\\", "", "Sub\\file"},
        {"Prog\xC9t\xE9 x", "\xE9T\xC9", "Prog", " x"},
        {"1.2.3", ".", "1", "2.3"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(Util::GetToken(text, c.sep), c.token) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(UtilToken, WalkingANameList) {
    // Stop at the first empty name.
    std::string list = "one\0two\0\0"s;
    std::vector<std::string> names;
    for (std::string t = Util::GetToken(list); !t.empty(); t = Util::GetToken(list))
        names.push_back(t);
    EXPECT_EQ(names, (std::vector<std::string>{"one", "two"}));

    // Stop when what is left is the closing NUL.
    list = "one\0two\0\0"s;
    names.clear();
    while (list != "\0"s && !list.empty()) names.push_back(Util::GetToken(list));
    EXPECT_EQ(names, (std::vector<std::string>{"one", "two"}));

    list = "\0"s;
    EXPECT_EQ(Util::GetToken(list), "");
    EXPECT_EQ(list, "");
    // The NUL search is exact: no separator text is involved.
    list = "A\0B"s;
    EXPECT_EQ(Util::GetToken(list), "A");
    EXPECT_EQ(list, "B");
}

TEST(UtilMisc, FoldingWindows1252Letters) {
    // Capital and small letter pairs of the code page, and the bytes that have no pair.
    const std::pair<unsigned char, unsigned char> pairs[] = {
        {'A', 'a'},   {'Z', 'z'},   {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E},
        {0x9F, 0xFF}, {0xC0, 0xE0}, {0xD6, 0xF6}, {0xD8, 0xF8}, {0xDE, 0xFE},
    };
    for (const auto& [upper, lower] : pairs) {
        EXPECT_EQ(Util::FoldCp1252(upper), lower) << int(upper);
        EXPECT_EQ(Util::FoldCp1252(lower), lower) << int(lower);
    }
    const unsigned char unpaired[] = {'@', '[', '1', 0xD7, 0xDF, 0x80, 0x9A, 0xFF};
    for (unsigned char same : unpaired) EXPECT_EQ(Util::FoldCp1252(same), same) << int(same);
}

TEST(UtilMisc, ValidPaths) {
    for (const char* ok : {"C:\\Program Files\\My App", "a:b", "x", "D:\\", "name with blanks"})
        EXPECT_TRUE(Util::IsValidPath(ok)) << ok;
    for (const char* bad :
         {"", "C:\\a\\\\b", "\\\\server\\share", "a\"b", "a/b", "a*", "a?", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(Util::IsValidPath(bad)) << bad;
}

TEST(UtilMisc, MaxInt) {
    EXPECT_EQ(Util::MaxInt(3, 3), 3);
    EXPECT_EQ(Util::MaxInt(-1, 3), 3);
    EXPECT_EQ(Util::MaxInt(4, 3), 4);
    EXPECT_EQ(Util::MaxInt(-32768, -1), -1);
}

TEST(UtilMisc, BrowseForFolder) {
    FakeUi ui;
    ui.Folder("").Folder("/inst/dir").Folder(std::string(300, 'p'));
    EXPECT_EQ(Util::BrowseForFolder(), "");
    EXPECT_EQ(Util::BrowseForFolder("Open installer"), "/inst/dir");
    EXPECT_EQ(Util::BrowseForFolder(), std::string(259, 'p'));
    EXPECT_EQ(ui.folderTitles,
              (std::vector<std::string>{"Select directory", "Open installer", "Select directory"}));
}

}  // namespace
