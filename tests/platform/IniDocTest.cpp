// The parsed copy of a large file: its key index stays exact through many deletions and
// additions (the index is rearranged in place as keys go).

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/inidoc.h"

namespace {

TEST(IniDoc, TheKeyIndexOfALargeFileStaysExactThroughDeletions) {
    std::string bytes = "[S]\r\n";
    for (int i = 0; i < 5000; ++i)
        bytes += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    bytes += "[T]\r\nKey1=t\r\n";
    kivo::profile::IniDoc doc(bytes);
    for (int i = 0; i < 5000; i += 3) ASSERT_TRUE(doc.DeleteKey("S", "KEY" + std::to_string(i)));
    for (int i = 0; i < 5000; ++i) {
        const auto v = doc.Value("s", "key" + std::to_string(i));
        if (i % 3 == 0) {
            EXPECT_FALSE(v) << i;
        } else {
            ASSERT_TRUE(v) << i;
            EXPECT_EQ(*v, std::to_string(i));
        }
    }
    EXPECT_EQ(doc.Value("T", "key1"), "t");
    for (int i = 0; i < 5000; i += 3) ASSERT_TRUE(doc.Set("S", "key" + std::to_string(i), "again"));
    EXPECT_EQ(doc.Value("S", "Key2997"), "again");
    EXPECT_EQ(doc.Value("S", "Key2998"), "2998");
    // Re-added keys go to the section's end, under the spelling they were written with.
    const std::string text = doc.Serialize();
    EXPECT_NE(text.find("Key4999=4999\r\nkey0=again\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 28), "key4998=again\r\n[T]\r\nKey1=t\r\n");
}

}  // namespace

namespace {

// Reads and writes that walk a section line by line find each key's first line, past repeated
// names, deleted lines and lines added in the walk, and sections of one name in file order.
TEST(IniDoc, KeysAskedForInFileOrderFindTheirFirstLine) {
    kivo::profile::IniDoc doc(
        "[A]\r\na=1\r\nb=2\r\na=3\r\nc=4\r\n; note\r\nd=5\r\n[B]\r\na=b1\r\n[a]\r\nx=second\r\n");
    EXPECT_EQ(doc.Value("A", "a"), "1");
    EXPECT_EQ(doc.Value("A", "b"), "2");
    EXPECT_EQ(doc.Value("A", "c"), "4");  // the repeated a is not c
    EXPECT_EQ(doc.Value("A", "a"), "1");  // a repeated name stays its first line
    EXPECT_EQ(doc.Value("A", "d"), "5");
    EXPECT_EQ(doc.Value("B", "a"), "b1");
    // Writing the values a walk just read changes nothing.
    EXPECT_FALSE(doc.Set("A", "a", "1"));
    EXPECT_FALSE(doc.Set("A", "b", "2"));
    EXPECT_TRUE(doc.Set("A", "c", "changed"));
    EXPECT_EQ(doc.Value("A", "c"), "changed");
    // The first a goes: the repeated one shows through, also for a walk.
    EXPECT_EQ(doc.Value("A", "b"), "2");
    ASSERT_TRUE(doc.DeleteKey("A", "a"));
    EXPECT_EQ(doc.Value("A", "a"), "3");
    EXPECT_TRUE(doc.Set("A", "e", "new"));
    EXPECT_EQ(doc.Value("A", "e"), "new");
    EXPECT_FALSE(doc.Set("A", "e", "new"));
    // The second section named A (any case) appears once the first is gone.
    EXPECT_EQ(doc.Value("A", "x"), std::nullopt);
    ASSERT_TRUE(doc.DeleteSection("A"));
    EXPECT_EQ(doc.Value("A", "x"), "second");
    ASSERT_TRUE(doc.DeleteSection("a"));
    EXPECT_EQ(doc.Value("A", "x"), std::nullopt);
    EXPECT_TRUE(doc.Set("A", "y", "third"));
    EXPECT_EQ(doc.Serialize(), "[B]\r\na=b1\r\n[A]\r\ny=third\r\n");
}

// An edit leaves the other lines as they were; a later edit of the copy acts as on a fresh read.
TEST(IniDoc, AnEditedCopyReadsAsTheBytesItWrites) {
    using kivo::profile::IniDoc;
    struct Edit {
        std::string section, key;
        const char* value;  // nullptr: the key is deleted
    };
    auto apply = [](IniDoc& doc, const Edit& e) {
        return e.value ? doc.Set(e.section, e.key, e.value) : doc.DeleteKey(e.section, e.key);
    };
    const std::tuple<std::string, Edit, std::string> cases[] = {
        // A bare CR before an empty LF-ended line would read as one CRLF with it.
        {"[S]\rA=1\r\n\n[T]\r", {"S", "B", "2"}, "[S]\rA=1\r\nB=2\r\n\n[T]\r"},
        // The last line without a line end takes one in the copy too.
        {"[A]\rk=1", {"A", "j", "2"}, "[A]\rk=1\rj=2\r"},
        {"[A]\rk=1", {"B", "j", "2"}, "[A]\rk=1\r[B]\rj=2\r"},
        // A line beginning with a byte-order mark never comes to open a file without one.
        {"x=1\r\n\xEF\xBB\xBFk=2\r\n", {"", "x", nullptr}, "\r\n\xEF\xBB\xBFk=2\r\n"},
    };
    for (const auto& [before, edit, after] : cases) {
        for (const Edit& later : {edit, Edit{edit.section, edit.key, nullptr},
                                  Edit{edit.section, "p", "1"}, Edit{"Z", "z", "1"}}) {
            IniDoc edited(before), fresh(after);
            apply(edited, edit);
            EXPECT_EQ(edited.Serialize(), after) << before;
            apply(edited, later);
            apply(fresh, later);
            EXPECT_EQ(edited.Serialize(), fresh.Serialize()) << before << " then " << later.key;
            EXPECT_EQ(edited.KeyNames(edit.section), fresh.KeyNames(edit.section)) << before;
        }
    }
}

}  // namespace
