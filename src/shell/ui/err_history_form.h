#pragma once

#include "framework/param_obj.h"
#include "framework/ui/broadcast_form.h"

#include <memory>

class QListWidget;
class QPushButton;

namespace ravlo {

class TErrHistorySource;

// "List of last error messages": the error-history process's last error lines, refreshed when the
// process announces its list with wm_VarChanged. Any number may be open; each counts as a watcher
// of the process while it lives.
class TTmpErrHist_MDIChild : public TBroadcastForm {
    Q_OBJECT
public:
    // source may be nullptr (there is no error-history process): the list then stays empty. The
    // source must outlive the window or be detached first.
    explicit TTmpErrHist_MDIChild(TErrHistorySource* source, QWidget* parent = nullptr);
    ~TTmpErrHist_MDIChild() override;

    // Forgets the source without telling it (it is going away).
    void DetachSource();

    QListWidget& List() const { return *list_; }
    QPushButton& CloseButton() const { return *close_; }

protected:
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    void ShowList();
    void Opustit_ButtClick();

    TErrHistorySource* source_;
    std::unique_ptr<TParamObj> historyWatch_;
    QListWidget* list_;
    QPushButton* close_;
};

} // namespace ravlo
