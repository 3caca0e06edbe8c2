#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace ravlo {

// Hands texts to the widgets that show them at most once per interval, and only texts that differ
// from what a widget shows: a watched value that changes a thousand times a second during a
// transfer costs its field at most twenty repaints. A text that comes after a quiet interval is shown
// at once; one that comes sooner waits for the interval's end, and the latest text wins.
class TThrottledTexts final : public QObject {
public:
    using Apply = std::function<void(const QString&)>;

    static constexpr int kIntervalMs = 50;

    explicit TThrottledTexts(QObject* parent = nullptr, int intervalMs = kIntervalMs);

    // A field that shows `shown` now; answers its index for Set.
    std::size_t Add(Apply apply, QString shown);
    void Set(std::size_t field, QString text);
    // Texts applied so far (repaints asked for).
    std::size_t Applied() const { return applied_; }

private:
    struct Field {
        Apply apply;
        QString shown;
        std::optional<QString> pending;
    };

    void Flush();

    std::vector<Field> fields_;
    QTimer timer_;
    QElapsedTimer sinceFlush_;
    int intervalMs_;
    std::size_t applied_ = 0;
};

} // namespace ravlo
