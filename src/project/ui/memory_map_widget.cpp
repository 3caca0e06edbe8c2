#include "project/ui/memory_map_widget.h"

#include "framework/ui/qt_text.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <array>

namespace ravlo {
namespace {

constexpr std::array<const char*, 9> kDivisionLabels = {"$00000", "$20000", "$40000", "$60000", "$80000",
                                                        "$A0000", "$C0000", "$E0000", "$FFFFF"};
constexpr int kDivisions = 8;
constexpr int kMargin = 4;
constexpr int kStripHeight = 28;
const QColor kRamColour(0x00, 0x80, 0x00);
const QColor kOtherColour(0x00, 0x00, 0x80);
const QColor kBiosColour(0x80, 0x00, 0x00);

} // namespace

TMemoryMapWidget::TMemoryMapWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MemoryMap"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TMemoryMapWidget::SetBars(std::vector<TMapBar> bars) {
    bars_ = std::move(bars);
    update();
}

QSize TMemoryMapWidget::sizeHint() const {
    return {kDivisions * 80 + 2 * kMargin, minimumSizeHint().height()};
}

QSize TMemoryMapWidget::minimumSizeHint() const {
    const int text = fontMetrics().height();
    return {kDivisions * 48 + 2 * kMargin, 2 * text + kStripHeight + 4 * kMargin};
}

QRect TMemoryMapWidget::StripRect() const {
    // A whole number of pixels per division keeps the divisions equal.
    const int width = (this->width() - 2 * kMargin) / kDivisions * kDivisions;
    const int left = (this->width() - width) / 2;
    return {left, fontMetrics().height() + 2 * kMargin, width, kStripHeight};
}

QRect TMemoryMapWidget::SpanRect(std::uint32_t start, std::uint32_t length) const {
    const QRect strip = StripRect();
    const TMapSpan span = MapSpan(start, length, strip.width());
    return {strip.left() + span.Left, strip.top() + 1, span.Width, strip.height() - 1};
}

QString TMemoryMapWidget::HintAt(const QPoint& point) const {
    for (auto bar = bars_.rbegin(); bar != bars_.rend(); ++bar) {
        if (SpanRect(bar->Start, bar->Length).contains(point)) {
            return FromCp1250(bar->Hint);
        }
    }
    const QRect bios = SpanRect(kMapBiosStart, 0x100000 - kMapBiosStart);
    const QRect biosLabel(bios.right() - fontMetrics().horizontalAdvance(QStringLiteral("Bios")),
                          bios.bottom() + 1, bios.width() + 40, fontMetrics().height() + kMargin);
    if (bios.contains(point) || biosLabel.contains(point)) {
        return QStringLiteral("Bios");
    }
    return {};
}

void TMemoryMapWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect strip = StripRect();
    const QFontMetrics metrics = fontMetrics();

    // The addresses of the divisions, the outer ones kept inside the widget.
    for (int i = 0; i <= kDivisions; ++i) {
        const QString text = QString::fromLatin1(kDivisionLabels[static_cast<std::size_t>(i)]);
        const int x = strip.left() + strip.width() * i / kDivisions;
        const int textWidth = metrics.horizontalAdvance(text);
        const int left = i == 0 ? strip.left() : (i == kDivisions ? x - textWidth : x - textWidth / 2);
        painter.drawText(QRect(left, kMargin, textWidth, metrics.height()), Qt::AlignCenter, text);
    }

    painter.fillRect(strip, palette().base());
    painter.setPen(palette().mid().color());
    for (int i = 1; i < kDivisions; ++i) {
        const int x = strip.left() + strip.width() * i / kDivisions;
        painter.drawLine(x, strip.top(), x, strip.bottom());
    }

    const QRect bios = SpanRect(kMapBiosStart, 0x100000 - kMapBiosStart);
    painter.fillRect(bios, kBiosColour);
    painter.setPen(palette().windowText().color());
    const int biosWidth = metrics.horizontalAdvance(QStringLiteral("Bios"));
    painter.drawText(QRect(strip.right() - biosWidth, strip.bottom() + kMargin, biosWidth, metrics.height()),
                     Qt::AlignCenter, QStringLiteral("Bios"));

    for (const TMapBar& bar : bars_) {
        const QRect rect = SpanRect(bar.Start, bar.Length);
        painter.fillRect(rect, bar.Ram ? kRamColour : kOtherColour);
        // The name inside the bar when it has room.
        const QString name = FromCp1250(bar.Name);
        if (metrics.horizontalAdvance(name) + 4 <= rect.width()) {
            painter.setPen(Qt::white);
            painter.drawText(rect, Qt::AlignCenter, name);
        }
    }
    painter.setPen(palette().dark().color());
    painter.drawRect(strip.adjusted(0, 0, -1, 0));
}

bool TMemoryMapWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = HintAt(help->pos());
        if (hint.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), hint, this);
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace ravlo
