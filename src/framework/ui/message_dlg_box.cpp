#include "framework/ui/message_dlg_box.h"

#include "framework/ui/console_widget.h"
#include "framework/ui/qt_text.h"
#include "framework/ui/title_width.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
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

} // namespace

MessageDlgBox::MessageDlgBox(MessageBoxKind kind, std::string_view caption, std::string_view text,
                             QWidget* owner, MessageBoxPlacement placement)
    : QMessageBox(IconOf(kind), FromCp1250(caption), FromCp1250(text), QMessageBox::NoButton, owner),
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
    // The box sizes itself to its buttons and text when shown; a button row as wide as the title
    // needs keeps a short text from cutting its title ("Inf...ion").
    if (auto* buttonBox = findChild<QDialogButtonBox*>(); buttonBox != nullptr && layout() != nullptr) {
        const QMargins margins = layout()->contentsMargins();
        // A minimum width of its own replaces the row's own need, which must stay met.
        buttonBox->setMinimumWidth(std::max(ReadableTitleWidth(*this) - margins.left() - margins.right(),
                                            buttonBox->minimumSizeHint().width()));
    }
    QMessageBox::showEvent(event);
    Place();
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
