#include "framework/ui/message_dlg_box.h"

#include "framework/ui/console_widget.h"
#include "framework/ui/qt_text.h"
#include "framework/ui/title_width.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace ravlo {
namespace {

QMessageBox::Icon IconOf(MessageBoxKind kind) {
    switch (kind) {
    case MessageBoxKind::Error:
        return QMessageBox::Critical;
    case MessageBoxKind::Confirmation:
        return QMessageBox::Question;
    case MessageBoxKind::Information:
        return QMessageBox::Information;
    case MessageBoxKind::Warning:
        break;
    }
    return QMessageBox::Warning;
}

// Qt has a standard button for every kind but All.
QMessageBox::StandardButton StandardButtonOf(TMsgDlgBtn kind) {
    switch (kind) {
    case TMsgDlgBtn::mbYes:
        return QMessageBox::Yes;
    case TMsgDlgBtn::mbNo:
        return QMessageBox::No;
    case TMsgDlgBtn::mbOK:
        return QMessageBox::Ok;
    case TMsgDlgBtn::mbCancel:
        return QMessageBox::Cancel;
    case TMsgDlgBtn::mbAbort:
        return QMessageBox::Abort;
    case TMsgDlgBtn::mbRetry:
        return QMessageBox::Retry;
    case TMsgDlgBtn::mbIgnore:
        return QMessageBox::Ignore;
    case TMsgDlgBtn::mbNoToAll:
        return QMessageBox::NoToAll;
    case TMsgDlgBtn::mbYesToAll:
        return QMessageBox::YesToAll;
    case TMsgDlgBtn::mbHelp:
        return QMessageBox::Help;
    case TMsgDlgBtn::mbAll:
        break;
    }
    return QMessageBox::NoButton;
}

// A text of several lines that lines up its values with runs of blanks after a label ("BIOS
// version:   ...") is a table: only a fixed-pitch font keeps its columns. Indenting is no table.
bool LaysOutColumnsWithBlanks(std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        return false;
    }
    bool inLine = false;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            inLine = false;
        } else if (c != ' ') {
            inLine = true;
        } else if (inLine && text[i + 1] == ' ') {
            return true;
        }
    }
    return false;
}

// Room for the window frame around the box, which the screen must hold as well.
constexpr int kFrameAllowance = 32;

// The width of buttons (widths in their order) laid out row by row in so many columns.
int GridWidth(const std::vector<int>& widths, int spacing, std::size_t columns) {
    int total = spacing * static_cast<int>(columns - 1);
    for (std::size_t column = 0; column < columns; ++column) {
        int widest = 0;
        for (std::size_t i = column; i < widths.size(); i += columns) {
            widest = std::max(widest, widths[i]);
        }
        total += widest;
    }
    return total;
}

// The columns for buttons that fit within limit: as few rows as can be, and as many buttons in each
// as the others have, so that the last one is not left nearly empty. One at least.
std::size_t ColumnsWithin(const std::vector<int>& widths, int spacing, int limit) {
    std::size_t most = widths.size();
    while (most > 1 && GridWidth(widths, spacing, most) > limit) {
        --most;
    }
    const std::size_t rows = (widths.size() + most - 1) / most;
    for (std::size_t even = (widths.size() + rows - 1) / rows; even < most; ++even) {
        if (GridWidth(widths, spacing, even) <= limit) {
            return even;
        }
    }
    return most;
}

} // namespace

MessageDlgBox::MessageDlgBox(MessageBoxKind kind, std::string_view caption, std::string_view text,
                             QWidget* owner, MessageBoxPlacement placement)
    : QMessageBox(IconOf(kind), FromCp1250(caption), FromCp1250(MessageTextShown(text)),
                  QMessageBox::NoButton, owner),
      placement_(placement) {
    // Texts come from files and boards: never let them turn into markup.
    setTextFormat(Qt::PlainText);
    if (LaysOutColumnsWithBlanks(text)) {
        if (auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            label->setFont(FixedPitchFont());
        }
    }
}

void MessageDlgBox::SetButtons(const std::vector<TMsgDlgBtn>& buttons, TMsgDlgBtn defaultButton) {
    auto* buttonBox = findChild<QDialogButtonBox*>();
    for (const TMsgDlgBtn kind : buttons) {
        QAbstractButton* button = nullptr;
        if (const QMessageBox::StandardButton standard = StandardButtonOf(kind); standard != NoButton) {
            button = addButton(standard);
        } else {
            // "A&ll": "Yes to &All" has the A.
            button = addButton(QStringLiteral("A&ll"), QMessageBox::YesRole);
        }
        button->setObjectName(QString::fromLatin1(MsgDlgButtonNames[static_cast<std::size_t>(kind)]));
        if (kind == TMsgDlgBtn::mbHelp && buttonBox != nullptr) {
            // Left connected, Help would close the box like any other button.
            QObject::disconnect(button, &QAbstractButton::clicked, buttonBox, nullptr);
            QObject::connect(button, &QAbstractButton::clicked, this, [] { QApplication::beep(); });
        }
        buttons_.emplace_back(kind, button);
    }
    default_ = MsgDlgDefault(buttons, defaultButton);
    if (auto* shown = qobject_cast<QPushButton*>(Button(default_))) {
        setDefaultButton(shown); // and the focus
    }
    escape_ = MsgDlgEscape(buttons);
    setEscapeButton(escape_ ? Button(*escape_) : nullptr);
}

int MessageDlgBox::Answer() const {
    for (const auto& [kind, button] : buttons_) {
        if (button == clickedButton()) {
            return MsgDlgAnswer(kind);
        }
    }
    return MsgDlgAnswer(escape_.value_or(default_));
}

QAbstractButton* MessageDlgBox::Button(TMsgDlgBtn kind) const {
    const auto at = std::find_if(buttons_.begin(), buttons_.end(),
                                 [kind](const auto& entry) { return entry.first == kind; });
    return at != buttons_.end() ? at->second : nullptr;
}

void MessageDlgBox::showEvent(QShowEvent* event) {
    WrapButtons();
    // The box sizes itself to its buttons and text when shown; a button row as wide as the title
    // needs keeps a short text from cutting its title ("Inf...ion").
    if (auto* buttonBox = findChild<QDialogButtonBox*>(); buttonBox != nullptr && layout() != nullptr) {
        const QMargins margins = layout()->contentsMargins();
        // A minimum width of its own replaces the row's own need, which must stay met.
        buttonBox->setMinimumWidth(
            std::max(std::min(ReadableTitleWidth(*this), WidthLimit()) - margins.left() - margins.right(),
                     buttonBox->minimumSizeHint().width()));
    }
    QMessageBox::showEvent(event);
    FitButtons();
    Place();
}

bool MessageDlgBox::event(QEvent* event) {
    const bool handled = QMessageBox::event(event);
    if (event->type() == QEvent::LayoutRequest && isVisible()) {
        const QSize before = size();
        WrapButtons();
        FitButtons();
        if (size() != before) {
            Place();
        }
    }
    return handled;
}

int MessageDlgBox::WidthLimit() const {
    const QScreen* shownOn = screen();
    return shownOn != nullptr ? shownOn->availableGeometry().width() - kFrameAllowance : QWIDGETSIZE_MAX;
}

void MessageDlgBox::WrapButtons() {
    auto* buttonBox = findChild<QDialogButtonBox*>();
    if (buttonBox == nullptr || buttonBox->layout() == nullptr || layout() == nullptr) {
        return;
    }
    // The buttons that stand in the box's row, in the order it shows them. The row takes them back
    // whenever it lays itself out again (a change of style does that).
    QLayout& row = *buttonBox->layout();
    std::vector<QWidget*> shown;
    std::vector<int> widths;
    for (int i = 0; i < row.count(); ++i) {
        if (auto* button = qobject_cast<QAbstractButton*>(row.itemAt(i)->widget())) {
            shown.push_back(button);
            widths.push_back(button->sizeHint().width());
        }
    }
    const QMargins margins = layout()->contentsMargins();
    const int limit = WidthLimit() - margins.left() - margins.right();
    if (shown.empty() || buttonBox->sizeHint().width() <= limit) {
        return;
    }
    for (QWidget* button : shown) {
        row.removeWidget(button);
    }
    if (buttonRows_ == nullptr) {
        buttonRows_ = new QWidget(buttonBox);
        buttonRows_->setObjectName(QStringLiteral("ButtonRows"));
        new QGridLayout(buttonRows_);
        buttonRows_->layout()->setContentsMargins(0, 0, 0, 0);
    }
    auto& grid = static_cast<QGridLayout&>(*buttonRows_->layout());
    const std::size_t columns = ColumnsWithin(widths, grid.horizontalSpacing(), limit);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        grid.addWidget(shown[i], static_cast<int>(i / columns), static_cast<int>(i % columns));
    }
    row.addWidget(buttonRows_);
    buttonRows_->show();
    // Moved, the buttons lost their place in the tab order and the default its focus.
    for (std::size_t i = 1; i < shown.size(); ++i) {
        setTabOrder(shown[i - 1], shown[i]);
    }
    if (QPushButton* focused = defaultButton()) {
        focused->setFocus();
    }
}

void MessageDlgBox::FitButtons() {
    const auto* buttonBox = findChild<QDialogButtonBox*>();
    if (buttonBox == nullptr || layout() == nullptr) {
        return;
    }
    // The box caps its own width well below the screen's; the buttons must not pass its edge.
    const QMargins margins = layout()->contentsMargins();
    const int needed =
        std::min(buttonBox->minimumSizeHint().width() + margins.left() + margins.right(), WidthLimit());
    if (needed <= width()) {
        return;
    }
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(needed)
                                                     : layout()->totalMinimumSize().height();
    setFixedSize(needed, height);
}

void MessageDlgBox::keyPressEvent(QKeyEvent* event) {
    if (!escape_ && event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void MessageDlgBox::closeEvent(QCloseEvent* event) {
    if (!escape_) {
        event->ignore();
        return;
    }
    QMessageBox::closeEvent(event);
}

void MessageDlgBox::Place() {
    const QScreen* shownOn = screen();
    if (shownOn == nullptr) {
        return;
    }
    const QRect available = shownOn->availableGeometry();
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QPoint centre = placement_ == MessageBoxPlacement::OnOwner && owner != nullptr && owner->isVisible()
                              ? owner->frameGeometry().center()
                              : available.center();
    const QSize size = frameGeometry().size();
    QPoint topLeft = centre - QPoint(size.width() / 2, size.height() / 2);
    // Centred on an owner near the edge, the box still opens whole on the screen.
    topLeft.setX(std::clamp(topLeft.x(), available.left(),
                            std::max(available.left(), available.right() - size.width() + 1)));
    topLeft.setY(std::clamp(topLeft.y(), available.top(),
                            std::max(available.top(), available.bottom() - size.height() + 1)));
    move(topLeft);
}

} // namespace ravlo
