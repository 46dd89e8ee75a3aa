#include "imaging/PictureLimits.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "script/IntegerConversion.h"
#include "text/Characters.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <limits>

namespace zot {

namespace {

// Widest text or the background, plus the margin on both sides; 64-bit so
// that no margin or width can overflow.
qint64 measureLogoWidth64(LogoEngine& engine) {
    const Design& d = engine.design();
    qint64 w = d.imgBackground.width();
    for (const auto& font : d.TtfFonts)
        w = std::max<qint64>(w, MeasureText(*font, engine.fontText(font->LabelIndex)));
    for (const auto& font : d.ImgFonts)
        w = std::max<qint64>(w, MeasureText(*font, engine.fontText(font->LabelIndex)));
    return 2 * qint64(d.ExtraMarge) + w;
}

// A piece takes part only when its script line was read and it has width.
bool usable(bool loaded, const Bitmap& piece) {
    return loaded && piece.width() > 0;
}

enum class Piece { Background, Left, Center, Right };

const Bitmap& pictureOf(const Design& d, Piece which) {
    switch (which) {
    case Piece::Left:
        return d.imgExtraLeft;
    case Piece::Center:
        return d.imgExtraCenter;
    case Piece::Right:
        return d.imgExtraRight;
    case Piece::Background:
        break;
    }
    return d.imgBackground;
}

// Where the pieces of a background widened to W go, in the order they are
// drawn (a later one covers an earlier one): draw(piece, x) each time.
template <class Draw> void placePieces(const Design& d, qint64 W, qint64 shift, Draw draw) {
    const Bitmap& left = d.imgExtraLeft;
    const Bitmap& center = d.imgExtraCenter;
    const Bitmap& right = d.imgExtraRight;
    const qint64 bw = d.imgBackground.width();
    const qint64 lw = left.width();
    const qint64 cw = center.width();
    const qint64 rw = right.width();

    auto drawLeftAtZero = [&] {
        if (d.HasExtraLeft)
            draw(Piece::Left, 0);
    };
    auto drawRightAtEnd = [&] {
        if (d.HasExtraRight)
            draw(Piece::Right, W - rw);
    };

    switch (d.ExpandFrom) {
    case ExpandMode::None:
        break;
    case ExpandMode::Center: {
        if (usable(d.HasExtraCenter, center)) {
            const qint64 n = W / cw;
            for (qint64 k = 0; k <= n; ++k)
                draw(Piece::Center, (W - cw) / 2 + (k - n / 2) * cw);
        }
        drawLeftAtZero();
        drawRightAtEnd();
        break;
    }
    case ExpandMode::Character: {
        if (usable(d.HasExtraCenter, center)) {
            const qint64 n = W / cw;
            for (qint64 k = 1; k <= n; ++k)
                draw(Piece::Center, (W - cw) / 2 + (k - n / 2) * cw - shift);
        }
        drawLeftAtZero();
        drawRightAtEnd();
        break;
    }
    case ExpandMode::LeftRight: {
        const qint64 h = (W - bw) / 2;
        if (usable(d.HasExtraLeft, left)) {
            const qint64 nL = h / lw;
            for (qint64 k = 1; k <= nL; ++k)
                draw(Piece::Left, k * lw);
        }
        if (usable(d.HasExtraRight, right)) {
            const qint64 nR = h / rw + 1;
            for (qint64 k = 1; k <= nR; ++k)
                draw(Piece::Right, W - k * rw);
        }
        draw(Piece::Background, h);
        break;
    }
    case ExpandMode::Left: {
        if (usable(d.HasExtraLeft, left)) {
            const qint64 nL = W / lw;
            for (qint64 k = 1; k <= nL; ++k)
                draw(Piece::Left, k * lw);
        }
        drawRightAtEnd();
        if (d.HasExtraCenter)
            draw(Piece::Center, (W - cw) / 2);
        break;
    }
    case ExpandMode::Right: {
        if (usable(d.HasExtraRight, right)) {
            const qint64 nR = W / rw;
            for (qint64 k = 1; k <= nR; ++k)
                draw(Piece::Right, k * rw);
        }
        drawLeftAtZero();
        if (d.HasExtraCenter)
            draw(Piece::Center, (W - cw) / 2);
        break;
    }
    }
}

// A piece as the logo with alpha takes it: with its own alpha where it has
// one, else opaque, converted when the picture is not the one opaque was
// made from.
const QImage& alphaPictureOf(const Design& d, Piece which, std::pair<qint64, QImage>& opaque) {
    const QImage& own = which == Piece::Left     ? d.alphaExtraLeft
                        : which == Piece::Center ? d.alphaExtraCenter
                        : which == Piece::Right  ? d.alphaExtraRight
                                                 : d.alphaBackground;
    if (!own.isNull())
        return own;
    const Bitmap& picture = pictureOf(d, which);
    const qint64 key = picture.storage().cacheKey();
    if (opaque.second.isNull() || opaque.first != key)
        opaque = {key, picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)};
    return opaque.second;
}

// A text picture of an image font over the logo with alpha: its see-through
// colour lets the logo show, every other pixel is opaque.
QImage withSeeThrough(const Bitmap& picture) {
    return picture.transparent() ? picture.toImageSeeThrough()
                                 : picture.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

bool LogoEngine::renderWouldSucceed(std::vector<qint32>* charSpaces) {
    const Design& d = design_;
    if (charSpaces)
        charSpaces->clear();
    if (d.ExpandFrom != ExpandMode::None) {
        const qint64 measured = measureLogoWidth64(*this);
        if (!pictureSizeAllowed(std::max<qint64>(measured, 0), d.imgBackground.height(),
                                d.imgBackground.bitsPerPixel()))
            return false;
    }
    for (const auto& font : d.ImgFonts) {
        const TextLayout layout = LayoutText(*font, fontText(font->LabelIndex));
        if (!pictureSizeAllowed(layout.width, layout.height, 32))
            return false;
        if (charSpaces)
            charSpaces->push_back(layout.charSpace);
    }
    return true;
}

qint32 LogoEngine::MeasureLogoWidth() {
    return saturateToInt32(measureLogoWidth64(*this));
}

qint64 LogoEngine::characterShift() const {
    const Design& d = design_;
    if (d.ExpandFrom != ExpandMode::Character || d.ImgFonts.empty())
        return 0;
    const TImgFont& first = *d.ImgFonts.front();
    if (characterCount(fontText(first.LabelIndex)) % 2 == 0)
        return CharacterPitch(first) / 2;
    return 0;
}

void LogoEngine::ComposeBackground() {
    const Design& d = design_;
    drawn_.reset();
    composed_ = Bitmap();
    logo_ = d.imgBackground;
    logo_.setTransparent(false);
    if (d.ExpandFrom == ExpandMode::None)
        return;

    const qint64 measured = measureLogoWidth64(*this);
    if (!pictureSizeAllowed(std::max<qint64>(measured, 0), logo_.height(), logo_.bitsPerPixel()))
        throw Error::pictureTooLarge(measured, logo_.height());
    const qint64 W = std::max<qint64>(measured, 0);
    logo_.setWidth(int(W));

    placePieces(d, W, characterShift(),
                [&](Piece which, qint64 x) { logo_.draw(pictureOf(d, which), x, 0); });

    // Kept for the keystrokes that leave the width as it is: always when the
    // background is wider than every text, else once the width repeats.
    const BackgroundKey key{W, characterShift()};
    const qint64 bw = d.imgBackground.width();
    if (incremental_ && (measured == bw + 2 * qint64(d.ExtraMarge) || key == lastKey_)) {
        composed_ = logo_;
        composedKey_ = key;
    }
    lastKey_ = key;
}

void LogoEngine::RenderLogo() {
    ++renderCount_;
    // Whatever was drawn is shown, also when the rendering ends early.
    struct Changed {
        EngineObserver& observer;
        ~Changed() { observer.logoChanged(); }
    } changed{observer_};
    if (incremental_ && canPatch()) {
        std::vector<qint32> charSpaces;
        for (const auto& font : design_.ImgFonts)
            charSpaces.push_back(font->CharSpace);
        try {
            patchTexts();
            return;
        } catch (...) {
            // Unforeseen (out of memory): the whole rendering, from the start.
            for (size_t i = 0; i < charSpaces.size(); ++i)
                design_.ImgFonts[i]->CharSpace = charSpaces[i];
        }
    }
    // Everything may change, also when the rendering ends early.
    changedArea_ = QRect(0, 0, kMaxPictureSide + 1, kMaxPictureSide + 1);
    ComposeBackground();
    changedArea_ = QRect(0, 0, logo_.width(), logo_.height());
    observer_.logoResized();
    // The logo with alpha takes the same pieces, texts and pictures, each
    // with its alpha: columns no piece covers stay clear.
    alphaLogo_ = QImage();
    QPainter alpha;
    if (alphaWanted_ && design_.hasAlpha() && !logo_.isEmpty()) {
        alphaLogo_ = QImage(logo_.width(), logo_.height(), QImage::Format_ARGB32_Premultiplied);
        if (alphaLogo_.isNull())
            throw Error::pictureTooLarge(logo_.width(), logo_.height());
        alphaLogo_.fill(Qt::transparent);
        alpha.begin(&alphaLogo_);
        alpha.setCompositionMode(QPainter::CompositionMode_Source);
        const qint64 W = logo_.width();
        const auto drawPiece = [&](Piece which, qint64 x) {
            const QImage& piece = alphaPictureOf(design_, which, opaquePieces_[size_t(which)]);
            if (!piece.isNull() && x < W && x + piece.width() > 0)
                alpha.drawImage(QPoint(int(x), 0), piece);
        };
        drawPiece(Piece::Background, 0);
        if (design_.ExpandFrom != ExpandMode::None)
            placePieces(design_, W, characterShift(), drawPiece);
        alpha.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    DrawnTexts drawn;
    // A logo that is not true colour is painted through a true-colour copy:
    // of the text's place only, when the logo is drawn in part anyway.
    const bool throughCopy =
        logo_.isPaletted() || logo_.storage().format() == QImage::Format_RGB555;
    for (const auto& font : design_.TtfFonts) {
        drawn.trueType.push_back(
            PlaceText(*font, fontText(font->LabelIndex), logo_.width(), logo_.height()));
        const TextPlacement& placed = drawn.trueType.back();
        if (incremental_ && throughCopy) {
            Bitmap section = logo_.section(placed.area);
            PaintPlacedText(*font, placed, section, placed.area.topLeft());
            logo_.draw(section, placed.area.x(), placed.area.y());
        } else {
            PaintPlacedText(*font, placed, logo_, QPoint(0, 0));
        }
        if (alpha.isActive())
            PaintPlacedText(*font, placed, alpha);
    }
    for (const auto& font : design_.ImgFonts) {
        const QString text = fontText(font->LabelIndex);
        if (font->Centered)
            font->XPos = saturateToInt32((qint64(logo_.width()) - MeasureText(*font, text)) / 2);
        DrawnTexts::ImageLine line{text, font->CharSpace, font->XPos, font->YPos, {}};
        const Bitmap picture = ComposeText(*font, text);
        logo_.draw(picture, font->XPos, font->YPos);
        if (alpha.isActive() && !picture.isEmpty())
            alpha.drawImage(QPoint(font->XPos, font->YPos), withSeeThrough(picture));
        line.area = clippedArea(font->XPos, font->YPos, picture.width(), picture.height(),
                                logo_.width(), logo_.height());
        drawn.image.push_back(std::move(line));
    }
    if (incremental_)
        drawn_ = std::move(drawn);
}

} // namespace zot
