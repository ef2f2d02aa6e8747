#include "install/mime_apps_list.h"

#include <algorithm>
#include <filesystem>

#include "app/ini_document.h"
#include "util/atomic_file.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr std::string_view DefaultSection = "Default Applications";

std::vector<std::string> DesktopIds(std::string_view raw) {
  std::vector<std::string> ids;
  for (const std::string& piece : Split(raw, ';'))
    if (std::string id = Trim(piece); !id.empty()) ids.push_back(std::move(id));
  return ids;
}

std::string JoinIds(const std::vector<std::string>& ids) {
  std::string value;
  for (const std::string& id : ids) value += id + ";";
  return value;
}

}  // namespace

std::string SetDefaultApplication(std::string_view text, const std::vector<std::string>& types,
                                  std::string_view desktopId) {
  TIniDocument doc;
  doc.Parse(text);
  for (const std::string& type : types) {
    std::vector<std::string> ids = DesktopIds(doc.RawValue(DefaultSection, type).value_or(""));
    std::erase(ids, desktopId);
    ids.insert(ids.begin(), std::string(desktopId));
    doc.SetRawValue(DefaultSection, type, JoinIds(ids));
  }
  return doc.Format();
}

std::string RemoveDefaultApplication(std::string_view text, std::string_view desktopId,
                                     const std::vector<std::string>& keep) {
  TIniDocument doc;
  doc.Parse(text);
  std::vector<std::pair<std::string, std::string>> lines;
  doc.ForEachKey(DefaultSection, [&](std::string_view key, std::string_view raw) {
    lines.emplace_back(std::string(key), std::string(raw));
  });
  for (const auto& [type, raw] : lines) {
    if (std::find(keep.begin(), keep.end(), type) != keep.end()) continue;
    std::vector<std::string> ids = DesktopIds(raw);
    if (std::erase(ids, desktopId) == 0) continue;
    if (ids.empty())
      doc.EraseKey(DefaultSection, type);
    else
      doc.SetRawValue(DefaultSection, type, JoinIds(ids));
  }
  return doc.Format();
}

bool UpdateMimeAppsList(const std::string& path, const std::function<std::string(std::string_view)>& change,
                        std::string* error) {
  std::error_code ec;
  std::string target = path;
  if (std::filesystem::is_symlink(path, ec)) target = std::filesystem::weakly_canonical(path, ec).string();
  std::string text;
  const bool exists = std::filesystem::exists(target, ec);
  if (exists && !ReadWholeFile(target, text)) {
    if (error) *error = "cannot read " + target;
    return false;
  }
  const std::string changed = change(text);
  if (changed == text) return true;
  std::filesystem::create_directories(std::filesystem::path(target).parent_path(), ec);
  return WriteFileAtomically(target, changed, error);
}

}  // namespace tunevale
