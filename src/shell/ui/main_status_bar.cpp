#include "shell/ui/main_status_bar.h"

#include "framework/ui/qt_text.h"
#include "framework/ui/throttled_texts.h"

#include <QMouseEvent>
#include <algorithm>

namespace ravlo {
namespace {

// The widest texts each fixed panel shows in use; the BIOS id panel takes the rest of the bar.
QStringList WidestTexts(std::size_t panel) {
    switch (panel) {
    case 0:
        return {QStringLiteral("COM = 16")};
    case 1:
        return {QStringLiteral("BdRate = 115200")};
    case TStatusPanels::kConnectedPanel:
        return {QStringLiteral("Connected = YES"), QStringLiteral("Connected = NO"),
                QStringLiteral("Changing BdRate"), QString(15, QLatin1Char('?'))};
    case TStatusPanels::kCountersPanel:
        return {QStringLiteral("Msg.Cnt = 00000/000")};
    case 4:
        return {QStringLiteral("Device = Unknown")};
    default:
        return {};
    }
}

} // namespace

TStatusPanel::TStatusPanel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setContentsMargins(4, 0, 4, 0);
}

void TStatusPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    emit DoubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

TMainStatusBar::TMainStatusBar(QWidget* parent)
    : QStatusBar(parent), tip_(new QLabel(this)), texts_(new TThrottledTexts(this)) {
    setObjectName(QStringLiteral("StatusBar"));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* panel = new TStatusPanel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        if (const QStringList widest = WidestTexts(i); !widest.isEmpty()) {
            int room = 0;
            for (const QString& text : widest) {
                room = std::max(room, panel->fontMetrics().horizontalAdvance(text));
            }
            const QMargins margins = panel->contentsMargins();
            panel->setMinimumWidth(room + margins.left() + margins.right() + 2 * panel->frameWidth() + 8);
        }
        if (i == TStatusPanels::kConnectedPanel) {
            // Drawn by the bar: its colour, black text centred.
            panel->setAutoFillBackground(true);
            panel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        }
        addWidget(panel);
        connect(panel, &TStatusPanel::DoubleClicked, this, [this, i] { emit PanelDoubleClicked(i); });
        panels_[i] = panel;
        texts_->Add([panel](const QString& text) { panel->setText(text); }, panel->text());
    }
    tip_->setObjectName(QStringLiteral("StatusTip"));
    tip_->setContentsMargins(4, 0, 4, 0);
    // Any width: a long hint is cut, it never pushes the panels.
    tip_->setMinimumWidth(0);
    tip_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(tip_, 1);
}

void TMainStatusBar::ShowTip(const QString& tip) {
    tip_->setText(tip);
}

void TMainStatusBar::Show(const TStatusPanels& panels) {
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        texts_->Set(i, FromCp1250(panels.Texts[i]));
    }
    if (colour_ == panels.ConnectedColour) {
        return;
    }
    colour_ = panels.ConnectedColour;
    TStatusPanel& connected = *panels_[TStatusPanels::kConnectedPanel];
    const TPanelRgb rgb = PanelRgb(panels.ConnectedColour);
    QPalette palette = connected.palette();
    palette.setColor(QPalette::Window, QColor(rgb.R, rgb.G, rgb.B));
    palette.setColor(QPalette::WindowText, Qt::black);
    connected.setPalette(palette);
}

} // namespace ravlo
