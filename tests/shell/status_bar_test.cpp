// The status bar's watchers and panels, on fields of the test's own.
#include "shell/status_bar.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using W = TStatusWatch;

struct Fields {
    std::uint8_t port = 0;
    std::uint32_t baud = 0;
    std::uint8_t connected = 0;
    TChnStat counters;
    std::uint8_t device = 0;
    std::string biosId;
    std::string event;

    TStatusSources Sources() const { return {&port, &baud, &connected, &counters, &device, &biosId, &event}; }
};

TEST(StatusBar, AWatcherAnswersForItsFieldOnceItChangedAndATextOrCountersEveryTime) {
    Fields fields;
    TStatusBar bar(fields.Sources());
    int stranger = 0;
    EXPECT_EQ(bar.VarChanged(&stranger), W::None);
    EXPECT_EQ(bar.VarChanged(&fields.port), W::None) << "unchanged";
    fields.port = 3;
    fields.baud = 9600;
    EXPECT_EQ(bar.VarChanged(&fields.port), W::Com);
    EXPECT_EQ(bar.VarChanged(&fields.port), W::None) << "a repeat";
    EXPECT_EQ(bar.Panels().Texts[1], "BdRate = 0") << "the rate is shown once it is announced";
    EXPECT_EQ(bar.VarChanged(&fields.baud), W::BdRate);
    EXPECT_EQ(bar.Panels().Texts[0] + " " + bar.Panels().Texts[1], "COM = 3 BdRate = 9600");
    EXPECT_EQ(bar.VarChanged(&fields.event), W::Event);
    EXPECT_EQ(bar.VarChanged(&fields.event), W::Event);
    fields.counters.OK = 7;
    fields.counters.e = 2;
    EXPECT_EQ(bar.VarChanged(&fields.counters), W::MsgCnt);
    EXPECT_EQ(bar.Panels().Texts[3], "Msg.Cnt = 7/2");
}

TEST(StatusBar, TheConnectionPanelIsSilverWithoutAnOpenPort) {
    const struct {
        std::uint8_t port;
        std::uint8_t connected;
        TPanelColour colour;
    } cases[] = {{0, 0, TPanelColour::Silver}, {0, 2, TPanelColour::Silver}, {1, 0, TPanelColour::Red},
                 {1, 1, TPanelColour::Olive},  {4, 2, TPanelColour::Green},  {4, 9, TPanelColour::Silver}};
    for (const auto& c : cases) {
        Fields fields;
        fields.port = c.port;
        fields.connected = c.connected;
        EXPECT_EQ(TStatusBar(fields.Sources()).Panels().ConnectedColour, c.colour)
            << int(c.port) << int(c.connected);
    }
    EXPECT_EQ(DevicePanelText(4), "Device = Unknown") << "past the known boards";
}

} // namespace
} // namespace ravlo
