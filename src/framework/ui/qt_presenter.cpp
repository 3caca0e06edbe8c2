#include "framework/ui/qt_presenter.h"

#include "framework/ui/console_widget.h"
#include "platform/cp1250.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QThread>
#include <array>
#include <utility>

namespace ravlo {
namespace {

struct ButtonPair {
    int answer;
    QMessageBox::StandardButton button;
};

constexpr std::array kButtons{
    ButtonPair{IDOK, QMessageBox::Ok},         ButtonPair{IDCANCEL, QMessageBox::Cancel},
    ButtonPair{IDABORT, QMessageBox::Abort},   ButtonPair{IDRETRY, QMessageBox::Retry},
    ButtonPair{IDIGNORE, QMessageBox::Ignore}, ButtonPair{IDYES, QMessageBox::Yes},
    ButtonPair{IDNO, QMessageBox::No},
};

QMessageBox::StandardButton ButtonOf(int answer) {
    for (const ButtonPair& pair : kButtons) {
        if (pair.answer == answer) {
            return pair.button;
        }
    }
    return QMessageBox::NoButton;
}

int AnswerOf(QMessageBox::StandardButton button) {
    for (const ButtonPair& pair : kButtons) {
        if (pair.button == button) {
            return pair.answer;
        }
    }
    return 0;
}

QMessageBox::Icon IconOf(unsigned flags) {
    switch (MessageBoxKindOf(flags)) {
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

QString ToQString(std::string_view cp1250) {
    return QString::fromStdString(Cp1250ToUtf8(cp1250));
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

int ShowBox(std::string_view text, std::string_view caption, unsigned flags) {
    QMessageBox box(IconOf(flags), ToQString(caption), ToQString(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setObjectName(QString::fromLatin1(QtPresenter::kBoxName));
    // Texts come from files and boards: never let them turn into markup.
    box.setTextFormat(Qt::PlainText);
    if (LaysOutColumnsWithBlanks(text)) {
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            label->setFont(FixedPitchFont());
        }
    }
    const std::vector<int> answers = MessageBoxButtons(flags);
    for (const int answer : answers) {
        box.addButton(ButtonOf(answer));
    }
    box.setDefaultButton(ButtonOf(DefaultMessageBoxAnswer(flags)));
    // Left to itself the box would take Abort as its escape button.
    box.setEscapeButton(ButtonOf(EscapeMessageBoxAnswer(flags)));
    box.exec();
    const int answer = AnswerOf(box.standardButton(box.clickedButton()));
    return answer != 0 ? answer : EscapeMessageBoxAnswer(flags);
}

// Runs work on the GUI thread, waiting for it when called from elsewhere.
template <typename Work>
void OnGuiThread(Work&& work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        std::forward<Work>(work)();
    } else {
        QMetaObject::invokeMethod(app, std::forward<Work>(work), Qt::BlockingQueuedConnection);
    }
}

} // namespace

int QtPresenter::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return DefaultMessageBoxAnswer(flags); // no widgets to show a box with
    }
    int answer = 0;
    OnGuiThread([&] { answer = ShowBox(text, caption, flags); });
    return answer;
}

void QtPresenter::Beep(unsigned) {
    if (QCoreApplication::instance() != nullptr) {
        OnGuiThread([] { QApplication::beep(); });
    }
}

} // namespace ravlo
