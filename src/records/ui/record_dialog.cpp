#include "records/ui/record_dialog.h"

#include "framework/string_table.h"
#include "framework/ui/qt_text.h"
#include "records/record_edit.h"
#include "records/record_type_dscr.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace ravlo {
namespace {

constexpr int kCancelId = 166;
constexpr int kIndent = 16;
// Longer records scroll.
constexpr int kMaxRowsHeight = 480;
// An edit's frame and inner margins.
constexpr int kEditMargin = 12;

} // namespace

TDscrRecDlg::TDscrRecDlg(QWidget* parent) : TTrValDialog(parent) {
    auto* content = new QWidget;
    rows_ = new QGridLayout(content);
    rows_->setColumnStretch(1, 1);
    rows_->setHorizontalSpacing(12);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("Rows_Scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(MakeOkCancelButtons(QStringLiteral("OK"), FromCp1250(AppLoadStr(kCancelId))));
}

void TDscrRecDlg::BindRecord(std::span<std::uint8_t> data) {
    const TRecordEdit& edit = CurrentRecordEdit();
    std::vector<TRecordEditItem> items;
    if (edit.Type != nullptr) {
        setWindowTitle(FromCp1250(edit.Type->Name));
        items = RecordEditPlan(*edit.Type, edit.Data, data);
    }
    int row = 0;
    TCtrlBindings bindings =
        RecordEditBindings(items, [this, &row](const TRecordEditItem& item) -> TValControl* {
            auto* caption = new QLabel(FromCp1250(item.Caption));
            caption->setContentsMargins(item.Depth * kIndent, 0, 0, 0);
            QWidget* control = nullptr;
            switch (item.kind) {
            case TRecordEditItem::Kind::Heading: {
                QFont bold = caption->font();
                bold.setBold(true);
                caption->setFont(bold);
                rows_->addWidget(caption, row++, 0, 1, 2);
                return nullptr;
            }
            case TRecordEditItem::Kind::Edit:
                control = new QLineEdit;
                break;
            case TRecordEditItem::Kind::Combo: {
                // Editable, so that a value without an entry can be shown and typed as a number.
                auto* combo = new QComboBox;
                combo->setEditable(true);
                control = combo;
                break;
            }
            case TRecordEditItem::Kind::Shown:
                // A text without a caption (a label field) spans the row.
                if (item.Caption.empty()) {
                    caption->setText(FromCp1250(item.Text));
                    rows_->addWidget(caption, row++, 0, 1, 2);
                } else {
                    rows_->addWidget(caption, row, 0);
                    rows_->addWidget(new QLabel(FromCp1250(item.Text)), row++, 1);
                }
                return nullptr;
            case TRecordEditItem::Kind::Hidden:
                delete caption;
                return nullptr;
            }
            control->setObjectName(QStringLiteral("Field_%1").arg(Editors.size()));
            caption->setBuddy(control);
            rows_->addWidget(caption, row, 0);
            rows_->addWidget(control, row++, 1);
            Editors.push_back(control);
            return Control(control);
        });
    Validator.TransferTo(std::move(bindings), data);
    // An edit is wide enough for its value's text (a date and time is long) and a little more.
    for (QWidget* editor : Editors) {
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const QFontMetrics metrics = line->fontMetrics();
            line->setMinimumWidth(
                std::max(line->sizeHint().width(),
                         metrics.horizontalAdvance(line->text() + QStringLiteral("00")) + kEditMargin));
        }
    }

    auto* scroll = findChild<QScrollArea*>(QStringLiteral("Rows_Scroll"));
    const QSize rows = scroll->widget()->sizeHint();
    scroll->setMinimumSize(rows.width() + scroll->verticalScrollBar()->sizeHint().width(),
                           std::min(rows.height(), kMaxRowsHeight));
    if (!Editors.empty()) {
        Editors.front()->setFocus();
    }
}

void RegisterRecordDialogs() {
    RegisterDialog(kDscrRecDlgName,
                   [](TPlatformWindow* owner) { return std::make_unique<TDscrRecDlg>(OwnerWidget(owner)); });
}

} // namespace ravlo
