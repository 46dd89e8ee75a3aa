#pragma once

#include "designs/DesignFolders.h"
#include "designs/Thumbnails.h"

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

namespace zot {

// A catalogue button's internal name: the folder name with " " as "_".
QString menuButtonName(const QString& folderName);

// A button caption that shows the name as written ("&" is not a shortcut).
QString literalButtonText(const QString& text);

// The strip's arrows: black triangles, 6 x 19, on a see-through ground; grey
// ones for the disabled look.
QPixmap arrowGlyph(Qt::ArrowType direction, bool enabled = true);

} // namespace zot
