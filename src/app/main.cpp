#include "app/Application.h"
#include "app/TfrmZOT.h"
#include "app/Translations.h"
#include "editor/TfrmEdit.h"
#include "platform/Memory.h"
#include "platform/Paths.h"
#include "widgets/ErrorBox.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

namespace {

void printLine(const char* tag, const QString& text) {
    std::printf("%s: %s\n", tag, text.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    zot::keepPictureMemory();
    QApplication app(argc, argv);
    zot::configureApplication();
    zot::installTranslations(zot::translationsFolder(QCoreApplication::applicationDirPath()),
                             QLocale::system().uiLanguages());

    // Test hook for the install checks, not for users: ZOTMAKER_SELFTEST=1
    // prints every error box text and, once started, the catalogue, then quits.
    const bool selfTest = qEnvironmentVariable("ZOTMAKER_SELFTEST") == u"1";
    if (selfTest)
        zot::setErrorBoxHandler([](const QString& text) { printLine("error-box", text); });

    zot::TfrmZOT frmZOT(QCoreApplication::applicationDirPath());
    frmZOT.show();
    if (selfTest) {
        QTimer::singleShot(0, &app, [&frmZOT] {
            for (const QToolButton* button : frmZOT.MenuButtons)
                printLine("design", zot::childPath(button->property("parentFolder").toString(),
                                                   button->property("folderName").toString()));
            // What the user reads first, in the language chosen.
            printLine("batch-button", frmZOT.frmEdit->bbBatch->text());
            printLine("layout-direction", frmZOT.isRightToLeft() ? QStringLiteral("right-to-left")
                                                                 : QStringLiteral("left-to-right"));
            printLine("window-icon", frmZOT.windowIcon().isNull() ? QStringLiteral("none")
                                                                  : QStringLiteral("set"));
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
