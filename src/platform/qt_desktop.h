// The desktop port on Qt: addresses open with the desktop's default program
// (QDesktopServices), programs start detached with an argument list.
#pragma once

#include "app/desktop.h"

namespace tunevale {

class TQtDesktop final : public TDesktop {
 public:
  bool OpenUrl(const std::string& url) override;
  bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) override;
};

}  // namespace tunevale
