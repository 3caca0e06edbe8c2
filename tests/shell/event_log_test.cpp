#include "shell/event_log.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

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

} // namespace
} // namespace ravlo
