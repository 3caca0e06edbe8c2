#include "shell/event_log.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

TEST(EventLogColour, KindSelectsTheColour) {
    const TEventRgb olive{0x80, 0x80, 0x00};
    const TEventRgb red{0xFF, 0x00, 0x00};
    const TEventRgb green{0x00, 0x80, 0x00};
    const TEventRgb black{};
    EXPECT_EQ(EventKindColour(0), olive);
    EXPECT_EQ(EventKindColour(1), red);
    for (const std::uint8_t kind : {2, 3, 4}) {
        EXPECT_EQ(EventKindColour(kind), green) << int(kind);
    }
    EXPECT_EQ(EventKindColour(5), black);
    EXPECT_EQ(EventKindColour(255), black);
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
