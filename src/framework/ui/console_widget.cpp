#include "framework/ui/console_widget.h"

#include "platform/cp1250.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace ravlo {
namespace {

QString ToQString(std::string_view cp1250) {
    return QString::fromStdString(Cp1250ToUtf8(cp1250));
}

} // namespace

QFont FixedPitchFont() {
    // The desktop's monospace font is the first choice, but font configuration may resolve it to
    // a face that does not report itself fixed-pitch; the cells would then not line up.
    const QFont preferred = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(preferred).fixedPitch()) {
        return preferred;
    }
    for (const QString& family : QFontDatabase::families()) {
        QFont candidate(family, preferred.pointSize());
        if (QFontDatabase::isFixedPitch(family) && QFontInfo(candidate).fixedPitch()) {
            return candidate;
        }
    }
    return preferred;
}

TConsole::TConsole(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    ApplyFont(FixedPitchFont());
    buffer_.SetBeepHandler([] { QApplication::beep(); });
    buffer_.SetChangeHandler([this] { OnBufferChanged(); });
    UpdateScrollBars();
}

void TConsole::SetSize(int cols, int rows) {
    buffer_.SetSize(cols, rows);
    UpdateScrollBars();
    FlushChanges();
}

void TConsole::SetOptions(TConsoleOptions options) {
    buffer_.SetOptions(options);
    viewport()->update();
}

void TConsole::SetConsoleFont(const QFont& font) {
    if (!QFontInfo(font).fixedPitch()) {
        throw EInvalidFont("TConsole: " + Utf8ToCp1250(font.family().toStdString()) + " is not fixed-pitch");
    }
    ApplyFont(font);
}

void TConsole::ApplyFont(const QFont& font) {
    font_ = font;
    const QFontMetrics metrics(font_);
    cellWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    cellHeight_ = std::max(1, metrics.lineSpacing());
    ascent_ = metrics.ascent();
    UpdateScrollBars();
    viewport()->update();
}

void TConsole::Write(std::string_view text) {
    buffer_.Write(text);
}

void TConsole::WriteLine(std::string_view text) {
    buffer_.WriteLine(text);
}

void TConsole::Clear() {
    buffer_.Clear();
}

// With coLazyWrite the buffer announces only the first change of a burst, and the update runs once
// from the event loop; otherwise every write is shown at once.
void TConsole::OnBufferChanged() {
    if ((buffer_.Options() & coLazyWrite) != 0) {
        QMetaObject::invokeMethod(this, &TConsole::FlushChanges, Qt::QueuedConnection);
    } else {
        FlushChanges();
    }
}

void TConsole::FlushChanges() {
    const ConsoleChanges changes = buffer_.TakeChanges();
    if (!changes.Any()) {
        return;
    }
    if (changes.cleared || changes.scrolled > 0) {
        viewport()->update();
    } else {
        const int top = verticalScrollBar()->value();
        for (int row = top; row < std::min(Rows(), top + VisibleRows() + 1); ++row) {
            if (changes.dirtyRows[static_cast<std::size_t>(row)]) {
                viewport()->update(0, (row - top) * cellHeight_, viewport()->width(), cellHeight_);
            }
        }
    }
    if ((buffer_.Options() & coAutoTracking) != 0) {
        EnsureCursorVisible();
    }
}

std::string TConsole::TakeInput() {
    std::string typed(input_.begin(), input_.end());
    input_.clear();
    return typed;
}

int TConsole::VisibleCols() const {
    return std::max(1, viewport()->width() / cellWidth_);
}

int TConsole::VisibleRows() const {
    return std::max(1, viewport()->height() / cellHeight_);
}

QSize TConsole::sizeHint() const {
    // Room for a comfortable part of the buffer, not all of it.
    const int cols = std::min(Cols(), 80);
    const int rows = std::min(Rows(), 25);
    const int frame = 2 * frameWidth();
    return {cols * cellWidth_ + frame + verticalScrollBar()->sizeHint().width(),
            rows * cellHeight_ + frame + horizontalScrollBar()->sizeHint().height()};
}

void TConsole::UpdateScrollBars() {
    horizontalScrollBar()->setRange(0, std::max(0, Cols() - VisibleCols()));
    horizontalScrollBar()->setPageStep(VisibleCols());
    verticalScrollBar()->setRange(0, std::max(0, Rows() - VisibleRows()));
    verticalScrollBar()->setPageStep(VisibleRows());
}

void TConsole::EnsureCursorVisible() {
    const int col = std::min(buffer_.CursorCol(), Cols() - 1);
    const int row = buffer_.CursorRow();
    QScrollBar* horizontal = horizontalScrollBar();
    if (col < horizontal->value()) {
        horizontal->setValue(col);
    } else if (col >= horizontal->value() + VisibleCols()) {
        horizontal->setValue(col - VisibleCols() + 1);
    }
    QScrollBar* vertical = verticalScrollBar();
    if (row < vertical->value()) {
        vertical->setValue(row);
    } else if (row >= vertical->value() + VisibleRows()) {
        vertical->setValue(row - VisibleRows() + 1);
    }
}

bool TConsole::ShowsCaret() const {
    return hasFocus() || (buffer_.Options() & coFulltimeCursor) != 0;
}

QRect TConsole::CellRect(int col, int row) const {
    return {(col - horizontalScrollBar()->value()) * cellWidth_,
            (row - verticalScrollBar()->value()) * cellHeight_, cellWidth_, cellHeight_};
}

void TConsole::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(font_);
    painter.setPen(palette().color(QPalette::Text));
    const int left = horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    const int firstRow = top + event->rect().top() / cellHeight_;
    const int lastRow = std::min(Rows() - 1, top + event->rect().bottom() / cellHeight_);
    const auto shownCols = static_cast<std::size_t>(VisibleCols() + 1);
    for (int row = firstRow; row <= lastRow; ++row) {
        const std::string_view text = buffer_.Row(row).substr(static_cast<std::size_t>(left), shownCols);
        painter.drawText(0, (row - top) * cellHeight_ + ascent_, ToQString(text));
    }
    if (ShowsCaret()) {
        const int col = std::min(buffer_.CursorCol(), Cols() - 1);
        const QRect caret = CellRect(col, buffer_.CursorRow());
        painter.fillRect(caret, palette().color(QPalette::Text));
        painter.setPen(palette().color(QPalette::Base));
        const std::string_view under =
            buffer_.Row(buffer_.CursorRow()).substr(static_cast<std::size_t>(col), 1);
        painter.drawText(caret.left(), caret.top() + ascent_, ToQString(under));
    }
}

void TConsole::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TConsole::keyPressEvent(QKeyEvent* event) {
    QScrollBar* horizontal = horizontalScrollBar();
    QScrollBar* vertical = verticalScrollBar();
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    switch (event->key()) {
    case Qt::Key_Left:
        horizontal->setValue(horizontal->value() - (ctrl ? VisibleCols() / 2 : 1));
        return;
    case Qt::Key_Right:
        horizontal->setValue(horizontal->value() + (ctrl ? VisibleCols() / 2 : 1));
        return;
    case Qt::Key_Home:
        (ctrl ? vertical : horizontal)->setValue(0);
        return;
    case Qt::Key_End:
        if (ctrl) {
            vertical->setValue(vertical->maximum());
        } else {
            horizontal->setValue(horizontal->maximum());
        }
        return;
    case Qt::Key_Up:
        vertical->setValue(vertical->value() - 1);
        return;
    case Qt::Key_Down:
        vertical->setValue(vertical->value() + 1);
        return;
    case Qt::Key_PageUp:
        vertical->setValue(vertical->value() - VisibleRows());
        return;
    case Qt::Key_PageDown:
        vertical->setValue(vertical->value() + VisibleRows());
        return;
    default:
        break;
    }
    if (ctrl && event->key() == Qt::Key_C) {
        if ((buffer_.Options() & coCheckBreak) != 0 && onBreak_) {
            onBreak_();
        }
        return;
    }
    const std::string typed = Utf8ToCp1250(event->text().toStdString());
    if (typed.empty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    for (const char c : typed) {
        if (input_.size() < kInputMax) {
            input_.push_back(c);
        }
    }
}

void TConsole::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TConsole::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TConsole::scrollContentsBy(int, int) {
    viewport()->update();
}

} // namespace ravlo
