#include "shell/ui/reader_form.h"

#include "framework/ui/address_box.h"
#include "framework/ui/qt_text.h"
#include "project/project_globals.h"
#include "project/ui/eprom_img_form.h"
#include "shell/ui/tool_form_parts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ravlo {

TfReader::TfReader(TBoardMemory& board, QWidget* parent)
    : TBroadcastForm(parent), model_(board), edFileName_(Named<QLineEdit>(this, "edFileName", "")),
      edLength_(Named<QLineEdit>(this, "edLength", "")), lblLength2_(Named<QLabel>(this, "lblLength2", "")),
      cbStartAddress_(Named<QComboBox>(this, "cbStartAddress", "")),
      lblReadRange_(Named<QLabel>(this, "lblReadRange", "")),
      btRead_(Named<QPushButton>(this, "btRead", "Read")) {
    setWindowTitle(QStringLiteral("Read files from VOK"));
    setAttribute(Qt::WA_DeleteOnClose);
    edFileName_->setEnabled(false);
    auto* btBrowse = Named<QPushButton>(this, "btBrowse", "...");
    btBrowse->setFixedWidth(btBrowse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    MakeTypedAddressBox(*cbStartAddress_);
    cbStartAddress_->addItems({QStringLiteral("$0400:0000"), QStringLiteral("$8000:0000"),
                               QStringLiteral("$C800:0000"), QStringLiteral("$E000:0000")});
    btRead_->setDefault(true);
    auto* btCancel = Named<QPushButton>(this, "btCancel", "Cancel");

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("File for read data:"), this), 0, 0);
    grid->addWidget(edFileName_, 0, 1, 1, 2);
    grid->addWidget(btBrowse, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Length:"), this), 1, 0);
    grid->addWidget(edLength_, 1, 1);
    grid->addWidget(lblLength2_, 1, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Start Address:"), this), 2, 0);
    grid->addWidget(cbStartAddress_, 2, 1);
    grid->addWidget(lblReadRange_, 3, 0, 1, 4);
    grid->addLayout(ButtonRow({btRead_, btCancel}), 4, 0, 1, 4);
    grid->setColumnStretch(2, 1);
    setMinimumWidth(440);

    connect(cbStartAddress_->lineEdit(), &QLineEdit::editingFinished, this, &TfReader::cbStartAddressExit);
    connect(cbStartAddress_, &QComboBox::activated, this, &TfReader::cbStartAddressExit);
    connect(edLength_, &QLineEdit::textEdited, this, [this] { edLengthExit(false); });
    connect(edLength_, &QLineEdit::editingFinished, this, [this] { edLengthExit(true); });
    connect(btBrowse, &QPushButton::clicked, this, &TfReader::btBrowseClick);
    connect(btRead_, &QPushButton::clicked, this, [this] { model_.Read(); });
    connect(btCancel, &QPushButton::clicked, this, &TBroadcastForm::CloseWindow);

    cbStartAddress_->setEditText(FromCp1250(model_.AddressText()));
    edFileName_->setText(QString::fromStdString(model_.FileName().string()));
    ShowLengthAndRange();
}

void TfReader::ShowLengthAndRange() {
    edLength_->setText(FromCp1250(model_.LengthText()));
    lblLength2_->setText(FromCp1250(model_.LengthBytesText()));
    lblReadRange_->setText(FromCp1250(model_.RangeText()));
}

void TfReader::cbStartAddressExit() {
    if (checking_) {
        return;
    }
    checking_ = true;
    const bool ok = model_.AddressEntered(ToCp1250(cbStartAddress_->currentText()));
    cbStartAddress_->setEditText(FromCp1250(model_.AddressText()));
    ShowLengthAndRange();
    if (!ok) {
        cbStartAddress_->setFocus();
    }
    checking_ = false;
}

void TfReader::edLengthExit(bool finished) {
    if (checking_) {
        return;
    }
    checking_ = true;
    if (model_.LengthEntered(ToCp1250(edLength_->text()), finished)) {
        lblLength2_->setText(FromCp1250(model_.LengthBytesText()));
        lblReadRange_->setText(FromCp1250(model_.RangeText()));
    } else {
        ShowLengthAndRange();
        edLength_->setFocus();
    }
    checking_ = false;
}

void TfReader::btBrowseClick() {
    TFileDialogSpec spec;
    spec.Title = "Save As";
    spec.Filter = "Binary files *.bin|*.bin|All files|*.*";
    spec.DefaultExt = "bin";
    spec.InitialDir = ProjectDirPath();
    if (const auto file = ChooseFileWithDialog(this, spec, true)) {
        model_.SetFileName(*file);
        edFileName_->setText(QString::fromStdString(file->string()));
    }
}

} // namespace ravlo
