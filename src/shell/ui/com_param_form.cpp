#include "shell/ui/com_param_form.h"

#include "framework/ui/radio_group_box.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ravlo {
namespace {

// Where the port buttons sit in their group: one under the other below the title, as many as the
// model makes.
constexpr int kButtonLeft = 10;
constexpr int kButtonStep = 20;
constexpr int kButtonWidth = 70;

} // namespace

TfComParam::TfComParam(TComParam& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("fComParam"));
    setWindowTitle(QStringLiteral("COM Parameters"));

    rgBDld_ = new TRadioGroupBox(QStringLiteral("Transfer Baud Rate"), this);
    rgBDld_->setObjectName(QStringLiteral("rgBDld"));
    rgBDld_->SetItems({QStringLiteral("4 800"), QStringLiteral("9 600"), QStringLiteral("19 200"),
                       QStringLiteral("38 400"), QStringLiteral("57 600"), QStringLiteral("115 200")});
    rgBDld_->setToolTip(
        QStringLiteral("For VokV40   8MHz is maximum 19200\nFor VokV40 16MHz is maximum 38400"));
    rgBDld_->SetItemIndex(model_.BaudIndex());
    connect(rgBDld_, &TRadioGroupBox::ItemClicked, this, [this](int index) { model_.SetBaudIndex(index); });

    gbPorts_ = new QGroupBox(QStringLiteral("COM port"), this);
    gbPorts_->setObjectName(QStringLiteral("gbPorts"));
    auto* detect = new QPushButton(QStringLiteral("Detect ports"), gbPorts_);
    detect->setObjectName(QStringLiteral("btDetect"));
    detect->setToolTip(QStringLiteral("Find existing and available COM ports"));
    detect->setAutoDefault(false);
    auto* portsLayout = new QVBoxLayout(gbPorts_);
    // The buttons are placed by hand above the layout's content.
    portsLayout->addSpacing(kButtonStep * static_cast<int>(TComParam::kMaxButtons));
    portsLayout->addWidget(detect);
    connect(detect, &QPushButton::clicked, this, [this] {
        model_.Detect();
        BuildPortButtons();
    });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btOk"));
    ok->setDefault(true);
    ok->setToolTip(QStringLiteral("Accept changes"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btCancel"));
    cancel->setToolTip(QStringLiteral("Cancel changes"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TfComParam::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfComParam::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(rgBDld_);
    groups->addWidget(gbPorts_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    BuildPortButtons();
}

void TfComParam::BuildPortButtons() {
    for (QRadioButton* button : portButtons_) {
        delete button;
    }
    portButtons_.clear();
    const auto& buttons = model_.Buttons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* button = new QRadioButton(QString::fromStdString(buttons[i].Caption()), gbPorts_);
        button->setObjectName(QString::fromStdString("rb" + buttons[i].Caption()));
        button->setGeometry(kButtonLeft, kButtonStep * static_cast<int>(i + 1), kButtonWidth, kButtonStep);
        button->setEnabled(buttons[i].Enabled);
        button->setChecked(model_.SelPort() == i + 1);
        connect(button, &QRadioButton::clicked, this, [this, i] { model_.ClickPort(i + 1); });
        button->show();
        portButtons_.push_back(button);
    }
    // The tab order follows the ports.
    for (std::size_t i = 1; i < portButtons_.size(); ++i) {
        setTabOrder(portButtons_[i - 1], portButtons_[i]);
    }
}

void TfComParam::accept() {
    if (model_.Ok()) {
        QDialog::accept();
        return;
    }
    if (const auto first = model_.FocusButton()) {
        portButtons_[*first]->setFocus();
    }
}

bool RunComParamDialog(TComParam& model, QWidget* parent) {
    TfComParam dialog(model, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace ravlo
