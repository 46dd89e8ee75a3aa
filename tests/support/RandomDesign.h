#pragma once

// Random designs for the batch's differential tests: both font kinds, fill,
// centring and every expand mode, with pictures of random pixels.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>
#include <random>

namespace zot::test {

// Thousands of small files: in memory where the machine has a RAM folder,
// so the run is not bound by the disk.
inline QString scratchTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm/zot-test-XXXXXX")
                                           : QDir::tempPath() + QStringLiteral("/zot-test-XXXXXX");
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class RandomDesign {
  public:
    RandomDesign(const QString& folder, std::mt19937& random) : folder_(folder), random_(random) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    void picture(const QString& name, int width, int height) {
        const int bpp = chance(30) ? 8 : 24;
        Bitmap bitmap = Bitmap::create(
            width, height, bpp,
            bpp == 8 ? QList<QRgb>{0xff000000, 0xffffffff, 0xffff0000, 0xff00ff00, 0xff0000ff}
                     : QList<QRgb>{});
        const QRgb colours[] = {0xff000000, 0xffffffff, 0xffff0000, 0xff00ff00, 0xff0000ff};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.setPixel(x, y, colours[pick(0, 4)]);
        QDir().mkpath(QFileInfo(folder_ + name).absolutePath());
        writeBmpFile(bitmap, folder_ + name);
    }

    // A script with both font kinds, fill, centring and one of the modes.
    QByteArray make() {
        QByteArray script;
        picture("bg.bmp", pick(10, 50), pick(8, 24));
        script += "backgroundImage=bg.bmp\n";
        static const char* const modes[] = {nullptr, "center", "leftright",
                                            "left",  "right",  "character"};
        if (const char* mode = modes[pick(0, 5)])
            script += QByteArray("backgroundExtraExpandFrom=") + mode + "\n";
        for (const char* piece : {"Left", "Center", "Right"}) {
            if (chance(80)) {
                const QByteArray name = QByteArray(piece).toLower() + ".bmp";
                picture(QString::fromLatin1(name), pick(1, 12), pick(4, 24));
                script += QByteArray("backgroundExtra") + piece + "=" + name + "\n";
            }
        }
        script += "backgroundExtraMarge=" + QByteArray::number(pick(-4, 8)) + "\n";
        const int fonts = pick(1, 3);
        for (int f = 0; f < fonts; ++f)
            script += chance(60) ? imageFont(f) : trueTypeFont();
        return script;
    }

  private:
    QByteArray imageFont(int f) {
        const QString chars = QStringLiteral("chars%1/").arg(f);
        for (const char* c : {"a", "b", "c", " "}) {
            if (chance(85))
                picture(chars + QString::fromLatin1(c) + ".bmp", pick(0, 6), pick(3, 10));
        }
        QByteArray section = "imgFont\nname=chars" + QByteArray::number(f) + "\n";
        static const char* const aligns[] = {"", "center", "left", "right", "fill", "fill"};
        const QByteArray align = aligns[pick(0, 5)];
        if (!align.isEmpty())
            section += "align=" + align + "\n";
        if (align == "fill" || chance(30))
            section += "width=" + QByteArray::number(pick(0, 40)) + "\n";
        section += "charspace=" + QByteArray::number(pick(-2, 4)) + "\n";
        section += "space=" + QByteArray::number(pick(0, 3)) + "\n";
        section += chance(40) ? QByteArray("xpos=center\n")
                              : "xpos=" + QByteArray::number(pick(-5, 20)) + "\n";
        section += "ypos=" + QByteArray::number(pick(-2, 10)) + "\n";
        if (chance(50))
            section += "transparent\n";
        section += "default=ab\nimgFontEnd\n";
        return section;
    }

    QByteArray trueTypeFont() {
        QByteArray section =
            "ttfFont\nname=DejaVu Sans\nsize=" + QByteArray::number(pick(5, 9)) + "\n";
        static const char* const aligns[] = {"left", "center", "right"};
        section += QByteArray("align=") + aligns[pick(0, 2)] + "\n";
        if (chance(30))
            section += "spaced\n";
        section += chance(40) ? QByteArray("xpos=center\n")
                              : "xpos=" + QByteArray::number(pick(-5, 30)) + "\n";
        section += "ypos=" + QByteArray::number(pick(-3, 8)) +
                   "\ncolor=" + QByteArray::number(pick(0, 0xffffff)) +
                   "\ndefault=ab\nttfFontEnd\n";
        return section;
    }

    QString folder_;
    std::mt19937& random_;
};

inline QString randomText(RandomDesign& design) {
    static const char alphabet[] = "abcA d";
    QString text;
    for (int n = design.pick(0, 5); n > 0; --n)
        text += QLatin1Char(alphabet[design.pick(0, 5)]);
    return text;
}

} // namespace zot::test
