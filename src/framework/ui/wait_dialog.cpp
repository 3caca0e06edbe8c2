#include "framework/ui/wait_dialog.h"

#include "framework/string_edit_validator.h"
#include "framework/ui/qt_text.h"

#include <QEventLoop>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ravlo {
namespace {

// How long one pause within a pass lets other work run.
constexpr int kPumpMs = 10;

QLineEdit* MakeLine(QWidget* parent, const char* name) {
    QLineEdit* edit = MakeShownText(parent, name, Qt::AlignCenter);
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * 40);
    return edit;
}

} // namespace

TWait_Dlg::TWait_Dlg(QWidget* parent)
    : TTrValDialog(parent), Line1_Edit(MakeLine(this, "Line1_Edit")),
      Line2_Edit(MakeLine(this, "Line2_Edit")) {
    setObjectName(QStringLiteral("Wait_Dlg"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Line1_Edit);
    layout->addWidget(Line2_Edit);
    timer_.setInterval(kTimerMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Timer(); });
}

void TWait_Dlg::BindRecord(std::span<std::uint8_t> data) {
    TCtrlBindings bindings;
    for (QLineEdit* line : {Line1_Edit, Line2_Edit}) {
        bindings.Add<TTrStringEdit_Validator>(Control(line)).Setup(0, kWaitLineSize, CharRange(32, 255));
    }
    Validator.TransferTo(std::move(bindings), data);
}

void TWait_Dlg::ShowText(std::string_view text) {
    Line2_Edit->setText(FromCp1250(text));
}

void TWait_Dlg::showEvent(QShowEvent* event) {
    TTrValDialog::showEvent(event);
    timer_.start();
}

void TWait_Dlg::hideEvent(QHideEvent* event) {
    timer_.stop();
    TTrValDialog::hideEvent(event);
}

void TWait_Dlg::PumpEvents() {
    QEventLoop loop;
    QTimer::singleShot(kPumpMs, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace ravlo
