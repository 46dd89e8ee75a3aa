#pragma once

// Program and working folders for the windows, with the error box recorded.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"
#include "widgets/ErrorBox.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace zot::test {

// Collects the texts of the error boxes instead of showing them.
class ErrorBoxRecorder {
  public:
    ErrorBoxRecorder() {
        previous_ = setErrorBoxHandler([this](const QString& text) { texts.append(text); });
    }
    ~ErrorBoxRecorder() { setErrorBoxHandler(std::move(previous_)); }
    ErrorBoxRecorder(const ErrorBoxRecorder&) = delete;
    ErrorBoxRecorder& operator=(const ErrorBoxRecorder&) = delete;

    QStringList texts;

  private:
    ErrorBoxHandler previous_;
};

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

inline void writeBmp(const QString& path, int width, int height,
                     const std::function<QRgb(int, int)>& colourAt, int bpp = 24) {
    Bitmap bitmap = Bitmap::create(width, height, bpp);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, colourAt(x, y));
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeBmpFile(bitmap, path);
}

// A TrueType font section with its label and default text.
inline QByteArray ttfSection(const QByteArray& label, const QByteArray& defaultText) {
    return "ttfFont\nname=DejaVu Sans\nsize=10\nlabel=" + label + "\ndefault=" + defaultText +
           "\nttfFontEnd\n";
}

// A program folder with designs and a working folder holding the about file;
// the working folder is the current one while the test runs.
class WindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(programDir.isValid());
        ASSERT_TRUE(workDir.isValid());
        previousDir = QDir::currentPath();
        writeFile(workDir.filePath(QStringLiteral("zot-about.rtf")),
                  "{\\rtf1\\ansi {\\b Test} about text\\par}");
        QDir::setCurrent(workDir.path());
    }
    void TearDown() override { QDir::setCurrent(previousDir); }

    QString designPath(const QString& name) const { return programDir.filePath(name); }

    // A design folder with script.zot and, when width > 0, a background bg.bmp.
    void makeDesign(const QString& name, const QByteArray& script, int width = 0, int height = 0) {
        writeFile(designPath(name) + QStringLiteral("/script.zot"), script);
        if (width > 0)
            writeBmp(designPath(name) + QStringLiteral("/bg.bmp"), width, height,
                     [](int, int) { return qRgb(200, 220, 240); });
    }

    ErrorBoxRecorder errors;
    QTemporaryDir programDir;
    QTemporaryDir workDir;
    QString previousDir;
};

} // namespace zot::test
