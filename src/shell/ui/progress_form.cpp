#include "shell/ui/progress_form.h"

#include "framework/ui/qt_text.h"
#include "platform/window_messages.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ravlo {

TfProgress::TfProgress(TProgressSource& source, QWidget* parent)
    : TBroadcastForm(parent), source_(source), Watch(source.WatchedAddress(), 0, 0, 0),
      lblText_(new QLabel(QStringLiteral("File: ROM1.BIN"), this)), ggProgress_(new QProgressBar(this)),
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
    ggProgress_->setStyleSheet(QStringLiteral("QProgressBar::chunk { background-color: navy; }"
                                              "QProgressBar { text-align: center; }"));
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
