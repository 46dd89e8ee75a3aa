// World Greetings: "welcome" on an airmail card in English, Arabic, Hebrew
// and Chinese. The design ships the fonts of the three scripts, cut down to
// the characters a greeting needs, so that it looks the same everywhere.

#include "Compose.h"
#include "Designs.h"
#include "Kit.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mk {

namespace {

// pyftsubset (Debian package fonttools) keeps the font's name, licence and
// time stamps, so the cut-down font is the same on every run.
void subsetFont(const QString& from, const QString& to, const QStringList& options) {
    if (!QFile::exists(from)) {
        std::fprintf(stderr, "make-designs: %s is missing (see tools/install-deps.sh)\n",
                     qPrintable(from));
        std::exit(1);
    }
    QStringList args{from, QStringLiteral("--output-file=") + to,
                     QStringLiteral("--layout-features=*")};
    args += options;
    QProcess tool;
    tool.start(QStringLiteral("pyftsubset"), args);
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        std::fprintf(stderr, "make-designs: pyftsubset (package fonttools) failed on %s: %s\n",
                     qPrintable(from), tool.readAllStandardError().constData());
        std::exit(1);
    }
}

// Marks a TrueType file's embedding as installable (OS/2 fsType 0) and puts
// the table and file checksums right. WenQuanYi Micro Hei comes marked
// "editable embedding" although its licences allow any use; the design folder
// installs it, and the Debian package tools warn of such a mark.
void markInstallable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "make-designs: cannot open %s\n", qPrintable(path));
        std::exit(1);
    }
    QByteArray font = file.readAll();
    auto u16 = [&](qsizetype at) { return (quint8(font[at]) << 8) | quint8(font[at + 1]); };
    auto u32 = [&](qsizetype at) { return (quint32(u16(at)) << 16) | quint32(u16(at + 2)); };
    auto put32 = [&](qsizetype at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            font[at + i] = char((v >> (24 - 8 * i)) & 0xff);
    };
    auto checksum = [&](qsizetype from, qsizetype length) {
        quint32 sum = 0;
        for (qsizetype at = from; at < from + length; at += 4) {
            quint32 word = 0;
            for (int i = 0; i < 4; ++i)
                word = (word << 8) | (at + i < font.size() ? quint8(font[at + i]) : 0);
            sum += word;
        }
        return sum;
    };
    const int tables = font.size() >= 12 ? u16(4) : 0;
    qsizetype os2 = -1, os2Record = -1, head = -1;
    for (int t = 0; t < tables && 12 + 16 * t + 16 <= font.size(); ++t) {
        const qsizetype record = 12 + 16 * t;
        const QByteArray tag = font.mid(record, 4);
        if (tag == "OS/2") {
            os2 = u32(record + 8);
            os2Record = record;
        } else if (tag == "head") {
            head = u32(record + 8);
        }
    }
    if (os2 < 0 || head < 0 || os2 + 10 > font.size() || head + 12 > font.size()) {
        std::fprintf(stderr, "make-designs: %s has no OS/2 or head table\n", qPrintable(path));
        std::exit(1);
    }
    font[os2 + 8] = 0;
    font[os2 + 9] = 0;
    put32(os2Record + 4, checksum(os2, u32(os2Record + 12)));
    put32(head + 8, 0);
    put32(head + 8, 0xB1B0AFBAu - checksum(0, font.size()));
    file.seek(0);
    if (file.write(font) != font.size()) {
        std::fprintf(stderr, "make-designs: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

} // namespace

void makeWorldGreetings(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("World Greetings");
    const QString dir = designDir(root, name);
    const int H = 190, bw = 360, cw = 32, cap = 84, border = 12;

    const QString noto = QStringLiteral("/usr/share/fonts/truetype/noto/");
    subsetFont(noto + QStringLiteral("NotoSansArabic-Regular.ttf"),
               dir + QStringLiteral("/NotoSansArabic-Subset.ttf"),
               {QStringLiteral("--unicodes=U+0020,U+0021,U+002D,U+0600-06FF,U+200C-200F")});
    subsetFont(noto + QStringLiteral("NotoSansHebrew-Regular.ttf"),
               dir + QStringLiteral("/NotoSansHebrew-Subset.ttf"),
               {QStringLiteral("--unicodes=U+0020,U+0021,U+002D,U+0590-05FF,U+FB1D-FB4F")});
    subsetFont(
        QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"),
        dir + QStringLiteral("/WenQuanYiMicroHei-Subset.ttf"),
        {QStringLiteral("--font-number=0"),
         QStringLiteral("--unicodes=U+0020,U+3000-303F,U+3040-30FF,U+FF01-FF5E"),
         QStringLiteral("--text=欢迎光临歡迎光臨你好您谢谢謝再见見朋友世界大家早上晚安新年快乐樂"
                        "生日中国國日本ようこそ")});
    markInstallable(dir + QStringLiteral("/WenQuanYiMicroHei-Subset.ttf"));
    copyFile(QStringLiteral("/usr/share/doc/fonts-noto-core/copyright"),
             dir + QStringLiteral("/LICENSE-Noto.txt"));
    copyFile(QStringLiteral("/usr/share/doc/fonts-wqy-microhei/copyright"),
             dir + QStringLiteral("/LICENSE-WenQuanYi.txt"));
    writeText(dir + QStringLiteral("/FONTS.txt"),
              R"(The three font files of this design are cut-down copies of free fonts from
Debian 12, made by tools/make-designs with pyftsubset (package fonttools):

NotoSansArabic-Subset.ttf     Noto Sans Arabic, package fonts-noto-core,
                              the Arabic block U+0600-06FF
NotoSansHebrew-Subset.ttf     Noto Sans Hebrew, package fonts-noto-core,
                              the Hebrew block U+0590-05FF and U+FB1D-FB4F
WenQuanYiMicroHei-Subset.ttf  WenQuanYi Micro Hei, package fonts-wqy-microhei,
                              kana, CJK punctuation, full-width forms and the
                              Chinese characters of a few greetings

Subsetting removed every other character. The WenQuanYi file is also marked
installable (OS/2 fsType 0) instead of "editable embedding", as its licences
allow; nothing else was changed. The licences: LICENSE-Noto.txt (SIL Open Font License 1.1) and
LICENSE-WenQuanYi.txt (Apache 2.0, or GPL 3 or later with the font exception).
)");

    // Airmail: red and blue stripes along both edges of a cream card.
    auto stripe = [&](int x, int y) {
        const int k = ((x + y) % cw + cw) % cw;
        if (k < 10)
            return hex(0xc8202e);
        if (k >= 16 && k < 26)
            return hex(0x1f3a93);
        return hex(0xf8f2e2);
    };
    auto card = [&](int x, int y) {
        if (y < border || y >= H - border)
            return stripe(x, y);
        Rgb c = gradient({{0.0f, hex(0xfbf5e6)}, {1.0f, hex(0xefe4c8)}}, y / float(H - 1));
        if (y == border || y == H - border - 1)
            c = scale(c, 0.9f);
        return scale(c, 0.985f + 0.015f * noise(x % cw, y, 401));
    };
    const QImage center = imageFrom(cw, H, card);
    auto capPiece = [&](bool left) {
        QImage img = imageFrom(cap, H, card);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (left) {
            // A round postmark with wavy cancel lines.
            const QPointF c(40, 62);
            p.setPen(QPen(QColor(0x40, 0x40, 0x48, 170), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 25, 25);
            p.drawEllipse(c, 19, 19);
            for (int i = 0; i < 4; ++i) {
                QPainterPath wave;
                const double y = 108 + i * 9;
                wave.moveTo(8, y);
                for (int x = 8; x <= 78; x += 2)
                    wave.lineTo(x, y + 2.5 * std::sin(x * 0.25));
                p.drawPath(wave);
            }
        } else {
            // A postage stamp with a globe.
            const QRectF stamp(14, 22, 56, 66);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x70, 0x60, 0x50, 80));
            p.drawRect(stamp.translated(2, 2));
            p.setBrush(Qt::white);
            p.drawRect(stamp);
            p.setBrush(QColor(0xf8, 0xf2, 0xe2));
            for (double x = stamp.left(); x <= stamp.right(); x += 5.5) {
                p.drawEllipse(QPointF(x, stamp.top()), 1.7, 1.7);
                p.drawEllipse(QPointF(x, stamp.bottom()), 1.7, 1.7);
            }
            for (double y = stamp.top(); y <= stamp.bottom(); y += 5.5) {
                p.drawEllipse(QPointF(stamp.left(), y), 1.7, 1.7);
                p.drawEllipse(QPointF(stamp.right(), y), 1.7, 1.7);
            }
            const QRectF inner = stamp.adjusted(6, 6, -6, -6);
            p.fillRect(inner, QColor(0xe8, 0x8a, 0x3a));
            const QPointF g = inner.center();
            QRadialGradient sea(g + QPointF(-5, -6), 20);
            sea.setColorAt(0.0, QColor(0x6a, 0xb8, 0xf0));
            sea.setColorAt(1.0, QColor(0x1a, 0x4a, 0x9a));
            p.setBrush(sea);
            p.drawEllipse(g, 17, 17);
            p.setPen(QPen(QColor(255, 255, 255, 160), 1));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(g, 8, 17);
            p.drawLine(g + QPointF(-17, 0), g + QPointF(17, 0));
            p.drawLine(g + QPointF(0, -17), g + QPointF(0, 17));
        }
        return img;
    };
    const QImage left = capPiece(true), right = capPiece(false);
    QImage background(bw, H, QImage::Format_RGB32);
    {
        QPainter p(&background);
        for (int x = 0; x < bw; x += cw)
            p.drawImage(x, 0, center);
        p.drawImage(0, 0, left);
        p.drawImage(bw - cap, 0, right);
    }
    writePng(background, dir + QStringLiteral("/card.png"));
    writePng(center, dir + QStringLiteral("/airmail.png"));
    writePng(left, dir + QStringLiteral("/postmark.png"));
    writePng(right, dir + QStringLiteral("/stamp.png"));

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# World Greetings: welcome on an airmail card in four scripts.
# Arabic and Hebrew run right to left and Arabic letters join: no "spaced"
# on those lines. The fonts of the three scripts ship with the design.
name = "World Greetings"

installTempFontResource = NotoSansArabic-Subset.ttf
installTempFontResource = NotoSansHebrew-Subset.ttf
installTempFontResource = WenQuanYiMicroHei-Subset.ttf

backgroundImage = card.png
backgroundExtraCenter = airmail.png   # the card with its striped edges
backgroundExtraLeft = postmark.png    # drawn once at each end
backgroundExtraRight = stamp.png
backgroundExtraExpandFrom = center
backgroundExtraMarge = 84             # keeps the texts clear of both ends

ttfFont
  name = DejaVu Serif
  label = "English"
  default = "WELCOME"
  size = 20
  bold
  spaced
  color = $5A2A1A        # navy
  xpos = center
  align = center
  ypos = 16
ttfFontEnd

ttfFont
  name = Noto Sans Arabic
  label = "Arabic"
  default = "أهلاً وسهلاً"
  size = 17
  color = $3A6A1A        # green: red 1A, green 6A, blue 3A
  xpos = center
  align = center
  ypos = 50
ttfFontEnd

ttfFont
  name = Noto Sans Hebrew
  label = "Hebrew"
  default = "ברוכים הבאים"
  size = 17
  color = $8A401F        # blue
  xpos = center
  align = center
  ypos = 98
ttfFontEnd

ttfFont
  name = WenQuanYi Micro Hei
  label = "Chinese"
  default = "欢迎光临"
  size = 17
  color = $2E20C8        # red
  xpos = center
  align = center
  ypos = 136
ttfFontEnd
)");

    const QImage logo = programLogo(root, name);
    writePreview(previewDir, name, logo);
    // The strip shows the card's middle: the English word and the stripes.
    QImage thumb = logo.copy((logo.width() - 240) / 2, 0, 240, 60);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

} // namespace mk
