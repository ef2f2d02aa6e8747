// Vorbis comments: the "NAME=value" fields that FLAC files and Ogg Vorbis,
// Opus and FLAC streams carry, mapped onto TMetaData.
//
// TITLE, ARTIST, ALBUMARTIST (else "ALBUM ARTIST"), ALBUM, GENRE,
// ORGANIZATION (else LABEL) as publisher, COMPOSER, COPYRIGHT, COMMENT (else
// DESCRIPTION), CONTACT (else WEBSITE) as URL, TRACKNUMBER (its leading
// number) and DATE (else YEAR; its first four digits). Names ignore ASCII
// case; several values of one field are joined with "; ".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/metadata.h"

namespace tunevale {

// The bytes of one comment structure in order: a FLAC metadata block, or an
// Ogg packet that may run over several pages.
class TCommentStream {
 public:
  virtual ~TCommentStream() = default;
  // Reads exactly `count` bytes or throws EReadError.
  virtual void Read(void* buffer, size_t count) = 0;
  // Skips `count` bytes or throws EReadError.
  virtual void Skip(int64_t count) = 0;
  // At most this many bytes are left; lengths from the file are checked
  // against it before anything is read or allocated.
  virtual int64_t Left() const = 0;
};

// The values of one comment structure, collected by field.
class TVorbisComment {
 public:
  // The field a name fills (ASCII case ignored), or -1 for a name not kept.
  static int FieldOf(std::string_view name);
  // Adds one value of `field`, cleaned like every tag text; empty ones add nothing.
  void Add(int field, std::string_view rawValue);
  // Sets the fields of `meta` that have values.
  void ApplyTo(TMetaData& meta) const;

 private:
  static constexpr int FieldCount = 17;
  std::string Values[FieldCount];
};

// Reads a comment structure (vendor, count, fields) and fills `meta`. Throws
// EReadError when a length runs past the bytes left; the fields read before
// are kept in `meta`.
void ReadVorbisComment(TCommentStream& stream, TMetaData& meta);

}  // namespace tunevale
