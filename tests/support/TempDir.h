#pragma once
// A fresh directory for one test, removed with everything in it at the end; and small helpers
// to write and read files byte for byte.

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() joined with a relative name ("a/b.txt" creates nothing; see Write).
    std::string operator/(const std::string& name) const;

private:
    std::string path_;
};

// Writes bytes exactly (creating parent directories).
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Reads a whole file; the empty text when it is missing.
std::string ReadFileBytes(const std::string& path);
// Copies a directory tree.
void CopyTree(const std::string& from, const std::string& to);
// Replaces every "\n" by "\r\n" (to write literal CRLF files readably).
std::string Crlf(const std::string& lfText);
