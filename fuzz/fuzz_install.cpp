// An archive anyone may send, installed as a design: whatever its bytes, the
// installer writes nothing outside the designs folder, leaves nothing behind
// when it refuses, and holds to its limits (lowered here so that a bomb
// costs milliseconds).
#include "FuzzSupport.h"

#include "designs/DesignInstaller.h"
#include "platform/DirectoryListing.h"
#include "platform/NativeFiles.h"

#include <QDir>
#include <cstdio>
#include <cstdlib>

using namespace zot;

namespace {

QStringList namesIn(const QString& folder) {
    QStringList names;
    for (const DirectoryEntry& entry : listDirectory(folder))
        names << entry.name;
    names.sort();
    return names;
}

[[noreturn]] void fail(const char* what, const QStringList& names) {
    std::fprintf(stderr, "fuzz_install: %s: %s\n", what, qPrintable(names.join(u", ")));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 256 * 1024)
        return 0;
    static const QString root = fuzz::scratchFolder() + QStringLiteral("/install");
    static const QString designs = root + QStringLiteral("/designs");
    static const QString archive = root + QStringLiteral("/shared.zip");
    static const bool made =
        QDir().mkpath(designs) && QDir().mkpath(root + QStringLiteral("/sentinel"));
    if (!made)
        std::abort();
    fuzz::writeFile(archive, fuzz::bytesOf(data, size));

    InstallOptions options;
    options.sampleNames = {QStringLiteral("Gold")};
    options.limits.maxBytes = 8 * 1024 * 1024;
    options.limits.maxEntries = 2000;
    options.limits.maxDecoderMemory = 32 * 1024 * 1024;
    const InstallResult result = installDesign(archive, designs, options);

    const QStringList around = namesIn(root);
    if (around != QStringList{QStringLiteral("designs"), QStringLiteral("sentinel"),
                              QStringLiteral("shared.zip")})
        fail("written beside the designs folder", around);
    if (!namesIn(root + QStringLiteral("/sentinel")).isEmpty())
        fail("written into the sentinel", namesIn(root + QStringLiteral("/sentinel")));
    const QStringList installed = namesIn(designs);
    const QStringList expected = result.installed ? QStringList{result.name} : QStringList{};
    if (installed != expected)
        fail(result.installed ? "installed something else" : "left something behind", installed);
    if (result.installed && !nativeIsFile(result.folder + QStringLiteral("/script.zot")))
        fail("installed without script.zot", installed);
    if (result.installed)
        removeNativeTree(nativePath(result.folder));
    return 0;
}
