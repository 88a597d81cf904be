#pragma once
// The "Include Files" tab: the tree of components and their destination folders, the grid of
// the files of the selected folder, and the commands of the two panel menus that insert,
// rename and delete folders and insert and delete files.
#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "mainwindow/ImageList.h"

class frmMain;
class QLabel;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

class IncludeFilesTab : public QWidget {
    Q_OBJECT

public:
    explicit IncludeFilesTab(frmMain* main);
    ~IncludeFilesTab() override;

    // ---- Controls ----
    QTreeWidget* TVWDestFiles = nullptr;
    QTableWidget* FGFileInfo = nullptr;  // column 0 file name, column 1 source sub-directory
    QLabel* lblComponents = nullptr;
    QLabel* lblFileName = nullptr;
    QLabel* lblSourceSubDir = nullptr;
    QLabel* lblNoteInclude = nullptr;
    QLabel* lblNoteCustomize = nullptr;
    ImageList ImageList1;

    // ---- The last mouse-down on the tree or the grid ----
    int LastButton = 0;  // 1 left, 2 right, 4 middle
    int LastShift = 0;   // 1 Shift, 2 Ctrl, 4 Alt
    float LastX = 0;     // pixels within the control
    float LastY = 0;

    // ---- Tree and grid ----
    // The relationship that makes the new node the last child of the relative.
    static constexpr int tvwChild = 4;
    // Adds a node (at the top level without a relative), makes it visible and returns it; no
    // node (nullptr) when the key is taken, an image key is unknown, or the relative is missing
    // for a child.
    QTreeWidgetItem* AddTreeNode(QTreeWidgetItem* relative = nullptr,
                                 std::optional<int> relationship = {},
                                 const std::optional<std::string>& key = {},
                                 const std::optional<std::string>& text = {},
                                 const std::optional<std::string>& image = {},
                                 const std::optional<std::string>& selectedImage = {});
    // The node added under that key (nullptr when none).
    QTreeWidgetItem* NodeByKey(const std::string& key) const;
    // The node texts from its root down to it, joined with "\".
    static std::string FullPath(const QTreeWidgetItem* node);

    void FillDestFilesTree();
    void FillFileGrid();

    void TVWDestFiles_MouseDown(int button, int shift, float x, float y);
    void FGFileInfo_MouseDown(int button, int shift, float x, float y);
    void TVWDestFiles_Click();
    void FGFileInfo_Click();

    // ---- Commands of the panel menus ----
    void mnuInsertFile_Click();
    void mnuInsertFolder_Click();
    void mnuRenameFolder_Click();
    void mnuDeleteFolder_Click();
    void mnuDelFile_Click();
    // The end of a label edit of the tree: runs while the edited node still shows its old
    // text; refuses by writing that text into newString.
    void TVWDestFiles_AfterLabelEdit(int16_t& cancel, std::string& newString);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class LabelEditDelegate;
    // Runs the end-of-edit rule for the edited node; the text the label is to show, or none
    // when the label stays as it is.
    std::optional<QString> EndLabelEdit(QTreeWidgetItem* node, const QString& typed);
    void BuildControls();
    // Puts the controls at their places for the window's present size.
    void LayOutControls();
    void SelectNodeQuietly(QTreeWidgetItem* node);
    void RemoveNode(QTreeWidgetItem* node);
    // The node the commands work on: the node being edited while an edit ends, else the
    // selected node.
    QTreeWidgetItem* CommandNode() const;

    frmMain* main_;
    std::map<std::string, QTreeWidgetItem*> keys_;
    QTreeWidgetItem* labelEditNode_ = nullptr;
    bool fillingTree_ = false;  // a rebuild is adding its nodes
    QTreeWidgetItem* lastAdded_ = nullptr;
    bool quietSelection_ = false;  // selection changed by code: no grid refill
    bool mouseInTree_ = false;     // a click on the tree is under way
    bool swallowTreeRelease_ = false;
    bool swallowGridRelease_ = false;
};
