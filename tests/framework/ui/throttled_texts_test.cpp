#include "framework/ui/throttled_texts.h"
#include "qt_test_app.h"

#include <QStringList>

namespace ravlo {
namespace {

// A field takes a text that differs from what it shows at once after a quiet interval; texts that
// follow within the interval wait for its end, and only the last of them is shown.
TEST(ThrottledTexts, AFieldTakesOnlyChangedTextsAndTheLastOfABurst) {
    TThrottledTexts texts(nullptr, 1000);
    QStringList shown;
    const std::size_t field = texts.Add([&shown](const QString& text) { shown << text; }, "Connected = NO");
    texts.Set(field, "Connected = NO");
    EXPECT_TRUE(shown.isEmpty()) << "what the field shows already";
    texts.Set(field, "Connected = YES");
    EXPECT_EQ(shown, QStringList{"Connected = YES"});
    for (const char* counters : {"Msg.Cnt = 1/0", "Msg.Cnt = 2/0", "Msg.Cnt = 3/0"}) {
        texts.Set(field, counters);
    }
    EXPECT_EQ(shown.size(), 1) << "within the interval";
    ASSERT_TRUE(testing::ProcessEventsUntil([&shown] { return shown.size() == 2; }));
    EXPECT_EQ(shown.back(), "Msg.Cnt = 3/0");
    EXPECT_EQ(texts.Applied(), 2u);
}

} // namespace
} // namespace ravlo
