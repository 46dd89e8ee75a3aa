#pragma once

// The editor window with a two-line design open and dialogs answered by the test.
#include "editor/TfrmEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowFixture.h"

#include <QLineEdit>
#include <memory>
#include <optional>

namespace zot::test {

class OutputFixture : public WindowFixture {
  protected:
    static constexpr QRgb kBackground = qRgb(200, 220, 240); // WindowFixture's bg.bmp
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 60;
    static constexpr int kSplit = 30; // line 1 is drawn above, line 2 below

    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(outDir.isValid());
        const QByteArray line = "ttfFont\nname=DejaVu Sans\nsize=12\ncolor=0\n";
        makeDesign(QStringLiteral("Out"),
                   "name=Out\nbackgroundImage=bg.bmp\n" + line +
                       "ypos=2\nlabel=Top\ndefault=Alpha\nttfFontEnd\n" + line +
                       "ypos=32\nlabel=Bottom\ndefault=Beta\nttfFontEnd\n",
                   kWidth, kHeight);
        editor = std::make_unique<TfrmEdit>(programDir.path());
        editor->resize(800, 600);
        editor->show();
        runGuarded([this] { editor->OpenDesign(QStringLiteral("Out")); });
        ASSERT_EQ(editor->LabelCount, 2);
        ASSERT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    }

    QString out(const QString& name) const { return outDir.filePath(name); }

    static QByteArray fileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static std::optional<Bitmap> readBack(const QString& path) {
        return decodeBmp(fileBytes(path));
    }

    // Pixels of rows [top, bottom) that are not background: the drawn text.
    static int ink(const Bitmap& bitmap, int top, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < bitmap.width(); ++x)
                count += (bitmap.pixel(x, y) | 0xff000000) != kBackground;
        return count;
    }

    static bool sameRows(const Bitmap& a, const Bitmap& b, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    return false;
        return true;
    }

    QString keyfile() const {
        return QString::fromUtf8(fileBytes(qEnvironmentVariable("XDG_CONFIG_HOME") +
                                           QStringLiteral("/glib-2.0/settings/keyfile")));
    }

    ScriptedDialogs dialogs;
    QTemporaryDir outDir;
    std::unique_ptr<TfrmEdit> editor;
};

} // namespace zot::test
