// Designs in the sizes web pages use: an 88 x 31 button, a 468 x 60 forum
// signature and a 728 x 90 leaderboard banner.

#include "Compose.h"
#include "Designs.h"
#include "Kit.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace mk {

namespace {

// Fills the outline of text in a font file (not the font setup), so that
// pictures look the same on every machine.
void fillText(QPainter& p, const QString& fontFile, qreal px, const QString& text, QPointF at,
              const QBrush& brush) {
    const QRawFont font = loadFont(dejaVu(fontFile), px);
    qreal x = at.x();
    for (QChar ch : text) {
        const Glyph g = glyphOf(font, ch);
        p.fillPath(g.path.translated(x, at.y()), brush);
        x += g.advance;
    }
}

qreal textWidth(const QString& fontFile, qreal px, const QString& text) {
    const QRawFont font = loadFont(dejaVu(fontFile), px);
    qreal w = 0;
    for (QChar ch : text)
        w += glyphOf(font, ch).advance;
    return w;
}

} // namespace

// ---------------------------------------------------------------- Web Button
void makeWebButton(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Web Button");
    const QString dir = designDir(root, name);
    const int W = 88, H = 31, icon = 27;

    QImage background(W, H, QImage::Format_RGB32);
    {
        QPainter p(&background);
        QLinearGradient face(0, 0, 0, H);
        face.setColorAt(0.0, QColor(0x3a, 0x4a, 0x6a));
        face.setColorAt(1.0, QColor(0x14, 0x1c, 0x30));
        p.fillRect(0, 0, W, H, face);
        // Classic bevel: light top-left, dark bottom-right, a black rim.
        p.setPen(QColor(0x9a, 0xae, 0xd6));
        p.drawLine(1, 1, W - 2, 1);
        p.drawLine(1, 1, 1, H - 2);
        p.setPen(QColor(0x08, 0x0c, 0x18));
        p.drawLine(1, H - 2, W - 2, H - 2);
        p.drawLine(W - 2, 1, W - 2, H - 2);
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, W - 1, H - 1);
        // The icon square: an orange field with a white lightning bolt.
        QLinearGradient square(0, 2, 0, 2 + icon);
        square.setColorAt(0.0, QColor(0xff, 0xb0, 0x3a));
        square.setColorAt(1.0, QColor(0xe0, 0x58, 0x10));
        p.fillRect(2, 2, icon, icon, square);
        p.setPen(QColor(0x08, 0x0c, 0x18));
        p.drawLine(2 + icon, 2, 2 + icon, H - 3);
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath bolt;
        bolt.moveTo(18, 5);
        bolt.lineTo(9, 17);
        bolt.lineTo(15, 17);
        bolt.lineTo(12, 27);
        bolt.lineTo(22, 13);
        bolt.lineTo(16, 13);
        bolt.closeSubpath();
        p.fillPath(bolt.translated(0.5, 0), QColor(0x60, 0x20, 0x00));
        p.fillPath(bolt, Qt::white);
    }
    writeBmp24(background, dir + QStringLiteral("/button.bmp"));

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Web Button: a classic 88 x 31 button for a web page.
# No expand mode: the button keeps its size, and longer words get smaller
# to fit the 54 pixels right of the icon.
name = "Web Button"

backgroundImage = button.bmp

ttfFont
  name = DejaVu Sans
  label = "Small line"
  default = "made with"
  size = 6
  color = $F0D8B0        # pale blue
  xpos = 59              # the middle of the space right of the icon
  align = center
  ypos = 4
  fitWidth = 54          # longer texts step down in size...
  minSize = 3            # ...as far as 3 points
ttfFontEnd

ttfFont
  name = DejaVu Sans Mono
  label = "Big line"
  default = "ZOTMAKER"
  size = 7
  bold
  color = $40C8FF        # orange: red FF, green C8, blue 40
  shadowX = 1            # a hard shadow one pixel down and right
  shadowY = 1
  shadowColor = $200800
  xpos = 59
  align = center
  ypos = 15
  fitWidth = 54
  minSize = 3
ttfFontEnd
)");

    const QImage logo = programLogo(root, name);
    writePreview(previewDir, name, logo);
    // The button at its own size: the strip shows it as it is, bar its rims.
    writeThumbnail(logo.copy(0, 3, W, 24), dir + QStringLiteral("/thumbnail.bmp"));
}

// ---------------------------------------------------------------- Forum Signature
void makeForumSignature(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Forum Signature");
    const QString dir = designDir(root, name);
    // The logo is 468 x 60 while the texts fit 388 pixels: margins of 40.
    const int H = 60, bw = 388, period = 20, emblem = 60;

    auto paper = [&](int x, int y) {
        Rgb c = gradient({{0.0f, hex(0xfbf8f1)}, {1.0f, hex(0xe9e2d4)}}, y / float(H - 1));
        if ((x + y) % period == 0)
            c = scale(c, 0.965f);
        if (y >= H - 4 && y < H - 2)
            c = hex(0xb8413c); // the accent rule
        if (y == 0 || y == H - 1)
            c = hex(0xc9bfae);
        return c;
    };
    const QImage tile = imageFrom(period, H, paper);
    QImage badge = imageFrom(emblem, H, paper);
    {
        // A ringed planet in a round badge.
        QPainter p(&badge);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QPointF c(29, 28);
        QRadialGradient night(c + QPointF(-6, -8), 30);
        night.setColorAt(0.0, QColor(0x3a, 0x4a, 0x8a));
        night.setColorAt(1.0, QColor(0x10, 0x16, 0x38));
        p.setPen(QPen(QColor(0xb8, 0x41, 0x3c), 2));
        p.setBrush(night);
        p.drawEllipse(c, 23, 23);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xf4, 0xd0));
        for (const QPointF star :
             {QPointF(16, 18), QPointF(40, 14), QPointF(43, 38), QPointF(20, 40)})
            p.drawEllipse(star, 0.9, 0.9);
        QRadialGradient planet(c + QPointF(-3, -4), 12);
        planet.setColorAt(0.0, QColor(0xff, 0xd8, 0x8a));
        planet.setColorAt(1.0, QColor(0xc0, 0x6a, 0x2a));
        p.save();
        p.translate(c);
        p.rotate(-20);
        p.setPen(QPen(QColor(0xf0, 0xe0, 0xc0), 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-17, -5, 34, 10), 180 * 16, 180 * 16); // ring behind
        p.setPen(Qt::NoPen);
        p.setBrush(planet);
        p.drawEllipse(QPointF(0, 0), 9, 9);
        p.setPen(QPen(QColor(0xf0, 0xe0, 0xc0), 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-17, -5, 34, 10), 180 * 16, -180 * 16); // ring in front
        p.restore();
    }
    QImage background = imageFrom(bw, H, paper);
    {
        QPainter p(&background);
        p.drawImage(0, 0, badge);
    }
    writePng(background, dir + QStringLiteral("/paper.png"));
    writePng(tile, dir + QStringLiteral("/hatch.png"));
    writePng(badge, dir + QStringLiteral("/badge.png"));

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Forum Signature: a 468 x 60 signature for a forum or an e-mail.
name = "Forum Signature"

backgroundImage = paper.png          # 388 wide; the margins make it 468
backgroundExtraRight = hatch.png     # repeated across the width
backgroundExtraLeft = badge.png      # drawn once at the left edge
backgroundExtraExpandFrom = right
backgroundExtraMarge = 40            # room for the badge left of the texts

ttfFont
  name = DejaVu Serif
  label = "Name"
  default = "Alex Morgan"
  size = 16
  bold
  italic
  color = $4A2A1C        # dark navy: red 1C, green 2A, blue 4A
  xpos = 70
  ypos = 4
ttfFontEnd

ttfFont
  name = DejaVu Sans
  label = "About you"
  default = "moderator - stargazers' forum - since 2009"
  size = 8
  color = $5A5A5A
  xpos = 71
  ypos = 35
ttfFontEnd
)");

    const QImage logo = programLogo(root, name);
    writePreview(previewDir, name, logo);
    QImage thumb = logo.copy(0, 0, 240, H);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

// ---------------------------------------------------------------- Sale Leaderboard
void makeSaleLeaderboard(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Sale Leaderboard");
    const QString dir = designDir(root, name);
    // 728 x 90 with margins of 20 each side.
    const int H = 90, bw = 688, piece = 16;

    auto band = [&](int, int y) {
        Rgb c = gradient({{0.0f, hex(0xff3d6e)}, {0.55f, hex(0xff5a52)}, {1.0f, hex(0xff8a3d)}},
                         y / float(H - 1));
        if (y == 5 || y == H - 6)
            c = mix(c, hex(0xffffff), 0.85f);
        if (y == 7 || y == H - 8)
            c = mix(c, hex(0xffffff), 0.45f);
        return c;
    };
    const QImage tile = imageFrom(piece, H, band);
    QImage background = imageFrom(bw, H, band);
    {
        QPainter p(&background);
        p.setRenderHint(QPainter::Antialiasing, true);
        // Confetti at both ends of the picture, away from the texts.
        for (int i = 0; i < 70; ++i) {
            const bool right = i % 2;
            const double x = (right ? bw - 150 : 20) + noise(i, 1, 301) * 130;
            const double y = 12 + noise(i, 2, 301) * (H - 24);
            const QColor colours[] = {QColor(0xff, 0xf0, 0x6a), QColor(0xff, 0xff, 0xff),
                                      QColor(0x5a, 0xe0, 0xd8), QColor(0x8a, 0x2a, 0xd0)};
            p.save();
            p.translate(x, y);
            p.rotate(noise(i, 3, 301) * 180);
            p.fillRect(QRectF(-3, -1.2, 6, 2.4), colours[i % 4]);
            p.restore();
        }
        // A yellow starburst with the percent sign on the left.
        QPainterPath star;
        const QPointF c(78, H / 2.0);
        for (int i = 0; i < 32; ++i) {
            const double r = i % 2 ? 30 : 38;
            const double a = i * M_PI / 16;
            const QPointF pt = c + QPointF(r * std::cos(a), r * std::sin(a));
            i == 0 ? star.moveTo(pt) : star.lineTo(pt);
        }
        star.closeSubpath();
        p.fillPath(star.translated(2, 3), QColor(0x9a, 0x1a, 0x3a, 150));
        p.fillPath(star, QColor(0xff, 0xe0, 0x3a));
        const QString pct = QStringLiteral("%");
        const qreal w = textWidth(QStringLiteral("DejaVuSans-Bold.ttf"), 40, pct);
        fillText(p, QStringLiteral("DejaVuSans-Bold.ttf"), 40, pct, c + QPointF(-w / 2, 14),
                 QColor(0xd0, 0x20, 0x4a));
        // A "shop now" button on the right.
        const QRectF button(bw - 138, 28, 110, 34);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x9a, 0x1a, 0x3a, 150));
        p.drawRoundedRect(button.translated(2, 3), 17, 17);
        p.setBrush(Qt::white);
        p.drawRoundedRect(button, 17, 17);
        const QString shop = QStringLiteral("SHOP NOW");
        const qreal sw = textWidth(QStringLiteral("DejaVuSans-Bold.ttf"), 14, shop);
        fillText(p, QStringLiteral("DejaVuSans-Bold.ttf"), 14, shop,
                 QPointF(button.center().x() - sw / 2, button.center().y() + 5),
                 QColor(0xe0, 0x30, 0x5a));
    }
    writePng(background, dir + QStringLiteral("/banner.png"));
    writePng(tile, dir + QStringLiteral("/band-left.png"));
    writePng(tile, dir + QStringLiteral("/band-right.png"));

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Sale Leaderboard: a 728 x 90 web banner for a sale.
name = "Sale Leaderboard"

backgroundImage = banner.png          # 688 wide; the margins make it 728
backgroundExtraLeft = band-left.png   # the plain band, repeated leftwards
backgroundExtraRight = band-right.png # and rightwards; the banner stays whole
backgroundExtraExpandFrom = leftright
backgroundExtraMarge = 20

ttfFont
  name = DejaVu Sans
  label = "Headline"
  default = "SUMMER SALE"
  size = 30
  bold
  color = $FFFFFF
  outline = 2            # a dark rim round the letters
  outlineColor = $5A1A9A
  shadowX = 3            # and a soft shadow under them
  shadowY = 3
  shadowBlur = 4
  shadowColor = $3A104A
  xpos = center
  align = center
  ypos = 6
  fitWidth = 400         # long headlines shrink between the star and the button
ttfFontEnd

ttfFont
  name = DejaVu Sans
  label = "Details"
  default = "up to 50% off everything - ends sunday"
  size = 11
  bold
  tracking = 1
  color = $6AF0FF        # pale yellow: red FF, green F0, blue 6A
  xpos = center
  align = center
  ypos = 58
  fitWidth = 400
  minSize = 7
ttfFontEnd
)");

    const QImage logo = programLogo(root, name);
    writePreview(previewDir, name, logo);
    writeThumbnail(logo.copy((logo.width() - 360) / 2, 0, 360, H),
                   dir + QStringLiteral("/thumbnail.bmp"));
}

} // namespace mk
