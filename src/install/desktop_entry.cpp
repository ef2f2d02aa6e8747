#include "install/desktop_entry.h"

namespace tunevale {

std::string DesktopExecArgument(std::string_view arg) {
  std::string quoted = "\"";
  for (const char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted.push_back('\\');
    quoted.push_back(c);
    if (c == '%') quoted.push_back('%');
  }
  quoted.push_back('"');
  std::string value;
  for (const char c : quoted) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\t':
        value += "\\t";
        break;
      case '\r':
        value += "\\r";
        break;
      default:
        value.push_back(c);
    }
  }
  return value;
}

std::string BuildDesktopEntry(std::string_view exePath, const std::vector<std::string>& mimeTypes,
                              bool hidden) {
  std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Version=1.0\n"
      "Name=Tunevale\n"
      "GenericName=Media Player\n"
      "Comment=";
  entry += ApplicationDescription;
  entry += "\nExec=" + DesktopExecArgument(exePath) + " %U\n";
  entry +=
      "Icon=tunevale\n"
      "Terminal=false\n"
      "Categories=AudioVideo;Audio;Video;Player;\n";
  if (!mimeTypes.empty()) {
    entry += "MimeType=";
    for (const std::string& type : mimeTypes) entry += type + ";";
    entry += "\n";
  }
  if (hidden) entry += "NoDisplay=true\n";
  return entry;
}

}  // namespace tunevale
