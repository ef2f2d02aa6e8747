// An INI text in memory: sections of "key=value" lines. Lines the program
// does not write (comments, blank lines, other sections, garbage) are kept as
// they are, so a save changes only the keys it writes.
//
// Parsing accepts any bytes and never fails: a line that is neither a
// "[section]" header nor "key=value" is kept verbatim and means nothing.
// Section and key names compare ignoring ASCII case; the first occurrence of
// a name wins. Lines before the first header form the nameless section "".
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tunevale {

class TIniDocument {
 public:
  TIniDocument() { Clear(); }

  void Parse(std::string_view bytes);
  // Lines joined with "\n", ending in "\n" unless empty.
  std::string Format() const;
  void Clear();

  bool HasKey(std::string_view section, std::string_view key) const;
  // The value with blanks around it removed and one pair of enclosing quotes
  // ('...' or "...") taken off.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // Writes a value so that Value gives it back: line breaks and NUL bytes (which
  // a line cannot hold) become blanks, and a value with blanks at its ends or
  // enclosing quotes is written inside double quotes.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);

  // The text after "=" with blanks around it removed; nothing more.
  std::optional<std::string_view> RawValue(std::string_view section, std::string_view key) const;
  // Writes `raw` as the text after "="; it must hold no line break.
  void SetRawValue(std::string_view section, std::string_view key, std::string_view raw);

  // Removes every section of that name with all its lines.
  void EraseSection(std::string_view section);
  // Removes every line of the section that holds the key (later copies too).
  void EraseKey(std::string_view section, std::string_view key);

  // Calls `visit` with each key line of the section in file order (later
  // copies of a name included) and its raw value.
  void ForEachKey(std::string_view section,
                  const std::function<void(std::string_view key, std::string_view raw)>& visit) const;
  // A raw value as Value gives it: one pair of enclosing quotes taken off.
  static std::string_view Unquoted(std::string_view raw);

 private:
  struct TLine {
    std::string Text;
    size_t KeyLength = 0;   // a key line: Text starts with the key (after blanks)
    size_t ValueStart = 0;  // where the text after "=" begins
    bool IsKey = false;
  };
  struct TSection {
    std::string Name;  // "" for the lines before the first header
    bool HasHeader = false;
    std::string Header;
    std::vector<TLine> Lines;
    std::unordered_map<std::string, size_t> Keys;  // lower-cased key -> first line
  };

  const TSection* FindSection(std::string_view name) const;
  TSection& SectionForWriting(std::string_view name);
  static const TLine* FindLine(const TSection& section, std::string_view key);
  static void Reindex(TSection& section);

  std::vector<TSection> Sections;
};

}  // namespace tunevale
