#include "framework/runtime_log.h"
#include "platform/cp1250.h"
#include "shell/ui/skeleton_main_form.h"

#include <QApplication>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    ravlo::UseOffscreenWithoutDisplay();
    QApplication app(argc, argv); // takes the Qt options out of argv
    const std::vector<std::string> args(argv + 1, argv + argc);
    ravlo::TxsStartup(argv[0], args.empty() ? std::string() : ravlo::Utf8ToCp1250(args.front()));
    const int exitCode = ravlo::RunSkeleton(QCoreApplication::applicationFilePath().toStdString(), args);
    ravlo::TxsShutdown(exitCode);
    return exitCode;
}
