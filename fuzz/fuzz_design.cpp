// A whole design: the first byte picks the background set-up and the expand
// mode, the bytes up to a NUL are the script, the rest the texts typed into
// the label inputs (one per line). The design folder holds generated
// pictures, a font file and character folders the script may name.
#include "DesignDriver.h"
#include "FuzzSupport.h"

#include "text/TextDecoding.h"

using namespace zot;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::fixtureProgramFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 64 * 1024)
        return 0;
    static const char* const kModes[] = {"none", "center", "leftright",
                                         "left", "right",  "character"};
    static const char* const kBackgrounds[] = {"bg.bmp", "bg.png", "bg.jpg", "w565.bmp"};
    const uint8_t header = data[0];
    const QByteArray rest = fuzz::bytesOf(data + 1, size - 1);
    const qsizetype nul = rest.indexOf('\0');

    QByteArray script;
    if (header & 0x80) {
        script += QByteArray("backgroundImage=") + kBackgrounds[(header >> 3) & 3] +
                  "\nbackgroundExtraLeft=l.bmp\nbackgroundExtraCenter=" +
                  (header & 0x20 ? "piece.gif" : "c.bmp") +
                  "\nbackgroundExtraRight=r.bmp\n"
                  "installTempFontResource=font.ttf\n"
                  "backgroundExtraExpandFrom=" +
                  kModes[(header & 7) % 6] + '\n';
    }
    script += nul < 0 ? rest : rest.left(nul);
    const QString program = fuzz::fixtureProgramFolder();
    fuzz::writeFile(program + QStringLiteral("/D/script.zot"), script);

    QStringList texts;
    if (nul >= 0)
        texts = decodeLines(rest.mid(nul + 1));
    fuzz::driveDesign(program, QStringLiteral("D"), texts,
                      fuzz::scratchFolder() + QStringLiteral("/logo.bmp"));
    return 0;
}
