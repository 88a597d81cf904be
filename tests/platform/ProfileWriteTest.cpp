// Writing and deleting through the profile engine: one line changes, every other byte stays.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "platform/fileops.h"
#include "platform/profile.h"
#include "support/TempDir.h"

namespace profile = kivo::profile;
using namespace std::string_literals;
using kivo::fileops::FileExists;

namespace {

class ProfileWrite : public ::testing::Test {
protected:
    void SetUp() override { profile::ClearCache(); }
    void Use(const std::string& bytes) {
        WriteFileBytes(path, bytes);
        profile::ClearCache();
    }
    bool Set(const std::string& section, const std::string& key, const std::string& value) {
        return profile::WriteString(section, key, std::string_view(value), path);
    }
    bool Del(const std::string& section, const std::string& key) {
        return profile::WriteString(section, key, std::nullopt, path);
    }
    std::string Get(const std::string& section, const std::string& key) {
        return profile::GetString(section, key, "<def>", 256, path);
    }
    std::string Bytes() { return ReadFileBytes(path); }

    TempDir dir;
    std::string path = dir / "test.ini";
};

TEST_F(ProfileWrite, AnExistingKeyIsReplacedInItsOwnLine) {
    Use(Crlf("[A]\nk1=v1\n  K2 = v2  \n[B]\nk1=b\n"));
    EXPECT_TRUE(Set("a", "K1", "new"));
    EXPECT_EQ(Bytes(), Crlf("[A]\nk1=new\n  K2 = v2  \n[B]\nk1=b\n"));
    EXPECT_TRUE(Set("A", "k2", "NEW"));
    EXPECT_EQ(Bytes(), Crlf("[A]\nk1=new\nK2=NEW\n[B]\nk1=b\n"));
    // Quotes and blanks are stored as given, and read back cleaned.
    EXPECT_TRUE(Set("B", "k1", " \"quoted\""));
    EXPECT_EQ(Bytes(), Crlf("[A]\nk1=new\nK2=NEW\n[B]\nk1= \"quoted\"\n"));
    EXPECT_EQ(Get("B", "k1"), "quoted");
    EXPECT_TRUE(Set("B", "k1", ""));
    EXPECT_EQ(Get("B", "k1"), "");
    EXPECT_EQ(Bytes(), Crlf("[A]\nk1=new\nK2=NEW\n[B]\nk1=\n"));
}

TEST_F(ProfileWrite, AnUnchangedValueLeavesTheFileUntouched) {
    Use(Crlf("[A]\nk = v  \nn= 3\n"));
    struct timespec old[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    EXPECT_TRUE(Set("A", "K", "v"));
    EXPECT_TRUE(Set("A", "n", " 3"));
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, 1000);
    // A different spelling of the same value is a change.
    EXPECT_TRUE(Set("A", "k", "V"));
    EXPECT_EQ(Bytes(), Crlf("[A]\nk=V\nn= 3\n"));
}

TEST_F(ProfileWrite, NewKeysSectionsAndFiles) {
    Use(Crlf("[A]\nk1=v\n;note\nnoeq line\n[B]\nb1=1\n"));
    EXPECT_TRUE(Set("A", "k2", "added"));
    EXPECT_TRUE(Set("CaseC", "c1", "x"));
    EXPECT_TRUE(Set("", "top", "1"));
    EXPECT_TRUE(Set("", "top2", "2"));
    EXPECT_EQ(Bytes(), Crlf("top=1\ntop2=2\n[A]\nk1=v\n;note\nnoeq line\nk2=added\n[B]\nb1=1\n"
                            "[CaseC]\nc1=x\n"));
    EXPECT_EQ(Get("casec", "C1"), "x");

    const std::string fresh = dir / "fresh.ini";
    EXPECT_TRUE(profile::WriteString("A", "k", std::string_view("v"), fresh));
    EXPECT_EQ(ReadFileBytes(fresh), "[A]\r\nk=v\r\n");
}

TEST_F(ProfileWrite, UntouchedBytesStayAsTheyWere) {
    struct Case {
        const char* name;
        std::string before;
        std::string section, key, value;
        std::string after;
    };
    const Case cases[] = {
        {"LF file, change", "[A]\n\tk=1\n\n; c\n[B]\nx=2\n", "A", "k", "9",
         "[A]\nk=9\n\n; c\n[B]\nx=2\n"},
        {"LF file, new key", "[A]\nk=1\n\n[B]\nx=2\n", "A", "j", "3",
         "[A]\nk=1\nj=3\n\n[B]\nx=2\n"},
        {"LF file, new section", "[A]\nk=1\n", "C", "c", "x", "[A]\nk=1\n[C]\nc=x\n"},
        {"no final line end", "[A]\r\nk=1", "A", "j", "2", "[A]\r\nk=1\r\nj=2\r\n"},
        {"no final line end, change", "[A]\r\nk=1", "A", "k", "2", "[A]\r\nk=2"},
        {"no final line end, LF", "[A]\nk=1", "B", "j", "2", "[A]\nk=1\n[B]\nj=2\n"},
        {"mixed ends", "[A]\rk=1\r\n\tj = 2 \n[B]\r\n", "a", "J", "5", "[A]\rk=1\r\nj=5\n[B]\r\n"},
        {"mixed ends, new key", "[A]\rk=1\r\n[B]\n", "B", "n", "1", "[A]\rk=1\r\n[B]\nn=1\r"},
        {"tabs and comments", "\t[A]\t\r\n;k=0\r\n\tk\t=\t1\t\r\n", "A", "k", "2",
         "\t[A]\t\r\n;k=0\r\nk=2\r\n"},
        {"BOM kept", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2", "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        {"no line end at all", "[A]", "A", "k", "1", "[A]\r\nk=1\r\n"},
        {"top part, first line", "[A]\nk=1\n", "", "x", "1", "x=1\n[A]\nk=1\n"},
        {"first of duplicates", "[A]\nk=1\n[a]\nk=2\nj=3\n", "A", "j", "4",
         "[A]\nk=1\nj=4\n[a]\nk=2\nj=3\n"},
        {"high bytes pass through", "[\xC4]\r\nk=\xE9\r\n", "\xC4", "k", "\xFF\x80",
         "[\xC4]\r\nk=\xFF\x80\r\n"},
    };
    for (const Case& c : cases) {
        Use(c.before);
        EXPECT_TRUE(Set(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(Bytes(), c.after) << c.name;
    }
}

TEST_F(ProfileWrite, Deleting) {
    Use(Crlf("[A]\na=1\nb=2\n;c\n[B]\nk=1\nk=2\n[C]\nc=1\n[b]\nk=3\n"));
    EXPECT_TRUE(Del("A", "a"));
    EXPECT_EQ(Bytes(), Crlf("[A]\nb=2\n;c\n[B]\nk=1\nk=2\n[C]\nc=1\n[b]\nk=3\n"));
    // The next key of the same name shows through.
    EXPECT_TRUE(Del("B", "K"));
    EXPECT_EQ(Get("B", "k"), "2");
    EXPECT_TRUE(Del("B", "k"));
    EXPECT_EQ(Get("B", "k"), "<def>");
    EXPECT_EQ(profile::GetSectionKeys("B", 256, path), "\0"s);
    EXPECT_EQ(Bytes(), Crlf("[A]\nb=2\n;c\n[B]\n[C]\nc=1\n[b]\nk=3\n"));
    // The next section of the same name shows through.
    EXPECT_TRUE(profile::DeleteSection("b", path));
    EXPECT_EQ(Get("B", "k"), "3");
    EXPECT_TRUE(profile::DeleteSection("A", path));
    EXPECT_EQ(Bytes(), Crlf("[C]\nc=1\n[b]\nk=3\n"));
    // A key written after a deletion goes to the section's new end.
    EXPECT_TRUE(Set("C", "d", "2"));
    EXPECT_EQ(Bytes(), Crlf("[C]\nc=1\nd=2\n[b]\nk=3\n"));

    const std::string before = Bytes();
    EXPECT_TRUE(Del("C", "missing"));
    EXPECT_TRUE(Del("Missing", "k"));
    EXPECT_TRUE(profile::DeleteSection("Missing", path));
    EXPECT_EQ(Bytes(), before);

    EXPECT_TRUE(profile::DeleteSection("C", path));
    EXPECT_TRUE(profile::DeleteSection("b", path));
    EXPECT_EQ(Bytes(), "");

    // Deleting a key leaves the line ends around it as they were, also where a bare CR and the
    // LF of an empty line would meet.
    for (const auto& [bytes, section, after] : {std::tuple{"\r=\n\n"s, "", "\r\n\n"s},
                                                {"[A]\rk=1\n\nx=2\r\n", "A", "[A]\r\n\nx=2\r\n"},
                                                {"[A]\rk=1\nx=2\n", "A", "[A]\rx=2\n"}}) {
        Use(bytes);
        EXPECT_TRUE(Del(section, section[0] ? "k" : ""));
        EXPECT_EQ(Bytes(), after) << bytes;
    }

    const std::string missing = dir / "missing.ini";
    EXPECT_TRUE(profile::WriteString("A", "k", std::nullopt, missing));
    EXPECT_TRUE(profile::DeleteSection("A", missing));
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(ProfileWrite, LineBreaksNulAndAmbiguousKeysAreNeverWritten) {
    Use(Crlf("[A]\nv=old\n"));
    const std::string before = Bytes();
    EXPECT_FALSE(Set("A", "v", "line1\r\nline2"));
    EXPECT_FALSE(Set("A", "w", "one\ntwo=2\n[Inj]\nevil=1"));
    EXPECT_FALSE(Set("A", "v", "cr\ronly"));
    EXPECT_FALSE(Set("A", "v", "nul\0byte"s));
    EXPECT_FALSE(Set("A\r\n[Inj]", "k", "1"));
    EXPECT_FALSE(Set("A", "k\nj", "1"));
    EXPECT_FALSE(Set("A", "k\0j"s, "1"));
    EXPECT_FALSE(Del("A", "v\r\n"));
    EXPECT_FALSE(profile::DeleteSection("A\n", path));
    // A key holding '=' would be read back as another key.
    EXPECT_FALSE(Set("A", "v=x", "1"));
    EXPECT_FALSE(Set("A", "[Inj]", "1"));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Get("A", "v"), "old");
    EXPECT_FALSE(profile::WriteString("A", "k", std::string_view("a\nb"), dir / "new.ini"));
    EXPECT_FALSE(FileExists(dir / "new.ini"));

    // A key opening with a byte-order mark, where it would open the file, would lose the mark.
    Use("");
    EXPECT_FALSE(Set("", "\xEF\xBB\xBF", "v"));
    EXPECT_FALSE(Set("", "\xFF\xFEk", "v"));
    EXPECT_EQ(Bytes(), "");
    Use("\xEF\xBB\xBF[A]\r\n");  // after a mark of the file's own, it reads back as itself
    EXPECT_TRUE(Set("", "\xEF\xBB\xBFk", "v"));
    EXPECT_EQ(Get("", "\xEF\xBB\xBFk"), "v");
    Use("top=1\r\n");
    EXPECT_TRUE(Set("", "\xEF\xBB\xBFk", "v"));
    EXPECT_EQ(Get("", "\xEF\xBB\xBFk"), "v");
}

TEST_F(ProfileWrite, AReadOnlyFileOrAMissingFolderRefusesWrites) {
    Use(Crlf("[A]\nk=1\n"));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_FALSE(Set("A", "k", "2"));
    EXPECT_FALSE(Set("A", "j", "2"));
    EXPECT_FALSE(Del("A", "k"));
    EXPECT_FALSE(profile::DeleteSection("A", path));
    EXPECT_EQ(Bytes(), Crlf("[A]\nk=1\n"));
    EXPECT_EQ(Get("A", "k"), "1");
    // The attribute lifted, writes work again.
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    EXPECT_TRUE(Set("A", "k", "2"));

    EXPECT_FALSE(profile::WriteString("A", "k", std::string_view("v"), dir / "no/such/dir.ini"));
    EXPECT_FALSE(FileExists(dir / "no/such/dir.ini"));
}

TEST_F(ProfileWrite, PermissionsAndTheFileNameSpellingAreKept) {
    Use(Crlf("[A]\nk=1\n"));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    EXPECT_TRUE(profile::WriteString("A", "k", std::string_view("2"), dir / "TEST.ini"));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Bytes(), Crlf("[A]\nk=2\n"));
    EXPECT_FALSE(std::filesystem::exists(dir / "TEST.ini"));
    // Through a symbolic link the file it points to changes, and the link stays.
    const std::string link = dir / "link.ini";
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    EXPECT_TRUE(profile::WriteString("A", "k", std::string_view("3"), link));
    struct stat lst {};
    ASSERT_EQ(lstat(link.c_str(), &lst), 0);
    EXPECT_TRUE(S_ISLNK(lst.st_mode));
    EXPECT_EQ(Bytes(), Crlf("[A]\nk=3\n"));
}

TEST_F(ProfileWrite, AUtf16FileIsNotWrittenAsBytes) {
    Use("\xFF\xFE[\0A\0]\0"s);
    EXPECT_FALSE(Set("A", "k", "1"));
    EXPECT_EQ(Bytes(), "\xFF\xFE[\0A\0]\0"s);
}

TEST_F(ProfileWrite, AWriteIsSeenByTheNextReadAndAnOutsideChangeByTheNextWrite) {
    Use(Crlf("[A]\nk=1\n"));
    EXPECT_TRUE(Set("A", "k", "2"));
    EXPECT_EQ(Get("A", "k"), "2");
    WriteFileBytes(path, Crlf("[A]\nk=1\nother=x\n"));
    EXPECT_TRUE(Set("A", "j", "3"));
    EXPECT_EQ(Bytes(), Crlf("[A]\nk=1\nother=x\nj=3\n"));
}

}  // namespace
