#pragma once
// Literal settings-file text shared by the store and window tests.

#include <string>

// The values of the [OEM Install] section that the tests vary; the other keys hold what a file
// without the section loads as. Every field has an initializer, so that a test names only the
// values it changes.
struct OemInstallValues {
    std::string setupTitle{};
    std::string captionBarTitle{};
    std::string eula = "YES";
    std::string userInfoDlg = "YES";
    std::string progGroupName{};
    std::string silent = "NO";
    std::string company{};
    std::string serial{};
    std::string destDir{};
    std::string userName{};
};

// The whole [OEM Install] section, header included, every key the save writes in the order it
// writes them. LF line ends.
std::string OemInstallSection(const OemInstallValues& v);
