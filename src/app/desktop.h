// The desktop's services the player asks for: opening an address with the
// user's default program (help pages, a file's folder) and starting a
// program. The addresses are built here; the port opens them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

class TDesktop {
 public:
  virtual ~TDesktop() = default;
  // Opens `url` with the default program for it; false when nothing did.
  virtual bool OpenUrl(const std::string& url) = 0;
  // Starts `program` with `arguments` (no shell), not waiting for it; false
  // when it could not start.
  virtual bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// The "file://" address of an absolute local path, its bytes outside the
// unreserved set and "/" percent-encoded, then "#" and `anchor` if any.
std::string LocalFileUrl(std::string_view path, std::string_view anchor = {});
// The address of one of the help pages shipped in "help/" beside the program;
// `page` is a file name with an optional "#anchor" ("faq.html#library1").
std::string HelpPageUrl(std::string_view programDir, std::string_view page);
// "Open file location": the folder of a local file as an address, or an
// address up to (not including) its last "/"; "" for a bare file name.
std::string FileLocationUrl(std::string_view fileName);
// An http, https or ftp address (scheme in any case) with a host part.
bool IsWebAddress(std::string_view url);

}  // namespace tunevale
