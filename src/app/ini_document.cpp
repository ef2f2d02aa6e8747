#include "app/ini_document.h"

#include "util/text.h"

namespace tunevale {

namespace {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLowerChar(a[i]) != AsciiLowerChar(b[i])) return false;
  return true;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool Enclosed(std::string_view v) { return v.size() >= 2 && IsQuote(v.front()) && v.front() == v.back(); }

std::string_view KeyOf(const std::string& text, size_t length) {
  return TrimView(std::string_view(text).substr(0, length));
}

}  // namespace

void TIniDocument::Clear() {
  Sections.clear();
  Sections.emplace_back();
}

void TIniDocument::Parse(std::string_view bytes) {
  Clear();
  while (StartsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t end = bytes.find('\n', pos);
    std::string_view line =
        bytes.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    pos = end == std::string_view::npos ? bytes.size() : end + 1;
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::string_view trimmed = TrimView(line);
    const size_t close = trimmed.find(']');
    if (!trimmed.empty() && trimmed.front() == '[' && close != std::string_view::npos) {
      TSection& section = Sections.emplace_back();
      section.Name = std::string(TrimView(trimmed.substr(1, close - 1)));
      section.HasHeader = true;
      section.Header = std::string(line);
      continue;
    }
    TSection& section = Sections.back();
    TLine& added = section.Lines.emplace_back();
    added.Text = std::string(line);
    const size_t eq = line.find('=');
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#' || eq == std::string_view::npos)
      continue;
    const std::string_view key = TrimView(line.substr(0, eq));
    if (key.empty()) continue;
    added.IsKey = true;
    added.KeyLength = eq;
    added.ValueStart = eq + 1;
    section.Keys.emplace(AsciiLower(key), section.Lines.size() - 1);
  }
}

std::string TIniDocument::Format() const {
  std::string out;
  for (const TSection& section : Sections) {
    if (section.HasHeader) out.append(section.Header).push_back('\n');
    for (const TLine& line : section.Lines) out.append(line.Text).push_back('\n');
  }
  return out;
}

const TIniDocument::TSection* TIniDocument::FindSection(std::string_view name) const {
  if (name.empty()) return &Sections.front();
  for (const TSection& section : Sections)
    if (section.HasHeader && SameName(section.Name, name)) return &section;
  return nullptr;
}

TIniDocument::TSection& TIniDocument::SectionForWriting(std::string_view name) {
  if (const TSection* found = FindSection(name)) return const_cast<TSection&>(*found);
  TSection& section = Sections.emplace_back();
  section.Name = std::string(name);
  section.HasHeader = true;
  section.Header = "[" + section.Name + "]";
  return section;
}

const TIniDocument::TLine* TIniDocument::FindLine(const TSection& section, std::string_view key) {
  const auto it = section.Keys.find(AsciiLower(key));
  return it == section.Keys.end() ? nullptr : &section.Lines[it->second];
}

void TIniDocument::Reindex(TSection& section) {
  section.Keys.clear();
  for (size_t i = 0; i < section.Lines.size(); ++i)
    if (section.Lines[i].IsKey)
      section.Keys.emplace(AsciiLower(KeyOf(section.Lines[i].Text, section.Lines[i].KeyLength)), i);
}

bool TIniDocument::HasKey(std::string_view section, std::string_view key) const {
  const TSection* found = FindSection(section);
  return found && FindLine(*found, key);
}

std::optional<std::string_view> TIniDocument::RawValue(std::string_view section, std::string_view key) const {
  const TSection* found = FindSection(section);
  const TLine* line = found ? FindLine(*found, key) : nullptr;
  if (!line) return std::nullopt;
  return TrimView(std::string_view(line->Text).substr(line->ValueStart));
}

std::optional<std::string> TIniDocument::Value(std::string_view section, std::string_view key) const {
  const std::optional<std::string_view> raw = RawValue(section, key);
  if (!raw) return std::nullopt;
  return std::string(Unquoted(*raw));
}

void TIniDocument::SetRawValue(std::string_view section, std::string_view key, std::string_view raw) {
  TSection& target = SectionForWriting(section);
  TLine line;
  line.Text.reserve(key.size() + 1 + raw.size());
  line.Text.append(key).append("=").append(raw);
  line.IsKey = true;
  line.KeyLength = key.size();
  line.ValueStart = key.size() + 1;
  const auto it = target.Keys.find(AsciiLower(key));
  if (it != target.Keys.end()) {
    target.Lines[it->second] = std::move(line);
    return;
  }
  // New keys go after the section's last key, before trailing comments or blank lines.
  size_t at = target.Lines.size();
  while (at > 0 && !target.Lines[at - 1].IsKey) --at;
  if (at == 0) at = target.Lines.size();
  target.Lines.insert(target.Lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  // Only lines without a key follow `at`, so no indexed line moved: reindexing
  // here made writing many new keys above a trailing blank line quadratic.
  target.Keys.emplace(AsciiLower(key), at);
}

void TIniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  std::string v(value);
  for (char& c : v)
    if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  const bool guard = !v.empty() && (static_cast<unsigned char>(v.front()) < 33 ||
                                    static_cast<unsigned char>(v.back()) < 33 || Enclosed(v));
  SetRawValue(section, key, guard ? "\"" + v + "\"" : v);
}

void TIniDocument::EraseSection(std::string_view section) {
  if (section.empty()) return;
  std::erase_if(Sections, [&](const TSection& s) { return s.HasHeader && SameName(s.Name, section); });
}

void TIniDocument::EraseKey(std::string_view section, std::string_view key) {
  const TSection* found = FindSection(section);
  if (!found || !FindLine(*found, key)) return;
  TSection& target = const_cast<TSection&>(*found);
  const std::string lower = AsciiLower(key);
  std::erase_if(target.Lines, [&](const TLine& line) {
    return line.IsKey && AsciiLower(KeyOf(line.Text, line.KeyLength)) == lower;
  });
  Reindex(target);
}

void TIniDocument::ForEachKey(std::string_view section,
                              const std::function<void(std::string_view, std::string_view)>& visit) const {
  const TSection* found = FindSection(section);
  if (!found) return;
  for (const TLine& line : found->Lines)
    if (line.IsKey)
      visit(KeyOf(line.Text, line.KeyLength), TrimView(std::string_view(line.Text).substr(line.ValueStart)));
}

std::string_view TIniDocument::Unquoted(std::string_view raw) {
  return Enclosed(raw) ? raw.substr(1, raw.size() - 2) : raw;
}

}  // namespace tunevale
