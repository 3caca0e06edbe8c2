#include "shell/ui/main_status_bar.h"

#include "framework/ui/qt_text.h"

#include <QMouseEvent>

namespace ravlo {
namespace {

// The widest text each fixed panel shows in use; the BIOS id panel takes the rest of the bar.
constexpr std::array<const char*, TStatusPanels::kCount - 1> kWidestTexts = {
    "COM = 16", "BdRate = 115200", "???????????????", "Msg.Cnt = 00000/00000", "Device = Unknown"};

} // namespace

TStatusPanel::TStatusPanel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setContentsMargins(4, 0, 4, 0);
}

void TStatusPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    emit DoubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

TMainStatusBar::TMainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* panel = new TStatusPanel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        if (i < kWidestTexts.size()) {
            const int room = panel->fontMetrics().horizontalAdvance(QString::fromLatin1(kWidestTexts[i]));
            panel->setMinimumWidth(room + 2 * panel->frameWidth() + 12);
        }
        if (i == TStatusPanels::kConnectedPanel) {
            // Drawn by the bar: its colour, black text centred.
            panel->setAutoFillBackground(true);
            panel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        }
        addWidget(panel, i + 1 == panels_.size() ? 1 : 0);
        connect(panel, &TStatusPanel::DoubleClicked, this, [this, i] { emit PanelDoubleClicked(i); });
        panels_[i] = panel;
    }
}

void TMainStatusBar::Show(const TStatusPanels& panels) {
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->setText(FromCp1250(panels.Texts[i]));
    }
    TStatusPanel& connected = *panels_[TStatusPanels::kConnectedPanel];
    const TPanelRgb rgb = PanelRgb(panels.ConnectedColour);
    QPalette palette = connected.palette();
    palette.setColor(QPalette::Window, QColor(rgb.R, rgb.G, rgb.B));
    palette.setColor(QPalette::WindowText, Qt::black);
    connected.setPalette(palette);
}

} // namespace ravlo
