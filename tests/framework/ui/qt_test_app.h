#pragma once

// One QApplication for a whole Qt test program (offscreen unless a platform was asked for) and
// bounded event-loop helpers. Header-only, so that every Qt test folder can use it.

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace ravlo::testing {

class QtAppEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "ravlo_ui_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Registered once per program; gtest owns registered environments.
inline ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

// Runs the Qt event loop (posted events and deferred deletes included) until done() holds; false
// when the limit passed first. The limit only keeps a broken test from hanging the run.
inline bool ProcessEventsUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Runs the Qt event loop over everything already posted, deferred deletes included.
inline void ProcessPendingEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Acts on the first visible top-level D that match accepts (any, without one), from inside its modal
// loop, once it shows. The driver gives up after 5 s so that a broken test ends: when no dialog came,
// and when the one it acted on is still open then (a refused OK, a failed check inside act), which it
// reports and closes, so that the modal loop returns.
template <class D>
class ShownDialogDriver {
public:
    explicit ShownDialogDriver(std::function<void(D&)> act, std::function<bool(const D&)> match = {}) {
        QObject::connect(&timer_, &QTimer::timeout, [this, act = std::move(act), match = std::move(match)] {
            if (acted_) {
                return WatchActedDialog();
            }
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<D*>(widget);
                if (dialog != nullptr && dialog->isVisible() && (!match || match(*dialog))) {
                    acted_ = true;
                    ticks_ = 0;
                    dialog_ = dialog;
                    return act(*dialog);
                }
            }
            if (++ticks_ > kGiveUpTicks) {
                timer_.stop();
            }
        });
        timer_.start(10);
    }
    bool Acted() const { return acted_; }

private:
    static constexpr int kGiveUpTicks = 500;

    void WatchActedDialog() {
        if (dialog_.isNull() || !dialog_->isVisible()) {
            timer_.stop();
        } else if (++ticks_ > kGiveUpTicks) {
            timer_.stop();
            ADD_FAILURE() << "the dialog the test acted on was still open 5 s later; closed it";
            if constexpr (std::is_base_of_v<QDialog, D>) {
                dialog_->reject();
            } else {
                dialog_->close();
            }
        }
    }

    QTimer timer_;
    QPointer<D> dialog_;
    int ticks_ = 0;
    bool acted_ = false;
};

// The child of parent named name; a missing one ends the test with an exception naming it.
template <class Widget>
Widget& Child(const QObject& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return *widget;
}

// Clicks the push button named name among widget's children (it must be there).
inline void ClickButton(const QObject& widget, const char* name) {
    widget.findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

} // namespace ravlo::testing
