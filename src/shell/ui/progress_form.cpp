#include "shell/ui/progress_form.h"

#include "framework/ui/qt_text.h"
#include "platform/window_messages.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ravlo {
namespace {

// The navy gauge with its "NN%" readable over both parts: white over the navy that is done, the
// palette's text colour over the rest, in a light palette as in a dark one.
class TNavyGauge final : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect bar = rect().adjusted(0, 0, -1, -1);
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(palette().base());
        painter.drawRect(bar);
        const QRect inside = bar.adjusted(1, 1, 0, 0);
        const int span = maximum() - minimum();
        const int doneWidth = span > 0 ? inside.width() * (value() - minimum()) / span : 0;
        const QRect done(inside.topLeft(), QSize(doneWidth, inside.height()));
        const QRect rest(done.topRight() + QPoint(1, 0), inside.bottomRight());
        painter.fillRect(done, QColor(Qt::darkBlue));
        if (!isTextVisible()) {
            return;
        }
        const QString shown = text();
        painter.setClipRect(done);
        painter.setPen(Qt::white);
        painter.drawText(inside, Qt::AlignCenter, shown);
        painter.setClipRect(rest);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(inside, Qt::AlignCenter, shown);
    }
};

} // namespace

TfProgress::TfProgress(TProgressSource& source, QWidget* parent)
    : TBroadcastForm(parent), source_(source), Watch(source.WatchedAddress(), 0, 0, 0),
      lblText_(new QLabel(QStringLiteral("File: ROM1.BIN"), this)), ggProgress_(new TNavyGauge(this)),
      lblSpeed_(new QLabel(this)), btStop_(new QPushButton(QStringLiteral("Stop"), this)),
      tmrSpeed_(new QTimer(this)) {
    setObjectName(QStringLiteral("fProgress"));
    setWindowTitle(QStringLiteral("Progress"));
    setAttribute(Qt::WA_DeleteOnClose);
    lblText_->setObjectName(QStringLiteral("lblText"));
    lblText_->setAlignment(Qt::AlignCenter);
    ggProgress_->setObjectName(QStringLiteral("ggProgress"));
    ggProgress_->setRange(0, 100);
    ggProgress_->setTextVisible(true);
    lblSpeed_->setObjectName(QStringLiteral("lblSpeed"));
    lblSpeed_->setAlignment(Qt::AlignCenter);
    btStop_->setObjectName(QStringLiteral("btStop"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblText_);
    layout->addWidget(ggProgress_);
    layout->addWidget(lblSpeed_);
    layout->addWidget(btStop_, 0, Qt::AlignHCenter);
    setMinimumWidth(320);

    connect(btStop_, &QPushButton::clicked, this, [this] { source_.StopOperation(); });
    tmrSpeed_->setInterval(TProgressModel::kTimerMs);
    connect(tmrSpeed_, &QTimer::timeout, this, [this] { model_.TimerTick(); });
    model_.Open(source_.ActiveRequest());
    Render();
    tmrSpeed_->start();
}

void TfProgress::UpdateProgress() {
    model_.UpdateProgress(source_.ActiveRequest());
    Render();
}

void TfProgress::Render() {
    if (model_.Caption()) {
        setWindowTitle(FromCp1250(*model_.Caption()));
    }
    lblText_->setText(FromCp1250(model_.FileText()));
    ggProgress_->setValue(model_.Gauge());
    lblSpeed_->setText(FromCp1250(model_.SpeedText()));
}

std::intptr_t TfProgress::WindowMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t lParam) {
    if (msg == wm_VarChanged && Watch.Changed(reinterpret_cast<const void*>(lParam))) {
        UpdateProgress();
    }
    return 0;
}

} // namespace ravlo
