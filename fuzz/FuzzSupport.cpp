#include "FuzzSupport.h"

#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"
#include "platform/NativeFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zot::fuzz {

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

QImage stripes(int width, int height, QRgb a, QRgb b) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x / 3 + y) % 2 ? a : b);
    return image;
}

void writeBmp(const QString& path, int width, int height, int bpp, QRgb colour) {
    Bitmap b = Bitmap::create(width, height, bpp);
    b.fill(colour);
    b.setPixel(0, height - 1, 0xffffffff);
    writeFile(path, encodeBmp(b));
}

// A 2 x 2 GIF: two-colour table, every pixel entry 0.
QByteArray smallGif() {
    const uchar gif[] = {'G', 'I',  'F', '8', '9', 'a', 2,    0,    2,    0, 0x80, 0,
                         0,   0xff, 0,   0,   0,   0,   0xff, 0x2c, 0,    0, 0,    0,
                         2,   0,    2,   0,   0,   2,   2,    0x84, 0x51, 0, 0x3b};
    return QByteArray(reinterpret_cast<const char*>(gif), sizeof gif);
}

} // namespace

void initQt() {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zot-fuzz";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

QString scratchFolder() {
    // Made and removed by its bytes: the fixture holds names that are not
    // UTF-8, which QTemporaryDir would leave behind.
    static const struct Scratch {
        QByteArray path = QFile::encodeName(QDir::tempPath()) + "/zot-fuzz-XXXXXX";
        Scratch() {
            if (!::mkdtemp(path.data()))
                std::abort();
        }
        ~Scratch() { removeNativeTree(path); }
    } scratch;
    return QFile::decodeName(scratch.path);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void writeRawFile(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    (void)written;
    ::close(fd);
}

QString fixtureProgramFolder() {
    static const QString folder = [] {
        initQt();
        const QString program = scratchFolder() + QStringLiteral("/program");
        const QString d = program + QStringLiteral("/D/");
        QDir().mkpath(d + QStringLiteral("chars"));
        QDir().mkpath(d + QStringLiteral("odd"));
        writeBmp(d + QStringLiteral("bg.bmp"), 60, 20, 24, 0xff2040c0);
        writeBmp(d + QStringLiteral("l.bmp"), 7, 20, 8, 0xffc02020);
        writeBmp(d + QStringLiteral("c.bmp"), 9, 20, 4, 0xff20c020);
        writeBmp(d + QStringLiteral("r.bmp"), 5, 20, 1, 0xff000000);
        writeBmp(d + QStringLiteral("w565.bmp"), 6, 20, 16, 0xff808080);
        writeFile(d + QStringLiteral("bg.png"),
                  encoded(stripes(50, 16, 0xffffff00, 0xff0000ff), "png"));
        writeFile(d + QStringLiteral("bg.jpg"),
                  encoded(stripes(40, 16, 0xff00ffff, 0xffff00ff), "jpeg"));
        writeFile(d + QStringLiteral("piece.gif"), smallGif());
        writeBmp(d + QStringLiteral("chars/a.bmp"), 5, 12, 24, 0xff102030);
        writeBmp(d + QStringLiteral("chars/b.bmp"), 6, 12, 8, 0xff304050);
        writeBmp(d + QStringLiteral("chars/1.bmp"), 4, 12, 1, 0xff000000);
        writeFile(d + QStringLiteral("chars/ .png"), encoded(stripes(3, 12, 0xffffffff, 0), "png"));
        writeFile(d + QStringLiteral("chars/\U0001F600.png"),
                  encoded(stripes(8, 12, 0xffff0000, 0), "png"));
        writeFile(d + QStringLiteral("odd/noname"), encoded(stripes(4, 4, 0, 0), "png"));
        writeFile(d + QStringLiteral("odd/x.jpg"), encoded(stripes(4, 30, 0xff00ff00, 0), "jpeg"));
        writeFile(d + QStringLiteral("odd/notapicture.bmp"), "BMnot a picture");
        // A character folder unpacked from a Windows archive: "ü/è.bmp".
        const QByteArray raw = QFile::encodeName(d);
        ::mkdir((raw + "\xfc").constData(), 0755);
        Bitmap e = Bitmap::create(5, 12, 24);
        e.fill(0xff808000);
        writeRawFile(raw + "\xfc/\xe8.bmp", encodeBmp(e));
        QFile font(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
        if (font.open(QIODevice::ReadOnly))
            writeFile(d + QStringLiteral("font.ttf"), font.readAll());
        return program;
    }();
    return folder;
}

} // namespace zot::fuzz
