#pragma once

#include "framework/console_buffer.h"
#include "platform/exception.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace ravlo {

// A font the console cannot use.
class EInvalidFont : public Exception {
public:
    using Exception::Exception;
};

// A fixed-pitch font for text consoles: the desktop's monospace font, or the first installed
// family that really has fixed pitch.
QFont FixedPitchFont();

// The console control: a text terminal drawn cell by cell in a fixed-pitch font, with scroll bars
// over its Cols x Rows buffer. Keys scroll the view; typed characters are queued for whoever reads
// them. With coLazyWrite a burst of writes is repainted and tracked once, from the event loop.
class TConsole : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr std::size_t kInputMax = 64;

    explicit TConsole(QWidget* parent = nullptr);

    int Cols() const { return buffer_.Cols(); }
    int Rows() const { return buffer_.Rows(); }
    // Resizes and clears the buffer; ERangeError for a size out of range.
    void SetSize(int cols, int rows);
    TConsoleLineBreak LineBreak() const { return buffer_.LineBreak(); }
    void SetLineBreak(TConsoleLineBreak lineBreak) { buffer_.SetLineBreak(lineBreak); }
    TConsoleOptions Options() const { return buffer_.Options(); }
    void SetOptions(TConsoleOptions options);

    const QFont& ConsoleFont() const { return font_; }
    // Refuses a proportional font with EInvalidFont ("TConsole: <name> is not fixed-pitch") and
    // keeps the previous one.
    void SetConsoleFont(const QFont& font);

    void Write(std::string_view text);
    void WriteLine(std::string_view text);
    void Clear();
    const ConsoleBuffer& Buffer() const { return buffer_; }

    // Repaints what changed and tracks the cursor now instead of from the event loop.
    void FlushChanges();

    // Characters typed into the control (code page 1250), oldest first; at most kInputMax are kept.
    std::string TakeInput();
    // Called for Ctrl+C while coCheckBreak is set.
    void SetBreakHandler(std::function<void()> handler) { onBreak_ = std::move(handler); }

    int VisibleCols() const;
    int VisibleRows() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void ApplyFont(const QFont& font);
    void UpdateScrollBars();
    void EnsureCursorVisible();
    void OnBufferChanged();
    bool ShowsCaret() const;
    QRect CellRect(int col, int row) const;

    ConsoleBuffer buffer_;
    QFont font_;
    int cellWidth_ = 1;
    int cellHeight_ = 1;
    int ascent_ = 0;
    std::deque<char> input_;
    std::function<void()> onBreak_;
};

} // namespace ravlo
