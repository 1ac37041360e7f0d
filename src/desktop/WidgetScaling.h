#pragma once

class QWidget;

namespace wm {

// Scales every control below root (positions, sizes and font sizes) by factor.
void scaleChildren(QWidget* root, double factor);

// Applies the "pixelSize" property that forms give their controls as the font's size in pixels, so that a
// font looks the same whatever the screen's resolution.
void applyPixelFonts(QWidget* root);

} // namespace wm
