#pragma once

#include "framework/ui/broadcast_form.h"
#include "shell/process_views.h"

#include <vector>

class QLineEdit;

namespace ravlo {

class TProcessColl;
class TThrottledTexts;

// A process status window: a label and a read-only edit for each field of its view, the edit
// refreshed when a wm_VarChanged names the field it shows and its text changed, at most about
// twenty times a second.
class TProcessViewForm : public TBroadcastForm {
    Q_OBJECT
public:
    QLineEdit& Edit(std::size_t index) const { return *edits_[index]; }

protected:
    TProcessViewForm(TProcessView view, QWidget* parent);
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    TProcessView view_;
    std::vector<QLineEdit*> edits_;
    TThrottledTexts* texts_;
};

// The board master process's window.
class TRavlo_MA_MDIChildForm final : public TProcessViewForm {
    Q_OBJECT
public:
    explicit TRavlo_MA_MDIChildForm(const TProcessColl* processes, QWidget* parent = nullptr)
        : TProcessViewForm(TProcessView::ForMaster(processes), parent) {}
};

// The communication process's window.
class TCommMa_MDIChild final : public TProcessViewForm {
    Q_OBJECT
public:
    explicit TCommMa_MDIChild(const TProcessColl* processes, QWidget* parent = nullptr)
        : TProcessViewForm(TProcessView::ForComm(processes), parent) {}
};

} // namespace ravlo
