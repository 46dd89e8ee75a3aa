#pragma once

#include "imaging/Bitmap.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace zot {

// The file formats a logo can be written in. The desktop program always
// writes BMP; the command-line tool may also write PNG, with the same pixels.
enum class LogoFormat { Bmp, Png };

// "bmp" or "png" (as a user types them), or nothing.
std::optional<LogoFormat> logoFormatFromName(const QString& name);

// The logo as a file of that format, into out (its memory is reused).
void encodeLogo(const Bitmap& logo, LogoFormat format, QByteArray& out);

// Writes the logo to path, replacing an existing file. Throws
// Error::cannotCreateFile(path) when the file cannot be written.
void writeLogoFile(const Bitmap& logo, const QString& path, LogoFormat format = LogoFormat::Bmp);

// The same for a logo that may have a picture with alpha beside it (null when
// it has none, else QImage::Format_ARGB32_Premultiplied): PNG keeps the alpha,
// BMP always holds the opaque logo.
void encodeLogo(const Bitmap& logo, const QImage& alphaLogo, LogoFormat format, QByteArray& out);
void writeLogoFile(const Bitmap& logo, const QImage& alphaLogo, const QString& path,
                   LogoFormat format);

} // namespace zot
