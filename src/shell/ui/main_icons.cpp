#include "shell/ui/main_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <functional>

namespace ravlo {
namespace {

// Drawn on a 32-pixel square; the icon scales it for smaller buttons.
constexpr int kSide = 32;

QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

// A DIL chip with four pins on each side and its notch; body the colour given.
void DrawChip(QPainter& painter, const QColor& body) {
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 2));
    for (int pin = 0; pin < 4; ++pin) {
        const int y = 8 + pin * 6;
        painter.drawLine(3, y, 8, y);
        painter.drawLine(24, y, 29, y);
    }
    painter.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(7.5, 3.5, 17, 25), 2, 2);
    painter.setBrush(QColor(0xD0, 0xD0, 0xD0));
    painter.drawChord(QRectF(13, 0.5, 6, 6), 180 * 16, 180 * 16);
}

void DrawUser(QPainter& painter) {
    painter.setPen(QPen(QColor(0x20, 0x40, 0x70), 1.5));
    painter.setBrush(QColor(0x60, 0x90, 0xD0));
    painter.drawEllipse(QRectF(10.5, 3.5, 11, 11));
    QPainterPath shoulders;
    shoulders.moveTo(4.5, 29.5);
    shoulders.cubicTo(4.5, 17, 27.5, 17, 27.5, 29.5);
    shoulders.closeSubpath();
    painter.drawPath(shoulders);
}

// Two halves of a connector: joined with a green link, or apart with a red break between them.
void DrawLink(QPainter& painter, bool joined) {
    const int gap = joined ? 0 : 6;
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
    painter.setBrush(QColor(0x90, 0x90, 0x90));
    painter.drawRoundedRect(QRectF(2.5, 10.5, 11 - gap / 2.0, 11), 2, 2);
    painter.drawRoundedRect(QRectF(18.5 + gap / 2.0, 10.5, 11 - gap / 2.0, 11), 2, 2);
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
    painter.drawLine(QPointF(13.5 - gap / 2.0, 14), QPointF(18.5 + gap / 2.0 - (joined ? 0 : 4), 14));
    painter.drawLine(QPointF(13.5 - gap / 2.0, 18), QPointF(18.5 + gap / 2.0 - (joined ? 0 : 4), 18));
    painter.setPen(Qt::NoPen);
    if (joined) {
        painter.setBrush(QColor(0x20, 0xA0, 0x30));
        painter.drawEllipse(QRectF(12, 24, 8, 8));
    } else {
        painter.setPen(QPen(QColor(0xD0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(11, 28), QPointF(21, 4));
    }
}

} // namespace

QIcon ProgramIcon() {
    return Drawn([](QPainter& painter) {
        DrawChip(painter, QColor(0x20, 0x40, 0x70));
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(7.5, 5, 17, 23), Qt::AlignCenter, QStringLiteral("R"));
    });
}

QIcon ToolButtonIcon(TMainAction action, const QStyle& style) {
    using A = TMainAction;
    switch (action) {
    case A::ReOpen:
        return style.standardIcon(QStyle::SP_BrowserReload);
    case A::MemDesign:
        return style.standardIcon(QStyle::SP_FileDialogDetailedView);
    case A::CrEpromImg:
        return Drawn([](QPainter& painter) { DrawChip(painter, QColor(0x30, 0x30, 0x30)); });
    case A::GenLoadRun:
        return style.standardIcon(QStyle::SP_MediaPlay);
    case A::WriteBin:
        return style.standardIcon(QStyle::SP_ArrowUp);
    case A::ReadBin:
        return style.standardIcon(QStyle::SP_ArrowDown);
    case A::BIOSInfo:
        return style.standardIcon(QStyle::SP_MessageBoxInformation);
    case A::VokSetup:
        return style.standardIcon(QStyle::SP_ComputerIcon);
    case A::MemView:
        return style.standardIcon(QStyle::SP_FileDialogContentsView);
    case A::UserLogin:
        return Drawn(DrawUser);
    case A::CreateCom:
        return Drawn([](QPainter& painter) { DrawLink(painter, true); });
    case A::DestroyCom:
        return Drawn([](QPainter& painter) { DrawLink(painter, false); });
    default:
        return {};
    }
}

} // namespace ravlo
