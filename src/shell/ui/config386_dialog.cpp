#include "shell/ui/config386_dialog.h"

#include "framework/ui/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace ravlo {
namespace {

const QColor kStatusFailed(0xFF, 0x00, 0x00);
const QColor kStatusOk(0x00, 0x80, 0x00);

template <class W>
W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QComboBox* Combo(QWidget* parent, const QString& name) {
    auto* combo = Named(new QComboBox(parent), name);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QLabel* Label(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TConfig386_Dialog::TConfig386_Dialog(QWidget* parent)
    : TSetupDialog(TSetupBoard::Vok386,
                   "Cfg 386 table files *.c38|*.c38|Binary files *.bin|*.bin|All files|*.*", "c38", parent) {
    setObjectName(QStringLiteral("Config386_Dialog"));
    setWindowTitle(QStringLiteral("Vok386EXR Setup"));
    for (std::size_t i = 0; i < cbxMT.size(); ++i) {
        const QString n = QString::number(i + 1);
        cbxMT[i] = Combo(this, QStringLiteral("cbxMT") + n);
        cbxChip[i] = Combo(this, QStringLiteral("cbxChip") + n);
        cbxOM[i] = Combo(this, QStringLiteral("cbxOM") + n);
        cbxAT[i] = Combo(this, QStringLiteral("cbxAT") + n);
        lblExtDisk[i] = Named(Label("??? kB", this), QStringLiteral("lblExtDisk") + n);
        lblExtDisk[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    cbxHAdr = Combo(this, QStringLiteral("cbxHAdr"));
    cbxHSize = Combo(this, QStringLiteral("cbxHSize"));
    cbxCAdr = Combo(this, QStringLiteral("cbxCAdr"));
    cbxCSize = Combo(this, QStringLiteral("cbxCSize"));
    cbxLAdr = Combo(this, QStringLiteral("cbxLAdr"));
    cbxLSize = Combo(this, QStringLiteral("cbxLSize"));
    cbSMM = Named(new QCheckBox(QStringLiteral("INT3/SMM"), this), QStringLiteral("cbSMM"));
    cbDMA2 = Named(new QCheckBox(QStringLiteral("DMA2/COM2"), this), QStringLiteral("cbDMA2"));
    cbDMA1 = Named(new QCheckBox(QStringLiteral("DMA1/COM2"), this), QStringLiteral("cbDMA1"));
    cbSSIO = Named(new QCheckBox(QStringLiteral("SSIO/COM2"), this), QStringLiteral("cbSSIO"));
    cb25MHz = Named(new QCheckBox(QStringLiteral("33/25 MHz"), this), QStringLiteral("cb25MHz"));
    cbVideoWr = Named(new QCheckBox(QStringLiteral("Video Wr"), this), QStringLiteral("cbVideoWr"));
    MemoStatus = Named(new QPlainTextEdit(this), QStringLiteral("MemoStatus"));
    MemoStatus->setReadOnly(true);
    MemoStatus->setFocusPolicy(Qt::NoFocus);
    BuildLayout();

    // Every combo box's change runs the check.
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        Control(combo)->AddClickHandler([this] { CheckSetting(); });
    }
}

void TConfig386_Dialog::BuildLayout() {
    auto* memory = new QGroupBox(QStringLiteral("Memory setting"), this);
    auto* grid = new QGridLayout(memory);
    grid->setHorizontalSpacing(8);
    const char* columns[] = {"Mem. Type", "Chip size", "Operat. Mem.", "Acc. Time", "Ext. disk"};
    for (int col = 0; col < 5; ++col) {
        grid->addWidget(Label(columns[col], memory), 0, col + 1, col == 4 ? Qt::AlignRight : Qt::AlignLeft);
    }
    const char* sockets[] = {"Socket 1 (ROM LOW)", "Socket 2 (RAM LOW)", "Socket 3 (ROM HIGH)",
                             "Socket 4 (RAM HIGH)"};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(Label(sockets[i], memory), i + 1, 0);
        grid->addWidget(cbxMT[i], i + 1, 1);
        grid->addWidget(cbxChip[i], i + 1, 2);
        grid->addWidget(cbxOM[i], i + 1, 3);
        grid->addWidget(cbxAT[i], i + 1, 4);
        grid->addWidget(lblExtDisk[i], i + 1, 5);
    }
    grid->setRowMinimumHeight(5, 6);
    grid->addWidget(Label("Begin addr.", memory), 6, 1);
    grid->addWidget(Label("Size", memory), 6, 2);
    const std::array<std::tuple<const char*, QComboBox*, QComboBox*>, 3> spaces{
        {{"High ROM space", cbxHAdr, cbxHSize},
         {"Low  ROM space", cbxLAdr, cbxLSize},
         {"Cut   ROM space", cbxCAdr, cbxCSize}}};
    for (int i = 0; i < 3; ++i) {
        const auto& [text, address, size] = spaces[i];
        grid->addWidget(Label(text, memory), i + 7, 0);
        grid->addWidget(address, i + 7, 1);
        grid->addWidget(size, i + 7, 2);
    }
    grid->setColumnStretch(6, 1);

    auto* configuration = new QGroupBox(QStringLiteral("Configuration"), this);
    auto* checks = new QGridLayout(configuration);
    checks->addWidget(cbSMM, 0, 0);
    checks->addWidget(cbDMA2, 1, 0);
    checks->addWidget(cbDMA1, 2, 0);
    checks->addWidget(cbSSIO, 3, 0);
    checks->addWidget(cb25MHz, 0, 1);
    checks->addWidget(cbVideoWr, 1, 1);

    auto* status = new QGroupBox(QStringLiteral("Setup status"), this);
    auto* statusLayout = new QVBoxLayout(status);
    statusLayout->addWidget(MemoStatus);
    MemoStatus->setMinimumWidth(MemoStatus->fontMetrics().horizontalAdvance(QString(44, QLatin1Char('x'))));

    auto* lower = new QHBoxLayout;
    lower->addWidget(configuration);
    lower->addWidget(status, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(memory);
    layout->addLayout(lower);
    layout->addSpacing(4);
    layout->addLayout(ButtonRow());
    configuration->setFixedHeight(configuration->sizeHint().height());
    status->setFixedHeight(configuration->sizeHint().height());
}

TCfg386Controls TConfig386_Dialog::Controls() {
    TCfg386Controls c;
    for (std::size_t i = 0; i < cbxMT.size(); ++i) {
        c.cbxMT[i] = Control(cbxMT[i]);
        c.cbxChip[i] = Control(cbxChip[i]);
        c.cbxOM[i] = Control(cbxOM[i]);
        c.cbxAT[i] = Control(cbxAT[i]);
    }
    c.cbxHAdr = Control(cbxHAdr);
    c.cbxHSize = Control(cbxHSize);
    c.cbxCAdr = Control(cbxCAdr);
    c.cbxCSize = Control(cbxCSize);
    c.cbxLAdr = Control(cbxLAdr);
    c.cbxLSize = Control(cbxLSize);
    c.cbSMM = Control(cbSMM);
    c.cbDMA2 = Control(cbDMA2);
    c.cbDMA1 = Control(cbDMA1);
    c.cbSSIO = Control(cbSSIO);
    c.cb25MHz = Control(cb25MHz);
    c.cbVideoWr = Control(cbVideoWr);
    return c;
}

void TConfig386_Dialog::BindRecord(std::span<std::uint8_t> data) {
    if (!KeepCallerRecord(data)) {
        return;
    }
    std::copy_n(data.begin(), record_.size(), record_.begin());
    Validator.TransferTo(Cfg386Bindings(Controls()), record_);
    CheckSetting();
}

void TConfig386_Dialog::LoadRecord(std::span<const std::uint8_t> record) {
    std::copy_n(record.begin(), record_.size(), record_.begin());
    Validator.Rebind(record_);
    CheckSetting();
}

std::vector<std::uint8_t> TConfig386_Dialog::StoredRecord() const {
    return {record_.begin(), record_.end()};
}

void TConfig386_Dialog::CheckSetting() {
    const TCfg386Check check = ravlo::CheckSetting(SettingOfControls(Controls()));
    for (std::size_t i = 0; i < lblExtDisk.size(); ++i) {
        lblExtDisk[i]->setText(FromCp1250(check.ExtDisk[i]));
    }
    QPalette palette = MemoStatus->palette();
    palette.setColor(QPalette::Text, check.Ok ? kStatusOk : kStatusFailed);
    MemoStatus->setPalette(palette);
    MemoStatus->setPlainText(FromCp1250(check.Status));
    setupOk_ = check.Ok;
    UpdateSaveToVok();
}

int EditConfig386(QWidget* owner, std::span<std::uint8_t> rec, bool connected) {
    return ExecSetupDialog<TConfig386_Dialog>(owner, rec, connected);
}

} // namespace ravlo
