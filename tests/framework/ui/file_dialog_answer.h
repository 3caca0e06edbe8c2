#pragma once

// Answers the next file dialog (QFileDialog) that shows, as a user choosing a file would.

#include "qt_test_app.h"

#include <QFileDialog>
#include <filesystem>
#include <functional>

namespace ravlo::testing {

// The file dialog, when it shows, takes file; look sees it first.
class FileDialogAnswer {
public:
    explicit FileDialogAnswer(const std::filesystem::path& file, std::function<void(QFileDialog&)> look = {})
        : driver_([file, look = std::move(look)](QFileDialog& dialog) {
              if (look) {
                  look(dialog);
              }
              // Its name box keeps what the user types while it has the focus.
              if (QWidget* focus = dialog.focusWidget()) {
                  focus->clearFocus();
              }
              dialog.selectFile(QString::fromStdString(file.string()));
              static_cast<QDialog&>(dialog).accept(); // QFileDialog's own is protected
          }) {}
    bool Acted() const { return driver_.Acted(); }

private:
    ShownDialogDriver<QFileDialog> driver_;
};

} // namespace ravlo::testing
