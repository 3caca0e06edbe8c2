#pragma once

// The program-wide state the main form's tests touch, cleared before and after each test: the
// command line, the project, the COM globals, the error-history window count, the user level, the
// process types (the program's, with the board master's fake communication process in place of the
// real one) and the message queue.

#include "framework/debug_mask.h"
#include "framework/runtime_log.h"
#include "kernel/app_name_object.h"
#include "kernel/process_factory.h"
#include "platform/message_queue.h"
#include "project/project_globals.h"
#include "protocol/com_globals.h"
#include "protocol/ma_process.h"
#include "protocol/tmp_err_hist_windows.h"
#include "shell/cmd_line.h"
#include "shell/program_types.h"
#include "shell/user_level.h"
#include "support/ma_test_support.h"

namespace ravlo::testing {

class ShellTestGlobals {
public:
    ShellTestGlobals() {
        Reset();
        RegisterProgramTypes();
        RegisterProcessType(PT_RavloComm, MakeFakeComm);
    }
    ~ShellTestGlobals() {
        AppMessageQueue().Clear();
        ResetProcessTypes();
        Reset();
        SetDebugMask(0);
    }
    ShellTestGlobals(const ShellTestGlobals&) = delete;
    ShellTestGlobals& operator=(const ShellTestGlobals&) = delete;

private:
    static void Reset() {
        BaudSearch = 0;
        ResetComGlobals();
        ResetCmdLine();
        ResetProjectGlobals();
        ResetTmpErrHistWindowCount();
        ResetAppSettings();
        SetTxsOn(true);
        UserLevel = 0;
        UserOpt = 0;
        CurrentUser.clear();
    }
};

} // namespace ravlo::testing
