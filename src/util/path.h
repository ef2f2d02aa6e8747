// Path helpers. Paths are "/"-separated and keep their letter case; they are
// compared exactly (file names on Linux are case-sensitive).
#pragma once

#include <string>
#include <string_view>

namespace tunevale {

// The comparison form of a path: doubled "/" collapsed (not at the first
// position, not after ":" so "scheme://" stays) and a trailing "/" dropped
// (unless it is the whole path or follows ":").
std::string NormalizePath(std::string_view path);

// Text after the last "/" (the whole text when there is none).
std::string ExtractFileName(std::string_view path);
// Text up to and including the last "/" ("" when there is none).
std::string ExtractFilePath(std::string_view path);
// ExtractFilePath without its trailing "/" (kept for the root "/").
std::string ExtractFileDir(std::string_view path);
// The extension of the file name with its dot (".mp3"), "" when there is none.
std::string ExtractFileExt(std::string_view path);
// The file name without its extension.
std::string FileNameWithoutExt(std::string_view path);

std::string IncludeTrailingSlash(std::string_view path);
std::string ExcludeTrailingSlash(std::string_view path);
bool IsAbsolutePath(std::string_view path);

// Joins `path` to `base` when it is relative and resolves "." and ".."
// lexically (no file system access, links are not followed).
std::string ExpandPath(std::string_view base, std::string_view path);

// `path` (absolute) written relative to the folder `base` (absolute): one
// "../" per level above it, nothing in front below it, "." for `base` itself.
std::string RelativePath(std::string_view base, std::string_view path);

// True when `path` is `folder` itself or lies below it, compared by whole
// components: "/m/Music" holds "/m/Music/a.mp3" but not "/m/Music2/a.mp3". A
// trailing "/" on either does not matter; the root holds every absolute path.
bool IsPathInFolder(std::string_view path, std::string_view folder);

// True when the address has a scheme ("http://...", "file://...").
bool IsUrl(std::string_view path);

// Where an entry text "path*caption" splits: at the first "*" whose left part
// names an existing file (not a folder), else at the first "*"; npos without
// one. File names may hold "*", so "/m/a*b.mp3*x" keeps "/m/a*b.mp3" whole.
size_t EntryTextSplit(std::string_view text);

}  // namespace tunevale
