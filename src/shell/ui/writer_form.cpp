#include "shell/ui/writer_form.h"

#include "framework/ui/address_box.h"
#include "framework/ui/qt_text.h"
#include "project/project_globals.h"
#include "project/ui/eprom_img_form.h"
#include "shell/ui/tool_form_parts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ravlo {

TfWriter::TfWriter(TBoardMemory& board, QWidget* parent)
    : TBroadcastForm(parent), model_(board),
      rbEmpty_(Named<QRadioButton>(this, "rbEmpty", "All zeros ($00)")),
      rbFull_(Named<QRadioButton>(this, "rbFull", "All max   ($FF)")),
      rbUser_(Named<QRadioButton>(this, "rbUser", "User value:")),
      rbSpecified_(Named<QRadioButton>(this, "rbSpecified", "Specified file:")),
      edUserVal_(Named<QLineEdit>(this, "edUserVal", "")),
      edFileName_(Named<QLineEdit>(this, "edFileName", "")),
      btBrowse_(Named<QPushButton>(this, "btBrowse", "...")),
      edLength_(Named<QLineEdit>(this, "edLength", "")), cbAddress_(Named<QComboBox>(this, "cbAddress", "")),
      btWrite_(Named<QPushButton>(this, "btWrite", "Write")) {
    setWindowTitle(QStringLiteral("Write file to VOK"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* button : {rbEmpty_, rbFull_, rbUser_, rbSpecified_}) {
        group->addButton(button);
    }
    rbEmpty_->setChecked(true);
    MakeTypedAddressBox(*cbAddress_);
    cbAddress_->addItems(
        {QStringLiteral("$C800:0000"), QStringLiteral("$E800:0000"), QStringLiteral("$8000:0000")});
    btBrowse_->setFixedWidth(btBrowse_->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    auto* btClose = Named<QPushButton>(this, "btClose", "Close");

    auto* grid = new QGridLayout(this);
    grid->addWidget(rbEmpty_, 0, 0, 1, 2);
    grid->addWidget(rbFull_, 1, 0, 1, 2);
    grid->addWidget(rbUser_, 2, 0);
    grid->addWidget(edUserVal_, 2, 1);
    grid->addWidget(rbSpecified_, 3, 0);
    grid->addWidget(edFileName_, 3, 1, 1, 2);
    grid->addWidget(btBrowse_, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("Length:"), this), 4, 0);
    grid->addWidget(edLength_, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Start Address:"), this), 5, 0);
    grid->addWidget(cbAddress_, 5, 1);
    grid->addLayout(ButtonRow({btWrite_, btClose}), 6, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    setMinimumWidth(420);

    connect(rbEmpty_, &QRadioButton::clicked, this, [this] { SourceClicked(TWriteSource::Empty); });
    connect(rbFull_, &QRadioButton::clicked, this, [this] { SourceClicked(TWriteSource::Full); });
    connect(rbUser_, &QRadioButton::clicked, this, [this] { SourceClicked(TWriteSource::User); });
    connect(rbSpecified_, &QRadioButton::clicked, this, [this] { SourceClicked(TWriteSource::Specified); });
    connect(btBrowse_, &QPushButton::clicked, this, &TfWriter::btBrowseClick);
    connect(btWrite_, &QPushButton::clicked, this, &TfWriter::btWriteClick);
    connect(btClose, &QPushButton::clicked, this, &TBroadcastForm::CloseWindow);
    ShowModel();
}

void TfWriter::TakeTexts() {
    model_.AddressText = ToCp1250(cbAddress_->currentText());
    model_.LengthText = ToCp1250(edLength_->text());
    model_.UserValText = ToCp1250(edUserVal_->text());
}

void TfWriter::ShowModel() {
    cbAddress_->setEditText(FromCp1250(model_.AddressText));
    edLength_->setText(FromCp1250(model_.LengthText));
    edUserVal_->setText(FromCp1250(model_.UserValText));
    edFileName_->setText(QString::fromStdString(model_.FileName.string()));
    edFileName_->setEnabled(model_.FileNameEnabled());
    edUserVal_->setEnabled(model_.UserValEnabled());
    if (model_.Source() == TWriteSource::Specified) {
        rbSpecified_->setChecked(true);
    }
}

void TfWriter::SourceClicked(TWriteSource source) {
    TakeTexts();
    if (source == TWriteSource::Specified && model_.FileName.empty()) {
        btBrowseClick();
    }
    model_.SelectSource(source);
    ShowModel();
}

void TfWriter::btBrowseClick() {
    TakeTexts();
    TFileDialogSpec spec;
    spec.Title = "Open";
    spec.Filter = "Binary files *.bin|*.bin|All files *.*|*.*";
    spec.InitialDir = ProjectDirPath();
    if (const auto file = ChooseFileWithDialog(this, spec, false)) {
        model_.FileChosen(*file);
    }
    ShowModel();
}

void TfWriter::btWriteClick() {
    TakeTexts();
    const TWriterField field = model_.Write();
    ShowModel();
    switch (field) {
    case TWriterField::Length:
        edLength_->setFocus();
        break;
    case TWriterField::Address:
        cbAddress_->setFocus();
        break;
    case TWriterField::UserVal:
        edUserVal_->setFocus();
        break;
    case TWriterField::None:
        break;
    }
}

} // namespace ravlo
