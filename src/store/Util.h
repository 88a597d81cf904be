#pragma once
// INI access and small utility functions: the store's only door to INI files.
// Every call reads or writes the file on disk through the profile engine.

#include <cstdint>
#include <string>
#include <string_view>

namespace Util {

// Capacities of the buffers handed to the profile functions.
constexpr int kValueChars = 243;         // a value (or default) read: at most 243 characters
constexpr int kSectionListChars = 1023;  // the list of section names, separators included
constexpr int kKeyListChars = 65535;     // the list of key names of one section
constexpr int kPathChars = 260;          // a path chosen in the folder browser

// The title of every message box the tool shows.
constexpr char kMessageTitle[] = "KIVO";

std::string GetIniString(const std::string& section, const std::string& key, const std::string& def,
                         const std::string& file);
bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file);
bool GetIniYesNo(const std::string& section, const std::string& key, bool def,
                 const std::string& file);
bool WriteIniYesNo(const std::string& section, const std::string& key, bool value,
                   const std::string& file);
// Text that is no number, or a number outside 16 bits, gives 0.
int16_t GetIniInteger(const std::string& section, const std::string& key, int16_t def,
                      const std::string& file);
// A value read, as GetIniInteger reads it.
int16_t IniInteger(std::string_view text);
// " 3", " 0", "-2".
bool WriteIniInteger(const std::string& section, const std::string& key, int16_t value,
                     const std::string& file);
// Name lists: each name followed by NUL, one more NUL at the end.
std::string GetIniSectionNames(const std::string& file);
std::string GetIniSectionKeys(const std::string& section, const std::string& file);
// Non-zero on success.
int DeleteIniKey(const std::string& section, const std::string& key, const std::string& file);

// Splits `text` at the first NUL (exact search); returns the part before it and leaves the
// part after it in `text`. Not found: returns the whole text and empties it.
std::string GetToken(std::string& text);
// The same at the first occurrence of `separator`, searched without regard to case.
std::string GetToken(std::string& text, std::string_view separator);

bool IsValidPath(const std::string& path);

// Lower case of a Windows-1252 letter, as Windows folds it (other bytes as they are): text
// searches and folder names that ignore case go through it.
unsigned char FoldCp1252(unsigned char c);

// The folder browser; the empty text when cancelled.
std::string BrowseForFolder(const std::string& title = "Select directory");

int16_t MaxInt(int16_t a, int16_t b);

}  // namespace Util
