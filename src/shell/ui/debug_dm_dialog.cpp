#include "shell/ui/debug_dm_dialog.h"

#include "framework/bit_validators.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QVBoxLayout>

namespace ravlo {
namespace {

constexpr int kRows = 8;

} // namespace

TDebugDM_Dlg::TDebugDM_Dlg(QWidget* parent) : TTrValDialog(parent) {
    setWindowTitle(QStringLiteral("Debug messages setup"));
    auto* bits = new QGridLayout;
    bits->setHorizontalSpacing(16);
    for (std::size_t bit = 0; bit < MaskChecks.size(); ++bit) {
        auto* check = new QCheckBox(QString::fromStdString(DebugMaskBitName(bit)), this);
        check->setObjectName(QStringLiteral("DebugDM_Check_%1").arg(bit));
        // Column by column, in bit order.
        bits->addWidget(check, static_cast<int>(bit) % kRows, static_cast<int>(bit) / kRows);
        MaskChecks[bit] = check;
    }
    // Made after the trace boxes, so that the tab order follows the layout.
    WriteToTxs_Check = new QCheckBox(QStringLiteral("WriteTo *.TXS"), this);
    WriteToTxs_Check->setObjectName(QStringLiteral("WriteToTxs_Check"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(bits);
    layout->addSpacing(8);
    layout->addWidget(WriteToTxs_Check);
    layout->addSpacing(8);
    layout->addWidget(MakeOkCancelButtons(QStringLiteral("OK"), QStringLiteral("Storno")));
    // A stray Space on the runtime log's box would switch the log off.
    MaskChecks.front()->setFocus();
}

void TDebugDM_Dlg::BindRecord(std::span<std::uint8_t> data) {
    TCtrlBindings bindings;
    for (std::size_t bit = 0; bit < MaskChecks.size(); ++bit) {
        bindings.Add<TTrLIntChecks_Validator>(Control(MaskChecks[bit]))
            .Setup(0, std::uint32_t{1} << bit, bit + 1 == MaskChecks.size());
    }
    bindings.Add<TTrByteChecks_Validator>(Control(WriteToTxs_Check)).Setup(0, 0x01, true);
    Validator.TransferTo(std::move(bindings), data);
}

void RegisterDebugDMDialog() {
    RegisterDialog("TDebugDM_Dlg",
                   [](TPlatformWindow* owner) { return std::make_unique<TDebugDM_Dlg>(OwnerWidget(owner)); });
}

} // namespace ravlo
