// Helper processes end with their whole group: when asked, when the object goes, and when the
// program that started them dies without cleaning up.
#include "print/child_process.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "support/scratch_test.h"

using ::testing::HasSubstr;

namespace {

using ChildProcessTest = testsupport::ScratchTest;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Ended or a zombie waiting for a parent that is not this test.
bool ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const auto close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

bool endsWithin(pid_t pid, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!ended(pid)) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

pid_t readPid(const fs::path& file) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(file);
    pid_t pid = 0;
    if (in >> pid && pid > 0) return pid;
    std::this_thread::sleep_for(10ms);
  }
  return 0;
}

// A program is found on PATH in the order given, its exit status and output come back, and one
// that cannot start answers why.
TEST_F(ChildProcessTest, start_programEndsWithStatusOrMissingAnswersReason) {
  EXPECT_EQ(print::findProgram({"quelbrix-gibt-es-nicht", "sh"}).filename(), "sh");
  EXPECT_TRUE(print::findProgram({"quelbrix-gibt-es-nicht"}).empty());
  std::string reason;
  auto child =
      print::ChildProcess::start({"sh", "-c", "echo hallo; exit 3"}, dir_.path() / "log", reason);
  ASSERT_TRUE(child.started()) << reason;
  EXPECT_EQ(child.wait(10s), 3);
  EXPECT_FALSE(child.running());
  EXPECT_EQ(testsupport::readFile(dir_.path() / "log"), "hallo\n");
  auto missing =
      print::ChildProcess::start({(dir_.path() / "fehlt").string()}, dir_.path() / "log", reason);
  EXPECT_FALSE(missing.started());
  EXPECT_THAT(reason, HasSubstr("konnte nicht gestartet werden"));
}

TEST_F(ChildProcessTest, terminate_programForked_endsWholeGroup) {
  const fs::path pidFile = dir_.path() / "pid";
  std::string reason;
  auto child = print::ChildProcess::start(
      {"sh", "-c", "sleep 60 & echo $! > '" + pidFile.string() + "'; wait"}, dir_.path() / "log",
      reason);
  ASSERT_TRUE(child.started()) << reason;
  const pid_t grandchild = readPid(pidFile);
  ASSERT_GT(grandchild, 0);
  EXPECT_FALSE(child.wait(100ms).has_value());
  child.terminate(2s);
  EXPECT_FALSE(child.running());
  EXPECT_TRUE(endsWithin(grandchild, 5s));
}

TEST_F(ChildProcessTest, guard_starterDiesWithoutCleanup_endsGroup) {
  const fs::path pidFile = dir_.path() / "pid";
  const pid_t starter = fork();
  ASSERT_GE(starter, 0);
  if (starter == 0) {
    std::string reason;
    auto child = print::ChildProcess::start({"sleep", "60"}, dir_.path() / "log", reason, true);
    std::ofstream(pidFile) << child.pid() << "\n";
    _exit(0);  // no destructors: as a crash leaves things
  }
  int status = 0;
  waitpid(starter, &status, 0);
  const pid_t orphan = readPid(pidFile);
  ASSERT_GT(orphan, 0);
  EXPECT_TRUE(endsWithin(orphan, 10s));
  if (!ended(orphan)) kill(orphan, SIGKILL);
}

TEST_F(ChildProcessTest, guard_normalEnd_leavesNoProcessBehind) {
  std::string reason;
  pid_t pid = 0;
  {
    auto child = print::ChildProcess::start({"sleep", "60"}, dir_.path() / "log", reason, true);
    ASSERT_TRUE(child.started()) << reason;
    pid = child.pid();
  }
  EXPECT_TRUE(endsWithin(pid, 1s));
  // The guard was waited for: no child of this test is left.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
