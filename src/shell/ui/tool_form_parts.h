#pragma once

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <type_traits>

namespace ravlo {

// A control of a tool window with its object name (found by tests) and text.
template <class Widget>
Widget* Named(QWidget* parent, const char* name, const char* text) {
    Widget* widget = nullptr;
    if constexpr (std::is_constructible_v<Widget, QString, QWidget*>) {
        widget = new Widget(QString::fromLatin1(text), parent);
    } else {
        widget = new Widget(parent);
    }
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The buttons at the right of a row.
inline QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    return row;
}

} // namespace ravlo
