#pragma once

// A window's control by its object name, for tests that drive windows as a user would.

#include <QObject>
#include <stdexcept>
#include <string>

namespace ravlo::testing {

// The child W of parent named name; a missing one ends the test with an exception naming it.
template <class W>
W& NamedChild(const QObject& parent, const char* name) {
    auto* widget = parent.findChild<W*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return *widget;
}

} // namespace ravlo::testing
