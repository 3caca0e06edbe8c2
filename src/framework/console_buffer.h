#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// What a carriage return and a line feed do besides themselves: with CR a carriage return also
// feeds a line, with LF a line feed also returns the carriage.
enum class TConsoleLineBreak { CRLF, CR, LF };

enum TConsoleOption : unsigned {
    coAutoTracking = 1u << 0,   // the view follows the cursor after a write
    coCheckEOF = 1u << 1,       // no effect in this program
    coCheckBreak = 1u << 2,     // Ctrl+C calls the break handler
    coFulltimeCursor = 1u << 3, // the caret shows also while text is written without focus
    coLazyWrite = 1u << 4,      // repaints and scrolls of a burst of writes are merged into one
    coStdInput = 1u << 5,       // no effect in this program
    coStdOutput = 1u << 6,      // no effect in this program
};
using TConsoleOptions = unsigned;
inline constexpr TConsoleOptions kDefaultConsoleOptions = coAutoTracking | coCheckBreak | coLazyWrite;

// The longest text a line write shows; its line break comes after it.
inline constexpr std::size_t kConsoleLineMax = 255;

// What changed since the view last looked: rows to repaint (counted from the top of the buffer as
// it is now) and how many lines the contents moved up.
struct ConsoleChanges {
    std::vector<bool> dirtyRows;
    int scrolled = 0;
    bool cleared = false;

    bool Any() const;
};

// The text storage and writing rules of the console control, free of any window: Cols x Rows cells
// of code page 1250 characters with a cursor. Rows are used as a ring, so a line feed at the last
// row moves no memory.
class ConsoleBuffer {
public:
    using Callback = std::function<void()>;
    using TextHandler = std::function<void(std::string_view)>;

    static constexpr int kMaxCols = 4096;
    static constexpr int kMaxRows = 4096;

    ConsoleBuffer(int cols = 80, int rows = 25);

    // Resizes and clears; a size outside 1..kMaxCols or 1..kMaxRows raises ERangeError.
    void SetSize(int cols, int rows);
    int Cols() const { return cols_; }
    int Rows() const { return rows_; }

    TConsoleLineBreak LineBreak() const { return lineBreak_; }
    void SetLineBreak(TConsoleLineBreak lineBreak) { lineBreak_ = lineBreak; }
    TConsoleOptions Options() const { return options_; }
    void SetOptions(TConsoleOptions options) { options_ = options; }

    // Writes text at the cursor: printable characters (32 and above) fill the row and go on at the
    // start of the next one; 7 beeps, 8 steps back and blanks, 10 feeds a line, 13 returns the
    // carriage; other control characters are ignored.
    void Write(std::string_view text);
    // Writes at most kConsoleLineMax characters of text, then the line break of the current mode.
    void WriteLine(std::string_view text);
    // Fills the buffer with blanks and puts the cursor to the top left.
    void Clear();

    int CursorCol() const { return cursorCol_; } // Cols() while a full row waits for its wrap
    int CursorRow() const { return cursorRow_; }
    // One row as it is shown, counted from the top.
    std::string_view Row(int row) const;
    char At(int col, int row) const { return Row(row)[static_cast<std::size_t>(col)]; }

    void SetBeepHandler(Callback beep) { beep_ = std::move(beep); }
    // When set, written texts go to it instead of the buffer.
    void SetProcessControlCodes(TextHandler handler) { processControlCodes_ = std::move(handler); }
    // Called after a change; with coLazyWrite only for the first change the view has not taken yet,
    // so that the view schedules a single update for a burst of writes.
    void SetChangeHandler(Callback changed) { changed_ = std::move(changed); }

    // Hands over the changes recorded since the last call and starts a new record.
    ConsoleChanges TakeChanges();
    // Whether the change handler was called for changes not taken yet.
    bool HasAnnouncedChanges() const { return announced_; }

private:
    void PutRun(std::string_view run);
    void Control(unsigned char code);
    void LineFeed();
    void MarkDirty(int row) { changes_.dirtyRows[static_cast<std::size_t>(row)] = true; }
    void NoteChange();
    std::size_t RowStart(int row) const;

    int cols_ = 0;
    int rows_ = 0;
    std::string cells_;
    int firstRow_ = 0; // where the top row lies in cells_
    int cursorCol_ = 0;
    int cursorRow_ = 0;
    TConsoleLineBreak lineBreak_ = TConsoleLineBreak::CRLF;
    TConsoleOptions options_ = kDefaultConsoleOptions;
    ConsoleChanges changes_;
    bool announced_ = false;
    Callback beep_;
    TextHandler processControlCodes_;
    Callback changed_;
};

} // namespace ravlo
