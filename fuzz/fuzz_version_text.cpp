// What the update check downloads: the version text and the program. Any
// bytes give three parts that rebuild the input's visible characters, a
// build number or none, and a yes or no on the program, never a crash.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "install/executable_check.h"
#include "install/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TVersionText text = ParseVersionText(bytes);
  if (text.Version.size() + text.Headline.size() + text.Changes.size() > size) std::abort();
  if (text.Version.find_first_of("\r\n") != std::string::npos) std::abort();
  if (const std::optional<int32_t> build = VersionBuildNumber(text.Version))
    if (VersionBuildNumber("2.0.0." + std::to_string(*build)) != build) std::abort();
  static const std::string own = ReadExecutableHeader("/proc/self/exe");
  IsCompatibleExecutable(bytes, own);
  // The input as the running program's own header: never true for bytes shorter than a header.
  if (IsCompatibleExecutable(own, bytes) && size < 64) std::abort();
  return 0;
}
