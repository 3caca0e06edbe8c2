#include "shell/ui/config188_dialog.h"

#include "framework/message_box.h"
#include "framework/ui/radio_group_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ravlo {
namespace {

template <class W>
W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QLineEdit* Edit(QWidget* parent, const QString& name, int maxLength, int shownChars) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaxLength(maxLength);
    const QFontMetrics metrics = edit->fontMetrics();
    edit->setFixedWidth(metrics.horizontalAdvance(QString(shownChars, QLatin1Char('W'))) +
                        2 * metrics.averageCharWidth());
    return edit;
}

} // namespace

TConfig188_Dialog::TConfig188_Dialog(QWidget* parent)
    : TSetupDialog(TSetupBoard::Vok188,
                   "Setup Vok188 files *.c18|*.c18|Binary files *.bin|*.bin|All files|*.*", "c18", parent),
      cbCFBoot(Named(new QCheckBox(QStringLiteral("Run from CF card"), this), QStringLiteral("cbCFBoot"))),
      cbSpustitVRam(
          Named(new QCheckBox(QStringLiteral("Run program in RAM"), this), QStringLiteral("cbSpustitVRam"))),
      rgBankHigh(Named(new TRadioGroupBox(QStringLiteral("Bank HIGH"), this), QStringLiteral("rgBankHigh"))),
      rgBankLow(Named(new TRadioGroupBox(QStringLiteral("Bank LOW"), this), QStringLiteral("rgBankLow"))),
      WSIOBUS_ComboBox(Named(new QComboBox(this), QStringLiteral("WSIOBUS_ComboBox"))),
      WSEAT_ComboBox(Named(new QComboBox(this), QStringLiteral("WSEAT_ComboBox"))),
      NMIWP_CheckBox(Named(new QCheckBox(QStringLiteral("Write to protected (code) memory"), this),
                           QStringLiteral("NMIWP_CheckBox"))),
      NMIPFI_CheckBox(
          Named(new QCheckBox(QStringLiteral("Power Fail "), this), QStringLiteral("NMIPFI_CheckBox"))),
      edCFFileName(Edit(this, QStringLiteral("edCFFileName"), 8, 8)),
      CFFileExt_Edit(Edit(this, QStringLiteral("CFFileExt_Edit"), 3, 3)),
      edSegment(Edit(this, QStringLiteral("edSegment"), 5, 5)) {
    setObjectName(QStringLiteral("Config188_Dialog"));
    setWindowTitle(QStringLiteral("Vok188ER Setup"));
    const char* starts[] = {"4", "5", "6", "7", "8"};
    for (std::size_t i = 0; i < AZPK.size(); ++i) {
        AZPK[i] = Named(new QRadioButton(QStringLiteral("$%1").arg(0x40000 + 0x10000 * static_cast<int>(i), 5,
                                                                   16, QLatin1Char('0')),
                                         this),
                        QStringLiteral("AZPK%1k_RadioButton").arg(QLatin1String(starts[i])));
    }
    BuildLayout();
    AddCfg188Rules(Controls());
}

void TConfig188_Dialog::BuildLayout() {
    auto* flash = new QGroupBox(QStringLiteral("EEPROM/FLASH chip memory size"), this);
    auto* banks = new QHBoxLayout(flash);
    banks->addWidget(rgBankHigh);
    banks->addWidget(rgBankLow);

    auto* start = new QGroupBox(QStringLiteral("Start of code memory"), this);
    auto* starts = new QVBoxLayout(start);
    for (QRadioButton* button : AZPK) {
        starts->addWidget(button);
    }
    starts->addSpacing(4);
    starts->addWidget(cbSpustitVRam);

    auto* iobus = new QGroupBox(QStringLiteral("IOBUS setting"), this);
    auto* waits = new QGridLayout(iobus);
    waits->addWidget(new QLabel(QStringLiteral("Wait states"), iobus), 0, 0);
    waits->addWidget(WSIOBUS_ComboBox, 0, 1);
    waits->addWidget(new QLabel(QStringLiteral("Extended access time"), iobus), 1, 0);
    waits->addWidget(WSEAT_ComboBox, 1, 1);
    waits->setColumnStretch(2, 1);

    auto* nmi = new QGroupBox(QStringLiteral("NMI Enabled from"), this);
    auto* nmis = new QVBoxLayout(nmi);
    nmis->addWidget(NMIWP_CheckBox);
    nmis->addWidget(NMIPFI_CheckBox);

    auto* cf = new QGroupBox(QStringLiteral("CF Booting"), this);
    auto* boot = new QGridLayout(cf);
    boot->addWidget(cbCFBoot, 0, 0, 1, 6);
    boot->addWidget(new QLabel(QStringLiteral("Boot file name"), cf), 1, 0);
    boot->addWidget(edCFFileName, 1, 1);
    boot->addWidget(new QLabel(QStringLiteral("."), cf), 1, 2);
    boot->addWidget(CFFileExt_Edit, 1, 3);
    boot->setColumnMinimumWidth(4, 16);
    auto* segment = new QLabel(QStringLiteral("Segment"), cf);
    auto* segmentRow = new QHBoxLayout;
    segmentRow->addWidget(segment);
    segmentRow->addWidget(edSegment);
    boot->addLayout(segmentRow, 1, 5, Qt::AlignLeft);
    boot->setColumnStretch(6, 1);

    auto* grid = new QGridLayout;
    grid->addWidget(flash, 0, 0);
    grid->addWidget(start, 0, 1);
    grid->addWidget(iobus, 1, 0);
    grid->addWidget(nmi, 1, 1);
    grid->addWidget(cf, 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addSpacing(4);
    layout->addLayout(ButtonRow());
}

TCfg188Controls TConfig188_Dialog::Controls() {
    TCfg188Controls c;
    c.cbCFBoot = Control(cbCFBoot);
    c.cbSpustitVRam = Control(cbSpustitVRam);
    for (std::size_t i = 0; i < AZPK.size(); ++i) {
        c.AZPK[i] = Control(AZPK[i]);
    }
    c.rgBankHigh = Control(rgBankHigh);
    c.rgBankLow = Control(rgBankLow);
    c.WSIOBUS_ComboBox = Control(WSIOBUS_ComboBox);
    c.WSEAT_ComboBox = Control(WSEAT_ComboBox);
    c.NMIWP_CheckBox = Control(NMIWP_CheckBox);
    c.NMIPFI_CheckBox = Control(NMIPFI_CheckBox);
    c.edCFFileName = Control(edCFFileName);
    c.CFFileExt_Edit = Control(CFFileExt_Edit);
    c.edSegment = Control(edSegment);
    return c;
}

void TConfig188_Dialog::Decode(std::span<const std::uint8_t> record, bool firstBinding) {
    const std::optional<TCfg188Decoded> decoded = DecodeCfg188(record);
    for (const std::string& error : decoded->Errors) {
        TrMessageBox("Error", error, MB_OK | MB_ICONHAND);
    }
    raw_ = decoded->Raw;
    edit_ = PackCfg188Edit(decoded->Edit);
    if (firstBinding) {
        Validator.TransferTo(Cfg188Bindings(Controls()), edit_);
    } else {
        Validator.Rebind(edit_);
    }
    ApplyCfg188Rules(Controls());
}

void TConfig188_Dialog::BindRecord(std::span<std::uint8_t> data) {
    if (!KeepCallerRecord(data)) {
        return;
    }
    Decode(data.first(raw_.size()), true);
}

void TConfig188_Dialog::LoadRecord(std::span<const std::uint8_t> record) {
    Decode(record, false);
}

std::vector<std::uint8_t> TConfig188_Dialog::StoredRecord() const {
    TCfg188Rec raw = raw_;
    EncodeCfg188(UnpackCfg188Edit(edit_), raw);
    return {raw.begin(), raw.end()};
}

int EditConfig188(QWidget* owner, std::span<std::uint8_t> rec, bool connected) {
    return ExecSetupDialog<TConfig188_Dialog>(owner, rec, connected);
}

} // namespace ravlo
