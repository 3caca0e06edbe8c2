#include "framework/main_window.h"

#include <atomic>

namespace ravlo {
namespace {

// Read from any thread (a worker may post a close request); written by the GUI thread.
std::atomic<WindowHandle>& MainFormWindow() {
    static std::atomic<WindowHandle> window{kNoWindow};
    return window;
}

} // namespace

WindowHandle GetMainFormWindow() {
    return MainFormWindow().load();
}

void SetMainFormWindow(WindowHandle window) {
    MainFormWindow().store(window);
}

} // namespace ravlo
