// Which GStreamer element shows the picture. The program chooses it from the
// Qt platform the window runs on: a sink GStreamer picks by itself may open a
// surface of its own that cannot be embedded in our window, or hang the open.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tunevale {

// The sink description for a window on Qt's `qtPlatform` ("xcb", "offscreen",
// ...). On X11: xvimagesink when `preferOverlay`, then glimagesink, then
// ximagesink; elsewhere (no window we can draw into) fakevideosink. `usable`
// says whether an element can open here (xvimagesink needs XVideo). When no
// candidate is usable, "fakesink", which every GStreamer has.
std::string ChooseVideoSink(std::string_view qtPlatform, bool preferOverlay,
                            const std::function<bool(const std::string& element)>& usable);

}  // namespace tunevale
