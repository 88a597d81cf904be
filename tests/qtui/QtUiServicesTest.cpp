// The desktop services of the running program, driven by timers that answer the modal boxes.

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include "qtui/QtText.h"
#include "qtui/QtUiServices.h"

using namespace Qt::StringLiterals;

using kivo::MsgButtons;
using kivo::MsgResult;

namespace {

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QStringList buttons;
    Qt::CursorShape cursor = Qt::BitmapCursor;
};

// Once the box is up, records what it shows and hands it to `act`.
void WhenBoxShows(SeenBox& seen, std::function<void(QMessageBox*)> act) {
    QTimer::singleShot(0, [&seen, act] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible()) continue;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            for (QAbstractButton* b : box->buttons()) seen.buttons << b->text().remove(u'&');
            if (QApplication::overrideCursor())
                seen.cursor = QApplication::overrideCursor()->shape();
            act(box);
            return;
        }
        ADD_FAILURE() << "no message box shown";
    });
}

}  // namespace

TEST(QtUiServicesTest, MessageBoxShowsNoIconAndAnswersWithTheButtonPressed) {
    QtUiServices services;
    struct Case {
        MsgButtons buttons;
        QMessageBox::StandardButton press;  // NoButton: close the box without a choice
        MsgResult expected;
    };
    const Case cases[] = {
        {MsgButtons::YesNoCancel, QMessageBox::Yes, MsgResult::Yes},
        {MsgButtons::YesNoCancel, QMessageBox::No, MsgResult::No},
        {MsgButtons::YesNoCancel, QMessageBox::Cancel, MsgResult::Cancel},
        {MsgButtons::YesNoCancel, QMessageBox::NoButton, MsgResult::Cancel},
        {MsgButtons::OKCancel, QMessageBox::Ok, MsgResult::OK},
        {MsgButtons::OK, QMessageBox::NoButton, MsgResult::OK},
        {MsgButtons::YesNo, QMessageBox::Yes, MsgResult::Yes},
    };
    for (const Case& c : cases) {
        SeenBox seen;
        WhenBoxShows(seen, [&](QMessageBox* box) {
            if (c.press == QMessageBox::NoButton)
                box->close();
            else
                box->button(c.press)->click();
        });
        EXPECT_EQ(services.MessageBox("Save <b>now</b>? \x80", c.buttons, "KIVO"), c.expected);
        EXPECT_EQ(seen.title, u"KIVO"_s);
        EXPECT_EQ(seen.text, ToQ("Save <b>now</b>? \x80"));  // shown as plain text
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    }
}

TEST(QtUiServicesTest, HourglassIsOneStateAndPromptsShowTheArrow) {
    QtUiServices services;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    services.SetHourglass(true);
    services.SetHourglass(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    SeenBox seen;
    WhenBoxShows(seen, [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    services.MessageBox("Busy", MsgButtons::OK, "KIVO");
    EXPECT_EQ(seen.cursor, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);

    services.SetHourglass(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    services.SetHourglass(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtUiServicesTest, FileFilterPairsBecomeQtFiltersAndStarDotStarMeansEveryFile) {
    EXPECT_EQ(QtFileFilter("All Files (*.*)|*.*"), u"All Files (*)"_s);
    EXPECT_EQ(QtFileFilter("Executable File (*.exe)|*.exe| Install Shield Script (*.ins)|*.ins"),
              u"Executable File (*.exe);;Install Shield Script (*.ins)"_s);
    EXPECT_EQ(QtFileFilter("Programs|*.exe;*.bat|Scripts|*.ins"),
              u"Programs (*.exe *.bat);;Scripts (*.ins)"_s);
    EXPECT_EQ(QtFileFilter(""), u""_s);
    // A description without its pattern is dropped rather than read as one.
    EXPECT_EQ(QtFileFilter("Text|*.txt|Dangling"), u"Text (*.txt)"_s);
}
