// The parsed copy of a large file: its key index stays exact through many deletions and
// additions (the index is rearranged in place as keys go).

#include <gtest/gtest.h>

#include <string>

#include "platform/inidoc.h"

namespace {

TEST(IniDoc, TheKeyIndexOfALargeFileStaysExactThroughDeletions) {
    std::string bytes = "[S]\r\n";
    for (int i = 0; i < 5000; ++i) bytes += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
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
