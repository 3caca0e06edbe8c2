#include "framework/console_buffer.h"

#include "platform/exception.h"

#include <algorithm>

namespace ravlo {

bool ConsoleChanges::Any() const {
    return cleared || scrolled > 0 || std::find(dirtyRows.begin(), dirtyRows.end(), true) != dirtyRows.end();
}

ConsoleBuffer::ConsoleBuffer(int cols, int rows) {
    SetSize(cols, rows);
}

void ConsoleBuffer::SetSize(int cols, int rows) {
    if (cols < 1 || cols > kMaxCols || rows < 1 || rows > kMaxRows) {
        throw ERangeError("TConsole: size " + std::to_string(cols) + " x " + std::to_string(rows) +
                          " out of range");
    }
    cols_ = cols;
    rows_ = rows;
    changes_.dirtyRows.assign(static_cast<std::size_t>(rows), false);
    Clear();
}

void ConsoleBuffer::Clear() {
    cells_.assign(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_), ' ');
    firstRow_ = 0;
    cursorCol_ = 0;
    cursorRow_ = 0;
    // Whatever scrolled before is gone; the view repaints everything.
    changes_.scrolled = 0;
    changes_.cleared = true;
    std::fill(changes_.dirtyRows.begin(), changes_.dirtyRows.end(), true);
    NoteChange();
}

std::size_t ConsoleBuffer::RowStart(int row) const {
    const int physical = (firstRow_ + row) % rows_;
    return static_cast<std::size_t>(physical) * static_cast<std::size_t>(cols_);
}

std::string_view ConsoleBuffer::Row(int row) const {
    return std::string_view(cells_).substr(RowStart(row), static_cast<std::size_t>(cols_));
}

void ConsoleBuffer::Write(std::string_view text) {
    if (processControlCodes_) {
        processControlCodes_(text);
        return;
    }
    if (text.empty()) {
        return;
    }
    MarkDirty(cursorRow_); // the caret leaves this row
    std::size_t at = 0;
    while (at < text.size()) {
        const auto code = static_cast<unsigned char>(text[at]);
        if (code < 32) {
            Control(code);
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && static_cast<unsigned char>(text[end]) >= 32) {
            ++end;
        }
        PutRun(text.substr(at, end - at));
        at = end;
    }
    MarkDirty(cursorRow_);
    NoteChange();
}

void ConsoleBuffer::WriteLine(std::string_view text) {
    std::string line(text.substr(0, kConsoleLineMax));
    switch (lineBreak_) {
    case TConsoleLineBreak::CRLF:
        line += "\r\n";
        break;
    case TConsoleLineBreak::CR:
        line += '\r';
        break;
    case TConsoleLineBreak::LF:
        line += '\n';
        break;
    }
    Write(line);
}

// A row that is full wraps only when more printable text comes, so a line of exactly Cols
// characters followed by its line break takes one row, not two.
void ConsoleBuffer::PutRun(std::string_view run) {
    while (!run.empty()) {
        if (cursorCol_ >= cols_) {
            LineFeed();
            cursorCol_ = 0;
        }
        const std::size_t room = static_cast<std::size_t>(cols_ - cursorCol_);
        const std::size_t count = std::min(room, run.size());
        std::copy_n(run.begin(), count,
                    cells_.begin() + static_cast<std::ptrdiff_t>(RowStart(cursorRow_)) + cursorCol_);
        MarkDirty(cursorRow_);
        cursorCol_ += static_cast<int>(count);
        run.remove_prefix(count);
    }
}

void ConsoleBuffer::Control(unsigned char code) {
    switch (code) {
    case 7:
        if (beep_) {
            beep_();
        }
        break;
    case 8:
        if (cursorCol_ > 0) {
            --cursorCol_;
            cells_[RowStart(cursorRow_) + static_cast<std::size_t>(cursorCol_)] = ' ';
            MarkDirty(cursorRow_);
        }
        break;
    case 10:
        LineFeed();
        if (lineBreak_ == TConsoleLineBreak::LF) {
            cursorCol_ = 0;
        }
        break;
    case 13:
        cursorCol_ = 0;
        if (lineBreak_ == TConsoleLineBreak::CR) {
            LineFeed();
        }
        break;
    default:
        break;
    }
}

void ConsoleBuffer::LineFeed() {
    if (cursorRow_ < rows_ - 1) {
        ++cursorRow_;
        MarkDirty(cursorRow_);
        return;
    }
    // The old top row becomes the new, blank bottom row.
    firstRow_ = (firstRow_ + 1) % rows_;
    std::fill_n(cells_.begin() + static_cast<std::ptrdiff_t>(RowStart(rows_ - 1)), cols_, ' ');
    ++changes_.scrolled;
    changes_.dirtyRows.erase(changes_.dirtyRows.begin());
    changes_.dirtyRows.push_back(true);
}

void ConsoleBuffer::NoteChange() {
    if (!changed_ || (announced_ && (options_ & coLazyWrite) != 0)) {
        return;
    }
    announced_ = true;
    changed_();
}

ConsoleChanges ConsoleBuffer::TakeChanges() {
    ConsoleChanges taken = changes_;
    changes_.scrolled = 0;
    changes_.cleared = false;
    std::fill(changes_.dirtyRows.begin(), changes_.dirtyRows.end(), false);
    announced_ = false;
    return taken;
}

} // namespace ravlo
