#pragma once

#include "shell/status_bar.h"

#include <QLabel>
#include <QStatusBar>
#include <array>

namespace ravlo {

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

// The main form's status bar: the six panels of TStatusPanels, the connection panel in its colour.
// The menus' hints take the bar while they are shown, as the panels' owner expects.
class TMainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    void Show(const TStatusPanels& panels);
    TStatusPanel& Panel(std::size_t index) const { return *panels_[index]; }

signals:
    // A double click inside the panel of that index.
    void PanelDoubleClicked(std::size_t index);

private:
    std::array<TStatusPanel*, TStatusPanels::kCount> panels_{};
};

} // namespace ravlo
