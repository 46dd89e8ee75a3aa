// Writes the sample designs into <repo>/designs and the guide's pictures into
// <repo>/docs/images. Every picture is drawn here, glyphs come from the DejaVu
// fonts of the system; thumbnails and previews are composed by the program's
// engine. The output is the same on every run.
//
// Usage: make-designs REPO_ROOT [--preview DIR]
//        make-designs --png IN.bmp OUT.png   (to look at a rendered logo)

#include "Designs.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: make-designs REPO_ROOT [--preview DIR]\n");
        return 2;
    }
    if (args[1] == QLatin1String("--png") && args.size() == 4) {
        const QImage image(args[2]);
        return !image.isNull() && image.save(args[3], "PNG") ? 0 : 1;
    }
    const QString root = args[1];
    QString preview;
    const qsizetype at = args.indexOf(QStringLiteral("--preview"));
    if (at > 0 && at + 1 < args.size())
        preview = args[at + 1];

    const QString designs = root + QStringLiteral("/designs");
    mk::makeGold(designs, preview);
    mk::makeNeon(designs, preview);
    mk::makeOcean(designs, preview);
    mk::makeRetro(designs, preview);
    mk::makeStamp(designs, preview);
    mk::makeChalk(designs, preview);
    mk::makeDuskWallpaper(designs, preview);
    mk::makePixelQuest(designs, preview);
    mk::makeSteelStencil(designs, preview);
    mk::makePaintedSign(designs, preview);
    mk::makeRoundSticker(designs, preview);
    mk::makeWebButton(designs, preview);
    mk::makeForumSignature(designs, preview);
    mk::makeSaleLeaderboard(designs, preview);
    mk::makeWorldGreetings(designs, preview);
    mk::makeDiagrams(root + QStringLiteral("/docs/images"));
    mk::makeLetteringDemos(root + QStringLiteral("/docs/images"));
    return 0;
}
