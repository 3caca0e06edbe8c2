#include "framework/runtime_log.h"
#include "platform/cp1250.h"
#include "platform/program_dir.h"
#include "shell/ui/single_instance.h"
#include "shell/ui/skeleton_main_form.h"

#include <QApplication>
#include <QMainWindow>
#include <optional>
#include <string>
#include <vector>

namespace {

// The program's main window, whichever form it is.
QMainWindow* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<QMainWindow*>(widget)) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    ravlo::UseOffscreenWithoutDisplay();
    QApplication app(argc, argv); // takes the Qt options out of argv
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::filesystem::path programPath = QCoreApplication::applicationFilePath().toStdString();
    // Before the runtime log starts: starting it archives a log that may be another instance's.
    ravlo::TSingleInstance guard(ravlo::SingleInstanceKey(ravlo::ProgramDir(), programPath.filename()));
    if (const std::optional<int> code = ravlo::CheckSingleInstance(guard, argv[0])) {
        return *code;
    }
    QObject::connect(&guard, &ravlo::TSingleInstance::ActivationRequested, [] {
        if (QMainWindow* window = MainWindow()) {
            ravlo::BringToFront(*window);
        }
    });
    ravlo::TxsStartup(argv[0], args.empty() ? std::string() : ravlo::Utf8ToCp1250(args.front()));
    const int exitCode = ravlo::RunSkeleton(programPath, args);
    ravlo::TxsShutdown(exitCode);
    return exitCode;
}
