#pragma once
// A value of the installer's settings file reads back with at most Util::kValueChars characters:
// a longer one would come back cut at the next open, and the next save would write the cut text.
// The window's text boxes take no more than that; paths and folders that would pass it are
// refused with these messages.

#include <string>

#include "store/Util.h"

inline bool FitsOneValue(const std::string& cp1252) {
    return cp1252.size() <= static_cast<std::size_t>(Util::kValueChars);
}

inline const std::string kPathTooLong =
    "The path of the chosen file is too long: TAVIN.ini keeps at most " +
    std::to_string(Util::kValueChars) + " characters in one value. Please choose a shorter path.";

inline const std::string kFolderPathTooLong =
    "The folder path is too long: TAVIN.ini keeps at most " + std::to_string(Util::kValueChars) +
    " characters in one value. Please use shorter folder names.";
