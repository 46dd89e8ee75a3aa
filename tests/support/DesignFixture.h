#pragma once

// A design folder in a temporary program folder, opened by a headless editor.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "support/RawNames.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace zot::test {

class DesignFixture : public ::testing::Test {
  protected:
    static constexpr QRgb kRed = 0xffff0000;
    static constexpr QRgb kGreen = 0xff00ff00;
    static constexpr QRgb kBlue = 0xff0000ff;
    static constexpr QRgb kBlack = 0xff000000;
    static constexpr QRgb kWhite = 0xffffffff;
    static constexpr QRgb kYellow = 0xffffff00;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        designPath = dir.path() + QStringLiteral("/D/");
        QDir().mkpath(designPath);
        engine = std::make_unique<LogoEngine>(editor, dir.path());
    }

    // Writes a picture of the design; colourAt gives each pixel's colour.
    void writePicture(const QString& name, int width, int height,
                      const std::function<QRgb(int, int)>& colourAt, int bpp = 24,
                      const QList<QRgb>& palette = {}) {
        Bitmap bitmap = Bitmap::create(width, height, bpp, palette);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.setPixel(x, y, colourAt(x, y));
        QDir().mkpath(QFileInfo(designPath + name).absolutePath());
        writeBmpFile(bitmap, designPath + name);
    }
    void writeSolid(const QString& name, int width, int height, QRgb colour, int bpp = 24) {
        writePicture(
            name, width, height, [colour](int, int) { return colour; }, bpp);
    }
    // A piece whose first column is marked, so copies can be told apart.
    void writeMarked(const QString& name, int width, int height, QRgb mark, QRgb body) {
        writePicture(name, width, height, [=](int x, int) { return x == 0 ? mark : body; });
    }

    void writeScript(const QByteArray& text) {
        QFile file(designPath + QStringLiteral("script.zot"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    // Opens the design; the error box's text when the opening failed.
    std::optional<QString> open(const QString& folder = QStringLiteral("D")) {
        try {
            engine->OpenDesign(folder);
        } catch (const Error& error) {
            return error.message();
        }
        return std::nullopt;
    }

    // Columns x of the logo's row y whose colour is c.
    std::vector<int> columnsOf(QRgb c, int y = 0) const {
        std::vector<int> xs;
        const Bitmap& logo = engine->logo();
        for (int x = 0; x < logo.width(); ++x)
            if (logo.pixel(x, y) == c)
                xs.push_back(x);
        return xs;
    }

    RawTemporaryDir dir;
    QString designPath;
    HeadlessEditor editor;
    std::unique_ptr<LogoEngine> engine;
};

} // namespace zot::test
