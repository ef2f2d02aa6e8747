// Starting programs for real: detached starts and tools waited for.
#include <gtest/gtest.h>

#include "platform/posix_process_launcher.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

TEST(ProcessLauncherTest, StartsDetachedAndReportsWhatCannotStart) {
  test::TTempFolder folder;
  TPosixProcessLauncher launcher;
  const std::string mark = folder / "started";
  ASSERT_TRUE(launcher.Start("sh", {"-c", "echo \"$1\" > \"$2\"", "sh", "one argument; $HOME", mark}));
  std::string text;
  test::WaitFor([&] { return ReadWholeFile(mark, text) && text.ends_with('\n'); });
  EXPECT_EQ(text, "one argument; $HOME\n");
  std::string error;
  EXPECT_FALSE(launcher.Start(folder / "missing", {}, &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_EQ(launcher.Run("true", {}), 0);
  EXPECT_EQ(launcher.Run("false", {}), 1);
  EXPECT_EQ(launcher.Run("no-such-tool-anywhere", {}), -1);
}

}  // namespace
}  // namespace tunevale
