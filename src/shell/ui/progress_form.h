#pragma once

#include "framework/param_obj.h"
#include "framework/ui/broadcast_form.h"
#include "shell/progress_model.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ravlo {

// The "Progress" window of a running memory transfer: the request's description as its caption,
// the file name, a gauge and the transfer rate. The board master opens, updates and closes it;
// it also updates itself when the master announces the transfer's current address, and its Stop
// button stops the transfer.
class TfProgress : public TBroadcastForm {
    Q_OBJECT
public:
    explicit TfProgress(TProgressSource& source, QWidget* parent = nullptr);

    void UpdateProgress();

    QProgressBar& ggProgress() const { return *ggProgress_; }
    QPushButton& btStop() const { return *btStop_; }

protected:
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    void Render();

    TProgressSource& source_;
    TProgressModel model_;
    TParamObj Watch;
    QLabel* lblText_;
    QProgressBar* ggProgress_;
    QLabel* lblSpeed_;
    QPushButton* btStop_;
    QTimer* tmrSpeed_;
};

} // namespace ravlo
