#include "shell/ui/mem_view_form.h"

#include "framework/ui/qt_text.h"
#include "kernel/exception_log.h"
#include "platform/exception.h"
#include "platform/presenter.h"
#include "shell/ui/tool_form_parts.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace ravlo {
namespace {

constexpr int kMinHeight = 170;
// The narrow and the wide line: 8 and 16 bytes.
constexpr int kNarrowLine = 4 * 8 + 9;
constexpr int kWideLine = 4 * 16 + 9;

// The width of a dump line of columns characters: the font's cells need not be whole pixels, so a
// line is measured as a whole rather than as columns times one rounded cell.
int LineWidth(const QFont& font, int columns) {
    return QFontMetrics(font).horizontalAdvance(QString(columns, QLatin1Char('0')));
}

// A dump line as shown: characters the font cannot show take a blank, so the columns stay.
QString DumpText(std::string_view line) {
    QString text = FromCp1250(line);
    for (QChar& c : text) {
        if (!c.isPrint()) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

TMemKey KeyOf(int key) {
    switch (key) {
    case Qt::Key_PageUp:
        return TMemKey::PageUp;
    case Qt::Key_PageDown:
        return TMemKey::PageDown;
    case Qt::Key_Home:
        return TMemKey::Home;
    case Qt::Key_End:
        return TMemKey::End;
    case Qt::Key_Left:
        return TMemKey::Left;
    case Qt::Key_Right:
        return TMemKey::Right;
    case Qt::Key_Down:
        return TMemKey::Down;
    default:
        return TMemKey::Other;
    }
}

} // namespace

TfMemView::TfMemView(TBoardMemory& board, QWidget* parent)
    : TBroadcastForm(parent), model_(board, Handle()), lblAbsAddr_(nullptr), lblDataH_(nullptr),
      lblDataA_(nullptr), richEdit_(Named<QPlainTextEdit>(this, "RichEdit", "")),
      lblActPos_(Named<QLabel>(this, "lblActPos", "Act.Addr: ")),
      btPrev_(Named<QPushButton>(this, "btPrev", "Previous\n256 bytes")),
      btNext_(Named<QPushButton>(this, "btNext", "Next\n256 bytes")),
      btSave_(Named<QPushButton>(this, "btSave", "Save to Vok")) {
    setObjectName(QStringLiteral("fMemView"));
    setWindowTitle(QStringLiteral("Memory view"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* heads = new QWidget(this);
    heads->setObjectName(QStringLiteral("Heads"));
    lblAbsAddr_ = Named<QLabel>(heads, "lblAbsAddr", "Abs.Addr");
    lblDataH_ = Named<QLabel>(heads, "lblDataH", "Data hexa (ofs 0, 1, 2 ... F)");
    lblDataA_ = Named<QLabel>(heads, "lblDataA", "Data ASCII");
    heads->setFixedHeight(lblDataH_->sizeHint().height());

    richEdit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    richEdit_->setReadOnly(true);
    richEdit_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    richEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    richEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    richEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    richEdit_->setCursorWidth(2);
    richEdit_->setToolTip(QStringLiteral("Image of Vok data from absolute address"));
    richEdit_->installEventFilter(this);
    richEdit_->viewport()->installEventFilter(this);
    lblActPos_->setToolTip(QStringLiteral("Absolute address of byte at the cursor"));
    btPrev_->setToolTip(QStringLiteral("View previous 256 bytes in absolute address space"));
    btSave_->setEnabled(false);
    btSave_->setVisible(UserMayWriteBoard());
    auto* btClose = Named<QPushButton>(this, "btClose", "Close");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heads);
    layout->addWidget(richEdit_, 1);
    layout->addWidget(lblActPos_);
    layout->addLayout(ButtonRow({btPrev_, btNext_, btSave_, btClose}));

    // From a narrow line to a wide one, as the window allows; a cell to spare for the caret.
    const QFont& font = richEdit_->font();
    const QMargins margins = layout->contentsMargins();
    const int chrome = margins.left() + margins.right() + 2 * richEdit_->frameWidth() +
                       2 * static_cast<int>(richEdit_->document()->documentMargin()) +
                       richEdit_->verticalScrollBar()->sizeHint().width() + LineWidth(font, 1);
    setMinimumSize(std::max(LineWidth(font, kNarrowLine) + chrome, layout->minimumSize().width()),
                   kMinHeight);
    setMaximumWidth(LineWidth(font, kWideLine) + chrome);

    connect(btPrev_, &QPushButton::clicked, this, [this] { StepPage(-1); });
    connect(btNext_, &QPushButton::clicked, this, [this] { StepPage(1); });
    connect(btSave_, &QPushButton::clicked, this, &TfMemView::btSaveClick);
    connect(btClose, &QPushButton::clicked, this, &TBroadcastForm::CloseWindow);
    Render();
}

QSize TfMemView::sizeHint() const {
    constexpr int kRows = 16;
    const int line = QFontMetrics(richEdit_->font()).lineSpacing();
    const int text = kRows * line + line / 2 + 2 * richEdit_->frameWidth() +
                     2 * static_cast<int>(richEdit_->document()->documentMargin());
    return {maximumWidth(), layout()->sizeHint().height() - richEdit_->sizeHint().height() + text};
}

void TfMemView::ShowPage(TSegOfsPtr address, std::vector<std::uint8_t> data) {
    model_.ShowPage(address, std::move(data));
    FormResize();
    Render();
}

void TfMemView::Render() {
    const TMemCaret caret = Caret();
    QStringList lines;
    for (int row = 0; row <= model_.LastRow(); ++row) {
        lines << DumpText(model_.LineText(row));
    }
    richEdit_->setPlainText(lines.join(QLatin1Char('\n')));

    // Each edited byte's digits and character in red; neighbouring characters share one mark,
    // which the text layout paints more reliably than a mark per character.
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat red;
    red.setForeground(QColor(0xFF, 0, 0));
    const auto mark = [&](int row, int from, int length) {
        const QTextBlock block = richEdit_->document()->findBlockByNumber(row);
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(block);
        selection.cursor.setPosition(block.position() + from);
        selection.cursor.setPosition(block.position() + from + length, QTextCursor::KeepAnchor);
        selection.format = red;
        marks << selection;
    };
    const int w = model_.BytesPerRow();
    for (int row = 0; row <= model_.LastRow(); ++row) {
        for (int col = 0; col < w; ++col) {
            const auto changed = [&](int c) {
                return model_.Changed().test(static_cast<std::size_t>(row * w + c));
            };
            if (!changed(col)) {
                continue;
            }
            mark(row, TMemViewModel::kHexCol + 3 * col, 2);
            if (col == 0 || !changed(col - 1)) {
                int run = 1;
                while (col + run < w && changed(col + run)) {
                    ++run;
                }
                mark(row, model_.AscCol() + col, run);
            }
        }
    }
    richEdit_->setExtraSelections(marks);
    lblDataH_->setText(FromCp1250(model_.DataHeadText()));
    btSave_->setEnabled(model_.SaveEnabled());
    SetCaret(caret);
    RefreshCursor();
    PlaceHeads();
}

TMemCaret TfMemView::Caret() const {
    const QTextCursor cursor = richEdit_->textCursor();
    return {cursor.positionInBlock(), cursor.blockNumber()};
}

void TfMemView::SetCaret(TMemCaret caret) {
    const QTextBlock block = richEdit_->document()->findBlockByNumber(caret.Row);
    if (!block.isValid()) {
        return;
    }
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::min(caret.Col, block.length() - 1));
    richEdit_->setTextCursor(cursor);
}

void TfMemView::RefreshCursor() {
    SetCaret(model_.RefreshCursor(Caret()));
    lblActPos_->setText(FromCp1250(model_.ActPosText()));
}

bool TfMemView::KeyPressed(const QKeyEvent& key) {
    const TMemKey which = KeyOf(key.key());
    if (which != TMemKey::Other && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const auto caret = model_.KeyDown(which, Caret());
        if (!caret) {
            return false;
        }
        SetCaret(*caret);
        RefreshCursor();
        return true;
    }
    const QString text = key.text();
    if (text.isEmpty() || (!text.front().isPrint() && !text.front().isSurrogate())) {
        return false;
    }
    if (const auto caret = model_.KeyPressText(text.toStdString(), Caret())) {
        Render();
        SetCaret(*caret);
        RefreshCursor();
    }
    return true;
}

bool TfMemView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == richEdit_) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return KeyPressed(static_cast<const QKeyEvent&>(*event));
        case QEvent::KeyRelease:
        case QEvent::FocusIn:
            RefreshCursor();
            break;
        default:
            break;
        }
    } else if (watched == richEdit_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        RefreshCursor();
    }
    return TBroadcastForm::eventFilter(watched, event);
}

void TfMemView::resizeEvent(QResizeEvent* event) {
    TBroadcastForm::resizeEvent(event);
    FormResize();
    PlaceHeads();
}

void TfMemView::FormResize() {
    const int text =
        richEdit_->viewport()->width() - 2 * static_cast<int>(richEdit_->document()->documentMargin());
    // The characters that fit, counted against a wide line, which decides between the two.
    const int columns = text * kWideLine / std::max(LineWidth(richEdit_->font(), kWideLine), 1);
    if (model_.SetBytesPerRow(TMemViewModel::BytesPerRowFor(columns))) {
        Render();
    }
}

// The heads stand over their columns of the dump.
void TfMemView::PlaceHeads() {
    const QTextBlock first = richEdit_->document()->firstBlock();
    const auto columnX = [&](int col) {
        QTextCursor cursor(first);
        cursor.setPosition(first.position() + std::min(col, first.length() - 1));
        const QPoint at = richEdit_->viewport()->mapTo(this, richEdit_->cursorRect(cursor).topLeft());
        return at.x() - lblDataH_->parentWidget()->x();
    };
    lblAbsAddr_->move(columnX(0), 0);
    lblDataH_->adjustSize();
    lblDataH_->move(columnX(TMemViewModel::kHexCol), 0);
    lblDataA_->adjustSize();
    lblDataA_->move(std::max(columnX(model_.AscCol()), lblDataH_->geometry().right() + 8), 0);
}

void TfMemView::StepPage(int direction) {
    try {
        if (model_.StepPage(direction)) {
            Render();
        }
    } catch (const ERangeError&) {
        LogCaughtException("TfMemView");
        GetPresenter().Beep(MB_OK);
    }
    richEdit_->setFocus();
}

void TfMemView::btSaveClick() {
    if (model_.Save()) {
        Render();
    }
    richEdit_->setFocus();
}

} // namespace ravlo
