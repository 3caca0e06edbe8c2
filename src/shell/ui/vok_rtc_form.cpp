#include "shell/ui/vok_rtc_form.h"

#include "framework/local_time.h"
#include "framework/ui/named_widget.h"
#include "framework/ui/qt_text.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

namespace ravlo {
namespace {

constexpr int kTimerMs = 100;

QLineEdit* PCField(QWidget* parent, const char* name, const char* hint, int digits) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setPlaceholderText(QString::fromLatin1(hint));
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(digits + 1, QLatin1Char('0'))) + 16);
    return edit;
}

QSpinBox* SpinField(QWidget* parent, const char* name, int low, int high, int digits) {
    auto* spin = Named(new QSpinBox(parent), name);
    spin->setRange(low, high);
    spin->setAlignment(Qt::AlignRight);
    spin->setFixedWidth(spin->fontMetrics().horizontalAdvance(QString(digits + 1, QLatin1Char('0'))) + 32);
    return spin;
}

// hh : mm : ss over DD . MM . YYYY.
QGridLayout* DateTimeGrid(QWidget* hour, QWidget* minute, QWidget* second, QWidget* day, QWidget* month,
                          QWidget* year) {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Time:")), 0, 0);
    grid->addWidget(hour, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral(":")), 0, 2);
    grid->addWidget(minute, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral(":")), 0, 4);
    grid->addWidget(second, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("Date:")), 1, 0);
    grid->addWidget(day, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral(".")), 1, 2);
    grid->addWidget(month, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral(".")), 1, 4);
    grid->addWidget(year, 1, 5);
    return grid;
}

QString Padded(int value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0'));
}

void ShowSpin(QSpinBox& spin, int value) {
    const QSignalBlocker blocker(spin);
    spin.setValue(value);
}

TDTRec Now() {
    return LocalDTRec(std::chrono::system_clock::now());
}

} // namespace

TFormVokRTC::TFormVokRTC(TToolBoard& board, QWidget* parent)
    : QDialog(parent), registration_(AppMessageQueue(), *this), model_(board, registration_.Handle()) {
    setObjectName(QStringLiteral("FormVokRTC"));
    setWindowTitle(QStringLiteral("Real Time Clock Settings"));
    BuildControls();
    model_.Open(Now());
    ShowPCTime();
    ShowVokTime();
    ShowStatus();
    rtcTimer_->start();
}

void TFormVokRTC::BuildControls() {
    edPCHour_ = PCField(this, "edPCHour", "HH", 2);
    edPCMin_ = PCField(this, "edPCMin", "MM", 2);
    edPCSec_ = PCField(this, "edPCSec", "SS", 2);
    edPCDay_ = PCField(this, "edPCDay", "DD", 2);
    edPCMonth_ = PCField(this, "edPCMonth", "MM", 2);
    edPCYear_ = PCField(this, "edPCYear", "YYYY", 4);
    spEdHour_ = SpinField(this, "SpEdHour", 0, 23, 2);
    spEdMin_ = SpinField(this, "SpEdMin", 0, 59, 2);
    spEdSec_ = SpinField(this, "SpEdSec", 0, 59, 2);
    spEdDay_ = SpinField(this, "SpEdDay", 1, 31, 2);
    spEdMonth_ = SpinField(this, "SpEdMonth", 1, 12, 2);
    spEdYear_ = SpinField(this, "SpEdYear", TVokRTC::kDesignYearMin, TVokRTC::kDesignYearMax, 4);

    auto* setAsPC = Named(new QPushButton(QStringLiteral("Set Time as PC"), this), "btSetPCTime");
    auto* getTime = Named(new QPushButton(QStringLiteral("Get Time"), this), "btGetTime");
    auto* setTime = Named(new QPushButton(QStringLiteral("Set Time"), this), "btSetTime");
    auto* close = Named(new QPushButton(QStringLiteral("Close"), this), "btClose");
    stWaitForRd_ = Named(new QLabel(QStringLiteral("Reading..."), this), "stWaitForRd");
    stStatus_ = Named(new QLabel(this), "stStatus");
    stStatus_->setFrameShape(QFrame::StyledPanel);
    stStatus_->setFrameShadow(QFrame::Sunken);

    auto* pcGroup = new QGroupBox(QStringLiteral("PC Time"), this);
    auto* pcLayout = new QVBoxLayout(pcGroup);
    pcLayout->addLayout(DateTimeGrid(edPCHour_, edPCMin_, edPCSec_, edPCDay_, edPCMonth_, edPCYear_));
    pcLayout->addWidget(setAsPC);
    auto* vokGroup = new QGroupBox(QStringLiteral("Vok Time"), this);
    auto* vokLayout = new QVBoxLayout(vokGroup);
    vokLayout->addLayout(DateTimeGrid(spEdHour_, spEdMin_, spEdSec_, spEdDay_, spEdMonth_, spEdYear_));
    auto* vokButtons = new QHBoxLayout;
    vokButtons->addWidget(getTime);
    vokButtons->addWidget(setTime);
    vokLayout->addLayout(vokButtons);

    auto* groups = new QHBoxLayout;
    groups->addWidget(pcGroup);
    groups->addWidget(vokGroup);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(stStatus_, 1);
    bottom->addWidget(stWaitForRd_);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    rtcTimer_ = new QTimer(this);
    rtcTimer_->setInterval(kTimerMs);
    connect(rtcTimer_, &QTimer::timeout, this, &TFormVokRTC::RTCTimerTimer);

    const auto onSpin = [this](QSpinBox* spin, void (TVokRTC::*set)(int)) {
        connect(spin, &QSpinBox::valueChanged, this, [this, set](int value) {
            (model_.*set)(value);
            ShowVokTime();
        });
    };
    onSpin(spEdHour_, &TVokRTC::SetHour);
    onSpin(spEdMin_, &TVokRTC::SetMinute);
    onSpin(spEdSec_, &TVokRTC::SetSecond);
    onSpin(spEdDay_, &TVokRTC::SetDay);
    onSpin(spEdMonth_, &TVokRTC::SetMonth);
    onSpin(spEdYear_, &TVokRTC::SetYear);
    connect(getTime, &QPushButton::clicked, this, [this] { model_.GetTime(); });
    connect(setTime, &QPushButton::clicked, this, [this] { model_.SetTime(); });
    connect(setAsPC, &QPushButton::clicked, this, [this] {
        model_.SetTimeAsPC();
        ShowVokTime();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormVokRTC::ShowPCTime() {
    const TDTRec& pc = model_.PCTime();
    edPCHour_->setText(Padded(pc.Hour, 2));
    edPCMin_->setText(Padded(pc.Min, 2));
    edPCSec_->setText(Padded(pc.Sec, 2));
    edPCDay_->setText(Padded(pc.Day, 2));
    edPCMonth_->setText(Padded(pc.Month, 2));
    edPCYear_->setText(Padded(pc.Year, 4));
}

void TFormVokRTC::ShowVokTime() {
    const TVokClockRec& time = model_.EditTime();
    {
        const QSignalBlocker blocker(spEdYear_);
        spEdYear_->setRange(model_.YearMin(), model_.YearMax());
    }
    ShowSpin(*spEdHour_, time.Hour);
    ShowSpin(*spEdMin_, time.Minute);
    ShowSpin(*spEdSec_, time.Second);
    ShowSpin(*spEdDay_, time.Day);
    ShowSpin(*spEdMonth_, time.Month);
    ShowSpin(*spEdYear_, time.Year);
    stWaitForRd_->setVisible(model_.Reading());
}

void TFormVokRTC::ShowStatus() {
    stStatus_->setText(FromCp1250(model_.Status()));
}

void TFormVokRTC::RTCTimerTimer() {
    if (model_.TimerTick(Now())) {
        ShowPCTime();
        ShowStatus();
    }
}

std::intptr_t TFormVokRTC::HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (model_.HandleMessage(msg, wParam, lParam)) {
        ShowVokTime();
        ShowStatus();
    }
    return 0;
}

void ShowVokRTC(TToolBoard& board, QWidget* parent) {
    TFormVokRTC dialog(board, parent);
    dialog.exec();
}

} // namespace ravlo
