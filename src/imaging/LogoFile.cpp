#include "imaging/LogoFile.h"

#include "imaging/BmpCodec.h"
#include "imaging/PngCodec.h"
#include "platform/FileWriting.h"

namespace zot {

std::optional<LogoFormat> logoFormatFromName(const QString& name) {
    if (name == u"bmp")
        return LogoFormat::Bmp;
    if (name == u"png")
        return LogoFormat::Png;
    return std::nullopt;
}

void encodeLogo(const Bitmap& logo, LogoFormat format, QByteArray& out) {
    if (format == LogoFormat::Bmp)
        encodeBmpInto(logo, out);
    else
        encodePngInto(logo, out); // an empty logo gives an empty file
}

void writeLogoFile(const Bitmap& logo, const QString& path, LogoFormat format) {
    writeLogoFile(logo, QImage(), path, format);
}

void encodeLogo(const Bitmap& logo, const QImage& alphaLogo, LogoFormat format, QByteArray& out) {
    if (format != LogoFormat::Png || alphaLogo.isNull()) {
        encodeLogo(logo, format, out);
        return;
    }
    // RGBA, the colours unpremultiplied.
    encodePngInto(alphaLogo, out);
}

void writeLogoFile(const Bitmap& logo, const QImage& alphaLogo, const QString& path,
                   LogoFormat format) {
    QByteArray bytes;
    encodeLogo(logo, alphaLogo, format, bytes);
    writeFileReplacing(path, bytes);
}

} // namespace zot
