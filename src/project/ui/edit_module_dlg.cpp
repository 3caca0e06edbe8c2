#include "project/ui/edit_module_dlg.h"

#include "framework/ui/address_box.h"
#include "framework/ui/qt_text.h"
#include "project/module.h"
#include "project/module_collection.h"
#include "project/project_globals.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace ravlo {
namespace {

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint = {}) {
    auto* button = Named(new QPushButton(text, parent), name);
    button->setAutoDefault(false);
    if (!hint.isEmpty()) {
        button->setToolTip(hint);
    }
    return button;
}

void FillUnits(QListWidget& list, const std::vector<const tModUnit*>& units) {
    const QSignalBlocker blocker(list);
    list.clear();
    for (const tModUnit* unit : units) {
        auto* item = new QListWidgetItem(FromCp1250(unit->Name), &list);
        item->setToolTip(FromCp1250(MUnitTName(unit->Kind) + ", " + TModuleEditor::UnitSizeText(unit)));
    }
}

} // namespace

TUnitListBox::TUnitListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The source keeps its items: the editor moves the units and refills both lists.
    setDefaultDropAction(Qt::CopyAction);
}

std::vector<int> TUnitListBox::SelectedRows() const {
    std::vector<int> rows;
    for (const QListWidgetItem* item : selectedItems()) {
        rows.push_back(row(item));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TUnitListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == partner_) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TUnitListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() == partner_) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void TUnitListBox::dropEvent(QDropEvent* event) {
    if (event->source() != partner_) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // After the drag has ended in the source list.
    QTimer::singleShot(0, this, [this] { emit DroppedFromPartner(); });
}

TfEditModuleDlg::TfEditModuleDlg(tModule& module, tModule& unplaced, tModuleCollection* design, bool next,
                                 bool prev, QWidget* parent)
    : QDialog(parent), editor_(module, unplaced, design) {
    setObjectName(QStringLiteral("fEditModuleDlg"));
    setWindowTitle(QStringLiteral("Edit module"));
    BuildControls(next, prev);
    ShowFields();
    ShowUnits();
}

void TfEditModuleDlg::BuildControls(bool next, bool prev) {
    edName_ = Named(new QLineEdit(this), "edName");
    edName_->setMaxLength(static_cast<int>(kModuleNameMax));
    cbStartAddr_ = Named(new QComboBox(this), "cbStartAddr");
    MakeTypedAddressBox(*cbStartAddr_);
    for (std::string_view preset : kModuleAddressPresets) {
        cbStartAddr_->addItem(FromCp1250(preset));
    }
    edSize_ = Named(new QLineEdit(this), "edSize");
    lbUsedUnits_ = Named(new TUnitListBox(this), "lbUsedUnits");
    lbUnusedUnits_ = Named(new TUnitListBox(this), "lbUnusedUnits");
    lbUsedUnits_->SetPartner(lbUnusedUnits_);
    lbUnusedUnits_->SetPartner(lbUsedUnits_);
    lbUnitSize_ = Named(new QLabel(this), "lbUnitSize");
    lbUnitsSize_ = Named(new QLabel(this), "lbUnitsSize");
    lbRestSize_ = Named(new QLabel(this), "lbRestSize");

    QPushButton* btInsert =
        MakeButton(this, "btInsert", QStringLiteral("<--"), QStringLiteral("Insert units"));
    QPushButton* btRemove =
        MakeButton(this, "btRemove", QStringLiteral("-->"), QStringLiteral("Remove units"));
    QPushButton* btInsertAll = MakeButton(this, "btInsertAll", QStringLiteral("<<-"),
                                          QStringLiteral("Inteligently insert all units"));
    QPushButton* btRemoveAll =
        MakeButton(this, "btRemoveAll", QStringLiteral("->>"), QStringLiteral("Remove all units"));
    btPrevModule_ = MakeButton(this, "btPrevModule", QStringLiteral("<< Previous"));
    btNextModule_ = MakeButton(this, "btNextModule", QStringLiteral("Next >>"));
    btPrevModule_->setEnabled(prev);
    btNextModule_->setEnabled(next);
    btOk_ = MakeButton(this, "btOk", QStringLiteral("OK"));
    btOk_->setDefault(true);
    QPushButton* btCancel = MakeButton(this, "btCancel", QStringLiteral("Cancel"));

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
    fields->addWidget(edName_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Start address:"), this), 1, 0);
    fields->addWidget(cbStartAddr_, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Size:"), this), 1, 2);
    fields->addWidget(edSize_, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* used = new QVBoxLayout;
    used->addWidget(new QLabel(QStringLiteral("Used units"), this));
    used->addWidget(lbUsedUnits_);
    auto* unused = new QVBoxLayout;
    unused->addWidget(new QLabel(QStringLiteral("Unused units"), this));
    unused->addWidget(lbUnusedUnits_);
    auto* moves = new QVBoxLayout;
    moves->addStretch(1);
    for (QPushButton* button : {btInsert, btRemove, btInsertAll, btRemoveAll}) {
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("<<--")) + 24);
        moves->addWidget(button);
    }
    moves->addStretch(1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(used, 1);
    lists->addLayout(moves);
    lists->addLayout(unused, 1);

    auto* sizes = new QHBoxLayout;
    sizes->addWidget(lbUnitSize_, 1);
    sizes->addWidget(lbUnitsSize_, 1);
    sizes->addWidget(lbRestSize_, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btPrevModule_);
    buttons->addWidget(btNextModule_);
    buttons->addStretch(1);
    buttons->addWidget(btOk_);
    buttons->addWidget(btCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(lists, 1);
    layout->addLayout(sizes);
    layout->addLayout(buttons);
    resize(600, 460);

    connect(edName_, &QLineEdit::textEdited, this, &TfEditModuleDlg::TakeName);
    connect(edName_, &QLineEdit::editingFinished, this, [this] { editor_.LeaveName(); });
    connect(cbStartAddr_, &QComboBox::editTextChanged, this,
            [this](const QString& text) { editor_.SetAddressText(ToCp1250(text)); });
    const auto leaveAddress = [this] {
        editor_.SetAddressText(ToCp1250(cbStartAddr_->currentText()));
        editor_.LeaveAddress();
        edSize_->setText(FromCp1250(editor_.SizeText()));
        ShowSizes();
    };
    connect(cbStartAddr_->lineEdit(), &QLineEdit::editingFinished, this, leaveAddress);
    connect(cbStartAddr_, &QComboBox::activated, this, leaveAddress);
    connect(edSize_, &QLineEdit::textEdited, this,
            [this](const QString& text) { editor_.SetSizeText(ToCp1250(text)); });
    connect(edSize_, &QLineEdit::editingFinished, this, [this] {
        editor_.LeaveSize();
        ShowSizes();
    });
    for (TUnitListBox* list : {lbUsedUnits_, lbUnusedUnits_}) {
        connect(list, &QListWidget::currentRowChanged, this, [this, list] {
            sizeList_ = list;
            ShowSizes();
        });
    }
    connect(lbUsedUnits_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = lbUsedUnits_->row(item);
        editor_.RemoveUnits(std::span<const int>(&row, 1));
        ShowUnits();
    });
    connect(lbUnusedUnits_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = lbUnusedUnits_->row(item);
        editor_.InsertUnits(std::span<const int>(&row, 1), row);
        ShowUnits();
    });
    connect(lbUsedUnits_, &TUnitListBox::DroppedFromPartner, this, &TfEditModuleDlg::btInsertClick);
    connect(lbUnusedUnits_, &TUnitListBox::DroppedFromPartner, this, &TfEditModuleDlg::btRemoveClick);
    connect(btInsert, &QPushButton::clicked, this, &TfEditModuleDlg::btInsertClick);
    connect(btRemove, &QPushButton::clicked, this, &TfEditModuleDlg::btRemoveClick);
    connect(btInsertAll, &QPushButton::clicked, this, &TfEditModuleDlg::btInsertAllClick);
    connect(btRemoveAll, &QPushButton::clicked, this, &TfEditModuleDlg::btRemoveAllClick);
    connect(btOk_, &QPushButton::clicked, this, [this] { CloseWithOk(btOk_); });
    connect(btNextModule_, &QPushButton::clicked, this, [this] { CloseWithOk(btNextModule_); });
    connect(btPrevModule_, &QPushButton::clicked, this, [this] { CloseWithOk(btPrevModule_); });
    connect(btCancel, &QPushButton::clicked, this, &TfEditModuleDlg::reject);
}

void TfEditModuleDlg::ShowFields() {
    edName_->setText(FromCp1250(editor_.NameText()));
    {
        const QSignalBlocker blocker(cbStartAddr_);
        cbStartAddr_->setEditText(FromCp1250(editor_.AddressText()));
    }
    edSize_->setText(FromCp1250(editor_.SizeText()));
}

void TfEditModuleDlg::ShowUnits() {
    FillUnits(*lbUsedUnits_, editor_.UsedUnits());
    FillUnits(*lbUnusedUnits_, editor_.UnusedUnits());
    ShowSizes();
}

void TfEditModuleDlg::ShowSizes() {
    // The unit whose size shows is the current one of the list last clicked.
    const TUnitListBox* list = sizeList_ != nullptr ? sizeList_ : lbUsedUnits_;
    const std::vector<const tModUnit*> units =
        list == lbUsedUnits_ ? editor_.UsedUnits() : editor_.UnusedUnits();
    const int row = list->currentRow();
    const tModUnit* unit = row >= 0 && static_cast<std::size_t>(row) < units.size()
                               ? units[static_cast<std::size_t>(row)]
                               : nullptr;
    lbUnitSize_->setText(FromCp1250(TModuleEditor::UnitSizeText(unit)));
    lbUnitsSize_->setText(FromCp1250(editor_.UnitsSizeText()));
    lbRestSize_->setText(FromCp1250(editor_.RestSizeText()));
}

void TfEditModuleDlg::btInsertClick() {
    editor_.InsertUnits(lbUnusedUnits_->SelectedRows(), lbUnusedUnits_->currentRow());
    ShowUnits();
}

void TfEditModuleDlg::btRemoveClick() {
    editor_.RemoveUnits(lbUsedUnits_->SelectedRows());
    ShowUnits();
}

void TfEditModuleDlg::btInsertAllClick() {
    editor_.InsertAll();
    ShowUnits();
}

void TfEditModuleDlg::btRemoveAllClick() {
    editor_.RemoveAll();
    ShowUnits();
}

void TfEditModuleDlg::Focus(TEditorField field) {
    switch (field) {
    case TEditorField::Name:
        edName_->setFocus();
        edName_->selectAll();
        break;
    case TEditorField::Address:
        cbStartAddr_->setFocus();
        cbStartAddr_->lineEdit()->selectAll();
        break;
    case TEditorField::Size:
        edSize_->setFocus();
        edSize_->selectAll();
        break;
    case TEditorField::None:
        break;
    }
}

void TfEditModuleDlg::TakeName(const QString& text) {
    editor_.SetNameText(ToCp1250(text), FitsCp1250(text));
}

void TfEditModuleDlg::CloseWithOk(QPushButton* button) {
    TakeName(edName_->text());
    editor_.SetAddressText(ToCp1250(cbStartAddr_->currentText()));
    editor_.SetSizeText(ToCp1250(edSize_->text()));
    const TEditorOkResult result = editor_.Ok();
    ShowSizes();
    if (!result.Accepted) {
        // The fields keep what was typed, also letters the code page cannot hold.
        Focus(result.Focus);
        return;
    }
    ShowFields();
    closedBy_ = button;
    accept();
}

void TfEditModuleDlg::reject() {
    if (!cancelled_ && result() != QDialog::Accepted) {
        cancelled_ = true;
        editor_.Cancel();
        ShowFields();
        ShowUnits();
    }
    QDialog::reject();
}

bool ExecEditModuleDlg(QWidget* parent, tModule& module, tModule& unplaced, bool& next, bool& prev) {
    TfEditModuleDlg dialog(module, unplaced, ProjectModel().Modules.get(), next, prev, parent);
    const bool ok = dialog.exec() == QDialog::Accepted;
    next = ok && dialog.ClosedByNext();
    prev = ok && dialog.ClosedByPrevious();
    return ok;
}

} // namespace ravlo
