#pragma once

#include "framework/broadcast.h"
#include "framework/ui/broadcast_form.h"

#include <QMainWindow>
#include <QMargins>
#include <optional>

class QMdiArea;
class QMdiSubWindow;

namespace ravlo {

// Base of the main form: an MDI frame that hands a broadcast to itself (unless SkipSelf), its
// controls (when asked), every MDI child that is a TBroadcastForm, in creation order, and the extra
// windows GetBroadcastWnd names. While it lives it is GetMainFormWindow(); WM_CLOSE closes it.
class TTrMainForm : public QMainWindow, public FormWindow, protected MainBroadcastNode {
    Q_OBJECT
public:
    explicit TTrMainForm(QWidget* parent = nullptr);
    ~TTrMainForm() override;

    QMdiArea& MdiArea() const { return *mdiArea_; }
    // Shows a form as an MDI child of the given size (its own size hint when none is given); the
    // sub-window frees itself when closed. While the area is shown the window is kept inside it,
    // also when it is dragged.
    QMdiSubWindow* AddMdiChild(QWidget* form, QSize size = {});
    // Makes an MDI child no larger than the area and moves it back inside it.
    void FitInArea(QMdiSubWindow& window) const;
    // Puts an MDI child where it covers no other one, as large as there is room for up to its size
    // (at least `least`); answers false and leaves it where it is when there is no such place.
    bool PlaceWhereFree(QMdiSubWindow& window, QSize least) const;
    // Keeps the main window, frame included, inside the available area of its screen; from then
    // on also each time its frame changes (a window manager adds it after the window shows).
    void FitOnScreen();

    bool SkipSelf() const override { return skipSelf_; }
    void SetSkipSelf(bool on) { skipSelf_ = on; }
    bool BroadcastToCtrls() const override { return broadcastToCtrls_; }
    void SetBroadcastToCtrls(bool on) { broadcastToCtrls_ = on; }
    TTransferBuffObj& TransferBuff() { return transferBuff_; }

protected:
    // No extra windows in the base.
    WindowHandle GetBroadcastWnd(int index) const override;
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

    std::uint32_t OnBroadcast(std::uintptr_t wParam, std::intptr_t lParam) override;
    std::uint32_t DispatchInner(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) override;
    std::uint32_t DispatchToControls(const TBroadcastMsg& message) override;
    std::vector<WindowHandle> MdiChildWindows() const override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The child window's own menu gives up the keys of the window's menus: the two would cancel
    // each other, and neither would act. A key of its own that no menu item uses stays.
    void GiveUpMenuKeys(QMdiSubWindow& window) const;
    // The frame's widths around the window: left, top, right, bottom.
    QMargins FrameMargins() const;

    QMdiArea* mdiArea_;
    // The frame the last fit counted; none before the first fit.
    std::optional<QMargins> fittedFrame_;
    bool skipSelf_ = false;
    bool broadcastToCtrls_ = false;
    TTransferBuffObj transferBuff_;
};

} // namespace ravlo
