// File types on the desktop: which MIME type each associated extension has,
// and the package that defines our own types for extensions the shared MIME
// database does not know. Only those get a type of ours, so a custom "txt"
// never redefines text files for the whole desktop.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "install/mime_type_database.h"
#include "media/media_kind.h"

namespace tunevale {

// Custom extensions are free text from the settings and the command line;
// only this shape is ever written into desktop files, the MIME package and
// mimeapps.list: [a-z0-9][a-z0-9+._-]*, at most 16 characters.
bool IsValidExtension(std::string_view ext);
inline constexpr size_t MaxExtensionLength = 16;

// A custom extension list as the settings keep it: the pieces between commas
// trimmed and lower-cased, empty ones dropped, joined by ",". The pieces that
// are no valid extension are left out and listed in `invalid`.
std::string NormalizeExtensionList(std::string_view text, std::vector<std::string>& invalid);

// "application/x-tunevale-" + ext.
std::string OwnMimeType(std::string_view ext);

// "MP3 Format Sound", "AVI Video", "M3U Playlist" by the extension's kind.
std::string FileTypeDescription(std::string_view ext, TMediaKind kind);

struct TFileTypeAssociation {
  std::string Extension;
  TMediaKind Kind = mkUnknown;
  std::string MimeType;
  bool OwnType = false;  // defined by our package
};

// Every media extension of the tables (music, video, playlists, custom ones
// included), lower case, each once, in table order; invalid custom ones are left out.
std::vector<std::string> KnownExtensions(const TFileExtensions& extensions);

// The association of each valid extension in `exts`, in order, each once.
std::vector<TFileTypeAssociation> ResolveFileTypes(const std::vector<std::string>& exts,
                                                   const TFileExtensions& extensions,
                                                   const TMimeTypeDatabase& mime);

// The distinct MIME types of `associations`, in order. Extensions sharing a
// type (ogg, oga) give it once; a type goes only when no extension maps to it.
std::vector<std::string> DeclaredMimeTypes(const std::vector<TFileTypeAssociation>& associations);

// The shared-MIME-info package that defines our own types, "" when there are none.
std::string BuildMimePackage(const std::vector<TFileTypeAssociation>& associations);

}  // namespace tunevale
