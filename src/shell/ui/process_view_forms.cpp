#include "shell/ui/process_view_forms.h"

#include "framework/ui/qt_text.h"
#include "framework/ui/throttled_texts.h"
#include "platform/window_messages.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace ravlo {
namespace {

// Room for the longest text of a field: the counters' line.
constexpr int kEditChars = 44;

} // namespace

TProcessViewForm::TProcessViewForm(TProcessView view, QWidget* parent)
    : TBroadcastForm(parent), view_(std::move(view)), texts_(new TThrottledTexts(this)) {
    setWindowTitle(FromCp1250(view_.Caption()));
    auto* layout = new QFormLayout(this);
    layout->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (const TProcViewField& field : view_.Fields()) {
        auto* edit = new QLineEdit(FromCp1250(field.Text), this);
        edit->setObjectName(QString::fromStdString(field.EditName));
        edit->setReadOnly(true);
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kEditChars);
        layout->addRow(FromCp1250(field.Label), edit);
        edits_.push_back(edit);
        texts_->Add([edit](const QString& text) { edit->setText(text); }, edit->text());
    }
}

std::intptr_t TProcessViewForm::WindowMessage(std::uint32_t msg, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
    if (msg == wm_VarChanged) {
        if (const int index = view_.VarChanged(reinterpret_cast<const void*>(lParam)); index >= 0) {
            const auto row = static_cast<std::size_t>(index);
            texts_->Set(row, FromCp1250(view_.Fields()[row].Text));
        }
        return 0;
    }
    return TBroadcastForm::WindowMessage(msg, wParam, lParam);
}

} // namespace ravlo
