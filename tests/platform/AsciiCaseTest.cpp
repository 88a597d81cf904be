#include "platform/asciicase.h"

#include <gtest/gtest.h>

using namespace kivo::platform;

// Names match the way the installer's INI reader matches them: A-Z fold, every other byte
// (Windows-1252 letters included) compares exactly, so "É" and "é" are different names.
TEST(AsciiCase, FoldsOnlyAsciiLettersInEveryHelper) {
    EXPECT_TRUE(EqualsIgnoreAsciiCase("NumberOfGroups", "NUMBEROFgroups"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("\xC9t\xE9", "\xE9t\xE9"));
    // 0x5B and 0x7B differ by 0x20 but are no letters.
    EXPECT_FALSE(EqualsIgnoreAsciiCase("[", "{"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("ab", "abc"));
    EXPECT_EQ(FoldedAscii("Setup\xC9.ISS@Z"), "setup\xC9.iss@z");
    EXPECT_EQ(HashIgnoreAsciiCase("BlindCopy1"), HashIgnoreAsciiCase("BLINDcopy1"));
    EXPECT_NE(HashIgnoreAsciiCase("\xC9"), HashIgnoreAsciiCase("\xE9"));
    EXPECT_TRUE(ContainsIgnoreAsciiCase("Tessary LUMENO 5", "lumeno"));
    EXPECT_TRUE(ContainsIgnoreAsciiCase("", ""));
    EXPECT_FALSE(ContainsIgnoreAsciiCase("Lumen", "lumeno"));
    EXPECT_FALSE(ContainsIgnoreAsciiCase("\xC9xe", "\xE9xe"));
    static_assert(FoldAscii('Q') == 'q' && FoldAscii('@') == '@' && FoldAscii(0xD0) == 0xD0);
}
