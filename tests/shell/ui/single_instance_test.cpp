#include "framework/log_names.h"
#include "framework/runtime_log.h"
#include "framework/ui/qt_test_app.h"
#include "shell/exit_codes.h"
#include "shell/ui/single_instance.h"
#include "support/scoped_env.h"
#include "support/scratch_dir.h"

#include <QDir>
#include <QMainWindow>
#include <QProcess>
#include <cstdlib>
#include <unistd.h>

namespace ravlo {
namespace {

using testing::ScopedEnv;
using testing::ScratchDir;

// The child processes are this test program, running one of the disabled tests below.
constexpr const char* kKeyVariable = "RAVLO_SI_TEST_KEY";
constexpr int kChildWasFirst = 7;
constexpr int kChildWasNotFirst = 8;

class SingleInstanceTest : public ::testing::Test {
protected:
    SingleInstanceTest() : key_(SingleInstanceKey(home_.Path(), "ravlo")) { ResetRuntimeLog(); }
    ~SingleInstanceTest() override { ResetRuntimeLog(); }

    // Runs the disabled child test `name` to its end while this process serves events; answers its
    // exit code.
    int RunChild(const char* name) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kKeyVariable, key_);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_also_run_disabled_tests",
                     QStringLiteral("--gtest_filter=SingleInstanceChild.") + name});
        EXPECT_TRUE(testing::ProcessEventsUntil([&child] { return child.state() == QProcess::NotRunning; }));
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }

    std::string LogName() const { return TxsBaseName("ravlo") + ".TXS"; }

    ScratchDir runtime_;
    ScratchDir home_;
    ScopedEnv xdg_{"XDG_RUNTIME_DIR", runtime_.Path().string()};
    ScopedEnv ravloHome_{"RAVLO_HOME", home_.Path().string()};
    QString key_;
};

TEST_F(SingleInstanceTest, SecondProcessBringsTheFirstToTheFrontAndLeavesItsLog) {
    home_.Write(LogName(), "first instance\n");
    TSingleInstance first(key_);
    ASSERT_EQ(first.Start(), TSingleInstance::TRole::First);
    int activations = 0;
    QObject::connect(&first, &TSingleInstance::ActivationRequested, [&activations] { ++activations; });

    EXPECT_EQ(RunChild("DISABLED_RunsAsSecond"), 0) << "the child's own checks failed";
    ASSERT_TRUE(testing::ProcessEventsUntil([&activations] { return activations == 1; }));
    EXPECT_EQ(home_.Listing(), LogName()) << "the live log was not archived";
    const std::string log = home_.Text(LogName());
    EXPECT_TRUE(log.starts_with("first instance\n#SecondInst Run/Close, time ")) << log;
}

TEST_F(SingleInstanceTest, LockOfACrashedRunIsTakenOver) {
    ASSERT_EQ(RunChild("DISABLED_TakesTheLockAndCrashes"), kChildWasFirst);
    TSingleInstance next(key_);
    ASSERT_EQ(next.Start(), TSingleInstance::TRole::First);
    int activations = 0;
    QObject::connect(&next, &TSingleInstance::ActivationRequested, [&activations] { ++activations; });
    EXPECT_EQ(RunChild("DISABLED_RunsAsSecond"), 0) << "the left socket file was replaced";
    EXPECT_TRUE(testing::ProcessEventsUntil([&activations] { return activations == 1; }));
}

TEST_F(SingleInstanceTest, NoWritableFolderMeansUnguarded) {
    if (!runtime_.MakeReadOnly()) {
        GTEST_SKIP() << "the file system cannot refuse new files here";
    }
    TSingleInstance guard(key_);
    EXPECT_EQ(guard.Start(), TSingleInstance::TRole::Unguarded);
}

TEST(SingleInstanceKeyTest, SameFolderSameKeyAndSafeName) {
    ScratchDir dir;
    const QString key = SingleInstanceKey(dir.Path(), "ravlo");
    EXPECT_EQ(SingleInstanceKey(dir.Path() / "." / "", "/elsewhere/ravlo"), key)
        << "the folder decides, not its spelling";
    EXPECT_NE(SingleInstanceKey(dir.Path(), "other"), key);
    EXPECT_NE(SingleInstanceKey(dir.Path() / "sub", "ravlo"), key) << "another folder is another program";
    EXPECT_TRUE(key.startsWith(QStringLiteral("ravlo-%1-").arg(::getuid())));
    for (const QChar c : key) {
        EXPECT_TRUE(c.isLetterOrNumber() || c == '-') << key.toStdString();
    }
}

TEST(SingleInstanceRuntimeDir, FallsBackToTheTemporaryFolder) {
    ScratchDir dir;
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", dir.Path().string());
        EXPECT_EQ(TSingleInstance::RuntimeDir().toStdString(), dir.Path().string());
    }
    ScopedEnv missing("XDG_RUNTIME_DIR", (dir / "gone").string());
    EXPECT_EQ(TSingleInstance::RuntimeDir(), QDir::tempPath());
}

TEST(BringToFrontTest, HiddenWindowIsShownAgain) {
    QMainWindow window;
    window.show();
    window.hide();
    BringToFront(window);
    EXPECT_TRUE(window.isVisible());
}

// Children, run by the tests above only.

QString ChildKey() {
    return qEnvironmentVariable(kKeyVariable);
}

TEST(SingleInstanceChild, DISABLED_RunsAsSecond) {
    ASSERT_FALSE(ChildKey().isEmpty());
    TSingleInstance guard(ChildKey());
    const std::optional<int> code = CheckSingleInstance(guard, "ravlo");
    EXPECT_EQ(code, kExitOtherInstance);
    EXPECT_TRUE(guard.Notified());
}

TEST(SingleInstanceChild, DISABLED_TakesTheLockAndCrashes) {
    TSingleInstance guard(ChildKey());
    const bool first = guard.Start() == TSingleInstance::TRole::First;
    std::_Exit(first ? kChildWasFirst : kChildWasNotFirst); // no clean-up, as in a crash
}

} // namespace
} // namespace ravlo
