// What the reader gives back, the writer can write: for every key a section lists, writing that
// key with its value reads back the same key and value, in a fresh file and in the file it was
// read from. Only names that would read back as something else are refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile.h"
#include "support/TempDir.h"

namespace profile = kivo::profile;
using namespace std::string_literals;

namespace {

std::vector<std::string> Names(const std::string& list) {
    std::vector<std::string> names;
    std::size_t at = 0;
    // An empty name is a name too: the list ends only at its closing NUL.
    while (at + 1 < list.size()) {
        const std::size_t end = list.find('\0', at);
        names.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return names;
}

std::string Get(const std::string& key, const std::string& path) {
    return profile::GetString("S", key, "<missing>", 244, path);
}

std::string Keys(const std::string& path) { return profile::GetSectionKeys("S", 65535, path); }

}  // namespace

TEST(ProfileRoundTrip, EveryListedKeyIsWrittenBackAsItself) {
    TempDir dir;
    // One line of each kind the reader tells apart, and how many keys of [S] it lists.
    const std::pair<std::string, int> lines[] = {
        {"plain=v", 1},
        {"  KeyA  =  va lue  ", 1},
        {"\tTabbed\t=\tv\t", 1},
        {"inner  blanks\tkept=x", 1},
        {"a=b=c", 1},
        {"k==v", 1},
        {"=emptykey", 1},
        {"empty=", 1},
        {"q=\"quoted\"", 1},
        {"s='single'", 1},
        {"m=x\"y\"", 1},
        {"u=\"open", 1},
        {"mixed='a\"", 1},
        {"\"qk\"=v", 1},
        {"#h=hash", 1},
        {"k=;v", 1},
        {"[Old Tools=YES", 1},
        {"  [Old Tools  = NO ", 1},
        {"[Old=a", 1},
        {"Old Tools[=x", 1},
        {"a]b=1", 1},
        {"k=[x]", 1},
        {"Closing] bracket=]", 1},
        {"hi\xC4\xE9=\xFF\x80", 1},
        {"nul=val\0ue"s, 1},
        // Lines that list no key of [S]: comments, headers, lines without '='.
        {";c=comment", 0},
        {"\t;d=3", 0},
        {"noeq", 0},
        {"[B", 0},
    };
    int n = 0;
    for (const auto& [line, listed] : lines) {
        SCOPED_TRACE(line);
        const std::string read = dir / ("read" + std::to_string(n) + ".ini");
        const std::string fresh = dir / ("fresh" + std::to_string(n++) + ".ini");
        WriteFileBytes(read, "[S]\r\n" + line + "\r\nafter=1\r\n");
        std::vector<std::string> keys = Names(Keys(read));
        ASSERT_FALSE(keys.empty());
        EXPECT_EQ(keys.back(), "after");  // the line did not swallow what follows
        keys.pop_back();
        ASSERT_EQ(keys.size(), static_cast<std::size_t>(listed));
        for (const std::string& key : keys) {
            const std::string value = Get(key, read);
            ASSERT_TRUE(profile::WriteString("S", key, std::string_view(value), fresh));
            EXPECT_EQ(Keys(fresh), key + "\0\0"s);
            EXPECT_EQ(Get(key, fresh), value);
            // A save writes into the file it read: the key keeps its line there.
            ASSERT_TRUE(profile::WriteString("S", key, std::string_view("changed"), read));
            EXPECT_EQ(Keys(read), key + "\0after\0\0"s);
            EXPECT_EQ(Get(key, read), "changed");
        }
    }

    // Names that would read back as something else are refused, and nothing is written.
    const std::pair<std::string, std::string> refused[] = {
        {"a=b", "v"}, {";c", "v"}, {" ;c", "v"}, {"[h]", "v"}, {"[h]x", "v"}, {"[h", "x]"},
    };
    const std::string untouched = dir / "refused.ini";
    for (const auto& [key, value] : refused) {
        EXPECT_FALSE(profile::WriteString("S", key, std::string_view(value), untouched)) << key;
    }
    EXPECT_EQ(ReadFileBytes(untouched), "");
}
