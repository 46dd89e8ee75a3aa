#pragma once

#include <QRgb>

namespace zot {

// A colour value as designs give it: 0x00BBGGRR, or a negative value whose top
// byte is 0x80 naming a system colour by its lowest byte.
QRgb colorFromWindowsValue(qint32 value);

// Pixels per inch of the screen text sizes are given for; 96 without a screen.
int screenPixelsPerInch();

} // namespace zot
