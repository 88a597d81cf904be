#include "qtui/QtUiServices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "qtui/QtText.h"

using kivo::MsgButtons;
using kivo::MsgResult;

namespace {

// Paths are handed to the file system as they are, so they keep the file system's own encoding
// rather than Windows-1252: a folder whose name Windows-1252 cannot spell must still open.
std::string FromQPath(const QString& path) {
    if (path.isEmpty()) return {};
    return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

// The hourglass covers the program's own windows; a prompt or dialog shown meanwhile waits for
// the user and gets the ordinary pointer.
class ArrowWhileAsking {
public:
    explicit ArrowWhileAsking(bool hourglass) : pushed_(hourglass) {
        if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileAsking() {
        if (pushed_) QApplication::restoreOverrideCursor();
    }
    ArrowWhileAsking(const ArrowWhileAsking&) = delete;
    ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

private:
    bool pushed_;
};

}  // namespace

MsgResult QtUiServices::MessageBox(const std::string& text, MsgButtons buttons,
                                   const std::string& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(ToQ(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQ(text));
    struct Choice {
        QMessageBox::StandardButton button;
        MsgResult result;
    };
    std::vector<Choice> choices;
    switch (buttons) {
        case MsgButtons::OK: choices = {{QMessageBox::Ok, MsgResult::OK}}; break;
        case MsgButtons::OKCancel:
            choices = {{QMessageBox::Ok, MsgResult::OK}, {QMessageBox::Cancel, MsgResult::Cancel}};
            break;
        case MsgButtons::YesNo:
            choices = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}};
            break;
        case MsgButtons::YesNoCancel:
            choices = {{QMessageBox::Yes, MsgResult::Yes},
                       {QMessageBox::No, MsgResult::No},
                       {QMessageBox::Cancel, MsgResult::Cancel}};
            break;
    }
    QMessageBox::StandardButtons set;
    for (const Choice& c : choices) set |= c.button;
    box.setStandardButtons(set);
    box.setDefaultButton(choices.front().button);
    {
        ArrowWhileAsking arrow(hourglass_);
        box.exec();
    }
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : choices)
        if (clicked && clicked == box.button(c.button)) return c.result;
    return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel;
}

std::string QtUiServices::BrowseForFolder(const std::string& title) {
    ArrowWhileAsking arrow(hourglass_);
    return FromQPath(QFileDialog::getExistingDirectory(QApplication::activeWindow(), ToQ(title),
                                                       QDir::currentPath()));
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = ToQ(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        // Qt reads the patterns from the last parentheses of an entry, so a description that
        // already shows its patterns ("Executable File (*.exe)") loses them to the real ones.
        QString description = parts[i].trimmed();
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open >= 0)
            description = description.left(open).trimmed();
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

std::string QtUiServices::OpenFileDialog(const std::string& filter, const std::string& initialDir) {
    ArrowWhileAsking arrow(hourglass_);
    return FromQPath(QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(),
                                                  NativeToQ(initialDir), QtFileFilter(filter)));
}

void QtUiServices::SetHourglass(bool on) {
    if (on == hourglass_) return;
    hourglass_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtUiServices::EndProgram() {
    // At once: no further window event may run. Every file the program writes is complete
    // when its write returns, so there is nothing to flush but the standard streams.
    std::fflush(nullptr);
    std::_Exit(0);
}

std::string QtUiServices::ExecutableDir() {
    return FromQPath(QCoreApplication::applicationDirPath());
}
