// The real-time clock dialog on the offscreen platform before a fake board: what it asks of the
// board, and what its spin edits, status line and PC clock show of the answers.
#include "framework/ui/qt_test_app.h"
#include "platform/message_queue.h"
#include "protocol/ma_messages.h"
#include "protocol/vok_frame.h"
#include "shell/ui/vok_rtc_form.h"
#include "support/box_recorder.h"
#include "support/fake_tool_board.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <array>
#include <set>

namespace ravlo {
namespace {

// The spin edits in the order hour, minute, second, day, month, year.
constexpr std::array<const char*, 6> kSpins = {"SpEdHour", "SpEdMin",   "SpEdSec",
                                               "SpEdDay",  "SpEdMonth", "SpEdYear"};

class ClockWindowTest : public ::testing::Test {
protected:
    QSpinBox& Spin(const char* name) const {
        return *dialog_.findChild<QSpinBox*>(QString::fromLatin1(name));
    }
    QString Text(const char* name) const {
        if (const auto* label = dialog_.findChild<QLabel*>(QString::fromLatin1(name))) {
            return label->text();
        }
        return dialog_.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    void Click(const char* name) { testing::ClickButton(dialog_, name); }
    std::array<int, 6> Shown() const {
        std::array<int, 6> values{};
        for (std::size_t i = 0; i < kSpins.size(); ++i) {
            values[i] = Spin(kSpins[i]).value();
        }
        return values;
    }
    // The board's answer to the latest read, in BCD from its type byte on, arrives.
    void Answer(std::uint16_t year, std::uint8_t month, std::uint8_t day, std::uint16_t maxYear = 0x2099) {
        using B = std::uint8_t;
        *board_.Reads.back() = {ft_SetRTC, 0,    0,    B(year), B(year >> 8), month,      day,
                                0x23,      0x59, 0x58, 0x80,    0x19,         B(maxYear), B(maxYear >> 8)};
        Send(wm_RTCRdOk);
    }
    void Send(std::uint32_t msg, std::uintptr_t wParam = 0) {
        AppMessageQueue().Send(dialog_.Handle(), msg, wParam, 0);
    }

    testing::BoxRecorder boxes_;
    testing::FakeToolBoard board_;
    TFormVokRTC dialog_{board_};
};

TEST_F(ClockWindowTest, TheBoardsTimeShowsInTheSpinEditsWithinTheBiosYears) {
    ASSERT_EQ(board_.Reads.size(), 1U) << "asked for at once";
    EXPECT_FALSE(dialog_.findChild<QLabel*>("stWaitForRd")->isHidden());
    EXPECT_EQ(Text("stStatus"), QStringLiteral("Status: Wait for read Time"));
    Answer(0x2024, 0x02, 0x29, 0x2089);
    EXPECT_EQ(Shown(), (std::array<int, 6>{23, 59, 58, 29, 2, 2024}));
    EXPECT_EQ(std::make_pair(Spin("SpEdYear").minimum(), Spin("SpEdYear").maximum()),
              std::make_pair(1980, 2089));
    EXPECT_TRUE(dialog_.findChild<QLabel*>("stWaitForRd")->isHidden());
    EXPECT_EQ(Text("stStatus"), QStringLiteral("Status: Read Time Ok"));
    EXPECT_TRUE(boxes_.texts.empty());
}

// Each change of a date field is checked against the month and the BIOS years, and the spin
// edits show the corrected date; the time of day goes in as it is.
TEST_F(ClockWindowTest, EditedDatesAreCorrectedAndSetTimeWritesWhatIsShown) {
    Answer(0x2024, 0x01, 0x31);
    struct Step {
        const char* spin;
        int value;
        std::array<int, 3> date; // day, month, year shown after it
    };
    const Step steps[] = {
        {"SpEdMonth", 4, {30, 4, 2024}}, {"SpEdMonth", 2, {29, 2, 2024}}, {"SpEdYear", 2023, {28, 2, 2023}},
        {"SpEdDay", 31, {28, 2, 2023}},  {"SpEdMonth", 3, {28, 3, 2023}}, {"SpEdDay", 31, {31, 3, 2023}},
        {"SpEdHour", 7, {31, 3, 2023}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.spin) + " " + std::to_string(step.value));
        Spin(step.spin).setValue(step.value);
        const std::array<int, 6> shown = Shown();
        EXPECT_EQ((std::array<int, 3>{shown[3], shown[4], shown[5]}), step.date);
    }
    Click("btSetTime");
    ASSERT_EQ(board_.Writes.size(), 1U);
    EXPECT_EQ(board_.Writes[0], (TVokClockRec{2023, 3, 31, 7, 59, 58}));
    Send(wm_RTCWrOk);
    EXPECT_EQ(Text("stStatus"), QStringLiteral("Status: Write Time Ok"));
    Click("btGetTime");
    EXPECT_EQ(board_.Reads.size(), 2U);
}

TEST_F(ClockWindowTest, SetTimeAsPCWritesThePCTimeTheDialogShows) {
    Answer(0x2024, 0x01, 0x31);
    Click("btSetPCTime");
    ASSERT_EQ(board_.Writes.size(), 1U);
    const TVokClockRec& written = board_.Writes[0];
    EXPECT_EQ(std::to_string(written.Year), Text("edPCYear").toStdString());
    EXPECT_EQ(std::make_pair(int{written.Month}, int{written.Day}),
              std::make_pair(Text("edPCMonth").toInt(), Text("edPCDay").toInt()));
    const std::array<int, 3> time = {written.Hour, written.Minute, written.Second};
    const std::array<int, 3> pc = {Text("edPCHour").toInt(), Text("edPCMin").toInt(),
                                   Text("edPCSec").toInt()};
    EXPECT_EQ(time, pc);
    EXPECT_EQ(Text("edPCMin").size(), 2) << "two digits";
    EXPECT_EQ(Shown()[5], written.Year) << "and the spin edits show it";
}

TEST_F(ClockWindowTest, ErrorsShowTheirStatusAndABox) {
    const std::tuple<std::uintptr_t, const char*, const char*> errors[] = {
        {0x31, "Status: Read Err", "Reading Time failed.\r\nProbably VOK without RTC."},
        {2, "Status: Write Err",
         "Setting Time failed.\r\nProbably unsupported VOK\r\nfunction (upgrade BIOS)."},
        {0x1234, "Status: Unknown Err No 1234h", "Unknown Err No 1234h"},
    };
    for (const auto& [error, status, box] : errors) {
        Send(wm_RTCErr, error);
        EXPECT_EQ(Text("stStatus").toStdString(), status);
        EXPECT_EQ(boxes_.Take(), box);
    }
    EXPECT_FALSE(dialog_.findChild<QLabel*>("stWaitForRd")->isHidden()) << "no time was read";
}

TEST_F(ClockWindowTest, WithoutTheLinkTheButtonsOnlySaySo) {
    board_.Link = false;
    for (const char* button : {"btGetTime", "btSetTime", "btSetPCTime"}) {
        Click(button);
        EXPECT_EQ(boxes_.Take(), "Device not connected!") << button;
    }
    EXPECT_EQ(board_.Reads.size(), 1U) << "only the first read, asked for at the start";
    EXPECT_TRUE(board_.Writes.empty());
}

// The PC clock runs in the dialog; a status stays for four of its seconds.
TEST_F(ClockWindowTest, ThePCClockTicksAndAStatusGoesAfterFourSeconds) {
    Send(wm_RTCWrOk);
    std::set<QString> seconds{Text("edPCSec")};
    EXPECT_TRUE(testing::ProcessEventsUntil([&] {
        seconds.insert(Text("edPCSec"));
        return Text("stStatus").isEmpty();
    }));
    EXPECT_GE(seconds.size(), 4U) << "the seconds the status stayed";
}

} // namespace
} // namespace ravlo
