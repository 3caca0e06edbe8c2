#include "platform/presenter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

// Nobody sees a box of a run without a display: its line says what the box would have shown, one
// "&" for a doubled one.
TEST(HeadlessPresenter, TheLineShowsTheBoxsTextAsTheBoxShowsIt) {
    std::vector<std::string> lines;
    HeadlessPresenter presenter([&lines](std::string_view line) { lines.emplace_back(line); });
    presenter.MessageBox("Memory modules \"ROM\" && \"OVL\" overlap each other!", "Error",
                         MB_OK | MB_ICONHAND);
    EXPECT_EQ(lines, std::vector<std::string>{
                         "Error \"Error\": Memory modules \"ROM\" & \"OVL\" overlap each other! [OK] -> OK"});
}

} // namespace
} // namespace ravlo
