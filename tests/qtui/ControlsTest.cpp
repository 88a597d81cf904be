// The controls both windows build with.

#include <QLineEdit>
#include <QValidator>
#include <QWidget>
#include <gtest/gtest.h>

#include "qtui/Controls.h"
#include "store/Util.h"

using namespace Qt::StringLiterals;

TEST(ControlsTest, AValueBoxTakesOnlyWhatTheSettingsFileKeeps) {
    QWidget parent;
    QLineEdit* box = Named(NewValueBox(&parent), "TextValue");
    EXPECT_EQ(parent.findChild<QLineEdit*>(u"TextValue"_s), box);
    EXPECT_EQ(box->maxLength(), Util::kValueChars);
    QString text = u"caf\u00E9 \u20AC"_s;  // both have a Windows-1252 byte
    int pos = 0;
    ASSERT_NE(box->validator(), nullptr);
    EXPECT_EQ(box->validator()->validate(text, pos), QValidator::Acceptable);
    text = u"\u0101"_s;  // a with macron: none
    EXPECT_EQ(box->validator()->validate(text, pos), QValidator::Invalid);
}
