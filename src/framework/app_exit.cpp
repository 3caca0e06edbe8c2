#include "framework/app_exit.h"

#include "framework/runtime_log.h"

#include <cstdlib>

namespace ravlo {
namespace {

void ExitProgram(int code) {
    TxsShutdown(code);
    std::exit(code);
}

AppExitHandler& CurrentHandler() {
    static AppExitHandler handler = ExitProgram;
    return handler;
}

} // namespace

void AppExit(int code) {
    CurrentHandler()(code);
}

AppExitHandler SetAppExitHandler(AppExitHandler handler) {
    AppExitHandler previous = CurrentHandler();
    CurrentHandler() = handler != nullptr ? handler : ExitProgram;
    return previous;
}

} // namespace ravlo
