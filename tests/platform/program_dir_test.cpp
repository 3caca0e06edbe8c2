#include "platform/program_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace ravlo {
namespace {

// Sets or clears RAVLO_HOME for one test and puts the old value back.
class HomeVariable {
public:
    explicit HomeVariable(const char* value) {
        if (const char* old = std::getenv("RAVLO_HOME")) {
            saved_ = old;
        }
        value ? ::setenv("RAVLO_HOME", value, 1) : ::unsetenv("RAVLO_HOME");
    }
    ~HomeVariable() { saved_ ? ::setenv("RAVLO_HOME", saved_->c_str(), 1) : ::unsetenv("RAVLO_HOME"); }
    HomeVariable(const HomeVariable&) = delete;
    HomeVariable& operator=(const HomeVariable&) = delete;

private:
    std::optional<std::string> saved_;
};

TEST(ProgramDir, IsTheFolderOfTheRunningProgramUnlessTheHomeVariableNamesAnother) {
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) { // an empty variable is ignored
        const HomeVariable home(unset);
        const auto dir = ProgramDir();
        EXPECT_TRUE(dir.is_absolute());
        EXPECT_TRUE(std::filesystem::exists(dir / "test_platform")) << dir;
    }
    const HomeVariable home("/opt/ravlo-home");
    EXPECT_EQ(ProgramDir(), std::filesystem::path("/opt/ravlo-home"));
}

} // namespace
} // namespace ravlo
