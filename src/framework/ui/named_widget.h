#pragma once

#include <QString>

namespace ravlo {

// A new control with the object name tests and tools find it by.
template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace ravlo
