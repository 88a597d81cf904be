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
