#include "playback/video_sink_choice.h"

#include <vector>

namespace tunevale {

std::string ChooseVideoSink(std::string_view qtPlatform, bool preferOverlay,
                            const std::function<bool(const std::string& element)>& usable) {
  std::vector<std::string> candidates;
  if (qtPlatform == "xcb") {
    if (preferOverlay) candidates.push_back("xvimagesink");
    candidates.insert(candidates.end(), {"glimagesink", "ximagesink"});
  }
  // Without a window to draw into the picture is dropped, at its own pace.
  candidates.push_back("fakevideosink");
  for (const std::string& element : candidates)
    if (usable(element)) return element;
  return "fakesink sync=true";
}

}  // namespace tunevale
