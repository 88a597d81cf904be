// Reading through the profile engine: how a file splits into sections and keys, how names
// match, how values and defaults are cleaned, and what fits into the caller's buffer.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.h"
#include "support/TempDir.h"

namespace profile = kivo::profile;
using namespace std::string_literals;

namespace {

class ProfileRead : public ::testing::Test {
protected:
    void Use(const std::string& bytes) {
        WriteFileBytes(path, bytes);
        profile::ClearCache();
    }
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& def = "<def>", std::size_t size = 256) {
        return profile::GetString(section, key, def, size, path);
    }
    std::string Sections(std::size_t size = 4096) { return profile::GetSectionNames(size, path); }
    std::string Keys(const std::string& section, std::size_t size = 4096) {
        return profile::GetSectionKeys(section, size, path);
    }

    // Each key of its section reads back as the value given.
    struct Read {
        const char* section;
        const char* key;
        const char* value;
    };
    void ExpectReads(std::initializer_list<Read> reads) {
        for (const Read& r : reads)
            EXPECT_EQ(Get(r.section, r.key), r.value) << "[" << r.section << "] " << r.key;
    }

    TempDir dir;
    std::string path = dir / "test.ini";
};

TEST_F(ProfileRead, LineEndsBlankLinesAndTheLastLine) {
    Use("[A]\rk1=v1\n\n\rk2=v2\r\r\nk3=v3\r\n[B]\nk4=v4");
    ExpectReads({
        {"A", "k1", "v1"},
        {"A", "k2", "v2"},
        {"A", "k3", "v3"},
        {"B", "k4", "v4"},
    });
    EXPECT_EQ(Sections(), "A\0B\0\0"s);
}

TEST_F(ProfileRead, HeadersAndTheNamelessTopPart) {
    Use(Crlf("top=pre\n"
             "  [Sec One]  \n1=a\n"
             "[ Spaced ]\n2=b\n"
             "[\tTabbed\t]\n3=c\n"
             "[A]  junk\n4=d\n"
             "[br]=v\n5=e\n"
             "[C] x] y\n6=f\n"
             "[B\n7=g\n"
             "[]\ne=4\n"));
    ExpectReads({
        {"", "top", "pre"},
        {"Sec One", "1", "a"},
        {"Spaced", "2", "b"},
        {"Tabbed", "3", "c"},
        {"A", "4", "d"},
        {"br", "5", "e"},
        {"br", "[br]", "<def>"},
        {"C] x", "6", "f"},
        // "[B" is no header: its keys stay in the section before it.
        {"C] x", "7", "g"},
        {"B", "7", "<def>"},
        // "[]" is shadowed by the top part.
        {"", "e", "<def>"},
    });
    EXPECT_EQ(Sections(), "Sec One\0Spaced\0Tabbed\0A\0br\0C] x\0\0"s);
}

TEST_F(ProfileRead, KeysValuesCommentsAndDuplicates) {
    Use(Crlf("[S]\n"
             "  KeyA  =  va lue  \n"
             "a=b=c\n"
             "=emptykey\n"
             "noeq\n"
             "  spaced noeq  \n"
             ";c=comment\n"
             "\t;d=3\n"
             "#h=hash\n"
             "k=first\n"
             "K=second\n"
             "empty=\n"
             "[s]\n"
             "only=later\n"
             "k=shadowed\n"));
    ExpectReads({
        {"S", "KeyA", "va lue"},
        {"S", "a", "b=c"},
        {"S", "", "emptykey"},
        {"S", "noeq", "<def>"},
        {"S", ";c", "comment"},
        {"S", ";d", "3"},
        {"S", "#h", "hash"},
        {"S", "k", "first"},
        {"S", "empty", ""},
        // Only the first of two sections of one name is searched.
        {"s", "only", "<def>"},
    });
    EXPECT_EQ(Sections(), "S\0s\0\0"s);
    EXPECT_EQ(Keys("S"), "KeyA\0a\0\0#h\0k\0K\0empty\0\0"s);
}

TEST_F(ProfileRead, NulEndsTheTextOfItsLineAndABomIsSkipped) {
    Use("\xEF\xBB\xBF[A]\r\nkey2=val\0ue2\r\nkey3=value3\r\nx\0=hidden\r\n"s);
    EXPECT_EQ(Get("A", "key2"), "val");
    EXPECT_EQ(Get("A", "key3"), "value3");
    EXPECT_EQ(Get("A", "x"), "<def>");
    EXPECT_EQ(Sections(), "A\0\0"s);
}

TEST_F(ProfileRead, NamesMatchWithoutRegardToAsciiCaseOnly) {
    Use(Crlf("[Sec One]\nKeyA=1\n[\xC4\xE9]\nk=2\n[\xC3\x84]\nk=3\n"));
    ExpectReads({
        {"SEC ONE", "keya", "1"},
        {"sec one", "KEYA", "1"},
        {" Sec One\t", " KeyA ", "1"},
        {"Sec  One", "KeyA", "<def>"},
        {"\xC4\xE9", "k", "2"},
        {"\xE4\xC9", "k", "<def>"},
        {"\xC3\xA4", "k", "<def>"},
    });
    // The key-list request takes the section name as given.
    EXPECT_EQ(Keys("SEC ONE"), "KeyA\0\0"s);
    EXPECT_EQ(Keys(" Sec One "), "\0"s);
}

TEST_F(ProfileRead, OnePairOfQuotesAroundTheValueIsRemoved) {
    Use(Crlf("[Q]\nd1=\"hello\"\ns1='hello'\nd2=\"  sp  \"\nm7= \"z\" \nm2=\"a\"  \nm1=\"a\"b\"\n"
             "m4=\"\"\nu1=\"open\nu2=close\"\nm5=\"\nm3='a\"\nm8=\"'\nm6=x\"y\"\n"));
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"d1", "hello"}, {"s1", "hello"}, {"d2", "  sp  "}, {"m7", "z"},       {"m2", "a"},
        {"m1", "a\"b"},  {"m4", ""},      {"u1", "\"open"}, {"u2", "close\""}, {"m5", "\""},
        {"m3", "'a\""},  {"m8", "\"'"},   {"m6", "x\"y\""},
    };
    for (const auto& [key, want] : cases) EXPECT_EQ(Get("Q", key), want) << key;
}

TEST_F(ProfileRead, TheDefaultLosesTrailingSpacesAndQuotes) {
    Use("[A]\r\n");
    EXPECT_EQ(Get("A", "x", "dflt  "), "dflt");
    EXPECT_EQ(Get("A", "x", "trail \t  "), "trail \t");
    EXPECT_EQ(Get("A", "x", "  lead"), "  lead");
    EXPECT_EQ(Get("A", "x", "\"quoted def\""), "quoted def");
    EXPECT_EQ(Get("Missing", "x", "d"), "d");
    EXPECT_EQ(profile::GetString("A", "x", "d", 256, dir / "missing.ini"), "d");
}

TEST_F(ProfileRead, AValueIsCutToTheBuffer) {
    Use(Crlf("[A]\nlong=0123456789\nq=\"hello\"\n"));
    EXPECT_EQ(Get("A", "long", "", 10), "012345678");
    EXPECT_EQ(Get("A", "long", "", 11), "0123456789");
    EXPECT_EQ(Get("A", "long", "", 1), "");
    EXPECT_EQ(Get("A", "long", "", 0), "");
    EXPECT_EQ(Get("A", "none", "dflt", 3), "df");
    // A quoted value that would exactly fill the buffer loses one byte more.
    EXPECT_EQ(Get("A", "q", "", 5), "hell");
    EXPECT_EQ(Get("A", "q", "", 6), "hell");
    EXPECT_EQ(Get("A", "q", "", 7), "hello");
    EXPECT_EQ(Get("A", "none", "\"dflt\"", 5), "dfl");
}

TEST_F(ProfileRead, ANameListIsCutToTheBuffer) {
    Use(Crlf("[Alpha]\n[Be]\n[Gamma]\n"));
    const std::vector<std::pair<std::size_t, std::string>> cases = {
        {17, "Alpha\0Be\0Gamma\0\0"s},
        {16, "Alpha\0Be\0Gamma\0"s},
        {10, "Alpha\0Be\0"s},
        {9, "Alpha\0B\0"s},
        {8, "Alpha\0\0"s},
        {3, "A\0"s},
        {2, "\0"s},
        {1, "\0"s},
        {0, ""},
    };
    for (const auto& [size, want] : cases) EXPECT_EQ(Sections(size), want) << size;
    EXPECT_EQ(Keys("Alpha"), "\0"s);
    EXPECT_EQ(Keys("Missing"), "\0"s);
    EXPECT_EQ(profile::GetSectionNames(100, dir / "missing.ini"), "\0"s);
    Use("");
    EXPECT_EQ(Sections(), "\0"s);
}

TEST_F(ProfileRead, AChangeOnDiskIsSeenByTheNextRead) {
    Use(Crlf("[A]\nk=one\n"));
    EXPECT_EQ(Get("A", "k"), "one");
    // Another process, a longer file.
    ASSERT_EQ(std::system(("printf '[A]\\r\\nk=three\\r\\n' > '" + path + "'").c_str()), 0);
    EXPECT_EQ(Get("A", "k"), "three");
    // Same size, written in place, with a different modification time.
    WriteFileBytes(path, Crlf("[A]\nk=seven\n"));
    EXPECT_EQ(Get("A", "k"), "seven");
    // Same size, replaced by a rename (another inode).
    WriteFileBytes(dir / "other.ini", Crlf("[A]\nk=eight\n"));
    ASSERT_EQ(std::rename((dir / "other.ini").c_str(), path.c_str()), 0);
    EXPECT_EQ(Get("A", "k"), "eight");
    std::remove(path.c_str());
    EXPECT_EQ(Get("A", "k"), "<def>");
}

TEST_F(ProfileRead, ChangesByOtherNamesOrWithTheOldTimeAreSeen) {
    Use(Crlf("[A]\nk=one\n"));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(Get("A", "k"), "one");
    // Rewritten in place, same size, modification time put back.
    WriteFileBytes(path, Crlf("[A]\nk=two\n"));
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(Get("A", "k"), "two");
    // Changed through a hard link in another directory.
    const std::string other = dir / "elsewhere/hard.ini";
    std::filesystem::create_directory(dir / "elsewhere");
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    EXPECT_EQ(Get("A", "k"), "two");
    WriteFileBytes(other, Crlf("[A]\nk=six\n"));
    EXPECT_EQ(Get("A", "k"), "six");
    // Read through a symbolic link whose file is then replaced.
    const std::string sym = dir / "elsewhere/sym.ini";
    ASSERT_EQ(symlink(path.c_str(), sym.c_str()), 0);
    EXPECT_EQ(profile::GetString("A", "k", "", 256, sym), "six");
    WriteFileBytes(dir / "new.ini", Crlf("[A]\nk=ten\n"));
    ASSERT_EQ(std::rename((dir / "new.ini").c_str(), path.c_str()), 0);
    EXPECT_EQ(profile::GetString("A", "k", "", 256, sym), "ten");

    // A missing file that appears under another letter case, in a folder made anew.
    const std::string sub = dir / "sub";
    std::filesystem::create_directory(sub);
    EXPECT_EQ(profile::GetString("A", "k", "none", 256, sub + "/Tavin.ini"), "none");
    WriteFileBytes(sub + "/TAVIN.INI", Crlf("[A]\nk=found\n"));
    EXPECT_EQ(profile::GetString("A", "k", "none", 256, sub + "/Tavin.ini"), "found");
    std::filesystem::remove_all(sub);
    EXPECT_EQ(profile::GetString("A", "k", "none", 256, sub + "/Tavin.ini"), "none");
    std::filesystem::create_directory(sub);
    WriteFileBytes(sub + "/tavin.ini", Crlf("[A]\nk=again\n"));
    EXPECT_EQ(profile::GetString("A", "k", "none", 256, sub + "/Tavin.ini"), "again");
    WriteFileBytes(sub + "/tavin.ini", Crlf("[A]\nk=later\n"));
    EXPECT_EQ(profile::GetString("A", "k", "none", 256, sub + "/Tavin.ini"), "later");
}

TEST_F(ProfileRead, TheLastComponentOfThePathMatchesWithoutRegardToCase) {
    Use(Crlf("[A]\nk=v\n"));
    EXPECT_EQ(profile::GetString("A", "k", "", 256, dir / "TEST.INI"), "v");
    EXPECT_EQ(profile::GetSectionNames(256, dir / "Test.Ini"), "A\0\0"s);
}

}  // namespace
