// The Shortcuts tab: the two sorted lists and the moves between them.

#include <QPushButton>

#include "MainWindowFixture.h"

using namespace Qt::StringLiterals;

using namespace mwtest;

namespace {

QStringList Rows(QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
    return rows;
}

int Selected(QListWidget* list) {
    const auto items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.first());
}

InstallerValues WithShortcuts(const std::string& section) {
    InstallerValues v;
    v.extra = "[OEM Remove Shortcut]\n" + section;
    return v;
}

}  // namespace

class ShortcutsTabTest : public MainWindowTest {
protected:
    void OpenWith(const std::string& section) {
        Open(MakeInstaller(WithShortcuts(section)));
        inc = Ctl<QListWidget>("ListIncShortcut");
        rem = Ctl<QListWidget>("ListRemShortcut");
    }
    void Remove() { Ctl<QPushButton>("CmdRemShortcut")->click(); }
    void Add() { Ctl<QPushButton>("CmdAddShortcut")->click(); }
    bool RemoveFlag(const std::string& name) {
        for (const auto& e : modTAVIN::GetOemInstall().RemoveShortcuts)
            if (e.Name == name) return e.Remove;
        ADD_FAILURE() << "no shortcut " << name;
        return false;
    }
    QListWidget* inc = nullptr;
    QListWidget* rem = nullptr;
};

TEST_F(ShortcutsTabTest, ListsAreSortedAndSplitByTheRemoveFlag) {
    OpenWith("zeta=NO\nAlpha=YES\nbeta=NO\nGamma=yes\n");
    EXPECT_EQ(Rows(inc), QStringList({u"beta"_s, u"Gamma"_s, u"zeta"_s}));  // "yes" reads as NO
    EXPECT_EQ(Rows(rem), QStringList({u"Alpha"_s}));
    EXPECT_EQ(Selected(inc), -1);
    EXPECT_EQ(Ctl<QPushButton>("CmdRemShortcut")->text(), u"----->"_s);
    EXPECT_EQ(Ctl<QPushButton>("CmdAddShortcut")->text(), u"<-----"_s);
    EXPECT_EQ(inc->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(ShortcutsTabTest, MoveSelectsTheFollowingRowThenTheLast) {
    OpenWith("a=NO\nb=NO\nc=NO\n");
    inc->setCurrentRow(1);
    Remove();
    EXPECT_EQ(Rows(inc), QStringList({u"a"_s, u"c"_s}));
    EXPECT_EQ(Rows(rem), QStringList({u"b"_s}));
    EXPECT_EQ(Selected(inc), 1);  // "c" followed "b"
    EXPECT_EQ(Selected(rem), 0);  // the first row of an empty list is selected
    EXPECT_TRUE(RemoveFlag("b"));
    EXPECT_TRUE(modTAVIN::IsModified());

    Remove();  // "c" was the last row: the new last row is selected
    EXPECT_EQ(Rows(inc), QStringList({u"a"_s}));
    EXPECT_EQ(Selected(inc), 0);
    EXPECT_EQ(Rows(rem), QStringList({u"b"_s, u"c"_s}));

    Remove();  // the only row: the list is empty afterwards
    EXPECT_EQ(inc->count(), 0);
    EXPECT_EQ(Rows(rem), QStringList({u"a"_s, u"b"_s, u"c"_s}));

    rem->setCurrentRow(0);
    Add();
    EXPECT_EQ(Rows(inc), QStringList({u"a"_s}));
    EXPECT_EQ(Selected(inc), 0);
    EXPECT_EQ(Selected(rem), 0);  // "b" followed "a"
    EXPECT_FALSE(RemoveFlag("a"));

    // No selection: nothing moves, the last row is selected, the model is marked modified.
    rem->clearSelection();
    modTAVIN::S().Modified = false;
    Add();
    EXPECT_EQ(Rows(rem), QStringList({u"b"_s, u"c"_s}));
    EXPECT_EQ(Selected(rem), 1);
    EXPECT_EQ(Selected(inc), 0);  // the target holds exactly one row
    EXPECT_TRUE(modTAVIN::IsModified());
}

TEST_F(ShortcutsTabTest, EveryEntryOfTheMovedNameTakesTheFlag) {
    // Names are compared exactly: "Reader" and "reader" are different shortcuts.
    OpenWith("Reader=NO\nreader=NO\n");
    modTAVIN::S().OemSettings.RemoveShortcuts.Append({"Reader", false});  // a second "Reader"
    w->ShowSettings();
    ASSERT_EQ(Rows(inc).count(u"Reader"_s), 2);
    inc->setCurrentRow(Rows(inc).indexOf(u"Reader"_s));
    Remove();
    int flagged = 0;
    for (const auto& e : modTAVIN::GetOemInstall().RemoveShortcuts) {
        if (e.Name == "Reader") flagged += e.Remove ? 1 : 0;
        if (e.Name == "reader") {
            EXPECT_FALSE(e.Remove);
        }
    }
    EXPECT_EQ(flagged, 2);
}
