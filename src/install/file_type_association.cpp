#include "install/file_type_association.h"

#include <algorithm>

#include "util/text.h"
#include "util/xml_reader.h"

namespace tunevale {

namespace {

bool IsExtensionChar(char c, bool first) {
  if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return !first && (c == '+' || c == '.' || c == '_' || c == '-');
}

const char* GenericIcon(TMediaKind kind) {
  switch (kind) {
    case mkVideo:
      return "video-x-generic";
    case mkPlaylist:
      return "text-x-generic";
    default:
      return "audio-x-generic";
  }
}

// A type from the database goes into a desktop file only in its plain form.
bool IsPlainMimeType(std::string_view type) {
  const size_t slash = type.find('/');
  if (slash == std::string_view::npos || slash == 0 || slash + 1 == type.size()) return false;
  return std::all_of(type.begin(), type.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("/+.-_").find(c) != std::string_view::npos;
  });
}

}  // namespace

bool IsValidExtension(std::string_view ext) {
  if (ext.empty() || ext.size() > MaxExtensionLength) return false;
  for (size_t i = 0; i < ext.size(); ++i)
    if (!IsExtensionChar(ext[i], i == 0)) return false;
  return true;
}

std::string NormalizeExtensionList(std::string_view text, std::vector<std::string>& invalid) {
  std::vector<std::string> kept;
  for (const std::string& piece : Split(text, ',')) {
    const std::string ext = AsciiLower(Trim(piece));
    if (ext.empty()) continue;
    if (IsValidExtension(ext))
      kept.push_back(ext);
    else
      invalid.push_back(ext);
  }
  return Join(kept, ",");
}

std::string OwnMimeType(std::string_view ext) { return "application/x-tunevale-" + std::string(ext); }

std::string FileTypeDescription(std::string_view ext, TMediaKind kind) {
  const std::string upper = AsciiUpper(ext);
  if (kind == mkVideo) return upper + " Video";
  if (kind == mkPlaylist) return upper + " Playlist";
  return upper + " Format Sound";
}

std::vector<std::string> KnownExtensions(const TFileExtensions& extensions) {
  std::vector<std::string> exts;
  for (int i = 0; i < extensions.MediaCount(); ++i) {
    std::string ext = AsciiLower(extensions.MediaExtension(i));
    if (IsValidExtension(ext) && std::find(exts.begin(), exts.end(), ext) == exts.end())
      exts.push_back(std::move(ext));
  }
  return exts;
}

std::vector<TFileTypeAssociation> ResolveFileTypes(const std::vector<std::string>& exts,
                                                   const TFileExtensions& extensions,
                                                   const TMimeTypeDatabase& mime) {
  std::vector<TFileTypeAssociation> result;
  for (const std::string& ext : exts) {
    if (!IsValidExtension(ext)) continue;
    if (std::any_of(result.begin(), result.end(), [&](const auto& a) { return a.Extension == ext; }))
      continue;
    TFileTypeAssociation& a = result.emplace_back();
    a.Extension = ext;
    a.Kind = extensions.GetFileKind("x." + ext);
    const std::string own = OwnMimeType(ext);
    a.MimeType = mime.TypeForExtension(ext);
    // Our own package makes the database answer with our type once installed.
    a.OwnType = a.MimeType.empty() || a.MimeType == own || !IsPlainMimeType(a.MimeType);
    if (a.OwnType) a.MimeType = own;
  }
  return result;
}

std::vector<std::string> DeclaredMimeTypes(const std::vector<TFileTypeAssociation>& associations) {
  std::vector<std::string> types;
  for (const TFileTypeAssociation& a : associations)
    if (std::find(types.begin(), types.end(), a.MimeType) == types.end()) types.push_back(a.MimeType);
  return types;
}

std::string BuildMimePackage(const std::vector<TFileTypeAssociation>& associations) {
  std::string body;
  for (const TFileTypeAssociation& a : associations) {
    if (!a.OwnType) continue;
    body += "  <mime-type type=\"" + XmlEscaped(a.MimeType) + "\">\n";
    body += "    <comment>" + XmlEscaped(FileTypeDescription(a.Extension, a.Kind)) + "</comment>\n";
    body += std::string("    <generic-icon name=\"") + GenericIcon(a.Kind) + "\"/>\n";
    body += "    <glob pattern=\"*." + XmlEscaped(a.Extension) + "\"/>\n";
    body += "  </mime-type>\n";
  }
  if (body.empty()) return {};
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n" +
         body + "</mime-info>\n";
}

}  // namespace tunevale
