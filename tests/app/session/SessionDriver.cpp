// The desktop program's windows on a real display server, driven the way a
// user would, for the session tests. Arguments:
//   save PROGRAM_FOLDER OUT.bmp  opens the first design, types, saves
//                                through the real save dialog, quits;
//   copy PROGRAM_FOLDER REF.png  opens the first design, copies it with
//                                the toolbar button, writes what it copied to REF.png
//                                and keeps the clipboard until stdin closes.
// Prints "platform NAME" first, then what it did; exits non-zero on failure.
#include "app/Application.h"
#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "widgets/ErrorBox.h"
#include "widgets/TabcToolButton.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zot::configureApplication();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4)
        return 2;
    const QString mode = args[1];
    say(u"platform "_s + QGuiApplication::platformName());
    int failures = 0;
    zot::setErrorBoxHandler([&](const QString& text) {
        say(u"error "_s + text);
        ++failures;
    });

    zot::TfrmZOT window(args[2]);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window, 10000)) {
        say(u"window never shown"_s);
        return 1;
    }
    window.openMenuButton(1);
    zot::TfrmEdit& editor = *window.frmEdit;
    if (editor.LabelCount < 1)
        return 1;
    QLineEdit* edit = editor.Edits[0];
    edit->setFocus();
    edit->end(false);

    if (mode == u"save"_s) {
        QTest::keyClicks(edit, u"Hi"_s);
        // The real dialog, answered as soon as it is up.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                answer.stop();
                dialog->selectFile(args[3]);
                // As pressing Save: QFileDialog::accept() is not public.
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        answer.start(50);
        // A compositor without a seat activates no window, so no shortcut
        // reaches it: the button, as a click would.
        editor.abcTBSave->click();
        if (!QFile::exists(args[3]))
            return 1;
        say(u"saved "_s + edit->text() + u' ' + QString::number(editor.engine().renderCount()));
        return failures == 0 ? 0 : 1;
    }
    if (mode == u"copy"_s) {
        editor.abcTBCopy->click(); // no window manager activates the window

        if (!editor.engine().logo().toImage().save(args[3], "PNG"))
            return 1;
        say(u"copied"_s);
        // Another program reads the clipboard from us while we run.
        QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(&input, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        QTimer::singleShot(30000, &app, &QCoreApplication::quit);
        app.exec();
        return failures == 0 ? 0 : 1;
    }
    return 2;
}
