// Bringing the logo up to date after a keystroke by drawing again only the
// parts under the texts that changed, over the background kept as it was.
// Every pixel comes out as a whole rendering would draw it: a part is drawn
// from the background up, with every text that reaches into it, in order.
#include "logo/LogoEngine.h"
#include "script/IntegerConversion.h"
#include "text/Characters.h"

#include <optional>

namespace zot {

namespace {

// Merges overlapping rectangles until none overlap.
std::vector<QRect> disjoint(std::vector<QRect> rects) {
    bool merged = true;
    while (merged) {
        merged = false;
        for (size_t i = 0; i < rects.size() && !merged; ++i) {
            for (size_t j = i + 1; j < rects.size(); ++j) {
                if (rects[i].intersects(rects[j])) {
                    rects[i] = rects[i].united(rects[j]);
                    rects.erase(rects.begin() + qsizetype(j));
                    merged = true;
                    break;
                }
            }
        }
    }
    return rects;
}

} // namespace

void LogoEngine::setIncremental(bool on) {
    incremental_ = on;
    drawn_.reset();
    composed_ = Bitmap();
}

LogoEngine::BackgroundKey LogoEngine::backgroundKey() {
    const qint64 measured = std::max<qint64>(MeasureLogoWidth(), 0);
    return {measured, characterShift()};
}

const Bitmap& LogoEngine::background() const {
    return design_.ExpandFrom == ExpandMode::None ? design_.imgBackground : composed_;
}

bool LogoEngine::canPatch() {
    // The logo with alpha is drawn whole, beside the opaque one.
    if (alphaWanted_ && design_.hasAlpha())
        return false;
    if (!drawn_ || drawn_->trueType.size() != design_.TtfFonts.size() ||
        drawn_->image.size() != design_.ImgFonts.size() || observer_.refitCanFail())
        return false;
    if (design_.ExpandFrom != ExpandMode::None &&
        (composed_.isEmpty() || !(backgroundKey() == composedKey_)))
        return false;
    const Bitmap& base = background();
    if (base.width() != logo_.width() || base.height() != logo_.height() ||
        base.bitsPerPixel() != logo_.bitsPerPixel() || base.palette() != logo_.palette())
        return false;
    // A rendering that would fail is left to the whole one, which fails
    // where it always did.
    return renderWouldSucceed();
}

void LogoEngine::patchTexts() {
    const int W = logo_.width();
    const int H = logo_.height();
    observer_.logoResized();

    DrawnTexts now;
    for (const auto& font : design_.TtfFonts)
        now.trueType.push_back(PlaceText(*font, fontText(font->LabelIndex), W, H));
    std::vector<qint32> charSpaceAfter;
    for (const auto& font : design_.ImgFonts) {
        const QString text = fontText(font->LabelIndex);
        if (font->Centered)
            font->XPos = saturateToInt32((qint64(W) - MeasureText(*font, text)) / 2);
        const TextLayout layout = LayoutText(*font, text);
        now.image.push_back(
            {text, font->CharSpace, font->XPos, font->YPos,
             clippedArea(font->XPos, font->YPos, layout.width, layout.height, W, H)});
        charSpaceAfter.push_back(layout.charSpace);
    }

    std::vector<QRect> redo;
    for (size_t i = 0; i < now.trueType.size(); ++i) {
        if (!now.trueType[i].sameDrawing(drawn_->trueType[i]))
            redo.push_back(now.trueType[i].area.united(drawn_->trueType[i].area));
    }
    for (size_t i = 0; i < now.image.size(); ++i) {
        if (!now.image[i].sameDrawing(drawn_->image[i]))
            redo.push_back(now.image[i].area.united(drawn_->image[i].area));
    }
    std::erase_if(redo, [](const QRect& r) { return r.isEmpty(); });
    redo = disjoint(std::move(redo));

    // Image-font pictures, composed when a part needs them.
    std::vector<std::optional<Bitmap>> pictures(design_.ImgFonts.size());
    const auto picture = [&](size_t i) -> const Bitmap& {
        if (!pictures[i]) {
            TImgFont& font = *design_.ImgFonts[i];
            font.CharSpace = now.image[i].charSpace;
            pictures[i] = ComposeText(font, now.image[i].text);
        }
        return *pictures[i];
    };

    const Bitmap& base = background();
    QRect changed;
    for (const QRect& part : redo) {
        // Text is drawn onto a piece that holds it whole, or ends where the
        // logo ends: the platform draws glyphs cut by a picture's edge
        // otherwise than where they lie inside it.
        QRect piece = part;
        for (const TextPlacement& placed : now.trueType) {
            if (placed.area.intersects(part))
                piece |= placed.area;
        }
        Bitmap section = base.section(piece);
        for (size_t i = 0; i < now.trueType.size(); ++i) {
            if (now.trueType[i].area.intersects(part))
                PaintPlacedText(*design_.TtfFonts[i], now.trueType[i], section, piece.topLeft());
        }
        for (size_t i = 0; i < now.image.size(); ++i) {
            if (now.image[i].area.intersects(part))
                section.draw(picture(i), qint64(now.image[i].x) - piece.x(),
                             qint64(now.image[i].y) - piece.y());
        }
        // Only the part is done: texts that reach the rest of the piece
        // without reaching the part were left out.
        if (piece != part)
            section = section.section(part.translated(-piece.topLeft()));
        logo_.draw(section, part.x(), part.y());
        changed = changed.united(part);
    }
    // What a rendering leaves in the fonts, drawn or not.
    for (size_t i = 0; i < design_.ImgFonts.size(); ++i)
        design_.ImgFonts[i]->CharSpace = charSpaceAfter[i];
    changedArea_ = changed;
    drawn_ = std::move(now);
}

} // namespace zot
