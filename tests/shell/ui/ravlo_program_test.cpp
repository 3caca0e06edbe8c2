#include "framework/ui/qt_test_app.h"
#include "kernel/exception_log.h"
#include "shell/ui/ravlo_program.h"
#include "support/app_fixtures.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <QTimer>
#include <stdexcept>

namespace ravlo {
namespace {

TEST(RavloProgram, AnExceptionOutOfAnEventHandlerIsALineOfTheExceptionLog) {
    testing::ScratchDir home;
    testing::ScopedEnv env("RAVLO_HOME", home.Path().string());
    QTimer timer;
    EXPECT_FALSE(DeliverLoggingExceptions(&timer, []() -> bool { throw std::runtime_error("lost frame"); }));
    EXPECT_FALSE(DeliverLoggingExceptions(nullptr, []() -> bool { throw std::runtime_error("second"); }));
    EXPECT_TRUE(DeliverLoggingExceptions(&timer, [] { return true; })) << "a handled event stays handled";
    const std::string log = testing::ReadFileText(ExceptionLogPath());
    EXPECT_TRUE(log.starts_with("Exception: lost frame in object QTimer at ")) << log;
    EXPECT_NE(log.find("\nException: second in object TApplication at "), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
}

} // namespace
} // namespace ravlo
