#include "app/TfrmZOT.h"
#include "platform/Memory.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    zot::keepPictureMemory();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zotmaker"));
    // The taskbar text and the caption of every error box.
    QApplication::setApplicationDisplayName(QStringLiteral("Zotmaker"));

    zot::TfrmZOT frmZOT(QCoreApplication::applicationDirPath());
    frmZOT.show();
    return app.exec();
}
