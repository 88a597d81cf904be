#pragma once
// The one crossing between the model's Windows-1252 bytes and Qt's Unicode text.

#include <QString>
#include <string>

// Every byte maps to one character (the five bytes Windows-1252 leaves undefined map to the
// C1 control of the same value, so they round-trip).
QString ToQ(const std::string& cp1252);

// Converts back. A character that Windows-1252 cannot hold makes `ok` false (when given) and is
// written as '?'; callers that store text must refuse such input rather than store it.
std::string FromQ(const QString& text, bool* ok = nullptr);

// True when every character of text has a Windows-1252 byte.
bool IsCp1252(const QString& text);

class QLineEdit;
// Makes a text box refuse characters that Windows-1252 cannot hold (typed or pasted), so that
// nothing is silently stored as something else.
void RestrictToCp1252(QLineEdit* box);

// Paths of this machine come from the file dialogs in the file system's own encoding. What the
// installer's files and the messages hold is Windows-1252: these convert such a path (or a part
// of it). `ok` is false when a character has no Windows-1252 byte.
std::string NativeToCp1252(const std::string& native, bool* ok = nullptr);
QString NativeToQ(const std::string& native);

// Said when a chosen file's path cannot be written into the installer's settings file.
inline constexpr const char* kPathNotCp1252 =
    "The path of the chosen file holds characters that TAVIN.ini cannot store. Please rename it.";
