#include "project/ui/module_list_form.h"

#include "framework/ui/qt_text.h"
#include "project/ui/edit_module_dlg.h"
#include "project/ui/memory_map_widget.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ravlo {
namespace {

constexpr int kColumnGap = 14;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TModuleList_MDIChildForm::TModuleList_MDIChildForm(TModuleListActions actions, QWidget* parent)
    : TBroadcastForm(parent), actions_(std::move(actions)),
      runEditor_([this](tModule& module, tModule& unplaced, bool& next, bool& prev) {
          return ExecEditModuleDlg(this, module, unplaced, next, prev);
      }),
      model_([this](tModule& module, tModule& unplaced, bool& next, bool& prev) {
          return runEditor_(module, unplaced, next, prev);
      }) {
    setObjectName(QStringLiteral("ModuleList_MDIChildForm"));
    setWindowTitle(QStringLiteral("Memory list - list of App modules in address space"));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    RefreshModuleList();
}

void TModuleList_MDIChildForm::BuildControls() {
    MemList_ListView_ = new QTreeWidget(this);
    MemList_ListView_->setObjectName(QStringLiteral("MemList_ListView"));
    MemList_ListView_->setRootIsDecorated(false);
    MemList_ListView_->setAllColumnsShowFocus(true);
    MemList_ListView_->setHeaderLabels({QStringLiteral("Module name"), QStringLiteral("Start addr"),
                                        QStringLiteral("End addr"), QStringLiteral("Size"),
                                        QStringLiteral("Type"), QStringLiteral("Status"),
                                        QStringLiteral(".BIN file size")});
    MemList_ListView_->header()->setStretchLastSection(true);

    auto* group = new QGroupBox(QStringLiteral("Memory Usage"), this);
    map_ = new TMemoryMapWidget(group);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(map_);

    btEdit_ = MakeButton(this, "btEdit", QStringLiteral("Edit"));
    btInsert_ = MakeButton(this, "btInsert", QStringLiteral("Insert"));
    btDelete_ = MakeButton(this, "btDelete", QStringLiteral("Delete"));
    btGenerate_ = MakeButton(this, "btGenerate", QStringLiteral("Generate"));
    btSaveMEM_ = MakeButton(this, "btSaveMEM", QStringLiteral("Save .MEM"));
    QPushButton* btClose = MakeButton(this, "btClose", QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {btEdit_, btInsert_, btDelete_, btGenerate_, btSaveMEM_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(btClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MemList_ListView_, 1);
    layout->addWidget(group);
    layout->addLayout(buttons);
    setMinimumWidth(kDesignWidth);
    resize(kDesignWidth, 380);

    connect(MemList_ListView_, &QTreeWidget::itemDoubleClicked, this, &TModuleList_MDIChildForm::btEditClick);
    connect(MemList_ListView_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { model_.Select(MemList_ListView_->indexOfTopLevelItem(item)); });
    connect(btEdit_, &QPushButton::clicked, this, &TModuleList_MDIChildForm::btEditClick);
    connect(btInsert_, &QPushButton::clicked, this, &TModuleList_MDIChildForm::btInsertClick);
    connect(btDelete_, &QPushButton::clicked, this, &TModuleList_MDIChildForm::btDeleteClick);
    connect(btGenerate_, &QPushButton::clicked, this, &TModuleList_MDIChildForm::btGenerateClick);
    connect(btSaveMEM_, &QPushButton::clicked, this, &TModuleList_MDIChildForm::btSaveMEMClick);
    connect(btClose, &QPushButton::clicked, this, &TModuleList_MDIChildForm::btCloseClick);
}

void TModuleList_MDIChildForm::RefreshModuleList() {
    model_.RefreshModuleList();
    ShowRows();
}

void TModuleList_MDIChildForm::ShowRows() {
    {
        const QSignalBlocker blocker(MemList_ListView_);
        MemList_ListView_->clear();
        for (const TModuleListRow& row : model_.Rows()) {
            auto* item = new QTreeWidgetItem(MemList_ListView_,
                                             {FromCp1250(row.Name), FromCp1250(row.Start),
                                              FromCp1250(row.End), FromCp1250(row.Size), FromCp1250(row.Type),
                                              FromCp1250(row.Status), FromCp1250(row.BinSize)});
            for (int column = 1; column < 5; ++column) {
                item->setTextAlignment(column, Qt::AlignCenter);
            }
        }
        if (QTreeWidgetItem* item = MemList_ListView_->topLevelItem(model_.Selected())) {
            MemList_ListView_->setCurrentItem(item);
        }
    }
    // Every column as wide as its texts, with room between them; the last one takes the rest.
    for (int column = 0; column + 1 < MemList_ListView_->columnCount(); ++column) {
        MemList_ListView_->resizeColumnToContents(column);
        MemList_ListView_->setColumnWidth(column, MemList_ListView_->columnWidth(column) + kColumnGap);
    }
    map_->SetBars(model_.Bars());
    const bool editing = model_.EditingEnabled();
    for (QPushButton* button : {btEdit_, btInsert_, btDelete_, btGenerate_, btSaveMEM_}) {
        button->setEnabled(editing);
    }
}

void TModuleList_MDIChildForm::AfterChange(bool changed) {
    ShowRows();
    if (changed && actions_.DesignChanged) {
        actions_.DesignChanged();
    }
}

void TModuleList_MDIChildForm::btEditClick() {
    AfterChange(model_.Edit());
}

void TModuleList_MDIChildForm::btInsertClick() {
    AfterChange(model_.Insert());
}

void TModuleList_MDIChildForm::btDeleteClick() {
    AfterChange(model_.Delete());
}

void TModuleList_MDIChildForm::btGenerateClick() {
    if (actions_.Generate) {
        actions_.Generate();
    }
    RefreshModuleList();
}

void TModuleList_MDIChildForm::btSaveMEMClick() {
    if (model_.SaveMemFile() && actions_.DesignChanged) {
        actions_.DesignChanged();
    }
}

void TModuleList_MDIChildForm::btCloseClick() {
    btSaveMEMClick();
    // The frame goes with it: closed alone, the form would leave it empty in the area.
    CloseWindow();
}

void TModuleList_MDIChildForm::resizeEvent(QResizeEvent* event) {
    TBroadcastForm::resizeEvent(event);
    // The frame takes the width back to a whole step of 8 pixels once the resize is over.
    if (snapQueued_ || SnapMapWindowWidth(width(), kDesignWidth) == width()) {
        return;
    }
    snapQueued_ = true;
    QTimer::singleShot(0, this, [self = QPointer<TModuleList_MDIChildForm>(this)] {
        if (self == nullptr) {
            return;
        }
        self->snapQueued_ = false;
        const int excess = self->width() - SnapMapWindowWidth(self->width(), kDesignWidth);
        QWidget* frame = self->parentWidget() != nullptr ? self->parentWidget() : self.data();
        // A maximised window takes the whole area, whatever its width.
        if (excess > 0 && !frame->isMaximized()) {
            frame->resize(frame->width() - excess, frame->height());
        }
    });
}

} // namespace ravlo
