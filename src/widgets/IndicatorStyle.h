#pragma once

namespace velmora::widgets {

// The program keeps the desktop's style, except that under the toolkit's built-in style (what a
// desktop without a theme of its own gives) the edges of check and radio indicators are drawn
// light on a dark palette, where that style draws them darker than the window and they vanish.
// The light look stays as it is. Call once the application object exists.
void useVisibleIndicators();

} // namespace velmora::widgets
