#include "shell/ui/event_log_form.h"

#include "framework/ui/tr_main_form.h"
#include "platform/cp1250.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace ravlo {

TFormEventLog::TFormEventLog(QWidget* parent) : TBroadcastForm(parent), edit_(new QTextEdit(this)) {
    setWindowTitle(QStringLiteral("Event Log"));
    edit_->setObjectName(QStringLiteral("RichEditEvLog"));
    edit_->setReadOnly(true);
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_->setLineWrapMode(QTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_);
    model_.SetObserver([this](const TEventLine& line, bool dropped) { ShowLine(line, dropped); });
}

TFormEventLog* TFormEventLog::ShowIn(TTrMainForm& main) {
    auto* form = new TFormEventLog;
    QMdiSubWindow* window = main.AddMdiChild(form);
    window->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->resize(window->width(), kInitialHeight);
    window->show();
    form->LayOut();
    return form;
}

void TFormEventLog::AddEvent(std::string_view text, std::uint8_t kind) {
    if (isVisible()) {
        model_.Add(text, kind);
    }
}

void TFormEventLog::LayOut() {
    auto* window = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (window == nullptr || window->mdiArea() == nullptr) {
        return;
    }
    const QSize area = window->mdiArea()->viewport()->size();
    window->setGeometry(0, std::max(0, area.height() - window->height()), area.width(), window->height());
}

void TFormEventLog::ShowLine(const TEventLine& line, bool droppedOldest) {
    QTextDocument& document = *edit_->document();
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    if (!document.isEmpty()) {
        cursor.insertBlock();
    }
    const TEventRgb rgb = EventKindColour(line.Kind);
    QTextCharFormat format;
    format.setForeground(QColor(rgb.R, rgb.G, rgb.B));
    cursor.insertText(QString::fromStdString(Cp1250ToUtf8(line.Text)), format);
    if (droppedOldest) {
        QTextCursor first(document.firstBlock());
        first.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        first.removeSelectedText();
    }
    edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->maximum());
}

} // namespace ravlo
