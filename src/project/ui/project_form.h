#pragma once

#include "framework/ui/broadcast_form.h"

#include <array>

class QLabel;
class QLineEdit;

namespace ravlo {

// The small MDI window "Project info": the open project's type, name and directory, and whether
// each of its four files is in order. Freed when closed.
class TfProject : public TBroadcastForm {
    Q_OBJECT
public:
    explicit TfProject(QWidget* parent = nullptr);

    // Shows the project globals again.
    void ShowProjectInfo();

    // The status images in the order .EXE, .MAP, .MEM, .BIN; each has the property "ok".
    const std::array<QLabel*, 4>& StatusImages() const { return images_; }

private:
    QLineEdit* edProjType_ = nullptr;
    QLineEdit* edName_ = nullptr;
    QLineEdit* edDir_ = nullptr;
    QLabel* imgOk_ = nullptr;
    QLabel* imgErr_ = nullptr;
    std::array<QLabel*, 4> images_{};
};

} // namespace ravlo
