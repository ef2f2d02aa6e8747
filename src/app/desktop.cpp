#include "app/desktop.h"

#include "util/text.h"

namespace tunevale {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~' || c == '/';
}

}  // namespace

std::string LocalFileUrl(std::string_view path, std::string_view anchor) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      url += ch;
    } else {
      url += '%';
      url += Hex[c >> 4];
      url += Hex[c & 15];
    }
  }
  if (!anchor.empty()) url.append("#").append(anchor);
  return url;
}

std::string HelpPageUrl(std::string_view programDir, std::string_view page) {
  const size_t hash = page.find('#');
  const std::string_view file = page.substr(0, hash);
  const std::string_view anchor = hash == std::string_view::npos ? std::string_view() : page.substr(hash + 1);
  std::string path(programDir);
  if (path.empty() || path.back() != '/') path += '/';
  return LocalFileUrl(path + "help/" + std::string(file), anchor);
}

std::string FileLocationUrl(std::string_view fileName) {
  const size_t slash = fileName.rfind('/');
  if (slash == std::string_view::npos) return {};
  const std::string_view folder = fileName.substr(0, slash);
  if (fileName.find("://") != std::string_view::npos) return std::string(folder);
  return LocalFileUrl(folder.empty() ? std::string_view("/") : folder);
}

bool IsWebAddress(std::string_view url) {
  const size_t colon = url.find("://");
  if (colon == std::string_view::npos || colon + 3 >= url.size()) return false;
  const std::string scheme = AsciiLower(url.substr(0, colon));
  return scheme == "http" || scheme == "https" || scheme == "ftp";
}

}  // namespace tunevale
