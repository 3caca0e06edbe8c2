#pragma once

// One QApplication for a whole Qt test program (offscreen unless a platform was asked for) and
// bounded event-loop helpers. Header-only, so that every Qt test folder can use it.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

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

// Acts on the first visible top-level W that match accepts, from inside its modal loop, once it shows.
// With none after five seconds it stops, so that a broken test ends.
template <class W>
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(W&)> act, std::function<bool(const W&)> match = {})
        : act_(std::move(act)), match_(std::move(match)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(10);
    }
    bool Acted() const { return acted_; }

private:
    void Tick() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* shown = qobject_cast<W*>(widget);
            if (shown != nullptr && shown->isVisible() && (!match_ || match_(*shown))) {
                timer_.stop();
                acted_ = true;
                act_(*shown);
                return;
            }
        }
        if (++ticks_ > 500) {
            timer_.stop();
        }
    }

    std::function<void(W&)> act_;
    std::function<bool(const W&)> match_;
    QTimer timer_;
    int ticks_ = 0;
    bool acted_ = false;
};

} // namespace ravlo::testing
