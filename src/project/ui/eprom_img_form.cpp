#include "project/ui/eprom_img_form.h"

#include "framework/ui/address_dialog.h"
#include "framework/ui/console_widget.h"
#include "framework/ui/named_widget.h"
#include "framework/ui/qt_text.h"
#include "platform/message_box_flags.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <initializer_list>
#include <span>

namespace ravlo {
namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

// The list's columns; the four addresses between Type and File.
constexpr int kFirstAddressColumn = 2;
constexpr int kLastAddressColumn = 5;
constexpr int kFileColumn = 6;
// The list shows File shortened to this many characters.
constexpr int kFileChars = 22;

// Refills a combo box without telling its listeners, and selects the item of text.
void FillCombo(QComboBox& combo, std::span<const std::string_view> items, std::string_view text) {
    const QSignalBlocker blocker(combo);
    combo.clear();
    for (std::string_view item : items) {
        combo.addItem(FromCp1250(item));
    }
    combo.setCurrentIndex(combo.findText(FromCp1250(text)));
}

} // namespace

QString QtFileFilter(std::string_view filter) {
    QStringList parts = FromCp1250(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Patterns are written upper case; the files of this system may be in either case.
        const QStringList written = parts[i + 1].split(QLatin1Char(';'));
        QStringList patterns = written;
        for (const QString& pattern : written) {
            if (pattern.toLower() != pattern) {
                patterns.append(pattern.toLower());
            }
        }
        filters.append(parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::filesystem::path> ChooseFileWithDialog(QWidget* parent, const TFileDialogSpec& spec,
                                                          bool save) {
    QFileDialog dialog(parent, FromCp1250(spec.Title), QString::fromStdString(spec.InitialDir.string()),
                       QtFileFilter(spec.Filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(spec.DefaultExt));
    if (!spec.FileName.empty()) {
        dialog.selectFile(FromCp1250(spec.FileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

TEpromImg_MDIChildForm::TEpromImg_MDIChildForm(TEpromImgHost& host, QWidget* parent)
    : TBroadcastForm(parent), host_(host), composer_(host) {
    setObjectName(QStringLiteral("EpromImg_MDIChildForm"));
    setWindowTitle(QStringLiteral("(E)EPROM Image - list of ROM modules in address space"));
    setAttribute(Qt::WA_DeleteOnClose);
    chooseFile_ = [this](const TFileDialogSpec& spec, bool save) {
        return ChooseFileWithDialog(this, spec, save);
    };
    askAddress_ = [](std::string_view caption, TSegOfsPtr& address) {
        return AskAddress(caption, address, false) == IDOK;
    };
    BuildControls();
    composer_.Open();
    ShowState();
}

void TEpromImg_MDIChildForm::BuildControls() {
    stWorkDirectory_ = Named(new QLabel(this), "stWorkDirectory");
    cbVok_ = Named(new QComboBox(this), "cbVok");
    for (std::string_view kind : VokKindTexts()) {
        cbVok_->addItem(FromCp1250(kind));
    }
    lbEpromHi_ = Named(new QLabel(this), "lbEpromHi");
    cbEpromHi_ = Named(new QComboBox(this), "cbEpromHi");
    lbEpromLo_ = Named(new QLabel(QStringLiteral("(E)EPROM LO:"), this), "lbEpromLo");
    cbEpromLo_ = Named(new QComboBox(this), "cbEpromLo");
    // The size texts line up their numbers with blanks.
    cbEpromHi_->setFont(FixedPitchFont());
    cbEpromLo_->setFont(FixedPitchFont());
    auto* lbEpromHiFile = new QLabel(QStringLiteral("HI file:"), this);
    lbEpromLoFile_ = Named(new QLabel(QStringLiteral("LO file:"), this), "lbEpromLoFile");
    edEpromHiFileName_ = Named(new QLineEdit(this), "edEpromHiFileName");
    edEpromLoFileName_ = Named(new QLineEdit(this), "edEpromLoFileName");
    QPushButton* btBrowseHi = MakeButton(this, "btBrowseHi", QStringLiteral("..."));
    btBrowseLo_ = MakeButton(this, "btBrowseLo", QStringLiteral("..."));
    for (QPushButton* browse : {btBrowseHi, btBrowseLo_}) {
        browse->setToolTip(QStringLiteral("Choose the image file"));
        browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("  ...  ")) + 12);
    }

    Modules_ListView_ = Named(new QTreeWidget(this), "Modules_ListView");
    Modules_ListView_->setRootIsDecorated(false);
    Modules_ListView_->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Start"), QStringLiteral("End"),
         QStringLiteral("Offset start"), QStringLiteral("Offset end"), QStringLiteral("File")});
    for (int column = kFirstAddressColumn; column <= kLastAddressColumn; ++column) {
        Modules_ListView_->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }

    QPushButton* btAddBIOS = MakeButton(this, "btAddBIOS", QStringLiteral("Add BIOS"));
    btAddSetup_ = MakeButton(this, "btAddSetup", QStringLiteral("Add BIOS Setup"));
    QPushButton* btAddBIN = MakeButton(this, "btAddBIN", QStringLiteral("Add User .BIN"));
    QPushButton* btEdit = MakeButton(this, "btEdit", QStringLiteral("Edit module"));
    btEdit->hide();
    QPushButton* btDelete = MakeButton(this, "btDelete", QStringLiteral("Delete module"));
    btCreateImg_ = MakeButton(this, "btCreateImg", QStringLiteral("Create Image"));
    QPushButton* btClose = MakeButton(this, "btClose", QStringLiteral("Close"));
    StatusBar_ = Named(new QStatusBar(this), "StatusBar");
    statusText_ = Named(new QLabel(StatusBar_), "StatusText");
    StatusBar_->addWidget(statusText_, 1);
    StatusBar_->setSizeGripEnabled(false);

    auto* chips = new QGridLayout;
    chips->addWidget(new QLabel(QStringLiteral("Board:"), this), 0, 0);
    chips->addWidget(cbVok_, 0, 1);
    chips->addWidget(lbEpromHi_, 1, 0);
    chips->addWidget(cbEpromHi_, 1, 1);
    chips->addWidget(lbEpromHiFile, 1, 2);
    chips->addWidget(edEpromHiFileName_, 1, 3);
    chips->addWidget(btBrowseHi, 1, 4);
    chips->addWidget(lbEpromLo_, 2, 0);
    chips->addWidget(cbEpromLo_, 2, 1);
    chips->addWidget(lbEpromLoFile_, 2, 2);
    chips->addWidget(edEpromLoFileName_, 2, 3);
    chips->addWidget(btBrowseLo_, 2, 4);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btAddBIOS, btAddSetup_, btAddBIN, btEdit, btDelete, btCreateImg_, btClose}) {
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stWorkDirectory_);
    layout->addLayout(chips);
    layout->addWidget(Modules_ListView_, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar_);

    connect(cbVok_, &QComboBox::activated, this, [this](int index) {
        composer_.SelectBoardKind(static_cast<TVokKind>(index + 1));
        ShowState();
    });
    connect(cbEpromHi_, &QComboBox::activated, this, [this] {
        composer_.SelectHiSizeText(ToCp1250(cbEpromHi_->currentText()));
        ShowState();
    });
    connect(cbEpromLo_, &QComboBox::activated, this, [this] {
        composer_.SelectLoSizeText(ToCp1250(cbEpromLo_->currentText()));
        ShowState();
    });
    connect(edEpromHiFileName_, &QLineEdit::textEdited, this, &TEpromImg_MDIChildForm::FileNamesEdited);
    connect(edEpromLoFileName_, &QLineEdit::textEdited, this, &TEpromImg_MDIChildForm::FileNamesEdited);
    connect(btBrowseHi, &QPushButton::clicked, this, [this] { BrowseImageFile(*edEpromHiFileName_); });
    connect(btBrowseLo_, &QPushButton::clicked, this, [this] { BrowseImageFile(*edEpromLoFileName_); });
    connect(btAddBIOS, &QPushButton::clicked, this, &TEpromImg_MDIChildForm::btAddBIOSClick);
    connect(btAddSetup_, &QPushButton::clicked, this, &TEpromImg_MDIChildForm::btAddSetupClick);
    connect(btAddBIN, &QPushButton::clicked, this, &TEpromImg_MDIChildForm::btAddBINClick);
    connect(btEdit, &QPushButton::clicked, this, &TEpromImg_MDIChildForm::btEditClick);
    connect(Modules_ListView_, &QTreeWidget::itemDoubleClicked, this, &TEpromImg_MDIChildForm::btEditClick);
    connect(btDelete, &QPushButton::clicked, this, &TEpromImg_MDIChildForm::btDeleteClick);
    connect(btCreateImg_, &QPushButton::clicked, this, &TEpromImg_MDIChildForm::btCreateImgClick);
    connect(btClose, &QPushButton::clicked, this, &TBroadcastForm::CloseWindow);
}

int TEpromImg_MDIChildForm::ColumnWidth(int column) const {
    const QAbstractItemView& view = *Modules_ListView_;
    int width =
        std::max(view.sizeHintForColumn(column), Modules_ListView_->header()->sectionSizeHint(column));
    if (column == kFileColumn) {
        // Room for the longest name the list shows, so that rows added later fit as well.
        width = std::max(width, view.fontMetrics().averageCharWidth() * kFileChars);
    }
    // A little air between the columns.
    return width + view.fontMetrics().averageCharWidth() * 2;
}

int TEpromImg_MDIChildForm::ListWidthForAllColumns() const {
    int width = 0;
    for (int column = 0; column < Modules_ListView_->columnCount(); ++column) {
        width += ColumnWidth(column);
    }
    return width + 2 * Modules_ListView_->frameWidth() +
           Modules_ListView_->verticalScrollBar()->sizeHint().width();
}

QSize TEpromImg_MDIChildForm::sizeHint() const {
    QSize hint = TBroadcastForm::sizeHint();
    const QMargins margins = layout()->contentsMargins();
    hint.setWidth(std::max(hint.width(), ListWidthForAllColumns() + margins.left() + margins.right()));
    return hint;
}

void TEpromImg_MDIChildForm::ShowState() {
    const TVokKind kind = composer_.Kind();
    const bool twoChips = HasTwoChips(kind);
    stWorkDirectory_->setText(FromCp1250(composer_.WorkDirectoryText()));
    {
        const QSignalBlocker blocker(cbVok_);
        cbVok_->setCurrentIndex(IsKnownVokKind(kind) ? static_cast<int>(kind) - 1 : -1);
    }
    lbEpromHi_->setText(FromCp1250(composer_.HiLabel()));
    FillCombo(*cbEpromHi_, composer_.HiSizeItems(),
              SizeTextIn(composer_.HiSizeItems(), composer_.Chips().HiKb).value_or(""));
    FillCombo(*cbEpromLo_, composer_.LoSizeItems(),
              SizeTextIn(composer_.LoSizeItems(), composer_.Chips().LoKb).value_or(""));
    for (QWidget* lo : std::initializer_list<QWidget*>{lbEpromLo_, cbEpromLo_, lbEpromLoFile_,
                                                       edEpromLoFileName_, btBrowseLo_}) {
        lo->setVisible(twoChips);
    }
    edEpromHiFileName_->setText(FromCp1250(composer_.HiFileName()));
    edEpromLoFileName_->setText(FromCp1250(composer_.LoFileName()));
    btAddSetup_->setEnabled(composer_.SetupEnabled());
    ShowRows();
}

void TEpromImg_MDIChildForm::ShowRows() {
    const std::int32_t selected = SelectedIndex();
    Modules_ListView_->clear();
    for (const TRomListRow& row : composer_.Rows()) {
        auto* item = new QTreeWidgetItem(
            Modules_ListView_,
            {FromCp1250(row.Name), FromCp1250(row.TypeName), FromCp1250(row.Start), FromCp1250(row.End),
             FromCp1250(row.OffsetStart), FromCp1250(row.OffsetEnd), FromCp1250(row.File)});
        // Addresses and offsets one under the other, "  Err" included.
        for (int column = kFirstAddressColumn; column <= kLastAddressColumn; ++column) {
            item->setFont(column, FixedPitchFont());
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    for (int column = 0; column < Modules_ListView_->columnCount(); ++column) {
        Modules_ListView_->header()->resizeSection(column, ColumnWidth(column));
    }
    Select(std::min(selected, Modules_ListView_->topLevelItemCount() - 1));
    const bool ok = composer_.CanCreate();
    statusText_->setText(FromCp1250(composer_.StatusText()));
    statusText_->setStyleSheet(ok ? QStringLiteral("color: #00FF00") : QStringLiteral("color: #FF0000"));
    btCreateImg_->setEnabled(ok);
}

std::int32_t TEpromImg_MDIChildForm::SelectedIndex() const {
    QTreeWidgetItem* item = Modules_ListView_->currentItem();
    return item != nullptr && item->isSelected() ? Modules_ListView_->indexOfTopLevelItem(item) : -1;
}

void TEpromImg_MDIChildForm::Select(std::int32_t index) {
    Modules_ListView_->clearSelection();
    if (QTreeWidgetItem* item = Modules_ListView_->topLevelItem(index)) {
        Modules_ListView_->setCurrentItem(item);
        item->setSelected(true);
    }
}

void TEpromImg_MDIChildForm::LoadProjectModules(tModuleCollection& modules) {
    composer_.LoadProjectModules(modules);
    ShowRows();
}

void TEpromImg_MDIChildForm::RefreshRomList() {
    composer_.RefreshRomList();
    ShowRows();
}

bool TEpromImg_MDIChildForm::btCreateImgClick() {
    const bool created = composer_.CreateImage();
    ShowRows();
    return created;
}

TEpromRunResult TEpromImg_MDIChildForm::CreateUnattended() {
    const TEpromRunResult result = RunEpromImageUnattended(composer_, host_);
    ShowRows();
    if (result != TEpromRunResult::CheckFailed) {
        CloseWindow();
    }
    return result;
}

void TEpromImg_MDIChildForm::btAddBIOSClick() {
    if (std::optional<std::filesystem::path> file = chooseFile_(composer_.BiosDialog(), false)) {
        composer_.AddBios(*file);
        ShowRows();
    }
}

void TEpromImg_MDIChildForm::btAddSetupClick() {
    if (std::optional<TFileDialogSpec> spec = composer_.BiosSetupDialog()) {
        if (std::optional<std::filesystem::path> file = chooseFile_(*spec, false)) {
            composer_.AddBiosSetup(*file);
            ShowRows();
        }
    }
}

void TEpromImg_MDIChildForm::btAddBINClick() {
    if (std::optional<std::filesystem::path> file = chooseFile_(composer_.UserBinDialog(), false)) {
        composer_.AddUserBin(*file, askAddress_);
        ShowRows();
    }
}

void TEpromImg_MDIChildForm::btEditClick() {
    const std::int32_t index = composer_.EditModule(SelectedIndex(), askAddress_);
    if (index >= 0) {
        ShowRows();
        Select(index);
    }
}

void TEpromImg_MDIChildForm::btDeleteClick() {
    const std::int32_t before = composer_.List().Count();
    const std::int32_t next = composer_.DeleteModule(SelectedIndex());
    if (composer_.List().Count() != before) {
        ShowRows();
        Select(next);
    }
}

void TEpromImg_MDIChildForm::BrowseImageFile(QLineEdit& edit) {
    const TFileDialogSpec spec = composer_.ImageFileDialog(ToCp1250(edit.text()));
    if (std::optional<std::filesystem::path> file = chooseFile_(spec, true)) {
        edit.setText(FromCp1250(ProjectRelativeName(*file)));
        FileNamesEdited();
    }
}

void TEpromImg_MDIChildForm::FileNamesEdited() {
    composer_.SetHiFileName(ToCp1250(edEpromHiFileName_->text()));
    composer_.SetLoFileName(ToCp1250(edEpromLoFileName_->text()));
}

void TEpromImg_MDIChildForm::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        composer_.Close();
    }
    TBroadcastForm::closeEvent(event);
}

} // namespace ravlo
