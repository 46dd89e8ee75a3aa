// Takes the screenshots for the AppStream metadata: the real main window under
// the offscreen platform, with a sample design open and texts typed.
//   cmake --build build --target zot-screenshot
//   build/bin/zot-screenshot data/screenshots/main-window.png
//   build/bin/zot-screenshot data/screenshots/pixel-quest.png "Pixel Quest"
// A design named after the file gets the texts that follow it; without any,
// its default texts stay. ZOT_SCREENSHOT_LANGUAGE=de (or any shipped
// language) shows the window in that language; without it, English.
#include "app/Application.h"
#include "app/TfrmZOT.h"
#include "app/Translations.h"
#include "editor/TfrmEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zot-screenshot OUTPUT.png [DESIGN [TEXT]...]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Only the sample designs, whatever the user has of their own.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    QApplication app(argc, argv);
    zot::configureApplication();
    if (const QString language = qEnvironmentVariable("ZOT_SCREENSHOT_LANGUAGE");
        !language.isEmpty())
        zot::installTranslations(zot::translationsFolder(QCoreApplication::applicationDirPath()),
                                 {language});

    zot::TfrmZOT window(QCoreApplication::applicationDirPath());
    window.resize(800, 500);
    window.show();
    const QString design = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Gold");
    QStringList texts;
    for (int i = 3; i < argc; ++i)
        texts << QString::fromLocal8Bit(argv[i]);
    if (argc == 2)
        texts = QStringList{QStringLiteral("ZOTMAKER"), QStringLiteral("LOGOS AS YOU TYPE")};
    QToolButton* chosen = nullptr;
    for (QToolButton* button : window.MenuButtons)
        if (button->property("folderName").toString() == design)
            chosen = button;
    if (!chosen) {
        std::fprintf(stderr, "zot-screenshot: the %s design is not in the catalogue\n",
                     qPrintable(design));
        return 1;
    }
    chosen->click();
    for (int i = 0; i < window.frmEdit->LabelCount && i < texts.size(); ++i) {
        window.frmEdit->Edits[size_t(i)]->setText(texts[i]);
        window.frmEdit->Edits[size_t(i)]->setCursorPosition(0);
    }
    window.frmEdit->cbSize->setCurrentText(QStringLiteral("100%"));
    window.frmEdit->cbSize->lineEdit()->setCursorPosition(0);
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "zot-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
