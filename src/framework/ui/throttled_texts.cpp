#include "framework/ui/throttled_texts.h"

#include <utility>

namespace ravlo {

TThrottledTexts::TThrottledTexts(QObject* parent, int intervalMs) : QObject(parent), intervalMs_(intervalMs) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { Flush(); });
}

std::size_t TThrottledTexts::Add(Apply apply, QString shown) {
    fields_.push_back({std::move(apply), std::move(shown), std::nullopt});
    return fields_.size() - 1;
}

void TThrottledTexts::Set(std::size_t field, QString text) {
    Field& entry = fields_.at(field);
    if (!entry.pending && text == entry.shown) {
        return;
    }
    entry.pending = std::move(text);
    if (timer_.isActive()) {
        return;
    }
    const qint64 since = sinceFlush_.isValid() ? sinceFlush_.elapsed() : intervalMs_;
    if (since >= intervalMs_) {
        Flush();
    } else {
        timer_.start(static_cast<int>(intervalMs_ - since));
    }
}

void TThrottledTexts::Flush() {
    sinceFlush_.start();
    for (Field& entry : fields_) {
        if (entry.pending) {
            QString text = *std::exchange(entry.pending, std::nullopt);
            if (text != entry.shown) {
                entry.shown = std::move(text);
                entry.apply(entry.shown);
                ++applied_;
            }
        }
    }
}

} // namespace ravlo
