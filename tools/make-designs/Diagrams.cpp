// Pictures of the five expand modes for docs/script-language.md. Each shows
// the pieces at their own size and a logo widened to 300 pixels, with every
// copy outlined so the reader can count them.

#include "Designs.h"
#include "Raster.h"

#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <functional>
#include <vector>

namespace mk {

namespace {

constexpr int kH = 36;      // piece height
constexpr int kW = 300;     // logo width in every picture
constexpr int kBw = 110;    // background width
constexpr int kPiece = 30;  // width of the left, centre and right pieces
constexpr int kPitch = 30;  // character pitch used for mode "character"
constexpr int kMargin = 10; // around the drawing

enum class Piece { Background, Left, Center, Right };

struct Placed {
    Piece piece;
    int x;
};

QColor fillOf(Piece p) {
    switch (p) {
    case Piece::Background:
        return QColor(0x9c, 0xc3, 0xe6);
    case Piece::Left:
        return QColor(0x8f, 0xd1, 0x8a);
    case Piece::Center:
        return QColor(0xf5, 0xb0, 0x5b);
    case Piece::Right:
        return QColor(0xc3, 0x9b, 0xe0);
    }
    return Qt::gray;
}

QString letterOf(Piece p) {
    switch (p) {
    case Piece::Background:
        return QStringLiteral("background");
    case Piece::Left:
        return QStringLiteral("L");
    case Piece::Center:
        return QStringLiteral("C");
    case Piece::Right:
        return QStringLiteral("R");
    }
    return {};
}

int widthOf(Piece p) {
    return p == Piece::Background ? kBw : kPiece;
}

void drawPiece(QPainter& p, Piece piece, int x, int y) {
    const QRect r(x, y, widthOf(piece), kH);
    p.fillRect(r, fillOf(piece));
    p.setPen(fillOf(piece).darker(170));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QColor(0x20, 0x20, 0x20));
    p.drawText(r, Qt::AlignCenter, letterOf(piece));
}

// The copies a mode draws, in drawing order, for a logo kW wide.
std::vector<Placed> layout(const QString& mode, bool evenText) {
    std::vector<Placed> out;
    const int W = kW;
    if (mode == QLatin1String("center")) {
        const int n = W / kPiece;
        for (int k = 0; k <= n; ++k)
            out.push_back({Piece::Center, (W - kPiece) / 2 + (k - n / 2) * kPiece});
        out.push_back({Piece::Left, 0});
        out.push_back({Piece::Right, W - kPiece});
    } else if (mode == QLatin1String("character")) {
        const int n = W / kPiece;
        const int shift = evenText ? kPitch / 2 : 0;
        for (int k = 1; k <= n; ++k)
            out.push_back({Piece::Center, (W - kPiece) / 2 + (k - n / 2) * kPiece - shift});
        out.push_back({Piece::Left, 0});
        out.push_back({Piece::Right, W - kPiece});
    } else if (mode == QLatin1String("leftright")) {
        const int h = (W - kBw) / 2;
        for (int k = 1; k <= h / kPiece; ++k)
            out.push_back({Piece::Left, k * kPiece});
        for (int k = 1; k <= h / kPiece + 1; ++k)
            out.push_back({Piece::Right, W - k * kPiece});
        out.push_back({Piece::Background, h});
    } else if (mode == QLatin1String("left")) {
        for (int k = 1; k <= W / kPiece; ++k)
            out.push_back({Piece::Left, k * kPiece});
        out.push_back({Piece::Center, (W - kPiece) / 2});
    } else if (mode == QLatin1String("right")) {
        for (int k = 1; k <= W / kPiece; ++k)
            out.push_back({Piece::Right, k * kPiece});
        out.push_back({Piece::Left, 0});
        out.push_back({Piece::Center, (W - kPiece) / 2});
    }
    return out;
}

void makeOne(const QString& dir, const QString& mode, const std::vector<Piece>& pieces,
             const QString& note, bool evenText) {
    const int labelH = 16;
    const int width = kW + 2 * kMargin + 90; // room for the notes
    const int height = kMargin + labelH + kH + kMargin + labelH + kH + labelH + kMargin;
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(QColor(0xfb, 0xfb, 0xf8));
    QPainter p(&img);
    const int id = QFontDatabase::addApplicationFont(dejaVu(QStringLiteral("DejaVuSans.ttf")));
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0, QStringLiteral("DejaVu Sans")));
    font.setPixelSize(11);
    p.setFont(font);

    int y = kMargin;
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.drawText(QRect(kMargin, y, width - 2 * kMargin, labelH), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("pieces of the design:"));
    y += labelH;
    int x = kMargin;
    for (Piece piece : pieces) {
        drawPiece(p, piece, x, y);
        x += widthOf(piece) + 8;
    }
    y += kH + kMargin;
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.drawText(QRect(kMargin, y, width - 2 * kMargin, labelH), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("expand mode %1, logo widened to 300 pixels:").arg(mode));
    y += labelH;

    // The widened copy of the background: its own columns, white after them.
    const int top = y;
    p.fillRect(QRect(kMargin, top, kW, kH), Qt::white);
    p.setClipRect(QRect(kMargin, top, kW, kH));
    drawPiece(p, Piece::Background, kMargin, top);
    for (const Placed& c : layout(mode, evenText))
        drawPiece(p, c.piece, kMargin + c.x, top);
    p.setClipping(false);
    p.setPen(QColor(0x50, 0x50, 0x50));
    p.drawRect(QRect(kMargin - 1, top - 1, kW + 1, kH + 1));
    y += kH;
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawText(QRect(kMargin, y, width - 2 * kMargin, labelH), Qt::AlignLeft | Qt::AlignVCenter,
               note);
    p.end();
    writePng(img, dir + QStringLiteral("/expand-") + mode + QStringLiteral(".png"));
}

} // namespace

void makeDiagrams(const QString& imagesDir) {
    ensureDir(imagesDir);
    using P = Piece;
    makeOne(imagesDir, QStringLiteral("center"), {P::Background, P::Left, P::Center, P::Right},
            QStringLiteral("C from the middle outwards, then L and R at the ends"), false);
    makeOne(imagesDir, QStringLiteral("leftright"), {P::Background, P::Left, P::Right},
            QStringLiteral("L leftwards, R rightwards, background again in the middle"), false);
    makeOne(imagesDir, QStringLiteral("left"), {P::Background, P::Left, P::Center},
            QStringLiteral("L repeated after the first 30 columns, C once in the middle"), false);
    makeOne(imagesDir, QStringLiteral("right"), {P::Background, P::Left, P::Center, P::Right},
            QStringLiteral("R repeated after the first 30 columns, then L, then C"), false);
    makeOne(imagesDir, QStringLiteral("character"), {P::Background, P::Left, P::Center, P::Right},
            QStringLiteral("text of 4 characters, pitch 30: C shifted by half a pitch"), true);
}

} // namespace mk
