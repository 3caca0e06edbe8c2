#pragma once

#include "project/module_list.h"

#include <QWidget>
#include <vector>

namespace ravlo {

// The paint box of the memory map: the 1 MB space as a strip in eight divisions with their
// addresses above, the BIOS item at its top end and one bar per module, each with its hint.
class TMemoryMapWidget : public QWidget {
    Q_OBJECT
public:
    explicit TMemoryMapWidget(QWidget* parent = nullptr);

    void SetBars(std::vector<TMapBar> bars);
    const std::vector<TMapBar>& Bars() const { return bars_; }
    // The strip in widget coordinates.
    QRect StripRect() const;
    // The hint at a point: the topmost bar's, "Bios", or empty.
    QString HintAt(const QPoint& point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect SpanRect(std::uint32_t start, std::uint32_t length) const;

    std::vector<TMapBar> bars_;
};

} // namespace ravlo
