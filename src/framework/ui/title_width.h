#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

namespace ravlo {

// The width a window needs for its whole title to be read in the title bar: the title in the bold
// font that title bars commonly use, and room for the bar's icon and its three buttons. A small
// dialog that is narrower shows "Enter ...ddress".
inline int ReadableTitleWidth(const QWidget& window) {
    constexpr int kBarRoom = 140;
    QFont font = window.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + kBarRoom;
}

} // namespace ravlo
