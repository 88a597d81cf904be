// Trimming blanks: the INI engine's spaces and tabs, the windows' spaces only.

#include <gtest/gtest.h>

#include <string>

#include "platform/blanks.h"

TEST(Blanks, TrimBlanksTakesSpacesAndTabsTrimSpacesOnlySpaces) {
    struct Case {
        std::string text, blanks, spaces;
    };
    const Case cases[] = {
        {" \t a b \t ", "a b", "\t a b \t"},
        {"  x\t", "x", "x\t"},
        {"\tx ", "x", "\tx"},
        {" \t  ", "", "\t"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kivo::TrimBlanks(c.text), c.blanks) << c.text;
        EXPECT_EQ(kivo::TrimSpaces(c.text), c.spaces) << c.text;
    }
    // The result is a view into the text, so its place there is known.
    const std::string text = "  ab ";
    EXPECT_EQ(kivo::TrimSpaces(text).data(), text.data() + 2);
}
