#include "base/single_instance.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
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

namespace norvane {
namespace {

std::string RandomBytes(std::mt19937& random, size_t length) {
    std::string bytes(length, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

// Any file name survives the wire; what the wire takes is exactly what was encoded: no
// prefix, no other byte, nothing longer is read as a request of its own.
TEST(InstanceRequestTest, OnlyWholeEncodingsAreRequests) {
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        InstanceRequest request;
        const size_t length = round % 50 == 0 ? 4096 : random() % 300;
        request.fileName = RandomBytes(random, length);
        const std::string bytes = EncodeInstanceRequest(request);
        ASSERT_LE(bytes.size(), kMaxInstanceRequest);
        ASSERT_EQ(DecodeInstanceRequest(bytes), request) << round;

        EXPECT_FALSE(DecodeInstanceRequest(bytes.substr(0, random() % bytes.size())));
        EXPECT_FALSE(DecodeInstanceRequest(bytes + RandomBytes(random, 1 + random() % 4)));
        // A changed byte gives no request, or one whose encoding is the changed bytes.
        std::string changed = bytes;
        changed[random() % changed.size()] = static_cast<char>(random() & 0xFF);
        if (const auto decoded = DecodeInstanceRequest(changed)) {
            EXPECT_EQ(EncodeInstanceRequest(*decoded), changed);
        }
        const std::string noise = RandomBytes(random, random() % 64);
        if (const auto decoded = DecodeInstanceRequest(noise)) {
            EXPECT_EQ(EncodeInstanceRequest(*decoded), noise);
        }
    }
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"norvane-start/1\nend\n", true},
        {"norvane-start/1\nfile 3\na\nbend\n", true},
        {"norvane-start/1\nfile 0\nend\n", false},  // an empty name is written as none
        {"norvane-start/1\nfile 03\nabcend\n", false},
        {"norvane-start/1\nfile 4097\n" + std::string(4097, 'a') + "end\n", false},
        {"norvane-start/1\nfile -1\nend\n", false},
        {"norvane-start/2\nend\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeInstanceRequest(c.bytes).has_value(), c.valid) << c.bytes;
    }
}

TEST(InstanceRequestTest, ASecondStartReachesTheFirst) {
    const std::string name = UniqueName();
    const SingleInstanceGuard first(name);
    ASSERT_GE(first.ListeningSocket(), 0);
    EXPECT_FALSE(first.ReceiveRequest(0));  // nobody asked

    // From another process, as a second start does: with a file, without one.
    for (const std::string file : {"/home/engineer/line 3\n.kfx", ""}) {
        const pid_t child = ::fork();
        if (child == 0) {
            const SingleInstanceGuard second(name);
            ::_exit(second.IsAlreadyRunning() && SendInstanceRequest(name, {file}) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(first.ReceiveRequest(2000), InstanceRequest{file});
        EXPECT_FALSE(first.ReceiveRequest(0));
    }

    // Nobody holds the name: nothing to hand over to.
    EXPECT_FALSE(SendInstanceRequest(UniqueName("-nobody"), {}));
    // A guard that lost the race listens to nothing.
    const SingleInstanceGuard late(name);
    EXPECT_EQ(late.ListeningSocket(), -1);
    EXPECT_FALSE(late.ReceiveRequest(0));
}

TEST(InstanceRequestTest, AConnectionThatSaysNothingUsefulIsDropped) {
    const std::string name = UniqueName();
    const SingleInstanceGuard first(name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    const auto connect = [&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), size), 0);
        return fd;
    };
    // Silent and open: given up after the time allowed.
    const int silent = connect();
    EXPECT_FALSE(first.ReceiveRequest(100));
    ::close(silent);
    // Noise, and more bytes than any request.
    for (const std::string& bytes :
         {std::string("GET / HTTP/1.0\r\n\r\n"), std::string(kMaxInstanceRequest + 10, 'x')}) {
        const int fd = connect();
        ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
        ::shutdown(fd, SHUT_WR);
        EXPECT_FALSE(first.ReceiveRequest(1000));
        ::close(fd);
    }
}

}  // namespace
}  // namespace norvane
