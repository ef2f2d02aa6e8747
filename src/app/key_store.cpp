#include "app/key_store.h"

#include <filesystem>

#include "app/ini_file.h"         // LoadDocumentFile
#include "app/settings_values.h"  // ParseHex
#include "util/atomic_file.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

std::string TKeyStore::EncodeText(std::string_view value) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size() + 2);
  out.push_back('"');
  for (const char c : value) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (u < 0x20 || u == 0x7F) {
          out += "\\x";
          out.push_back(Hex[u >> 4]);
          out.push_back(Hex[u & 15]);
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
  return out;
}

std::optional<std::string> TKeyStore::DecodeText(std::string_view raw) {
  if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') return std::nullopt;
  const std::string_view body = raw.substr(1, raw.size() - 2);
  std::string out;
  out.reserve(body.size());
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (c == '"') return std::nullopt;
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++i == body.size()) return std::nullopt;
    switch (body[i]) {
      case '\\':
        out.push_back('\\');
        break;
      case '"':
        out.push_back('"');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 'r':
        out.push_back('\r');
        break;
      case 't':
        out.push_back('\t');
        break;
      case 'x': {
        if (i + 2 >= body.size()) return std::nullopt;
        const std::optional<uint32_t> byte = ParseHex(body.substr(i + 1, 2));
        if (!byte) return std::nullopt;
        out.push_back(static_cast<char>(*byte));
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::string TKeyStore::JoinList(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text.push_back('|');
    for (const char c : items[i]) {
      if (c == '|' || c == '\\') text.push_back('\\');
      text.push_back(c);
    }
  }
  return text;
}

std::vector<std::string> TKeyStore::SplitList(std::string_view text) {
  std::vector<std::string> items;
  std::string item;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '|') {
      if (!item.empty()) items.push_back(std::move(item));
      item.clear();
    } else if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '|' || text[i + 1] == '\\')) {
      item.push_back(text[++i]);
    } else {
      item.push_back(text[i]);
    }
  }
  return items;
}

TStoreLoadResult TKeyStore::Load() { return LoadDocumentFile(Path, Doc); }

bool TKeyStore::Save(std::string* error) {
  std::error_code ignored;
  const std::string dir = ExtractFileDir(Path);
  if (!dir.empty()) std::filesystem::create_directories(dir, ignored);
  return WriteFileAtomically(Path, Doc.Format(), error);
}

bool TKeyStore::Exists(TSettingsSection, std::string_view key) const { return Doc.HasKey("", key); }

std::optional<std::string> TKeyStore::ReadText(TSettingsSection, std::string_view key) const {
  const std::optional<std::string_view> raw = Doc.RawValue("", key);
  return raw ? DecodeText(*raw) : std::nullopt;
}

std::optional<int32_t> TKeyStore::ReadNumber(TSettingsSection, std::string_view key) const {
  const std::optional<std::string_view> raw = Doc.RawValue("", key);
  return raw ? ParseInt32(*raw) : std::nullopt;
}

void TKeyStore::WriteText(TSettingsSection, std::string_view key, std::string_view value) {
  Doc.SetRawValue("", key, EncodeText(value));
}

void TKeyStore::WriteNumber(TSettingsSection, std::string_view key, int32_t value) {
  Doc.SetRawValue("", key, std::to_string(value));
}

std::optional<std::vector<std::string>> TKeyStore::ReadList(TSettingsSection section,
                                                            const TListKeys& keys) const {
  if (!Exists(section, keys.JoinedKey)) return std::nullopt;
  return SplitList(ReadText(section, keys.JoinedKey).value_or(std::string()));
}

void TKeyStore::WriteList(TSettingsSection section, const TListKeys& keys,
                          const std::vector<std::string>& items) {
  WriteText(section, keys.JoinedKey, JoinList(items));
}

}  // namespace tunevale
