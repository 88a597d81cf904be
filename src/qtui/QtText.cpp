#include "qtui/QtText.h"

namespace {

// Code points of the bytes 0x80-0x9F.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

bool Encode(char16_t c, char& out) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out = static_cast<char>(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

}  // namespace

QString ToQ(const std::string& cp1252) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1252.size()));
    for (unsigned char b : cp1252) {
        out.append(QChar(b >= 0x80 && b <= 0x9F ? kHigh[b - 0x80] : static_cast<char16_t>(b)));
    }
    return out;
}

std::string FromQ(const QString& text, bool* ok) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    bool good = true;
    for (QChar ch : text) {
        char b;
        if (Encode(ch.unicode(), b)) {
            out.push_back(b);
        } else {
            good = false;
            out.push_back('?');
        }
    }
    if (ok) *ok = good;
    return out;
}

bool IsCp1252(const QString& text) {
    bool ok = true;
    FromQ(text, &ok);
    return ok;
}

#include <QLineEdit>
#include <QValidator>

namespace {

class Cp1252Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return IsCp1252(input) ? Acceptable : Invalid;
    }
};

}  // namespace

void RestrictToCp1252(QLineEdit* box) { box->setValidator(new Cp1252Validator(box)); }

#include <QFile>

QString NativeToQ(const std::string& native) {
    return QFile::decodeName(QByteArray::fromStdString(native));
}

std::string NativeToCp1252(const std::string& native, bool* ok) {
    return FromQ(NativeToQ(native), ok);
}
