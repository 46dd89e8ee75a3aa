#pragma once

#include <QPixmap>

namespace zot {

enum class ToolbarGlyph { Save, Copy, Wallpaper };

// The 16 x 16 pictures of the editor's toolbar buttons, drawn here so the
// program ships no image files: a diskette, two pages and a monitor showing a
// picture. Disabled ones are a grey outline with a light shadow.
QPixmap toolbarGlyph(ToolbarGlyph glyph, bool enabled);

} // namespace zot
