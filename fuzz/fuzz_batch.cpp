// A batch file run through the batch on a design with one TrueType and one
// image font. Output names come from the input, so inputs that could leave
// the output folder ("..") are skipped: the fuzzer must not write outside it.
#include "DesignDriver.h"
#include "FuzzSupport.h"
#include "platform/NativeFiles.h"

#include <QDir>

using namespace zot;

namespace {

const char kScript[] = "backgroundImage=bg.bmp\n"
                       "backgroundExtraCenter=c.bmp\n"
                       "backgroundExtraExpandFrom=center\n"
                       "ttfFont\nname=DejaVu Sans\nsize=10\nalign=center\nxpos=center\nttfFontEnd\n"
                       "imgFont\nname=chars\nalign=left\nxpos=2\nimgFontEnd\n";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const QString program = fuzz::fixtureProgramFolder();
    QDir().mkpath(program + QStringLiteral("/B"));
    // The batch design shares the fixture's pictures by its own script.
    for (const char* name : {"bg.bmp", "c.bmp"})
        QFile::copy(program + QStringLiteral("/D/") + QLatin1String(name),
                    program + QStringLiteral("/B/") + QLatin1String(name));
    QDir().mkpath(program + QStringLiteral("/B/chars"));
    for (const QString& name : QDir(program + QStringLiteral("/D/chars")).entryList(QDir::Files))
        QFile::copy(program + QStringLiteral("/D/chars/") + name,
                    program + QStringLiteral("/B/chars/") + name);
    fuzz::writeFile(program + QStringLiteral("/B/script.zot"), kScript);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::bytesOf(data, size);
    if (size > 16 * 1024 || bytes.contains(".."))
        return 0;
    const QString program = fuzz::fixtureProgramFolder();
    const QString batch = fuzz::scratchFolder() + QStringLiteral("/batch.txt");
    const QString out = fuzz::scratchFolder() + QStringLiteral("/out");
    fuzz::writeFile(batch, bytes);
    QDir().mkpath(out);
    fuzz::driveBatch(program, QStringLiteral("B"), batch, out);
    removeNativeTree(QFile::encodeName(out));
    return 0;
}
