#include "util/path.h"

#include <sys/stat.h>

#include <vector>

namespace tunevale {

std::string NormalizePath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  const size_t n = path.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = path[i];
    const bool afterColon = i > 0 && path[i - 1] == ':';
    if (c == '/' && i > 0 && !afterColon) {
      if (i + 1 < n && path[i + 1] == '/') continue;
      if (i + 1 == n) continue;
    }
    out += c;
  }
  return out;
}

bool IsPathInFolder(std::string_view path, std::string_view folder) {
  while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
  if (path.substr(0, folder.size()) != folder) return false;
  return path.size() == folder.size() || path[folder.size()] == '/';
}

namespace {

std::vector<std::string_view> PathComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const size_t pos = path.find('/');
    if (pos != 0) parts.push_back(path.substr(0, pos));
    path = pos == std::string_view::npos ? std::string_view() : path.substr(pos + 1);
  }
  return parts;
}

}  // namespace

std::string RelativePath(std::string_view base, std::string_view path) {
  const std::string resolvedBase = ExpandPath("/", base);
  const std::string resolvedPath = ExpandPath("/", path);
  const std::vector<std::string_view> from = PathComponents(resolvedBase);
  const std::vector<std::string_view> to = PathComponents(resolvedPath);
  size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
  std::string out;
  for (size_t i = common; i < from.size(); ++i) out += "../";
  for (size_t i = common; i < to.size(); ++i) out += std::string(to[i]) + "/";
  if (out.empty()) return ".";
  out.pop_back();
  return out;
}

std::string ExtractFileName(std::string_view path) {
  const size_t pos = path.rfind('/');
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string ExtractFilePath(std::string_view path) {
  const size_t pos = path.rfind('/');
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

std::string ExtractFileDir(std::string_view path) {
  const size_t pos = path.rfind('/');
  if (pos == std::string_view::npos) return {};
  return std::string(path.substr(0, pos == 0 ? 1 : pos));
}

std::string ExtractFileExt(std::string_view path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return std::string(path.substr(dot));
}

std::string FileNameWithoutExt(std::string_view path) {
  std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string IncludeTrailingSlash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

std::string ExcludeTrailingSlash(std::string_view path) {
  std::string out(path);
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path[0] == '/'; }

bool IsUrl(std::string_view path) { return path.find("://") != std::string_view::npos; }

size_t EntryTextSplit(std::string_view text) {
  const size_t first = text.find('*');
  // With one "*" the answer is the same either way: no file system look-up.
  if (first == std::string_view::npos || text.find('*', first + 1) == std::string_view::npos) return first;
  for (size_t star = first; star != std::string_view::npos; star = text.find('*', star + 1)) {
    const std::string left(text.substr(0, star));
    struct stat st;
    if (stat(left.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return star;
  }
  return first;
}

std::string ExpandPath(std::string_view base, std::string_view path) {
  std::string joined =
      IsAbsolutePath(path) ? std::string(path) : IncludeTrailingSlash(base) + std::string(path);
  const bool absolute = IsAbsolutePath(joined);
  const bool trailing = !joined.empty() && joined.back() == '/';
  std::vector<std::string_view> parts;
  std::string_view rest(joined);
  while (!rest.empty()) {
    const size_t pos = rest.find('/');
    const std::string_view part = rest.substr(0, pos);
    rest = pos == std::string_view::npos ? std::string_view() : rest.substr(pos + 1);
    if (part.empty() || part == ".") continue;
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part == ".." && absolute) {
      continue;  // above the root stays at the root
    } else {
      parts.push_back(part);
    }
  }
  std::string out = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '/';
    out += parts[i];
  }
  if (trailing && !parts.empty()) out += '/';
  return out;
}

}  // namespace tunevale
