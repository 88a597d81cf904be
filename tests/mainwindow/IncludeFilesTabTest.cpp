// The "Include Files" tab: building the tree and the grid from the copy lists, and the folder
// and file commands with their effect on the model.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <map>

#include "GuiTestUtil.h"
#include "mainwindow/IncludeFilesTab.h"
#include "mainwindow/frmMain.h"
#include "qtui/QtText.h"
#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

using namespace Qt::StringLiterals;

using modTAVIN::S;

static void PrintTo(const FileEntry& f, std::ostream* os) {
    *os << "{" << f.DestDir << " | " << f.Loc << " | " << f.FileName << " | " << f.ExpandType
        << "}";
}

namespace {

FileEntry File(const std::string& dest, const std::string& loc, const std::string& name) {
    return {dest, loc, name, "Normal"};
}

FileGroup Group(const std::string& dest, std::vector<FileEntry> files) {
    FileGroup g;
    g.Platform = "All";
    g.Language = "All";
    g.DestDir = dest;
    if (!files.empty()) g.Loc = files.front().Loc;
    for (auto& f : files) g.Files.Append(f);
    return g;
}

BlindCopy Record(const std::string& name, std::vector<FileGroup> groups) {
    BlindCopy rec;
    rec.Name = name;
    rec.Section = name;
    for (auto& g : groups) rec.Groups.Append(g);
    return rec;
}

// Every file of a record, in group and file order.
std::vector<FileEntry> FilesOf(int record) {
    std::vector<FileEntry> out;
    for (const FileGroup& g : S().BlindCopies(record).Groups) {
        for (const FileEntry& f : g.Files) out.push_back(f);
    }
    return out;
}

std::vector<std::string> Children(const QTreeWidgetItem* node) {
    std::vector<std::string> out;
    for (int k = 0; k < node->childCount(); ++k)
        out.push_back(node->child(k)->text(0).toStdString());
    return out;
}

class IncludeFilesTabTest : public ::testing::Test {
protected:
    void SetUp() override {
        modTAVIN::ResetState();
        S().InstallerDir = dir / "Inst";
        S().InstallerOpen = true;
        WriteFileBytes(dir / "Inst/Sub/Deep/f.txt", "x");
        WriteFileBytes(dir / "Inst/top.txt", "x");
        WriteFileBytes(dir / "Inst2/f.txt", "x");
        frm.SelectedDir = S().InstallerDir;
        tab = frm.includeFilesTab;
        tree = tab->TVWDestFiles;
        grid = tab->FGFileInfo;
    }
    void TearDown() override {
        frm.mnuEditDestDir->hide();
        frm.mnuFileInfo->hide();
        modTAVIN::ResetState();
    }

    void Product(const std::string& name) {
        WriteFileBytes(dir / "Inst/TAVIN.ini", Crlf("[Main]\nProduct=" + name + "\n"));
    }
    void Show() { frm.ShowSettings(); }

    // The window on screen with the tab selected, as a user sees it.
    void ShowWindow() {
        frm.FirstActivate = false;
        frm.ssMainTab->show();
        frm.ssMainTab->setCurrentIndex(2);
        frm.show();
        QCoreApplication::processEvents();
    }

    // The first node (depth first) with that full path.
    QTreeWidgetItem* Node(const std::string& path) {
        std::vector<QTreeWidgetItem*> todo;
        for (int k = tree->topLevelItemCount() - 1; k >= 0; --k)
            todo.push_back(tree->topLevelItem(k));
        while (!todo.empty()) {
            QTreeWidgetItem* n = todo.back();
            todo.pop_back();
            if (IncludeFilesTab::FullPath(n) == path) return n;
            for (int k = n->childCount() - 1; k >= 0; --k) todo.push_back(n->child(k));
        }
        ADD_FAILURE() << "no node " << path;
        return nullptr;
    }
    void Select(const std::string& path) { tree->setCurrentItem(Node(path)); }

    std::vector<std::pair<std::string, std::string>> Rows() {
        std::vector<std::pair<std::string, std::string>> out;
        for (int r = 0; r < grid->rowCount(); ++r) {
            out.emplace_back(grid->item(r, 0)->text().toStdString(),
                             grid->item(r, 1)->text().toStdString());
        }
        return out;
    }

    // Types into the open label editor and presses Enter.
    void Type(const QString& text) {
        auto* editor = qobject_cast<QLineEdit*>(tree->indexWidget(tree->currentIndex()));
        ASSERT_NE(editor, nullptr) << "no label edit open";
        editor->setText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(editor, &enter);
        QCoreApplication::processEvents();
    }
    void Rename(const std::string& path, const QString& text) {
        Select(path);
        tab->mnuRenameFolder_Click();
        Type(text);
    }

    void Click(QAbstractItemView* view, QPoint at, Qt::MouseButton button) {
        QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at), button,
                          button, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, view->viewport()->mapToGlobal(at),
                            button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &release);
    }

    FakeUi ui;
    TempDir dir;
    frmMain frm;
    IncludeFilesTab* tab = nullptr;
    QTreeWidget* tree = nullptr;
    QTableWidget* grid = nullptr;
};

using Rows_t = std::vector<std::pair<std::string, std::string>>;

TEST_F(IncludeFilesTabTest, ControlsImagesAndNotes) {
    std::vector<QString> keys;
    for (const auto& image : tab->ImageList1.Images()) {
        keys.push_back(image.key);
        EXPECT_EQ(image.tag, image.key);
        EXPECT_EQ(image.icon.pixmap(16, 16).size(), QSize(16, 16));
    }
    EXPECT_EQ(keys, (std::vector<QString>{u"Check"_s, u"X"_s, u"CircleX"_s, u"QuestMark"_s,
                                          u"CircleQ"_s, u"Folder"_s}));

    std::vector<QString> texts;
    for (QLabel* l : tab->findChildren<QLabel*>()) texts.push_back(l->text());
    for (const char* t :
         {"To include a file, create a directory under the appropriate component and then add "
          "the file to the directory. ",
          "To edit which components are installed, please return to \"Customize\" under the "
          "Summary tab. ",
          "Components", "File Name", "Source Sub-Directory"}) {
        EXPECT_NE(std::find(texts.begin(), texts.end(), QString::fromLatin1(t)), texts.end()) << t;
    }
    EXPECT_TRUE(grid->horizontalHeader()->isHidden());
}

TEST_F(IncludeFilesTabTest, EmptyInstallerGivesEmptyTreeAndTwoColumnGrid) {
    Show();
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_GT(grid->columnWidth(1), grid->columnWidth(0));
    // Commands without a node change nothing and ask nothing.
    tab->mnuInsertFile_Click();
    tab->mnuInsertFolder_Click();
    tab->mnuDelFile_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(tree->topLevelItemCount(), 0);
}

TEST_F(IncludeFilesTabTest, CheckAndXOnlyInTheCustomView) {
    S().BlindCopies.Append(Record("On", {}));
    S().BlindCopies.Append(Record("Off", {}));
    S().OemSettings.Components.Append({"", "On", true});
    S().OemSettings.Components.Append({"", "Off", false});
    const qint64 check = tab->ImageList1.Icon(u"Check"_s).cacheKey();
    const qint64 x = tab->ImageList1.Icon(u"X"_s).cacheKey();

    S().OemSettings.Type = "Custom";
    Show();
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->icon(0).cacheKey(), check);
    EXPECT_EQ(tree->topLevelItem(1)->icon(0).cacheKey(), x);
    EXPECT_EQ(tab->NodeByKey("Off"), tree->topLevelItem(1));

    S().OemSettings.Type = "custom";
    Show();
    EXPECT_TRUE(tree->topLevelItem(0)->icon(0).isNull());

    S().OemSettings.Type = "Custom";
    S().OemSettings.Components.Append({"", "Third", true});
    Show();
    EXPECT_TRUE(tree->topLevelItem(0)->icon(0).isNull());
    EXPECT_TRUE(tree->topLevelItem(1)->icon(0).isNull());
}

TEST_F(IncludeFilesTabTest, FolderChainsPerGroupAndGridPerFolder) {
    FileGroup iconsOnly = Group("Hidden", {});
    iconsOnly.Icons.Append(IconEntry{});
    S().BlindCopies.Append(Record(
        "R",
        {Group("A\\B", {File("A\\B", "L", "b.txt")}), Group("A\\C", {File("A\\C", "L", "c.txt")}),
         Group("A", {File("A", "L", "a1.txt")}), Group("", {File("", "", "root.txt")}), iconsOnly,
         Group("A", {File("A", "M", "a2.txt")})}));
    S().BlindCopies.Append(Record("S", {Group("A", {File("A", "L", "other.txt")})}));
    Show();

    ASSERT_EQ(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* r = tree->topLevelItem(0);
    EXPECT_EQ(Children(r), (std::vector<std::string>{"A", "A", "A", "A"}));
    EXPECT_EQ(Children(r->child(0)), std::vector<std::string>{"B"});
    EXPECT_EQ(Children(r->child(1)), std::vector<std::string>{"C"});
    EXPECT_TRUE(r->child(0)->isExpanded());

    // After the rebuild the first record's root is selected with its files of no folder.
    EXPECT_EQ(tree->currentItem(), r);
    EXPECT_EQ(Rows(), (Rows_t{{"root.txt", ""}}));
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(grid->currentColumn(), 1);

    // Either node A lists every group of that record whose folder is exactly A.
    tree->setCurrentItem(r->child(1));
    EXPECT_EQ(Rows(), (Rows_t{{"a1.txt", "L"}, {"a2.txt", "M"}}));
    EXPECT_EQ(grid->currentRow(), 1);
    Select("R\\A\\C");
    EXPECT_EQ(Rows(), (Rows_t{{"c.txt", "L"}}));
}

TEST_F(IncludeFilesTabTest, SpecialProductHangsOtherRecordsUnderTheLastListedRoot) {
    Product("Tessary Sanctile 5.0");
    S().BlindCopies.Append(Record("Tessary Program Files", {Group("P", {File("P", "", "p.txt")})}));
    S().BlindCopies.Append(Record(
        "Extras", {Group("E", {File("E", "", "e.txt")}), Group("P", {File("P", "", "x.txt")})}));
    Show();
    EXPECT_TRUE(ui.messages.empty());
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(Children(tree->topLevelItem(0)), (std::vector<std::string>{"P", "E", "P"}));
    // A folder from the unlisted record lists only the shown record's files.
    Select("Tessary Program Files\\E");
    EXPECT_EQ(grid->rowCount(), 0);
    Select("Tessary Program Files\\P");
    EXPECT_EQ(Rows(), (Rows_t{{"p.txt", ""}}));

    // Unlisted first: no root to hang on, once per such record.
    S().BlindCopies.InsertAt(1, Record("First", {Group("F", {File("F", "", "f.txt")})}));
    Show();
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Error adding top level component to tvwDestFiles"});
    EXPECT_EQ(ui.messages[0].title, "KIVO");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(Children(tree->topLevelItem(0)), (std::vector<std::string>{"P", "E", "P"}));
    EXPECT_EQ(tree->currentItem(), nullptr);
    EXPECT_EQ(grid->rowCount(), 0);

    ui.ClearLog();
    Product("Vontu(R) Tessary(R) 5.0");
    Show();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(tree->topLevelItemCount(), 1);

    // Any other product shows every record; a second record of one name cannot be added.
    Product("Tessary Lumeno 5.0");
    S().BlindCopies.Append(Record("First", {}));
    Show();
    EXPECT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{"Error adding top level component to tvwDestFiles"});
}

TEST_F(IncludeFilesTabTest, AddTreeNodeReportsFailuresWithoutANode) {
    QTreeWidgetItem* root = tab->AddTreeNode(nullptr, {}, "K", "K");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tab->AddTreeNode(nullptr, {}, "K", "again"), nullptr);
    EXPECT_EQ(tab->AddTreeNode(root, IncludeFilesTab::tvwChild, {}, "x", "Nope"), nullptr);
    EXPECT_EQ(tab->AddTreeNode(nullptr, IncludeFilesTab::tvwChild, {}, "x"), nullptr);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(root->childCount(), 0);
}

TEST_F(IncludeFilesTabTest, InsertFileTakesOnlyFilesBelowTheInstallerDirectory) {
    S().BlindCopies.Append(Record("R", {Group("A", {File("A", "", "a.txt")})}));
    Show();
    Select("R\\A");

    // The directory beside it whose name begins the same, and a cancelled dialog.
    ui.File(dir / "Inst2/f.txt").File("");
    tab->mnuInsertFile_Click();
    tab->mnuInsertFile_Click();
    EXPECT_EQ(ui.Texts(),
              std::vector<std::string>{
                  "You may only select files from a subdirectory of the installer directory."});
    ASSERT_EQ(ui.fileDialogs.size(), 2u);
    EXPECT_EQ(ui.fileDialogs[0].filter, "All Files (*.*)|*.*");
    EXPECT_EQ(ui.fileDialogs[0].initialDir, S().InstallerDir);
    EXPECT_FALSE(S().Modified);

    ui.ClearLog();
    ui.File(dir / "Inst/Sub/Deep/f.txt");
    tab->mnuInsertFile_Click();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(FilesOf(1),
              (std::vector<FileEntry>{File("A", "", "a.txt"), File("A", "Sub\\Deep", "f.txt")}));
    EXPECT_EQ(Rows(), (Rows_t{{"a.txt", ""}, {"f.txt", "Sub\\Deep"}}));
    EXPECT_TRUE(S().Modified);

    // At the component node the file gets no folder; the installer directory may end in a
    // separator.
    S().InstallerDir += "/";
    Select("R");
    ui.File(dir / "Inst/top.txt");
    tab->mnuInsertFile_Click();
    EXPECT_EQ(FilesOf(1).back(), File("", "", "top.txt"));
    EXPECT_EQ(Rows(), (Rows_t{{"top.txt", ""}}));

    // The file system spells names in UTF-8; the settings file holds Windows-1252, and a name
    // that Windows-1252 cannot spell is refused rather than stored as something else.
    ui.ClearLog();
    WriteFileBytes(dir / "Inst/D\xC3\xA9p\xC3\xB4t/caf\xC3\xA9.txt", "x");
    WriteFileBytes(dir / "Inst/\xCE\xA9/f.txt", "x");
    ui.File(dir / "Inst/D\xC3\xA9p\xC3\xB4t/caf\xC3\xA9.txt").File(dir / "Inst/\xCE\xA9/f.txt");
    tab->mnuInsertFile_Click();
    EXPECT_EQ(FilesOf(1).back(), File("", "D\xE9p\xF4t", "caf\xE9.txt"));
    const auto count = FilesOf(1).size();
    tab->mnuInsertFile_Click();
    EXPECT_EQ(FilesOf(1).size(), count);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{kPathNotCp1252});
}

TEST_F(IncludeFilesTabTest, InsertFolderTwiceAndConfirmingNewFolderUnchanged) {
    S().BlindCopies.Append(Record("R", {}));
    Show();
    ASSERT_TRUE(frm.mnuInsertFolder->isEnabled());
    frm.mnuInsertFolder->trigger();
    QTreeWidgetItem* added = Node("R\\New Folder");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(tree->currentItem(), added);

    Type(u"New Folder"_s);
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Folder already exists."});
    EXPECT_EQ(added->text(0), u"New Folder"_s);

    Select("R");
    tab->mnuInsertFolder_Click();
    EXPECT_EQ(ui.Texts(),
              (std::vector<std::string>{"Folder already exists.", "Folder already exists."}));
    EXPECT_EQ(Children(tree->topLevelItem(0)), std::vector<std::string>{"New Folder"});
    EXPECT_FALSE(S().Modified);

    // A named folder takes its first file; the next rebuild shows it from the model.
    Select("R\\New Folder");
    tab->mnuRenameFolder_Click();
    Type(u"Docs"_s);
    ui.File(dir / "Inst/top.txt");
    tab->mnuInsertFile_Click();
    EXPECT_EQ(FilesOf(1), std::vector<FileEntry>{File("Docs", "", "top.txt")});
    Show();
    EXPECT_EQ(Children(tree->topLevelItem(0)), std::vector<std::string>{"Docs"});
}

TEST_F(IncludeFilesTabTest, LabelEditsRefusedAndAccepted) {
    S().BlindCopies.Append(
        Record("R", {Group("A", {File("A", "", "a.txt")}), Group("B", {File("B", "", "b.txt")}),
                     Group("Z", {File("Z", "", "z.txt")})}));
    Show();
    S().Modified = false;

    for (const char* bad : {"B", "", "x*y", "x\\\\y"}) {
        ui.ClearLog();
        Rename("R\\A", QString::fromLatin1(bad));
        EXPECT_EQ(ui.Texts(),
                  std::vector<std::string>{std::string(bad) == "B" ? "Folder already exists."
                                                                   : "Invalid Name"})
            << bad;
        EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), u"A"_s);
    }
    EXPECT_FALSE(S().Modified);

    ui.ClearLog();
    Select("R");  // a component
    tab->mnuRenameFolder_Click();
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Cannot rename components."});
    tree->editItem(tree->topLevelItem(0));  // however the edit started
    Type(u"X"_s);
    EXPECT_EQ(ui.Texts(), (std::vector<std::string>{"Cannot rename components.", "Invalid Name"}));
    EXPECT_EQ(tree->topLevelItem(0)->text(0), u"R"_s);

    // Another case is another name; a "\" adds a level.
    ui.ClearLog();
    Rename("R\\A", u"b"_s);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), u"b"_s);
    Rename("R\\Z", u"C\\D"_s);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(FilesOf(1), (std::vector<FileEntry>{File("B", "", "b.txt"), File("b", "", "a.txt"),
                                                  File("C\\D", "", "z.txt")}));
    EXPECT_TRUE(S().Modified);
    // Renaming the two-level label again replaces both levels.
    Rename("R\\C\\D", u"E"_s);
    EXPECT_EQ(FilesOf(1).back(), File("E", "", "z.txt"));
    Rename("R\\E", u"C\\D"_s);
    Show();
    EXPECT_EQ(Children(Node("R\\C")), std::vector<std::string>{"D"});
}

TEST_F(IncludeFilesTabTest, RenameMovesTheFolderAndWhatLiesBelowIt) {
    S().BlindCopies.Append(Record("R", {Group("A\\Old", {File("A\\Old", "", "1.txt")}),
                                        Group("A\\Old\\Sub", {File("A\\Old\\Sub", "L", "2.txt")}),
                                        Group("A\\Older", {File("A\\Older", "", "3.txt")}),
                                        Group("B\\A\\Old", {File("B\\A\\Old", "", "4.txt")}),
                                        Group("a\\old", {File("a\\old", "", "5.txt")})}));
    Show();
    Select("R\\A\\Old");
    const Rows_t before = Rows();
    tab->mnuRenameFolder_Click();
    Type(u"New"_s);

    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Node("R\\A\\New")->text(0), u"New"_s);
    EXPECT_EQ(Rows(), before);  // the grid is not refilled
    std::vector<FileEntry> files = FilesOf(1);
    auto has = [&](const FileEntry& f) {
        return std::find(files.begin(), files.end(), f) != files.end();
    };
    EXPECT_TRUE(has(File("A\\New", "", "1.txt")));
    EXPECT_TRUE(has(File("A\\New\\Sub", "L", "2.txt")));
    EXPECT_TRUE(has(File("A\\Older", "", "3.txt")));
    EXPECT_TRUE(has(File("B\\A\\Old", "", "4.txt")));
    EXPECT_TRUE(has(File("A\\New", "", "5.txt")));  // one Windows folder with A\Old
    EXPECT_EQ(files.size(), 5u);
}

TEST_F(IncludeFilesTabTest, DeleteFolderAndDeleteFile) {
    S().BlindCopies.Append(Record("R", {Group("", {File("", "", "1.txt"), File("", "L", "2.txt")}),
                                        Group("A\\Old", {File("A\\Old", "", "3.txt")}),
                                        Group("A\\Old\\Sub", {File("A\\Old\\Sub", "", "4.txt")}),
                                        Group("A\\Older", {File("A\\Older", "", "5.txt")})}));
    Show();

    // The last row goes when no row was clicked.
    frm.ssMainTab->setCurrentIndex(2);
    ASSERT_TRUE(Trigger(&frm, "mnuDelFile"));
    EXPECT_EQ(Rows(), (Rows_t{{"1.txt", ""}}));
    EXPECT_EQ(FilesOf(1).front(), File("", "", "1.txt"));
    EXPECT_EQ(FilesOf(1).size(), 4u);

    tab->mnuDeleteFolder_Click();
    EXPECT_EQ(ui.Texts(), std::vector<std::string>{"You cannot delete components."});

    Select("R\\A\\Old");
    tab->mnuDeleteFolder_Click();
    EXPECT_EQ(FilesOf(1),
              (std::vector<FileEntry>{File("", "", "1.txt"), File("A\\Older", "", "5.txt")}));
    EXPECT_EQ(Children(tree->topLevelItem(0)->child(0)), std::vector<std::string>{});
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_TRUE(tree->currentItem()->isSelected());
}

TEST_F(IncludeFilesTabTest, RightClickRefreshesThenPopsUpThePanelMenu) {
    S().BlindCopies.Append(
        Record("R", {Group("", {File("", "", "r.txt")}), Group("A", {File("A", "", "a.txt")})}));
    Show();
    ShowWindow();
    QTreeWidgetItem* a = Node("R\\A");
    Click(tree, tree->visualItemRect(a).center(), Qt::RightButton);
    EXPECT_EQ(tab->LastButton, 2);
    EXPECT_EQ(tree->currentItem(), a);
    EXPECT_EQ(Rows(), (Rows_t{{"a.txt", ""}}));
    EXPECT_TRUE(frm.mnuEditDestDir->isVisible());
    frm.mnuEditDestDir->hide();

    Click(tree, tree->visualItemRect(Node("R")).center(), Qt::LeftButton);
    EXPECT_EQ(Rows(), (Rows_t{{"r.txt", ""}}));
    EXPECT_EQ(grid->currentColumn(), 1);
    EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);  // the file names stay in view
    EXPECT_FALSE(frm.mnuEditDestDir->isVisible());

    Click(grid, grid->visualItemRect(grid->item(0, 0)).center(), Qt::RightButton);
    EXPECT_TRUE(frm.mnuFileInfo->isVisible());
    frm.mnuFileInfo->hide();

    // A click beside the nodes keeps the selected node: the grid still lists its files and the
    // pop-up's commands act on it.
    const QPoint blank(5, tree->viewport()->height() - 5);
    ASSERT_EQ(tree->itemAt(blank), nullptr);
    Select("R\\A");
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        Click(tree, blank, button);
        EXPECT_EQ(tree->currentItem(), a);
        EXPECT_TRUE(a->isSelected());
        EXPECT_EQ(Rows(), (Rows_t{{"a.txt", ""}}));
    }
    frm.mnuInsertFolder->trigger();
    EXPECT_EQ(Children(a), std::vector<std::string>{"New Folder"});
}

TEST_F(IncludeFilesTabTest, TreeAndGridGrowWithTheWindowFromTheirPlacesAtTheDefaultSize) {
    S().BlindCopies.Append(Record("R", {Group("", {File("", "Sub", "r.txt")})}));
    Show();
    ShowWindow();
    ASSERT_EQ(frm.size(), QSize(frmMain::DefaultWidth, frmMain::DefaultHeight));
    auto x = [this](int twips) { return qRound(twips * tab->logicalDpiX() / 1440.0); };
    auto y = [this](int twips) { return qRound(twips * tab->logicalDpiY() / 1440.0); };
    QLabel* components = tab->lblComponents;
    QLabel* fileName = tab->lblFileName;
    QLabel* subDir = tab->lblSourceSubDir;
    auto resize = [this](QSize size) {
        frm.resize(size);
        QCoreApplication::processEvents();
    };
    auto expectDefaultPlaces = [&] {
        EXPECT_EQ(tree->geometry(), QRect(x(120), y(1200), x(3495), y(5175)));
        EXPECT_EQ(grid->geometry(), QRect(x(3720), y(1200), x(5895), y(5175)));
        EXPECT_EQ(components->pos(), QPoint(x(240), y(960)));
        EXPECT_EQ(fileName->pos(), QPoint(x(3960), y(960)));
        EXPECT_EQ(subDir->pos(), QPoint(x(5880), y(960)));
        EXPECT_EQ(grid->columnWidth(0), x(2000));
        EXPECT_EQ(grid->columnWidth(1), x(4790));
    };
    expectDefaultPlaces();
    const QRect tree0 = tree->geometry();
    const QRect grid0 = grid->geometry();

    resize(QSize(1200, 800));
    EXPECT_EQ(tree->geometry().topLeft(), tree0.topLeft());
    EXPECT_GT(tree->width(), tree0.width());
    EXPECT_GT(grid->width(), grid0.width());
    EXPECT_EQ(tree->height(), tree0.height() + 300);
    EXPECT_EQ(grid->height(), tree->height());
    EXPECT_EQ(grid->y(), grid0.y());
    // The width gained goes to the tree and the grid alone: gap and margins stay.
    EXPECT_EQ(grid->x() - tree->geometry().right(), grid0.x() - tree0.right());
    EXPECT_EQ(tree->width() + grid->width(), tree0.width() + grid0.width() + 440);
    EXPECT_EQ(components->pos(), QPoint(x(240), y(960)));
    EXPECT_EQ(fileName->x() - grid->x(), x(3960) - x(3720));
    EXPECT_EQ(subDir->x() - grid->x(), x(5880) - x(3720));
    // The second column takes the width gained; both columns fit, so no scroll bar.
    EXPECT_EQ(grid->columnWidth(0), x(2000));
    EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    // A refill keeps the columns so.
    tab->FillFileGrid();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());

    resize(QSize(frmMain::DefaultWidth, frmMain::DefaultHeight));
    expectDefaultPlaces();
    EXPECT_TRUE(grid->horizontalScrollBar()->isVisible());  // the columns are wider than the grid

    // The smallest window cuts neither a note nor the grid.
    resize(frm.minimumSizeHint());
    ASSERT_LT(frm.width(), frmMain::DefaultWidth);
    for (QLabel* note : {tab->lblNoteInclude, tab->lblNoteCustomize}) {
        EXPECT_EQ(note->width(), note->sizeHint().width());
        EXPECT_LT(note->geometry().right(), tab->width()) << note->text().toStdString();
    }
    EXPECT_LT(grid->geometry().right(), tab->width());
    EXPECT_LT(grid->geometry().bottom(), tab->height());
    EXPECT_EQ(grid->geometry(), grid0);
}

}  // namespace

namespace {

// Every node's rows, by full path (nodes without files left out).
std::map<std::string, Rows_t> AllRows(QTreeWidget* tree, const std::function<Rows_t()>& rows) {
    std::map<std::string, Rows_t> out;
    std::vector<QTreeWidgetItem*> todo;
    for (int k = 0; k < tree->topLevelItemCount(); ++k) todo.push_back(tree->topLevelItem(k));
    while (!todo.empty()) {
        QTreeWidgetItem* n = todo.back();
        todo.pop_back();
        tree->setCurrentItem(n);
        if (!rows().empty()) out[IncludeFilesTab::FullPath(n)] = rows();
        for (int k = 0; k < n->childCount(); ++k) todo.push_back(n->child(k));
    }
    return out;
}

TEST_F(IncludeFilesTabTest, SavedSettingsHoldExactlyTheFilesTheGridShowed) {
    const std::string inst = S().InstallerDir;
    S().TavinIniPath = modTAVIN::PathIn(inst, "TAVIN.ini");
    S().SetupIssPath = modTAVIN::PathIn(inst, "Setup.iss");
    S().SetupLidPath = modTAVIN::PathIn(inst, "Setup.lid");
    S().KivoIniPath = dir / "KIVO.ini";
    // One copy-list section in the file's own spelling.
    std::string ini = "[Main]\nProduct=Kivo Sample 1.0\n[Components]\nNUMBER=1\nComp1=Files\n"
                      "Comp1Enabled=YES\n[Comp1 BlindCopy]\nNumberOfGroups=4\n";
    const std::vector<FileGroup> groups = {
        Group("A\\Old", {File("", "", "old.txt")}),
        Group("A\\Keep", {File("", "Src", "k1.txt"), File("", "Src", "k2.txt")}),
        Group("Gone", {File("", "", "g.txt")}), Group("", {File("", "", "r.txt")})};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::string k = "Group" + std::to_string(g + 1);
        ini += k + "Platform=All\n" + k + "Language=All\n" + k +
               "NumberOfFiles=" + std::to_string(groups[g].Files.Count()) + "\n" + k +
               "DestDir=" + groups[g].DestDir + "\n" + k + "Loc=" + groups[g].Loc + "\n";
        for (int f = 1; f <= groups[g].Files.Count(); ++f) {
            ini += k + "Filename" + std::to_string(f) + "=" + groups[g].Files(f).FileName + "\n" +
                   k + "File" + std::to_string(f) + "ExpandType=Normal\n";
        }
    }
    WriteFileBytes(S().TavinIniPath, Crlf(ini));
    ASSERT_TRUE(modTAVIN::LoadInstaller());
    Show();
    ASSERT_EQ(Rows(), (Rows_t{{"r.txt", ""}}));

    ui.File(dir / "Inst/top.txt");
    tab->mnuInsertFile_Click();
    Rename("Files\\A\\Old", u"New"_s);
    Select("Files\\A\\Keep");
    tab->mnuDelFile_Click();
    Select("Files\\Gone");
    tab->mnuDeleteFolder_Click();
    Select("Files");
    tab->mnuInsertFolder_Click();
    Type(u"Fresh"_s);
    ui.File(dir / "Inst/Sub/Deep/f.txt");
    tab->mnuInsertFile_Click();
    EXPECT_TRUE(ui.messages.empty());

    const std::map<std::string, Rows_t> shown = AllRows(tree, [this] { return Rows(); });
    EXPECT_EQ(shown, (std::map<std::string, Rows_t>{{"Files", {{"r.txt", ""}, {"top.txt", ""}}},
                                                    {"Files\\A\\New", {{"old.txt", ""}}},
                                                    {"Files\\A\\Keep", {{"k1.txt", "Src"}}},
                                                    {"Files\\Fresh", {{"f.txt", "Sub\\Deep"}}}}));

    ASSERT_TRUE(modTAVIN::SaveTavinIni());
    EXPECT_TRUE(ui.messages.empty());
    const std::string saved = ReadFileBytes(S().TavinIniPath);
    EXPECT_EQ(saved.find("g.txt"), std::string::npos);
    EXPECT_EQ(saved.find("k2.txt"), std::string::npos);
    ASSERT_TRUE(modTAVIN::LoadInstaller());
    Show();
    EXPECT_EQ(AllRows(tree, [this] { return Rows(); }), shown);
}

}  // namespace
