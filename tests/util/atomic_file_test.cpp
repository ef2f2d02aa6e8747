#include "util/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

namespace tunevale {
namespace {

TEST(AtomicFileTest, ReplacesContentAndLeavesNoTemporary) {
  namespace fs = std::filesystem;
  std::string dirTemplate = (fs::temp_directory_path() / "tv-atomic-XXXXXX").string();
  ASSERT_NE(::mkdtemp(dirTemplate.data()), nullptr);
  const std::string path = dirTemplate + "/owned.txt";
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  ASSERT_TRUE(WriteFileAtomically(path, std::string("sec\0ond", 7)));
  std::string content;
  ASSERT_TRUE(ReadWholeFile(path, content));
  EXPECT_EQ(content, std::string("sec\0ond", 7));
  EXPECT_EQ(std::distance(fs::directory_iterator(dirTemplate), fs::directory_iterator{}), 1);
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dirTemplate + "/missing/x.txt", "x", &error));
  EXPECT_FALSE(error.empty());
  fs::remove_all(dirTemplate);
}

}  // namespace
}  // namespace tunevale
