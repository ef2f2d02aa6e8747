#include "app/ini_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "util/atomic_file.h"
#include "util/text.h"

namespace tunevale {

namespace {

const char* SectionName(TSettingsSection section) {
  return section == TSettingsSection::Main ? IniMainSection : IniTweaksSection;
}

// "12" for a key "PlaylistItem12" with prefix "PlaylistItem": the index when
// the rest is a decimal number as the writer forms it (no sign, no leading zero).
std::optional<int64_t> ItemIndex(std::string_view key, std::string_view prefix) {
  if (key.size() <= prefix.size() || key.size() > prefix.size() + 10) return std::nullopt;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (AsciiLowerChar(key[i]) != AsciiLowerChar(prefix[i])) return std::nullopt;
  const std::string_view digits = key.substr(prefix.size());
  if (digits.size() > 1 && digits.front() == '0') return std::nullopt;
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

TStoreLoadResult LoadDocumentFile(const std::string& path, TIniDocument& doc) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) {
    doc.Clear();
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 || errno != ENOENT ? TStoreLoadResult::Failed
                                                             : TStoreLoadResult::Missing;
  }
  doc.Parse(bytes);
  return TStoreLoadResult::Loaded;
}

TStoreLoadResult TIniFile::Load() { return LoadDocumentFile(Path, Doc); }

bool TIniFile::Save(std::string* error) { return WriteFileAtomically(Path, Doc.Format(), error); }

bool TIniFile::Exists(TSettingsSection section, std::string_view key) const {
  return Doc.HasKey(SectionName(section), key);
}

std::optional<std::string> TIniFile::ReadText(TSettingsSection section, std::string_view key) const {
  return Doc.Value(SectionName(section), key);
}

std::optional<int32_t> TIniFile::ReadNumber(TSettingsSection section, std::string_view key) const {
  const std::optional<std::string> text = Doc.Value(SectionName(section), key);
  return text ? ParseInt32(*text) : std::nullopt;
}

void TIniFile::WriteText(TSettingsSection section, std::string_view key, std::string_view value) {
  Doc.SetValue(SectionName(section), key, value);
}

void TIniFile::WriteNumber(TSettingsSection section, std::string_view key, int32_t value) {
  Doc.SetRawValue(SectionName(section), key, std::to_string(value));
}

void TIniFile::EraseSection(TSettingsSection section) { Doc.EraseSection(SectionName(section)); }

std::optional<std::vector<std::string>> TIniFile::ReadList(TSettingsSection section,
                                                           const TListKeys& keys) const {
  if (!Exists(section, keys.CountKey)) return std::nullopt;
  const int64_t count = ReadNumber(section, keys.CountKey).value_or(0);
  // (item index, value) in file order; the first line of an index wins, as in a lookup.
  std::vector<std::pair<int64_t, std::string_view>> found;
  Doc.ForEachKey(SectionName(section), [&](std::string_view key, std::string_view raw) {
    const std::optional<int64_t> index = ItemIndex(key, keys.ItemPrefix);
    if (index && *index < count) found.emplace_back(*index, TIniDocument::Unquoted(raw));
  });
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> items;
  items.reserve(found.size());
  for (size_t i = 0; i < found.size(); ++i)
    if ((i == 0 || found[i].first != found[i - 1].first) && !found[i].second.empty())
      items.emplace_back(found[i].second);
  return items;
}

void TIniFile::WriteList(TSettingsSection section, const TListKeys& keys,
                         const std::vector<std::string>& items) {
  WriteNumber(section, keys.CountKey, static_cast<int32_t>(items.size()));
  std::string key(keys.ItemPrefix);
  for (size_t i = 0; i < items.size(); ++i) {
    key.resize(keys.ItemPrefix.size());
    key += std::to_string(i);
    WriteText(section, key, items[i]);
  }
}

}  // namespace tunevale
