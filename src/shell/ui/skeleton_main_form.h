#pragma once

#include "framework/ui/sys_wr_form.h"
#include "framework/ui/tr_main_form.h"

#include <QPointer>
#include <filesystem>
#include <span>
#include <string>

namespace ravlo {

// What the command line asks of the program so far: the application INI (the first argument that
// is not a switch) and "/X", which ends the run once the main window has been shown. The other
// switches are left to the full command line.
struct SkeletonCommandLine {
    std::string iniArg;
    bool exitWhenShown = false;
};
SkeletonCommandLine ParseSkeletonCommandLine(std::span<const std::string> args);

// The main window as it stands: the "Ravlo" MDI frame showing the writer window "SysWr[0]".
class TSkeletonMainForm : public TTrMainForm {
    Q_OBJECT
public:
    explicit TSkeletonMainForm(QWidget* parent = nullptr);

    // Null once the writer window was closed.
    TSysWrForm* SysWrWindow() const { return sysWr_; }

private:
    QPointer<TSysWrForm> sysWr_;
};

// The first trace lines of a run: the program, the application INI and what its check found.
void WriteStartLines(const std::filesystem::path& programPath, const SkeletonCommandLine& commandLine);

// Runs the program inside an existing QApplication: presenter, message pump, main window, start
// lines, event loop; answers the exit code.
int RunSkeleton(const std::filesystem::path& programPath, std::span<const std::string> args);

// Selects the offscreen platform when there is no display to show windows on (and no platform was
// chosen); call it before the QApplication is constructed.
void UseOffscreenWithoutDisplay();

} // namespace ravlo
