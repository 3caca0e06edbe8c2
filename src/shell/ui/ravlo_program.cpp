#include "shell/ui/ravlo_program.h"

#include "framework/runtime_log.h"
#include "framework/ui/param_dialogs.h"
#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_presenter.h"
#include "kernel/exception_log.h"
#include "platform/cp1250.h"
#include "platform/presenter.h"
#include "platform/program_dir.h"
#include "shell/cmd_line.h"
#include "shell/exit_codes.h"
#include "shell/main_form_core.h"
#include "shell/program_types.h"
#include "shell/start_log.h"
#include "shell/ui/debug_dm_dialog.h"
#include "shell/ui/ravlo_main_form.h"
#include "shell/ui/setup_dialog.h"
#include "shell/ui/single_instance.h"
#include "shell/ui/user_dialogs.h"

#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace ravlo {
namespace {

std::unique_ptr<QSplashScreen> ShowSplash() {
    QPixmap picture(360, 120);
    picture.fill(QColor(0x20, 0x40, 0x70));
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(20);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Ravlo"));
    painter.end();
    auto splash = std::make_unique<QSplashScreen>(picture);
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();
    return splash;
}

// Nobody can answer a box: each is logged with the answer it got (its default button).
void LogBoxLine(std::string_view utf8Line) {
    TxsWriteln("Box: " + Utf8ToCp1250(utf8Line));
    std::fprintf(stderr, "%.*s\n", static_cast<int>(utf8Line.size()), utf8Line.data());
    std::fflush(stderr);
}

} // namespace

TRavloApplication::TRavloApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TRavloApplication::notify(QObject* receiver, QEvent* event) {
    return DeliverLoggingExceptions(receiver, [&] { return QApplication::notify(receiver, event); });
}

bool DeliverLoggingExceptions(const QObject* receiver, const std::function<bool()>& deliver) {
    try {
        return deliver();
    } catch (...) {
        LogCaughtException(receiver != nullptr ? receiver->metaObject()->className() : "TApplication");
        return false;
    }
}

void UseOffscreenWithoutDisplay() {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0); // an explicit choice stays
    }
}

bool NoDisplay() {
    const QString platform = QGuiApplication::platformName();
    return platform == QStringLiteral("offscreen") || platform == QStringLiteral("minimal");
}

int RunRavloProgram(int argc, char* argv[]) {
    UseOffscreenWithoutDisplay();
    TRavloApplication app(argc, argv); // takes the Qt options out of argv
    QApplication::setApplicationName(QStringLiteral("Ravlo"));
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::filesystem::path programPath = QCoreApplication::applicationFilePath().toStdString();
    // Before the runtime log starts: starting it archives a log that may be another instance's.
    TSingleInstance guard(SingleInstanceKey(ProgramDir(), programPath.filename()));
    if (const std::optional<int> code = CheckSingleInstance(guard, argv[0])) {
        return *code;
    }

    const bool noDisplay = NoDisplay();
    HeadlessPresenter headless(LogBoxLine);
    QtPresenter gui;
    const ScopedPresenter presenter(noDisplay ? static_cast<Presenter&>(headless) : gui);

    TxsStartup(argv[0], args.empty() ? std::string() : Utf8ToCp1250(args.front()));
    TRavloMainFormCore::WriteStartBanner(programPath, args);
    int exitCode = ParseCmdLine(programPath, args);
    if (exitCode != kExitOk) {
        TxsShutdown(exitCode);
        return exitCode;
    }

    RegisterProgramTypes();
    RegisterFrameworkDialogs();
    RegisterUserDialogs();
    RegisterSetupDialogs();
    RegisterDebugDMDialog();
    QtMessagePump pump;
    pump.SetErrorHandler([](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (...) {
            LogCaughtException("TRavloMainForm");
        }
    });
    try {
        std::unique_ptr<QSplashScreen> splash = noDisplay ? nullptr : ShowSplash();
        TRavloMainFormOptions options;
        options.GuiDialogs = !noDisplay;
        options.CanAskUser = !noDisplay;
        TRavloMainForm form(options);
        QObject::connect(&guard, &TSingleInstance::ActivationRequested, &form,
                         [&form] { BringToFront(form); });
        QObject::connect(&form, &TRavloMainForm::Closed, &app,
                         [](int code) { QCoreApplication::exit(code); });
        form.show();
        if (splash != nullptr) {
            splash->finish(&form);
            splash.reset();
        }
        QApplication::exec();
        exitCode = form.ExitCode();
    } catch (const std::exception& error) {
        LogApplicationHalted(error.what());
        GetPresenter().MessageBox(error.what(), "Ravlo", MB_OK | MB_ICONHAND);
        exitCode = kExitHalted;
    }
    TxsShutdown(exitCode);
    return exitCode;
}

} // namespace ravlo
