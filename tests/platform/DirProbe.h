#pragma once
// Looks at a directory and a file's permission bits, for tests that check what lies on disk.

#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>

// The names in a directory (leftover temporary files show up here).
inline std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

inline mode_t ModeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}
