#include "app/Application.h"
#include "app/TfrmZOT.h"
#include "platform/Memory.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    zot::keepPictureMemory();
    QApplication app(argc, argv);
    zot::configureApplication();

    zot::TfrmZOT frmZOT(QCoreApplication::applicationDirPath());
    frmZOT.show();
    return app.exec();
}
