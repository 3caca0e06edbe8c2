#include "shell/ui/skeleton_main_form.h"

#include "framework/app_names.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_presenter.h"
#include "framework/ui/sys_wr_form.h"
#include "framework/writer_channels.h"
#include "platform/cp1250.h"
#include "platform/message_queue.h"
#include "shell/cmd_line.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdlib>
#include <vector>

namespace ravlo {

SkeletonCommandLine ParseSkeletonCommandLine(std::span<const std::string> args) {
    SkeletonCommandLine commandLine;
    for (const std::string& arg : args) {
        if (arg == "/X" || arg == "/x") {
            commandLine.exitWhenShown = true;
        } else if (!IsCmdLineSwitch(arg) && commandLine.iniArg.empty()) {
            commandLine.iniArg = arg;
        }
    }
    return commandLine;
}

TSkeletonMainForm::TSkeletonMainForm(QWidget* parent) : TTrMainForm(parent), sysWr_(new TSysWrForm) {
    setWindowTitle(QStringLiteral("Ravlo"));
    resize(1000, 700);
    AddMdiChild(sysWr_)->resize(800, 500);
}

void WriteStartLines(const std::filesystem::path& programPath, const SkeletonCommandLine& commandLine) {
    Writelnsys(0, "Ravlo start: " + PathText(programPath));
    if (commandLine.iniArg.empty()) {
        Writelnsys(0, "No application INI named on the command line");
        return;
    }
    const std::vector<std::string> iniArgs{commandLine.iniArg};
    InitAppNames(programPath, iniArgs);
    Writelnsys(0, "Application INI: " + PathText(AppIniName()));
    if (CheckAppIni()) {
        Writelnsys(0, "RD_SECTION=" + RdSection() + " WR_SECTION=" + WrSection());
    } else {
        // Nothing reads the INI yet, so the run goes on; the full start-up stops here.
        Writelnsys(0, "INI check: " + IniCheckText());
    }
}

int RunSkeleton(const std::filesystem::path& programPath, std::span<const std::string> args) {
    const SkeletonCommandLine commandLine = ParseSkeletonCommandLine(args);
    QtPresenter presenter;
    const ScopedPresenter installed(presenter);
    QtMessagePump pump;
    TSkeletonMainForm form;
    WriteStartLines(programPath, commandLine);
    form.show();
    if (commandLine.exitWhenShown) {
        // Runs once the loop has shown the window; what the start queued is delivered first.
        QTimer::singleShot(0, &form, [&form] {
            AppMessageQueue().PumpAll();
            Writelnsys(0, "/X: leaving after start-up");
            form.close();
            QCoreApplication::quit();
        });
    }
    return QApplication::exec();
}

void UseOffscreenWithoutDisplay() {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0); // an explicit choice stays
    }
}

} // namespace ravlo
