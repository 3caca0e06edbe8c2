#pragma once

#include "shell/status_bar.h"

#include <QLabel>
#include <QStatusBar>
#include <array>
#include <optional>

namespace ravlo {

class TThrottledTexts;

// One panel of the main form's status bar; a double click on it is reported.
class TStatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit TStatusPanel(QWidget* parent = nullptr);

signals:
    void DoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The main form's status bar: the six panels of TStatusPanels, the connection panel in its colour,
// and after them the hint of the menu item or button under the mouse: the hint never hides the
// panels, for they are the only sign of the link. A panel's text changes at most about twenty
// times a second.
class TMainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    void Show(const TStatusPanels& panels);
    TStatusPanel& Panel(std::size_t index) const { return *panels_[index]; }
    // The hint of the item under the mouse; empty clears it.
    void ShowTip(const QString& tip);
    const QLabel& Tip() const { return *tip_; }

signals:
    // A double click inside the panel of that index.
    void PanelDoubleClicked(std::size_t index);

private:
    std::array<TStatusPanel*, TStatusPanels::kCount> panels_{};
    QLabel* tip_;
    TThrottledTexts* texts_;
    std::optional<TPanelColour> colour_;
};

} // namespace ravlo
