#include "app/TfrmZOT.h"

#include <QApplication>
#include <malloc.h>

int main(int argc, char* argv[]) {
    // Every logo allocates and frees pictures of the same sizes: keep that
    // memory instead of handing it back to the system and faulting it in
    // again for every line of a batch.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zotmaker"));
    // The taskbar text and the caption of every error box.
    QApplication::setApplicationDisplayName(QStringLiteral("Zotmaker"));

    zot::TfrmZOT frmZOT(QCoreApplication::applicationDirPath());
    frmZOT.show();
    return app.exec();
}
