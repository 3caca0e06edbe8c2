#pragma once

#include <QApplication>
#include <functional>

namespace ravlo {

// The application object of the program: an exception that escapes an event handler is appended
// to "RAVLO.ERR" with the class of the object that received the event, and the program goes on.
class TRavloApplication final : public QApplication {
    Q_OBJECT
public:
    TRavloApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Runs deliver (the delivery of an event to receiver); an exception out of it is appended to
// "RAVLO.ERR" with the receiver's class name, and the event counts as not handled.
bool DeliverLoggingExceptions(const QObject* receiver, const std::function<bool()>& deliver);

// Selects the offscreen platform when there is no display to show windows on (and no platform was
// chosen); call it before the application object is constructed.
void UseOffscreenWithoutDisplay();
// Whether windows are shown nowhere (the offscreen or minimal platform): nobody can answer a box.
bool NoDisplay();

// The program's start-up block: single instance, runtime log, command line, splash, main form and
// message loop; answers the exit code.
int RunRavloProgram(int argc, char* argv[]);

} // namespace ravlo
