#include "base/single_instance.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace norvane {
namespace {

// A name of this test alone, so that parallel test runs and a running program never meet.
std::string UniqueName(std::string_view suffix = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return "norvane-test-" + std::to_string(::getpid()) + "-" + info->name() + std::string(suffix);
}

// Makes a guard with `name` in a child process and returns the child's exit code: 1 when the
// child found the name taken, 0 when not. With `leak`, the child ends without destroying its
// guard, as a crashed program would.
int GuardInChild(const std::string& name, bool leak = false) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::optional<SingleInstanceGuard> guard(std::in_place, name);
        const int code = guard->IsAlreadyRunning() ? 1 : 0;
        if (!leak) {
            guard.reset();
        }
        ::_exit(code);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

TEST(SingleInstanceGuardTest, ASecondGuardOfTheSameNameFindsTheFirst) {
    const std::string name = UniqueName();
    std::optional<SingleInstanceGuard> first(std::in_place, name);
    EXPECT_FALSE(first->IsAlreadyRunning());
    {
        const SingleInstanceGuard second(name);
        EXPECT_TRUE(second.IsAlreadyRunning());
    }
    // The refused second guard must not have released the name.
    EXPECT_TRUE(SingleInstanceGuard(name).IsAlreadyRunning());

    first.reset();
    const SingleInstanceGuard afterwards(name);
    EXPECT_FALSE(afterwards.IsAlreadyRunning());
}

TEST(SingleInstanceGuardTest, DifferentNamesDoNotClash) {
    const SingleInstanceGuard a(UniqueName("-a"));
    const SingleInstanceGuard b(UniqueName("-b"));
    const SingleInstanceGuard prefix(UniqueName("-a-longer"));
    EXPECT_FALSE(a.IsAlreadyRunning());
    EXPECT_FALSE(b.IsAlreadyRunning());
    EXPECT_FALSE(prefix.IsAlreadyRunning());
}

TEST(SingleInstanceGuardTest, HoldsAgainstOtherProcesses) {
    const std::string name = UniqueName();
    EXPECT_EQ(GuardInChild(name), 0);
    {
        const SingleInstanceGuard running(name);
        ASSERT_FALSE(running.IsAlreadyRunning());
        EXPECT_EQ(GuardInChild(name), 1);
    }
    EXPECT_EQ(GuardInChild(name), 0);
}

TEST(SingleInstanceGuardTest, ANameIsFreeAgainWhenItsProcessEndsWithoutCleanUp) {
    const std::string name = UniqueName();
    EXPECT_EQ(GuardInChild(name, /*leak=*/true), 0);
    EXPECT_FALSE(SingleInstanceGuard(name).IsAlreadyRunning());
}

}  // namespace
}  // namespace norvane
