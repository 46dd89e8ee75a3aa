#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QScreen>
#include <array>

namespace zot {

namespace {

// The classic default system colours, by index (COLOR_SCROLLBAR = 0 ...).
constexpr std::array<QRgb, 31> kSystemColors = {
    0xffc8c8c8, 0xff000000, 0xff99b4d1, 0xffbfcddb, 0xfff0f0f0, 0xffffffff, 0xff646464, 0xff000000,
    0xff000000, 0xff000000, 0xffb4b4b4, 0xfff4f7fc, 0xffababab, 0xff0078d7, 0xffffffff, 0xfff0f0f0,
    0xffa0a0a0, 0xff6d6d6d, 0xff000000, 0xff000000, 0xffffffff, 0xff696969, 0xffe3e3e3, 0xff000000,
    0xffffffe1, 0xff000000, 0xff0066cc, 0xffb9d1ea, 0xffd7e4f2, 0xff0078d7, 0xfff0f0f0};

} // namespace

QRgb colorFromWindowsValue(qint32 value) {
    const auto bits = static_cast<quint32>(value);
    if ((bits >> 24) == 0x80u) {
        const quint32 index = bits & 0xffu;
        return index < kSystemColors.size() ? kSystemColors[index] : 0xff000000;
    }
    // 0x00BBGGRR; palette-index forms use the same low three bytes.
    return qRgb(int(bits & 0xffu), int((bits >> 8) & 0xffu), int((bits >> 16) & 0xffu));
}

int screenPixelsPerInch() {
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return 96;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 96;
    const int dpi = qRound(screen->logicalDotsPerInchY());
    return dpi > 0 ? dpi : 96;
}

} // namespace zot
