#pragma once

// Designs made on the fly for the benchmarks: solid-colour pictures and
// character images, DejaVu for the TrueType lines.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QString>

namespace zot::bench {

inline void writePicture(const QString& path, int width, int height, QRgb top, QRgb bottom) {
    Bitmap b = Bitmap::create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, y < height / 2 ? top : bottom);
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeBmpFile(b, path);
}

inline void writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
}

// 40 character images w x h, a-z, 0-9 and a few more, each with a letter drawn in.
inline void writeCharacters(const QString& folder, int w, int h) {
    QDir().mkpath(folder);
    const QString chars = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789 .-&");
    for (QChar c : chars) {
        if (c == u'.')
            continue;
        Bitmap b = Bitmap::create(w, h, 24);
        b.fill(0xffffffff);
        b.paint([&](QPainter& p) {
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(h * 3 / 4);
            p.setFont(f);
            p.setPen(QColor(0x20, 0x40, 0xa0));
            p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QString(c).toUpper());
        });
        writeBmpFile(b, folder + u'/' + c + QStringLiteral(".bmp"));
    }
}

// The keystroke design: 600 x 100, two TrueType lines and one image-font
// line, mode center.
inline void makeTypicalDesign(const QString& folder) {
    writePicture(folder + "/bg.bmp", 600, 100, 0xff203050, 0xff102030);
    writePicture(folder + "/center.bmp", 24, 100, 0xff304060, 0xff203040);
    writePicture(folder + "/left.bmp", 12, 100, 0xff000000, 0xff000000);
    writePicture(folder + "/right.bmp", 12, 100, 0xff000000, 0xff000000);
    writeCharacters(folder + "/chars", 20, 32);
    writeText(folder + "/script.zot",
              "name=Typical\nbackgroundImage=bg.bmp\nbackgroundExtraCenter=center.bmp\n"
              "backgroundExtraLeft=left.bmp\nbackgroundExtraRight=right.bmp\n"
              "backgroundExtraExpandFrom=center\nbackgroundExtraMarge=10\n"
              "ttfFont\nname=DejaVu Sans\nsize=28\nbold\ncolor=$00FFFF\nxpos=center\n"
              "align=center\nypos=4\ndefault=ACME Tools & Things\nttfFontEnd\n"
              "ttfFont\nname=DejaVu Sans\nsize=12\ncolor=$FFFFFF\nxpos=center\n"
              "align=center\nypos=44\ndefault=www.acme.example/shop\nttfFontEnd\n"
              "imgFont\nname=chars\nxpos=center\nypos=64\ntransparent\n"
              "default=since 1999 - quality\nimgFontEnd\n");
}

// Batch design with two TrueType lines on a 480 x 96 background.
inline void makeTwoLineDesign(const QString& folder) {
    writePicture(folder + "/bg.bmp", 480, 96, 0xfff0f0f0, 0xffd0d0e0);
    writeText(folder + "/script.zot",
              "backgroundImage=bg.bmp\n"
              "ttfFont\nname=DejaVu Sans\nsize=28\nbold\ncolor=$800000\nxpos=center\n"
              "align=center\nypos=10\nttfFontEnd\n"
              "ttfFont\nname=DejaVu Sans\nsize=12\ncolor=$404040\nxpos=center\n"
              "align=center\nypos=60\nttfFontEnd\n");
}

// Batch design with one image-font line of 20 x 32 characters.
inline void makeImageLineDesign(const QString& folder) {
    writePicture(folder + "/bg.bmp", 480, 48, 0xffffffff, 0xffe0e0ff);
    writeCharacters(folder + "/chars", 20, 32);
    writeText(folder + "/script.zot",
              "backgroundImage=bg.bmp\n"
              "imgFont\nname=chars\nxpos=center\nypos=8\ntransparent\nimgFontEnd\n");
}

// The same line spread over 400 pixels (align fill): each logo's spacing
// comes from its text, so every part of a batch must plan every line.
inline void makeFillLineDesign(const QString& folder) {
    writePicture(folder + "/bg.bmp", 480, 48, 0xffffffff, 0xffe0e0ff);
    writeCharacters(folder + "/chars", 20, 32);
    writeText(folder + "/script.zot",
              "backgroundImage=bg.bmp\n"
              "imgFont\nname=chars\nxpos=40\nypos=8\nalign=fill\nwidth=400\ntransparent\n"
              "imgFontEnd\n");
}

} // namespace zot::bench
