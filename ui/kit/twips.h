#ifndef VARNEL_UI_KIT_TWIPS_H_
#define VARNEL_UI_KIT_TWIPS_H_

#include <QRect>

namespace varnel {

// 1440 twips make an inch; at 96 dots per inch a pixel is 15 twips. Qt scales these device-independent
// pixels for high-dpi screens by itself.
inline constexpr int kTwipsPerPixel = 15;

// The nearest whole pixel of a non-negative twips value.
constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// The pixel rectangle of a control laid out in twips (left, top, width, height). Both edges are rounded, so
// controls that touch in twips touch in pixels.
QRect TwipsRect(int left, int top, int width, int height);

}  // namespace varnel

#endif  // VARNEL_UI_KIT_TWIPS_H_
