#include "wizard/frmWizard.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <string>

#include "platform/blanks.h"
#include "platform/ui.h"
#include "qtui/Controls.h"
#include "qtui/QtText.h"
#include "store/Util.h"

using namespace modWizUI;

namespace {

constexpr int kWidth = 620;
constexpr int kFrameHeight = 360;
constexpr int kNavHeight = 48;
constexpr int kPictureWidth = 132;
constexpr int kPictureHeight = 336;
constexpr int kKeyRole = Qt::UserRole;

// The steps that have a page, in the order a full walk meets them.
constexpr int kPages[] = {0, 1, 5, 6, 7, 8, 9, 10, 11};

// A page picture: a night-blue panel with an installer box, and a column of marks with the
// page's own mark lit, so the administrator sees roughly where the walk stands.
QPixmap DrawStepPicture(int step) {
    QPixmap pm(kPictureWidth, kPictureHeight);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0.0, QColor(18, 40, 92));
    sky.setColorAt(1.0, QColor(30, 128, 140));
    p.fillRect(pm.rect(), sky);

    // The box: front, top and side faces.
    const QPointF a(30, 92), b(86, 92), c(86, 148), d(30, 148), up(16, -14);
    p.setPen(QPen(QColor(250, 250, 250, 200), 1.5));
    p.setBrush(QColor(236, 196, 120));
    p.drawPolygon(QPolygonF({a, b, c, d}));
    p.setBrush(QColor(248, 220, 160));
    p.drawPolygon(QPolygonF({a, a + up, b + up, b}));
    p.setBrush(QColor(200, 156, 90));
    p.drawPolygon(QPolygonF({b, b + up, c + up, c}));
    p.setPen(QPen(QColor(120, 80, 40), 3));
    p.drawLine(QPointF(58, 92), QPointF(58, 148));

    // One mark per page.
    int row = 0;
    for (int page : kPages) {
        const QPointF centre(kPictureWidth / 2.0 - 40 + 10 * row, 200);
        p.setPen(Qt::NoPen);
        p.setBrush(page == step ? QColor(255, 230, 120) : QColor(255, 255, 255, 70));
        p.drawEllipse(centre, page == step ? 4.0 : 3.0, page == step ? 4.0 : 3.0);
        ++row;
    }
    p.setPen(QColor(255, 255, 255, 160));
    QFont f = p.font();
    f.setPointSize(9);
    p.setFont(f);
    p.drawText(QRectF(0, 230, kPictureWidth, 20), Qt::AlignCenter, QStringLiteral("Kivotool"));
    return pm;
}

QLabel* NewLabel(const char* text, QWidget* parent, bool heading = false) {
    QLabel* l = NewCaption(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    if (heading) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

// The column of a page frame that holds its controls, right of the picture.
QVBoxLayout* PageContent(QFrame* frame) {
    return static_cast<QVBoxLayout*>(frame->layout()->itemAt(1)->layout());
}

// Without the spaces at its ends (tabs and other white space stay). Each character has one byte
// in FromQ's text, so the trimmed part's place there is its place in s.
QString TrimmedSpaces(const QString& s) {
    const std::string bytes = FromQ(s);
    const std::string_view kept = kivo::TrimSpaces(bytes);
    return s.mid(static_cast<qsizetype>(kept.data() - bytes.data()),
                 static_cast<qsizetype>(kept.size()));
}

void ShowRefusal(const std::string& text) {
    kivo::Ui().MessageBox(text, kivo::MsgButtons::OK, Util::kMessageTitle);
}

QString ItemKey(int index) { return QStringLiteral("Ind%1").arg(index); }

}  // namespace

// ---- Building the window ------------------------------------------------------------------------

frmWizard::frmWizard(QWidget* mainWindow) : QDialog(nullptr), mainWindow_(mainWindow) {
    setObjectName("frmWizard");
    setWindowTitle(QStringLiteral("Kivotool"));
    setModal(false);
    BuildWindow();
    setFixedSize(kWidth, kFrameHeight + kNavHeight);
    Form_Load();
}

QFrame* frmWizard::NewStepFrame(int step) {
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraStep%1").arg(step));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setGeometry(0, 0, kWidth, kFrameHeight);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(12, 12, 16, 12);
    row->setSpacing(16);
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("imgStep%1").arg(step));
    picture->setPixmap(DrawStepPicture(step));
    picture->setFixedSize(kPictureWidth, kPictureHeight);
    row->addWidget(picture, 0, Qt::AlignTop);
    auto* content = new QVBoxLayout;
    content->setSpacing(10);
    row->addLayout(content, 1);
    fraStep[step] = frame;
    imgStep[step] = picture;
    return frame;
}

void frmWizard::BuildWindow() {
    BuildIntroPage();
    BuildModePage();
    BuildLanguagePage();
    BuildDestinationPage(6);
    BuildDestinationPage(7);
    BuildComponentsPage();
    BuildUserInfoPage();
    BuildOptionsPage();
    BuildEndPage();
    BuildButtonBar();
}

void frmWizard::BuildIntroPage() {
    QFrame* f = NewStepFrame(0);
    lblIntro = Named(NewLabel("The Kivotool will now help you modify the user interface for this "
                              "Tessary installer.",
                              f, true),
                     "lblIntro");
    PageContent(f)->addWidget(lblIntro);
    PageContent(f)->addStretch(1);
}

void frmWizard::BuildModePage() {
    QFrame* f = NewStepFrame(1);
    auto* c = PageContent(f);
    c->addWidget(NewLabel("This Installer can be configured to run silently.", f, true));
    auto* h = new QHBoxLayout;
    h->addWidget(NewLabel("Do you want to run the Tessary Installer in Silent mode?", f), 1);
    cmbSilentMode = Named(new QComboBox(f), "cmbSilentMode");
    cmbSilentMode->addItems({QStringLiteral("No"), QStringLiteral("Yes")});
    h->addWidget(cmbSilentMode);
    c->addLayout(h);
    c->addStretch(1);
}

void frmWizard::BuildLanguagePage() {
    QFrame* f = NewStepFrame(5);
    auto* c = PageContent(f);
    c->addWidget(NewLabel("Select a language to install.", f, true));
    c->addWidget(NewLabel("Languages Available for installation", f));
    ListLanguages = Named(new QListWidget(f), "ListLanguages");
    ListLanguages->setSelectionMode(QAbstractItemView::SingleSelection);
    ListLanguages->setSortingEnabled(false);
    c->addWidget(ListLanguages, 1);
}

// Step 6 asks for the destination alone, step 7 for the setup type above it.
void frmWizard::BuildDestinationPage(int step) {
    const bool withType = step == 7;
    QFrame* f = NewStepFrame(step);
    auto* c = PageContent(f);
    c->addWidget(NewLabel(withType ? "Choose a setup type and specify the destination directory."
                                   : "Select a directory for the installation.",
                          f, true));
    c->addWidget(NewLabel("To Do so either Click browse or type the full path in the text box "
                          "provided.",
                          f));
    if (withType) c->addLayout(NewSetupTypes(f));

    QLineEdit* box = Named(NewValueBox(), withType ? "TextDestDir4" : "TextDestDir3");
    auto* browse = Named(NewButton("Browse...", nullptr), withType ? "CmdBrowse4" : "CmdBrowse3");
    (withType ? TextDestDir4 : TextDestDir3) = box;
    (withType ? CmdBrowse4 : CmdBrowse3) = browse;

    auto* group = new QGroupBox(QStringLiteral("Destination Folder"), f);
    // The window has no default button: Return in the box must not open the browser.
    browse->setAutoDefault(false);
    auto* v = new QVBoxLayout(group);
    auto* h = new QHBoxLayout;
    h->addWidget(box, 1);
    h->addWidget(browse);
    v->addLayout(h);
    v->addWidget(NewLabel(
        "If a Destination Folder is not assigned, the Installer's Default is used.", group));
    c->addWidget(group);
    c->addStretch(1);

    connect(browse, &QPushButton::clicked, this,
            withType ? &frmWizard::CmdBrowse4_Click : &frmWizard::CmdBrowse3_Click);
    box->installEventFilter(this);
}

QGridLayout* frmWizard::NewSetupTypes(QWidget* page) {
    auto* grid = new QGridLayout;
    auto option = [&](int row, const char* name, const char* caption, const char* description) {
        auto* b = Named(new QRadioButton(QString::fromLatin1(caption), page), name);
        grid->addWidget(b, row, 0);
        grid->addWidget(NewLabel(description, page), row, 1);
        return b;
    };
    OptTypical =
        option(0, "OptTypical", "Typical", "Program will install with the most common options.");
    OptCompact = option(1, "OptCompact", "Compact",
                        "Program will install with the minimum Required options.");
    OptCustom = option(2, "OptCustom", "Custom", "You may choose the installed components.");
    grid->setColumnStretch(1, 1);
    connect(OptTypical, &QRadioButton::clicked, this, &frmWizard::OptTypical_Click);
    connect(OptCompact, &QRadioButton::clicked, this, &frmWizard::OptCompact_Click);
    connect(OptCustom, &QRadioButton::clicked, this, &frmWizard::OptCustom_Click);
    return grid;
}

void frmWizard::BuildComponentsPage() {
    QFrame* f = NewStepFrame(8);
    auto* c = PageContent(f);
    c->addWidget(NewLabel("Select the components to install from the list below. (double "
                          "click for a sublist)",
                          f, true));
    tvwCustomInstall = Named(new QTreeWidget(f), "tvwCustomInstall");
    tvwCustomInstall->setHeaderHidden(true);
    tvwCustomInstall->setColumnCount(1);
    tvwCustomInstall->setSortingEnabled(false);
    tvwCustomInstall->setRootIsDecorated(true);
    tvwCustomInstall->setExpandsOnDoubleClick(true);
    c->addWidget(tvwCustomInstall, 1);
    connect(tvwCustomInstall, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int) {
        // Only the administrator's clicks count; the code's own changes run nothing.
        if (!buildingTree_) tvwCustomInstall_NodeCheck(node);
    });
}

void frmWizard::BuildUserInfoPage() {
    QFrame* f = NewStepFrame(9);
    auto* c = PageContent(f);
    c->addWidget(NewLabel("The following information must be entered for the Installer to "
                          "work properly.",
                          f, true));
    auto* grid = new QGridLayout;
    TextUserName = Named(NewValueBox(), "TextUserName");
    TextCompanyName = Named(NewValueBox(), "TextCompanyName");
    TextSerialNumber = Named(NewValueBox(), "TextSerialNumber");
    grid->addWidget(NewLabel("Default User Name", f), 0, 0);
    grid->addWidget(TextUserName, 0, 1);
    grid->addWidget(NewLabel("Company Name", f), 1, 0);
    grid->addWidget(TextCompanyName, 1, 1);
    grid->addWidget(NewLabel("Serial Number", f), 2, 0);
    grid->addWidget(TextSerialNumber, 2, 1);
    grid->setColumnStretch(1, 1);
    c->addLayout(grid);
    c->addWidget(NewLabel("Please Double Check the Serial Number as the program will not "
                          "install correctly without a correct Serial Number.",
                          f));
    c->addStretch(1);
}

void frmWizard::BuildOptionsPage() {
    QFrame* f = NewStepFrame(10);
    auto* c = PageContent(f);
    c->addWidget(NewLabel("URL for Online Comments - WebDAV server (Tessary Only).", f));
    TextCollaboration = Named(NewValueBox(), "TextCollaboration");
    c->addWidget(TextCollaboration);
    c->addSpacing(12);
    c->addWidget(NewLabel("Check the box below to turn off updates and internet downloads "
                          "(Tessary or Lumeno).",
                          f));
    ChkDisUpdate =
        Named(new QCheckBox(QStringLiteral("Disable Internet Update"), f), "ChkDisUpdate");
    c->addWidget(ChkDisUpdate);
    c->addStretch(1);
    TextCollaboration->installEventFilter(this);
}

void frmWizard::BuildEndPage() {
    QFrame* f = NewStepFrame(11);
    PageContent(f)->addWidget(NewLabel(
        "Clicking finish will apply the changes made in the wizard. The file will not be "
        "altered until the file is saved. To save, after clicking finish select \"save\" under "
        "the file menu in the main window.",
        f, true));
    PageContent(f)->addStretch(1);
}

void frmWizard::BuildButtonBar() {
    picNav = Named(new QFrame(this), "picNav");
    picNav->setFrameShape(QFrame::StyledPanel);
    picNav->setGeometry(0, kFrameHeight, kWidth, kNavHeight);
    auto* bar = new QHBoxLayout(picNav);
    bar->setContentsMargins(12, 8, 12, 8);
    const char* captions[] = {nullptr, "Cancel", "< &Back", "&Next >", "&Finish"};
    for (int i = 1; i <= 4; ++i) {
        cmdNav[i] = NewButton(captions[i], picNav);
        cmdNav[i]->setObjectName(QStringLiteral("cmdNav%1").arg(i));
        cmdNav[i]->setAutoDefault(false);
        bar->addWidget(cmdNav[i]);
        if (i == 1) bar->addStretch(1);
        connect(cmdNav[i], &QPushButton::clicked, this, [this, i] { cmdNav_Click(i); });
    }
}

// ---- Lifecycle ----------------------------------------------------------------------------------

void frmWizard::Form_Load() {
    FirstActivate = true;
    FinishEnabled = false;
    for (QFrame* f : fraStep) {
        if (f) f->hide();
    }
    CurrentStep = 0;
    SetStep(None);
}

void frmWizard::showEvent(QShowEvent* event) {
    // Kept above the (disabled) main window by the window manager. Not a Qt child of it: a
    // child would be disabled with it.
    if (mainWindow_ && windowHandle() && mainWindow_->window()->windowHandle()) {
        windowHandle()->setTransientParent(mainWindow_->window()->windowHandle());
    }
    QDialog::showEvent(event);
    if (FirstActivate && !activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            if (FirstActivate) Form_Activate();
        });
    }
}

void frmWizard::Form_Activate() {
    if (FirstActivate) LoadWizardSettings();
    FillControls();
    FirstActivate = false;
}

void frmWizard::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        if (mainWindow_) mainWindow_->setEnabled(true);
        emit Closed();
    }
    event->accept();
}

void frmWizard::reject() { close(); }

// ---- Buttons ------------------------------------------------------------------------------------

void frmWizard::cmdNav_Click(int index) {
    switch (index) {
        case 1:  // Cancel: nothing is applied.
            close();
            break;
        case 2: SetStep(Back); break;
        case 3:
            if (CheckData()) {
                UpdateData();
                SetStep(Next);
            }
            break;
        case 4:
            ApplyWizardSettings();
            close();
            break;
        default: break;
    }
}

void frmWizard::BrowseInto(QLineEdit* box) {
    const std::string dir = Util::BrowseForFolder();
    if (dir.empty()) return;
    const QString text = NativeToQ(dir);
    // Cut to the box's length, the path would name another folder.
    if (text.size() > box->maxLength()) {
        ShowRefusal("The path of the chosen folder is longer than the " +
                    std::to_string(Util::kValueChars) +
                    " characters that TAVIN.ini gives back. Please choose a shorter path.");
        return;
    }
    box->setText(text);
}

void frmWizard::CmdBrowse3_Click() { BrowseInto(TextDestDir3); }
void frmWizard::CmdBrowse4_Click() { BrowseInto(TextDestDir4); }

void frmWizard::OptTypical_Click() {
    OptTypical->setChecked(true);
    OptCompact->setChecked(false);
    OptCustom->setChecked(false);
}
void frmWizard::OptCompact_Click() {
    OptCompact->setChecked(true);
    OptTypical->setChecked(false);
    OptCustom->setChecked(false);
}
void frmWizard::OptCustom_Click() {
    OptCustom->setChecked(true);
    OptTypical->setChecked(false);
    OptCompact->setChecked(false);
}

void frmWizard::TrimBlanks(QLineEdit* box) {
    const QString trimmed = TrimmedSpaces(box->text());
    if (trimmed != box->text()) box->setText(trimmed);
}

void frmWizard::TextDestDir3_LostFocus() { TrimBlanks(TextDestDir3); }
void frmWizard::TextDestDir4_LostFocus() { TrimBlanks(TextDestDir4); }
void frmWizard::TextCollaboration_LostFocus() { TrimBlanks(TextCollaboration); }

bool frmWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == TextDestDir3)
            TextDestDir3_LostFocus();
        else if (watched == TextDestDir4)
            TextDestDir4_LostFocus();
        else if (watched == TextCollaboration)
            TextCollaboration_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmWizard::tvwCustomInstall_NodeCheck(QTreeWidgetItem* node) {
    if (!node || node->childCount() == 0) return;
    const Qt::CheckState state = node->checkState(0);
    buildingTree_ = true;
    for (int i = 0; i < node->childCount(); ++i) node->child(i)->setCheckState(0, state);
    buildingTree_ = false;
}

// ---- Steps --------------------------------------------------------------------------------------

void frmWizard::SetStep(Direction direction) {
    FormSettings = GetWizardSettings();
    int16_t target = 0;
    if (direction == Next)
        target = NextStep(CurrentStep, OptCustom->isChecked());
    else if (direction == Back)
        target = PreviousStep(CurrentStep);
    if (!fraStep[target]) return;  // no page: the tables never lead there

    FinishEnabled = (target == 11);
    QFrame* current = fraStep[CurrentStep];
    QFrame* shown = fraStep[target];
    if (current) current->setEnabled(false);
    shown->show();
    shown->raise();
    if (target != CurrentStep && current) current->hide();
    shown->setEnabled(true);
    SetNavBtns(target);
    CurrentStep = target;
    if (target != 0) FillControls();
}

void frmWizard::SetNavBtns(int16_t step) {
    cmdNav[1]->setEnabled(true);
    cmdNav[2]->setEnabled(step != 0);
    cmdNav[3]->setEnabled(step != 11);
    cmdNav[4]->setEnabled(FinishEnabled);
}

bool frmWizard::CheckPath(QLineEdit* box) {
    const std::string text = FromQ(box->text());
    if (!text.empty() && !Util::IsValidPath(text)) {
        ShowRefusal("Please enter a Valid Path.");
        return false;
    }
    return true;
}

bool frmWizard::CheckData() {
    switch (CurrentStep) {
        case 5:
            if (ListLanguages->selectedItems().isEmpty()) {
                ShowRefusal("Please Select a language.");
                return false;
            }
            return true;
        case 6: return CheckPath(TextDestDir3);
        case 7:
            if (!OptTypical->isChecked() && !OptCompact->isChecked() && !OptCustom->isChecked()) {
                ShowRefusal("Please select a Setup Type.");
                return false;
            }
            return CheckPath(TextDestDir4);
        case 9: {
            const std::pair<QLineEdit*, const char*> required[] = {
                {TextUserName, "Please Enter a Default Name."},
                {TextSerialNumber, "Please Enter a Serial Number."},
                {TextCompanyName, "Plese Enter a Company Name."},
            };
            for (const auto& [box, message] : required) {
                if (box->text().isEmpty()) {
                    ShowRefusal(message);
                    box->setFocus();
                    return false;
                }
            }
            return true;
        }
        default: return true;
    }
}

// ---- Pages --------------------------------------------------------------------------------------

void frmWizard::FillControls() {
    FormSettings = GetWizardSettings();
    const WizardSettings& s = FormSettings;

    cmbSilentMode->setCurrentIndex(s.InstallModeSilent ? 1 : 0);

    ListLanguages->clear();
    for (const LanguageEntry& lang : s.Languages) ListLanguages->addItem(ToQ(lang.Name));
    // The stored choice, so that Back and Next, and a walk that leaves the page alone, keep it.
    if (ListLanguages->count() > 0) {
        const int stored = s.SelectedLanguage - 1;
        ListLanguages->setCurrentRow(stored >= 0 && stored < ListLanguages->count() ? stored : 0);
    }

    TextDestDir3->setText(ToQ(s.DefaultDestDir));
    TextDestDir4->setText(ToQ(s.DefaultDestDir));

    if (s.Type == "Compact")
        OptCompact_Click();
    else if (s.Type == "Custom")
        OptCustom_Click();
    else
        OptTypical_Click();

    TextUserName->setText(ToQ(s.UserName));
    TextCompanyName->setText(ToQ(s.UserCompanyName));
    TextSerialNumber->setText(ToQ(s.UserSerialNumber));

    FillComponentTree();

    if (IsFullEdition()) {
        TextCollaboration->setEnabled(true);
        TextCollaboration->setText(ToQ(FormSettings.CollabServer));
    } else {
        TextCollaboration->setEnabled(false);
    }
    if (OptionsOffered()) {
        ChkDisUpdate->setEnabled(true);
        ChkDisUpdate->setChecked(FormSettings.DisableUpdates);
    } else {
        ChkDisUpdate->setEnabled(false);
    }

    if (CurrentStep == 10 && TextCollaboration->isEnabled()) TextCollaboration->setFocus();
    if (CurrentStep == 9 && TextUserName->isEnabled()) TextUserName->setFocus();
}

// Group nodes are the top-level nodes keyed by a component's parent name; item nodes are their
// children keyed "Ind<i>". Groups are looked up among top-level nodes only and items among
// children only, so a parent name that looks like an item key still groups correctly.
void frmWizard::FillComponentTree() {
    buildingTree_ = true;
    tvwCustomInstall->clear();
    FormSettings = GetWizardSettings();
    const auto& comps = FormSettings.Components;

    auto findGroup = [this](const QString& key) -> QTreeWidgetItem* {
        for (int i = 0; i < tvwCustomInstall->topLevelItemCount(); ++i) {
            QTreeWidgetItem* node = tvwCustomInstall->topLevelItem(i);
            if (node->data(0, kKeyRole).toString() == key) return node;
        }
        return nullptr;
    };
    auto addNode = [](QTreeWidgetItem* node, const QString& key, const QString& text, bool on) {
        node->setData(0, kKeyRole, key);
        node->setText(0, text);
        node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        node->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
        return node;
    };

    for (int i = 1; i <= comps.Count(); ++i) {
        const QString parent = ToQ(comps(i).Parent);
        QTreeWidgetItem* group = findGroup(parent);
        if (!group) {
            group = addNode(new QTreeWidgetItem(tvwCustomInstall), parent, parent, false);
        }
        if (comps(i).Enabled) group->setCheckState(0, Qt::Checked);
    }
    for (int i = 1; i <= comps.Count(); ++i) {
        QTreeWidgetItem* group = findGroup(ToQ(comps(i).Parent));
        addNode(new QTreeWidgetItem(group), ItemKey(i), ToQ(comps(i).Name), comps(i).Enabled);
    }
    buildingTree_ = false;
}

QTreeWidgetItem* frmWizard::FindNode(const QString& key) const {
    for (int g = 0; g < tvwCustomInstall->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = tvwCustomInstall->topLevelItem(g);
        if (group->data(0, kKeyRole).toString() == key) return group;
    }
    return FindItem(key);
}

QTreeWidgetItem* frmWizard::FindItem(const QString& key) const {
    for (int g = 0; g < tvwCustomInstall->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = tvwCustomInstall->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) {
            if (group->child(i)->data(0, kKeyRole).toString() == key) return group->child(i);
        }
    }
    return nullptr;
}

void frmWizard::UpdateData() {
    FormSettings = GetWizardSettings();
    WizardSettings& s = FormSettings;
    auto destination = [](QLineEdit* box) {
        const std::string text = FromQ(box->text());
        return (!text.empty() && Util::IsValidPath(text)) ? text : std::string();
    };
    switch (CurrentStep) {
        case 1:
            s.InstallModeSilent = cmbSilentMode->currentText() == QLatin1String("Yes");
            if (!s.InstallModeSilent) s.Type.clear();
            break;
        case 5:
            if (!ListLanguages->selectedItems().isEmpty()) {
                s.SelectedLanguage = static_cast<int16_t>(1 + ListLanguages->currentRow());
            }
            break;
        case 6: s.DefaultDestDir = destination(TextDestDir3); break;
        case 7:
            s.DefaultDestDir = destination(TextDestDir4);
            if (OptTypical->isChecked())
                s.Type = "Typical";
            else if (OptCompact->isChecked())
                s.Type = "Compact";
            else if (OptCustom->isChecked())
                s.Type = "Custom";
            break;
        case 8:
            for (int i = 1; i <= s.Components.Count(); ++i) {
                // Every item is built with its node; a missing one leaves its component alone.
                if (QTreeWidgetItem* node = FindItem(ItemKey(i))) {
                    s.Components(i).Enabled = node->checkState(0) == Qt::Checked;
                }
            }
            break;
        case 9:
            if (!TextUserName->text().isEmpty()) s.UserName = FromQ(TextUserName->text());
            if (!TextSerialNumber->text().isEmpty())
                s.UserSerialNumber = FromQ(TextSerialNumber->text());
            if (!TextCompanyName->text().isEmpty())
                s.UserCompanyName = FromQ(TextCompanyName->text());
            break;
        case 10:
            s.CollabServer = FromQ(TextCollaboration->text());
            s.DisableUpdates = ChkDisUpdate->isChecked();
            break;
        default: return;  // nothing to store
    }
    SetWizardSettings(s);
}
