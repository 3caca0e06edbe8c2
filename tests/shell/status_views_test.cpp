// The main window's status views: the status bar on fields of the test's own, the event log, and
// the process status windows on the processes the main form's core creates.
#include "main_form_test_support.h"
#include "protocol/comm_process.h"
#include "shell/event_log.h"
#include "shell/process_views.h"
#include "shell/status_bar.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

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

TEST(EventLogColour, KindSelectsTheColour) {
    const std::pair<std::uint8_t, TEventRgb> cases[] = {{0, {0x80, 0x80, 0x00}},
                                                        {1, {0xFF, 0x00, 0x00}},
                                                        {2, {0x00, 0x80, 0x00}},
                                                        {4, {0x00, 0x80, 0x00}},
                                                        {5, {}},
                                                        {255, {}}};
    for (const auto& [kind, colour] : cases) {
        EXPECT_EQ(EventKindColour(kind), colour) << int(kind);
    }
}

TEST(EventLogModel, KeepsTheLast50LinesWithTheirKinds) {
    TEventLogModel model;
    std::vector<bool> drops;
    model.SetObserver([&drops](const TEventLine&, bool dropped) { drops.push_back(dropped); });
    for (int i = 1; i <= 51; ++i) {
        ASSERT_TRUE(model.Add("- event " + std::to_string(i), static_cast<std::uint8_t>(i % 5)));
    }
    ASSERT_EQ(model.Lines().size(), 50u);
    EXPECT_EQ(model.Lines().front().Text, "- event 2");
    EXPECT_EQ(model.Lines().front().Kind, 2);
    EXPECT_EQ(model.Lines().back().Text, "- event 51");
    EXPECT_EQ(model.Lines().back().Kind, 1);
    ASSERT_EQ(drops.size(), 51u);
    EXPECT_FALSE(drops[49]);
    EXPECT_TRUE(drops[50]);
}

TEST(EventLogModel, EmptyTextAddsNothingAndLongOrBrokenTextsStayOneShortLine) {
    TEventLogModel model;
    int calls = 0;
    model.SetObserver([&calls](const TEventLine&, bool) { ++calls; });
    EXPECT_FALSE(model.Add("", 1));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(model.Add(std::string(300, 'x'), 4));
    EXPECT_EQ(model.Lines().back().Text.size(), TEventLogModel::kMaxText);
    EXPECT_TRUE(model.Add("- File changed.\r\nReload?\n", 1));
    EXPECT_EQ(model.Lines().back().Text, "- File changed.  Reload? ");
}

std::vector<std::string> Texts(const TProcessView& view) {
    std::vector<std::string> texts;
    for (const TProcViewField& field : view.Fields()) {
        texts.push_back(field.Text);
    }
    return texts;
}

TEST(ProcessViews, EachFieldFollowsItsOwnValueOnceItChanged) {
    testing::ShellRig rig;
    RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel);
    rig.Create();
    TRavlo_MA_Process& ma = *rig.core->MAProc;
    TProcessView master = TProcessView::ForMaster(rig.core->ProcessColl.get());
    EXPECT_EQ(Texts(master)[2], "!!--UNDEFINED--!!");
    ma.Device = 7;
    ma.State = 0x12;
    ma.ConState = cs_WaitForBiosId;
    EXPECT_EQ(master.VarChanged(&ma.LinkState), -1) << "unchanged";
    EXPECT_EQ(master.VarChanged(&ma.Device), 2);
    EXPECT_EQ(master.VarChanged(&ma.Device), -1) << "a repeat";
    EXPECT_EQ(master.VarChanged(&ma.State), 1);
    EXPECT_EQ(master.VarChanged(&ma.ConState), 3);
    EXPECT_EQ(Texts(master), (std::vector<std::string>{TRavlo_MA_Process::RavloStateName(ravlost_Inactive),
                                                       "st_$12", std::string(17, '?'), "_WaitForBiosId"}));

    TRavloComm_Process& comm = *rig.core->CommProc;
    TProcessView view = TProcessView::ForComm(rig.core->ProcessColl.get());
    comm.State = MAS_Connected;
    comm.ComPort = 3;
    comm.Stat.S = 12;
    EXPECT_EQ(view.VarChanged(&comm.State), 0);
    EXPECT_EQ(view.VarChanged(&comm.ComPort), 1);
    EXPECT_EQ(view.VarChanged(&comm.Stat), 2);
    EXPECT_EQ(view.VarChanged(comm.PendingCountField()), 3);
    EXPECT_EQ(Texts(view), (std::vector<std::string>{"{Connected}", "3", comm.Stat.ToStr(), " 0"}));
}

TEST(ProcessViews, WithoutTheProcessTheFieldsStayEmptyAndNotificationsAreIgnored) {
    for (const auto make : {&TProcessView::ForMaster, &TProcessView::ForComm}) {
        TProcessView view = make(nullptr);
        EXPECT_FALSE(view.HasProcess());
        EXPECT_EQ(Texts(view), std::vector<std::string>(4));
        EXPECT_EQ(view.VarChanged(&view), -1);
    }
}

} // namespace
} // namespace ravlo
