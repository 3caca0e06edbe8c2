#pragma once

#include "shell/main_actions.h"

#include <QIcon>

class QStyle;

namespace ravlo {

// The program's own icon: an EPROM chip with the program's initial.
QIcon ProgramIcon();

// The icon of a tool button: the style's standard icon where one says what the command does, else
// one drawn here (the EPROM chip, the link to the board, the user). Null for commands without a
// tool button.
QIcon ToolButtonIcon(TMainAction action, const QStyle& style);

} // namespace ravlo
