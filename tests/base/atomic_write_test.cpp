#include "base/atomic_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// In a folder others write to, nothing but a regular file at the target's name is followed,
// opened (a pipe would block for good) or replaced; no temporary file stays behind.
TEST(ReplaceFile, plantedLinkPipeOrFolderAtTarget_isLeftAloneAndNamed) {
  for (const std::string kind : {"link", "pipe", "folder"}) {
    testsupport::TempDir dir;
    const fs::path victim = dir.path() / "victim", target = dir.path() / "MessageReport.txt";
    testsupport::writeFile(victim, "keep");
    if (kind == "link") fs::create_symlink(victim, target);
    if (kind == "folder") fs::create_directory(target);
    ASSERT_TRUE(kind != "pipe" || mkfifo(target.c_str(), 0600) == 0);
    const fs::file_type type = fs::symlink_status(target).type();
    const base::WriteFailure failure = base::replaceFile(target, "neu", std::nullopt);
    EXPECT_EQ(base::fileErrorText(failure.error).substr(0, 7),
              kind == "folder" ? "ist ein" : "ist kei")
        << kind;
    EXPECT_EQ(fs::symlink_status(target).type(), type) << kind;
    EXPECT_EQ(testsupport::readFile(victim), "keep") << kind;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << kind;
  }
}

}  // namespace
