#pragma once

namespace glpanel {

// Bits per pixel of the primary screen: the size a pixel takes in the display's memory,
// which for 24-bit colour is usually a 32-bit word. 0 without a screen.
int DisplayBitsPerPixel();

} // namespace glpanel
