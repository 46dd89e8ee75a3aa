#pragma once

#include "script/ScriptReader.h"

#include <QString>
#include <memory>
#include <vector>

namespace zot {

class PictureBudget;
class TImgFont;
class TTtfFont;

// A design holds at most this many fonts of each kind and label inputs.
inline constexpr int kMaxFonts = 25;

// What a font section needs of the editor whose design it is read into: the
// line counter, the error list, the label inputs and the font lists. The logo
// engine provides it; the fonts know nothing more of the engine.
class FontSectionEditor {
  public:
    virtual qint32& LineNumber() = 0;
    virtual void appendError(const QString& line) = 0;
    virtual int LabelCount() const = 0;
    // Creates the next label input and returns its number, from 1.
    virtual int AddLabelInput(const QString& editText, const QString& caption) = 0;
    // The open design's folder, ending in a separator.
    virtual QString designFolderPath() const = 0;
    virtual std::vector<std::unique_ptr<TImgFont>>& ImgFonts() = 0;
    virtual std::vector<std::unique_ptr<TTtfFont>>& TtfFonts() = 0;
    // What the design's pictures may still take, shared by all its fonts.
    virtual PictureBudget* pictureBudget() = 0;

  protected:
    virtual ~FontSectionEditor() = default;
};

// Upper-cases a-z only, as the script's alignment letters are read.
inline QChar upperAZ(QChar c) {
    return (c >= u'a' && c <= u'z') ? QChar(c.unicode() - 32) : c;
}

// Lower-cases A-Z only, as texts are matched against character names.
inline QChar lowerAZ(QChar c) {
    return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + 32) : c;
}

// The first letter of an "align" value; an empty value aligns nowhere.
inline QChar alignLetter(const QString& value) {
    return value.isEmpty() ? QChar(0) : upperAZ(value[0]);
}

inline QString tooManyFontsReport(qint32 lineNumber) {
    return QStringLiteral("A design holds at most 25 fonts: the font section ending on line ") +
           QString::number(lineNumber) + QStringLiteral(" is ignored.");
}

// Reads a section's lines up to endKeyword. apply(line) acts on a command and
// returns false for one the section does not know, which is then reported.
// Reports missingEnd once when the lines run out first.
template <class Apply>
void readSection(FontSectionEditor& editor, ScriptLines& lines, QStringView endKeyword,
                 const QString& missingEnd, Apply apply) {
    QString last;
    while (!lines.isEmpty() && last != endKeyword) {
        const ScriptLine line = ReadScriptLine(lines, editor.LineNumber());
        last = line.command;
        if (line.command.isEmpty() || line.command == endKeyword)
            continue;
        if (!apply(line))
            editor.appendError(unknownCommandReport(editor.LineNumber(), line.rawLine));
    }
    if (last != endKeyword)
        editor.appendError(missingEnd);
}

// The font a section fills. It joins its list before the section's lines are
// read, so a bad number inside the section leaves it there without a label
// input; when the list is full it is read all the same and dropped.
template <class Font> class SectionFont {
  public:
    explicit SectionFont(std::vector<std::unique_ptr<Font>>& list)
        : list_(list), listed_(list.size() < size_t(kMaxFonts)) {
        if (listed_) {
            list.push_back(std::make_unique<Font>());
            font_ = list.back().get();
        } else {
            overflow_ = std::make_unique<Font>();
            font_ = overflow_.get();
        }
    }
    Font* operator->() const { return font_; }
    Font& operator*() const { return *font_; }

    // Gives the font its label input, or drops it with a report when the
    // design has no room for one more font or input.
    bool addLabelInput(FontSectionEditor& editor) {
        if (!listed_ || editor.LabelCount() >= kMaxFonts) {
            if (listed_)
                list_.pop_back();
            editor.appendError(tooManyFontsReport(editor.LineNumber()));
            return false;
        }
        font_->LabelIndex = editor.AddLabelInput(font_->DefaultText, font_->LabelCaption);
        return true;
    }

  private:
    std::vector<std::unique_ptr<Font>>& list_;
    bool listed_;
    std::unique_ptr<Font> overflow_;
    Font* font_ = nullptr;
};

} // namespace zot
