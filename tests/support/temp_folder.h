// A temporary folder for tests that need real files; removed with everything
// in it when the test ends.
#pragma once

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tunevale::test {

class TTempFolder {
 public:
  TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tunevale-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    Root = pattern;
  }
  ~TTempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return Root; }
  // The full path of `relative` inside the folder.
  std::string operator/(std::string_view relative) const { return Root + "/" + std::string(relative); }

  // Writes `bytes` to `relative`, creating the folders on the way.
  std::string Write(std::string_view relative, std::string_view bytes = {}) const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  std::string MakeFolder(std::string_view relative) const {
    const std::string path = *this / relative;
    std::filesystem::create_directories(path);
    return path;
  }

 private:
  std::string Root;
};

// The bytes of a file; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets a file's modification time to `unixSeconds` (access time too).
inline void SetModificationTime(const std::string& path, time_t unixSeconds) {
  const timeval times[2] = {{unixSeconds, 0}, {unixSeconds, 0}};
  if (utimes(path.c_str(), times) != 0) throw std::runtime_error("utimes failed: " + path);
}

}  // namespace tunevale::test
