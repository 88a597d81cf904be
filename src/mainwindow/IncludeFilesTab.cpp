#include "mainwindow/IncludeFilesTab.h"

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTreeWidget>
#include <filesystem>

#include "mainwindow/KeepsSelection.h"
#include "mainwindow/ValueLimit.h"
#include "mainwindow/frmMain.h"
#include "platform/fileops.h"
#include "platform/ui.h"
#include "qtui/Controls.h"
#include "qtui/QtText.h"
#include "store/Util.h"
#include "store/modTAVIN.h"

namespace {

void Message(const std::string& text) {
    kivo::Ui().MessageBox(text, kivo::MsgButtons::OK, Util::kMessageTitle);
}

std::string Text(const QTreeWidgetItem* node) { return FromQ(node->text(0)); }

// A node's full path split into its component (first segment) and its folder path (the rest,
// empty for a component node).
struct NodePath {
    std::string path;
    std::string component;
    std::string folder;
    bool IsComponent() const { return path.find('\\') == std::string::npos; }
};

NodePath PathOf(const QTreeWidgetItem* node) {
    NodePath p;
    p.path = IncludeFilesTab::FullPath(node);
    std::string rest = p.path;
    p.component = Util::GetToken(rest, "\\");
    p.folder = rest;
    return p;
}

// The copy-list record of a component: the last one of that exact name; 0 when none.
int16_t RecordIndex(const std::string& component) {
    int16_t found = 0;
    const int16_t count = modTAVIN::BlindCopyCount();
    for (int16_t i = 1; i <= count; ++i) {
        if (modTAVIN::GetBlindCopy(i).Name == component) found = i;
    }
    return found;
}

bool IsSpecialProduct(const std::string& product) {
    return product == "Tessary Sanctile 5.0" || product == "Vontu(R) Tessary(R) 5.0" ||
           product == "Tessary Formwell 5.0";
}

// The records that a special product shows as components of their own.
bool IsListedRecord(const std::string& name) {
    return name == "Tessary Fumarel Files" || name == "Tessary Program Files" ||
           name == "Tessary Quillet Files" || name == "Tessary Pagefold" ||
           name == "Fumarel Asian Language PDF Generation";
}

QTableWidgetItem* Cell(const std::string& text) {
    auto* cell = new QTableWidgetItem(ToQ(text));
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

// Twips (1/1440 inch) to pixels across and down.
int TwipsX(const QWidget* w, int twips) { return qRound(twips * w->logicalDpiX() / 1440.0); }
int TwipsY(const QWidget* w, int twips) { return qRound(twips * w->logicalDpiY() / 1440.0); }

// Places in twips within the tab at the window's default size; the tree and the grid grow
// from there with the window, sharing the width gained in the ratio of these widths.
constexpr int kTreeLeft = 120, kTreeWidth = 3495;
constexpr int kGridLeft = 3720, kGridWidth = 5895;
constexpr int kViewTop = 1200, kViewHeight = 5175;
constexpr int kHeadingTop = 960, kFileNameLeft = 3960, kSourceSubDirLeft = 5880;
constexpr int kNoteLeft = 1200, kMargin = 120;
constexpr int kFileNameColumn = 2000, kSourceSubDirColumn = 4790;

int Button(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton: return 1;
        case Qt::RightButton: return 2;
        case Qt::MiddleButton: return 4;
        default: return 0;
    }
}

int Shift(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

// Ends a label edit of the tree through the tab's rule, while the node still shows its old text.
class LabelEditDelegate : public QStyledItemDelegate {
public:
    explicit LabelEditDelegate(IncludeFilesTab* tab) : QStyledItemDelegate(tab), tab_(tab) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* box = qobject_cast<QLineEdit*>(editor)) RestrictToCp1252(box);
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* box = qobject_cast<QLineEdit*>(editor);
        if (!box || busy_) return;
        QTreeWidgetItem* node = tab_->TVWDestFiles->itemFromIndex(index);
        if (!node) return;
        // A message box of the rule takes the focus from the editor; unwatched, that focus
        // loss would commit once more and close (and delete) the editor while it is in use.
        auto* self = const_cast<LabelEditDelegate*>(this);
        QPointer<QWidget> alive(editor);
        editor->removeEventFilter(self);
        busy_ = true;
        std::optional<QString> text = tab_->EndLabelEdit(node, box->text());
        busy_ = false;
        if (alive) alive->installEventFilter(self);
        if (text) model->setData(index, *text, Qt::EditRole);
    }

private:
    IncludeFilesTab* tab_;
    mutable bool busy_ = false;
};

IncludeFilesTab::IncludeFilesTab(frmMain* main)
    : QWidget(main), ImageList1(MakeIncludeFilesImages()), main_(main) {
    setObjectName("IncludeFilesTab");
    BuildControls();

    connect(main_->mnuInsertFile, &QAction::triggered, this, [this] { mnuInsertFile_Click(); });
    connect(main_->mnuInsertFolder, &QAction::triggered, this, [this] { mnuInsertFolder_Click(); });
    connect(main_->mnuRenameFolder, &QAction::triggered, this, [this] { mnuRenameFolder_Click(); });
    connect(main_->mnuDeleteFolder, &QAction::triggered, this, [this] { mnuDeleteFolder_Click(); });
    connect(main_->mnuDelFile, &QAction::triggered, this, [this] { mnuDelFile_Click(); });
}

IncludeFilesTab::~IncludeFilesTab() = default;

void IncludeFilesTab::BuildControls() {
    auto px = [this](int twips) { return TwipsX(this, twips); };
    auto py = [this](int twips) { return TwipsY(this, twips); };
    auto label = [&](const char* name, const char* text, int left, int top) {
        QLabel* l = Named(NewCaption(text, this), name);
        l->move(px(left), py(top));
        l->adjustSize();
        return l;
    };
    lblNoteInclude = label("lblNoteInclude",
                           "To include a file, create a directory under the appropriate "
                           "component and then add the file to the directory. ",
                           kNoteLeft, 480);
    lblNoteCustomize = label("lblNoteCustomize",
                             "To edit which components are installed, please return to "
                             "\"Customize\" under the Summary tab. ",
                             kNoteLeft, 720);
    lblComponents = label("lblComponents", "Components", 240, kHeadingTop);
    lblFileName = label("lblFileName", "File Name", kFileNameLeft, kHeadingTop);
    lblSourceSubDir =
        label("lblSourceSubDir", "Source Sub-Directory", kSourceSubDirLeft, kHeadingTop);

    // A click beside the nodes would otherwise leave none selected: the grid would empty and
    // the panel commands would do nothing.
    TVWDestFiles = new KeepsSelection<QTreeWidget>(this);
    TVWDestFiles->setObjectName("TVWDestFiles");
    TVWDestFiles->setColumnCount(1);
    TVWDestFiles->setHeaderHidden(true);
    TVWDestFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    TVWDestFiles->setEditTriggers(QAbstractItemView::EditKeyPressed);
    TVWDestFiles->setItemDelegate(new LabelEditDelegate(this));
    TVWDestFiles->viewport()->installEventFilter(this);
    // A selection moved with the keyboard shows its files too; a mouse click does so through
    // the click handler, and a selection made by code leaves the grid to the code.
    connect(TVWDestFiles, &QTreeWidget::currentItemChanged, this, [this] {
        if (!quietSelection_ && !mouseInTree_) FillFileGrid();
    });

    FGFileInfo = new QTableWidget(this);
    FGFileInfo->setObjectName("FGFileInfo");
    FGFileInfo->setColumnCount(2);
    FGFileInfo->horizontalHeader()->hide();
    // The source sub-directory takes the width that the grid has beyond its two columns, so
    // that no scroll bar shows once both fit; the width set to it stays its least width.
    FGFileInfo->horizontalHeader()->setStretchLastSection(true);
    FGFileInfo->verticalHeader()->hide();
    FGFileInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGFileInfo->setSelectionMode(QAbstractItemView::SingleSelection);
    FGFileInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGFileInfo->setColumnWidth(0, px(kFileNameColumn));
    FGFileInfo->setColumnWidth(1, px(kSourceSubDirColumn));
    FGFileInfo->viewport()->installEventFilter(this);

    // Room for the grid's right and bottom edges and for the whole notes, with the margin the
    // tree keeps on the left.
    int right = px(kGridLeft + kGridWidth);
    for (const QLabel* note : {lblNoteInclude, lblNoteCustomize})
        right = std::max(right, note->geometry().right() + 1);
    setMinimumSize(right + px(kMargin), py(kViewTop + kViewHeight + kMargin));
    LayOutControls();
}

void IncludeFilesTab::LayOutControls() {
    auto px = [this](int twips) { return TwipsX(this, twips); };
    auto py = [this](int twips) { return TwipsY(this, twips); };
    // The tab grows one for one with the window.
    const int grownX = std::max(0, main_->width() - frmMain::DefaultWidth);
    const int grownY = std::max(0, main_->height() - frmMain::DefaultHeight);
    const int treeGain = grownX * kTreeWidth / (kTreeWidth + kGridWidth);
    const int height = py(kViewHeight) + grownY;
    TVWDestFiles->setGeometry(px(kTreeLeft), py(kViewTop), px(kTreeWidth) + treeGain, height);
    FGFileInfo->setGeometry(px(kGridLeft) + treeGain, py(kViewTop),
                            px(kGridWidth) + grownX - treeGain, height);
    // The headings move with the grid's columns.
    lblFileName->move(px(kFileNameLeft) + treeGain, py(kHeadingTop));
    lblSourceSubDir->move(px(kSourceSubDirLeft) + treeGain, py(kHeadingTop));
}

void IncludeFilesTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutControls();
}

void IncludeFilesTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    LayOutControls();
}

// ---- Tree -----------------------------------------------------------------------------------

QTreeWidgetItem* IncludeFilesTab::AddTreeNode(QTreeWidgetItem* relative,
                                              std::optional<int> relationship,
                                              const std::optional<std::string>& key,
                                              const std::optional<std::string>& text,
                                              const std::optional<std::string>& image,
                                              const std::optional<std::string>& selectedImage) {
    if (image && !ImageList1.Contains(ToQ(*image))) return nullptr;
    if (selectedImage && !ImageList1.Contains(ToQ(*selectedImage))) return nullptr;
    if (key && keys_.count(*key)) return nullptr;
    const bool child = relationship && *relationship == tvwChild;
    if (relative && (!child || relative->treeWidget() != TVWDestFiles)) return nullptr;
    if (!relative && child) return nullptr;

    QTreeWidgetItem* node =
        relative ? new QTreeWidgetItem(relative) : new QTreeWidgetItem(TVWDestFiles);
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    if (text) node->setText(0, ToQ(*text));
    if (image || selectedImage) {
        QIcon icon = image ? ImageList1.Icon(ToQ(*image)) : QIcon();
        if (selectedImage) {
            icon.addPixmap(ImageList1.Icon(ToQ(*selectedImage)).pixmap(16, 16), QIcon::Selected);
        }
        node->setIcon(0, icon);
    }
    if (key) keys_[*key] = node;
    if (fillingTree_) {
        // The rebuild shows its nodes once at its end: node by node costs a layout each.
        lastAdded_ = node;
        return node;
    }
    for (QTreeWidgetItem* up = node->parent(); up; up = up->parent()) up->setExpanded(true);
    TVWDestFiles->scrollToItem(node);
    return node;
}

QTreeWidgetItem* IncludeFilesTab::NodeByKey(const std::string& key) const {
    auto it = keys_.find(key);
    return it == keys_.end() ? nullptr : it->second;
}

std::string IncludeFilesTab::FullPath(const QTreeWidgetItem* node) {
    std::string path = Text(node);
    for (const QTreeWidgetItem* up = node->parent(); up; up = up->parent()) {
        path = Text(up) + "\\" + path;
    }
    return path;
}

void IncludeFilesTab::SelectNodeQuietly(QTreeWidgetItem* node) {
    quietSelection_ = true;
    TVWDestFiles->setCurrentItem(node);
    if (node) node->setSelected(true);
    quietSelection_ = false;
}

void IncludeFilesTab::RemoveNode(QTreeWidgetItem* node) {
    for (auto it = keys_.begin(); it != keys_.end();) {
        bool below = false;
        for (QTreeWidgetItem* up = it->second; up && !below; up = up->parent()) below = up == node;
        it = below ? keys_.erase(it) : std::next(it);
    }
    quietSelection_ = true;
    delete node;
    quietSelection_ = false;
    // The view moves the current node on; make it the selected one too.
    SelectNodeQuietly(TVWDestFiles->currentItem());
}

QTreeWidgetItem* IncludeFilesTab::CommandNode() const {
    if (labelEditNode_) return labelEditNode_;
    QTreeWidgetItem* node = TVWDestFiles->currentItem();
    return node && node->isSelected() ? node : nullptr;
}

void IncludeFilesTab::FillDestFilesTree() {
    main_->EditSettings = modTAVIN::GetOemInstall();
    const OemInstall& settings = main_->EditSettings;
    quietSelection_ = true;
    TVWDestFiles->clear();
    quietSelection_ = false;
    keys_.clear();

    const int16_t count = modTAVIN::BlindCopyCount();
    const bool custom = count == settings.Components.Count() && settings.Type == "Custom";
    QTreeWidgetItem* root = nullptr;  // where the current record's folders go
    fillingTree_ = true;
    lastAdded_ = nullptr;
    for (int16_t i = 1; i <= count; ++i) {
        const BlindCopy rec = modTAVIN::GetBlindCopy(i);
        const std::string product = Util::GetIniString(
            "Main", "Product", "", modTAVIN::PathIn(main_->SelectedDir, "TAVIN.ini"));
        // A special product shows only its listed records; the folders of the others go under
        // the root of the nearest earlier listed record.
        if (!IsSpecialProduct(product) || IsListedRecord(rec.Name)) {
            std::optional<std::string> image;
            if (custom) image = settings.Components(i).Enabled ? "Check" : "X";
            root = AddTreeNode(nullptr, {}, rec.Name, rec.Name, image);
        }
        if (!root) {
            if (product != "Vontu(R) Tessary(R) 5.0") {
                Message("Error adding top level component to tvwDestFiles");
            }
            continue;
        }
        // Each group with files gets its own chain of folders; equal chains are not merged.
        for (const FileGroup& g : rec.Groups) {
            if (g.Files.Empty()) continue;
            QTreeWidgetItem* node = root;
            std::string rest = g.DestDir;
            while (node && !rest.empty()) {
                node = AddTreeNode(node, tvwChild, {}, Util::GetToken(rest, "\\"), "Folder");
            }
        }
    }
    fillingTree_ = false;
    // Every node with children is an ancestor of an added node.
    TVWDestFiles->expandAll();
    if (lastAdded_) TVWDestFiles->scrollToItem(lastAdded_);
    if (count != 0) {
        if (QTreeWidgetItem* first = NodeByKey(modTAVIN::GetBlindCopy(1).Name)) {
            SelectNodeQuietly(first);
        }
    }
}

void IncludeFilesTab::FillFileGrid() {
    FGFileInfo->clearContents();
    FGFileInfo->setRowCount(0);
    FGFileInfo->setColumnCount(2);
    FGFileInfo->setColumnWidth(0, TwipsX(this, kFileNameColumn));
    FGFileInfo->setColumnWidth(1, TwipsX(this, kSourceSubDirColumn));
    // The headings above stand over the columns only while the grid is not scrolled sideways.
    FGFileInfo->horizontalScrollBar()->setValue(0);

    const int16_t count = modTAVIN::BlindCopyCount();
    QTreeWidgetItem* node = CommandNode();
    if (count == 0 || !node) return;
    const NodePath p = PathOf(node);
    // Only the records of the node's component: a record whose name merely occurs in the path
    // (inside a folder name or another record's name) does not own the folder shown.
    for (int16_t i = 1; i <= count; ++i) {
        const BlindCopy rec = modTAVIN::GetBlindCopy(i);
        if (rec.Name != p.component) continue;
        for (const FileGroup& g : rec.Groups) {
            if (g.DestDir != p.folder) continue;
            for (const FileEntry& f : g.Files) {
                const int row = FGFileInfo->rowCount();
                FGFileInfo->setRowCount(row + 1);
                FGFileInfo->setItem(row, 0, Cell(f.FileName));
                FGFileInfo->setItem(row, 1, Cell(f.Loc));
            }
        }
    }
    const int rows = FGFileInfo->rowCount();
    if (rows > 0) {
        FGFileInfo->setCurrentCell(rows - 1, 1);
        // The two columns are wider than the grid: keep the file names in view.
        FGFileInfo->scrollToItem(FGFileInfo->item(rows - 1, 0));
    }
}

// ---- Mouse ----------------------------------------------------------------------------------

void IncludeFilesTab::TVWDestFiles_MouseDown(int button, int shift, float x, float y) {
    LastButton = button;
    LastShift = shift;
    LastX = x;
    LastY = y;
}

void IncludeFilesTab::FGFileInfo_MouseDown(int button, int shift, float x, float y) {
    TVWDestFiles_MouseDown(button, shift, x, y);
}

void IncludeFilesTab::TVWDestFiles_Click() {
    FillFileGrid();
    if (LastButton == 2) main_->mnuEditDestDir->popup(QCursor::pos());
}

void IncludeFilesTab::FGFileInfo_Click() {
    if (LastButton == 2) main_->mnuFileInfo->popup(QCursor::pos());
}

bool IncludeFilesTab::eventFilter(QObject* watched, QEvent* event) {
    const bool tree = watched == TVWDestFiles->viewport();
    const bool grid = watched == FGFileInfo->viewport();
    if (!tree && !grid) return QWidget::eventFilter(watched, event);
    bool& swallowRelease = tree ? swallowTreeRelease_ : swallowGridRelease_;
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            const int button = Button(e->button());
            const int shift = Shift(e->modifiers());
            const auto x = static_cast<float>(e->position().x());
            const auto y = static_cast<float>(e->position().y());
            if (tree) {
                mouseInTree_ = true;
                TVWDestFiles_MouseDown(button, shift, x, y);
            } else {
                FGFileInfo_MouseDown(button, shift, x, y);
            }
            break;
        }
        case QEvent::MouseButtonDblClick:
            // The second press of a double click is no new click.
            swallowRelease = true;
            break;
        case QEvent::MouseButtonRelease:
            if (tree) mouseInTree_ = false;
            if (swallowRelease) {
                swallowRelease = false;
            } else if (tree) {
                TVWDestFiles_Click();
            } else {
                FGFileInfo_Click();
            }
            break;
        default: break;
    }
    return false;
}

// ---- Commands -------------------------------------------------------------------------------

void IncludeFilesTab::mnuInsertFile_Click() {
    QTreeWidgetItem* node = CommandNode();
    if (!node) return;
    namespace fs = std::filesystem;
    const std::string installer = modTAVIN::GetInstallerDir();
    const std::string chosen = kivo::Ui().OpenFileDialog("All Files (*.*)|*.*", installer);
    if (chosen.empty() || !kivo::fileops::Exists(chosen)) return;

    // Whole path components are compared, so that a directory beside the installer directory
    // whose name begins the same is not taken for it. Letter case counts: on this file system
    // two directories may differ only in case.
    const char sep = kivo::fileops::Separator();
    std::string prefix = fs::path(installer).lexically_normal().string();
    if (prefix.empty() || prefix.back() != sep) prefix += sep;
    const std::string file = fs::path(chosen).lexically_normal().string();
    if (installer.empty() || file.size() <= prefix.size() ||
        file.compare(0, prefix.size(), prefix) != 0) {
        Message("You may only select files from a subdirectory of the installer directory.");
        return;
    }

    const NodePath p = PathOf(node);
    FileEntry entry;
    entry.DestDir = p.folder;
    bool ok = true;
    const std::string relative = NativeToCp1252(file.substr(prefix.size()), &ok);
    if (!ok) {
        Message(kPathNotCp1252);
        return;
    }
    const std::string::size_type last = relative.rfind(sep);
    entry.FileName = last == std::string::npos ? relative : relative.substr(last + 1);
    entry.Loc = last == std::string::npos ? std::string() : relative.substr(0, last);
    for (char& c : entry.Loc) {
        if (c == sep) c = '\\';
    }
    entry.ExpandType = "Normal";
    if (!FitsOneValue(entry.DestDir) || !FitsOneValue(entry.FileName) || !FitsOneValue(entry.Loc)) {
        Message(FitsOneValue(entry.DestDir) ? kPathTooLong : kFolderPathTooLong);
        return;
    }

    if (const int16_t rec = RecordIndex(p.component)) modTAVIN::AddFileToBlindCopy(rec, entry);
    FillFileGrid();
}

void IncludeFilesTab::mnuInsertFolder_Click() {
    QTreeWidgetItem* node = CommandNode();
    if (!node) return;
    for (int k = 0; k < node->childCount(); ++k) {
        if (Text(node->child(k)) == "New Folder") {
            Message("Folder already exists.");
            return;
        }
    }
    QTreeWidgetItem* added = AddTreeNode(node, tvwChild, {}, "New Folder", "Folder");
    if (!added) return;
    SelectNodeQuietly(added);
    TVWDestFiles->editItem(added, 0);
}

void IncludeFilesTab::mnuRenameFolder_Click() {
    QTreeWidgetItem* node = CommandNode();
    if (!node) return;
    if (PathOf(node).IsComponent()) {
        Message("Cannot rename components.");
        return;
    }
    TVWDestFiles->editItem(node, 0);
}

std::optional<QString> IncludeFilesTab::EndLabelEdit(QTreeWidgetItem* node, const QString& typed) {
    labelEditNode_ = node;
    int16_t cancel = 0;
    std::string text = FromQ(typed);
    TVWDestFiles_AfterLabelEdit(cancel, text);
    labelEditNode_ = nullptr;
    if (cancel != 0) return std::nullopt;
    return ToQ(text);
}

void IncludeFilesTab::TVWDestFiles_AfterLabelEdit(int16_t& /*cancel*/, std::string& newString) {
    QTreeWidgetItem* node = CommandNode();
    if (!node) return;
    QTreeWidgetItem* parent = node->parent();
    const int siblings = parent ? parent->childCount() : TVWDestFiles->topLevelItemCount();
    bool exists = false;
    for (int k = 0; k < siblings && !exists; ++k) {
        const QTreeWidgetItem* sib = parent ? parent->child(k) : TVWDestFiles->topLevelItem(k);
        exists = Text(sib) == newString;
    }
    const NodePath p = PathOf(node);
    if (exists || !Util::IsValidPath(newString) || p.IsComponent()) {
        newString = Text(node);
        Message(exists ? "Folder already exists." : "Invalid Name");
        return;
    }

    // The node's own text ends its folder path (it may hold a "\" of an earlier rename).
    const std::string newFolder =
        p.folder.substr(0, p.folder.size() - Text(node).size()) + newString;
    if (!modTAVIN::MoveDestFolder(RecordIndex(p.component), p.folder, newFolder)) {
        newString = Text(node);
        Message(kFolderPathTooLong);
    }
}

void IncludeFilesTab::mnuDeleteFolder_Click() {
    QTreeWidgetItem* node = CommandNode();
    if (!node) return;
    const NodePath p = PathOf(node);
    if (p.IsComponent()) {
        Message("You cannot delete components.");
        return;
    }
    modTAVIN::RemoveDestFolder(RecordIndex(p.component), p.folder);
    RemoveNode(node);
    FillFileGrid();
}

void IncludeFilesTab::mnuDelFile_Click() {
    if (FGFileInfo->rowCount() == 0) return;
    QTreeWidgetItem* node = CommandNode();
    const int row = FGFileInfo->currentRow();
    if (!node || row < 0) return;
    const NodePath p = PathOf(node);
    FileEntry entry;
    entry.DestDir = p.folder;
    entry.FileName = FromQ(FGFileInfo->item(row, 0)->text());
    entry.Loc = FromQ(FGFileInfo->item(row, 1)->text());
    entry.ExpandType = "Normal";
    if (const int16_t rec = RecordIndex(p.component)) modTAVIN::RemoveFileFromBlindCopy(rec, entry);
    FillFileGrid();
}
