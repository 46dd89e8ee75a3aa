#include "designs/DesignCopy.h"

#include "designs/DesignFolders.h"
#include "platform/Error.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"
#include "platform/TreeCopy.h"

#include <QDir>
#include <QFile>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace zot {

QString designNameProblem(const QString& name, const QString& programFolder,
                          const QString& userFolder) {
    switch (designNameFault(name)) {
    case DesignNameFault::None:
        break;
    case DesignNameFault::Empty:
        return u"it is empty"_s;
    case DesignNameFault::TooLong:
        return u"it is longer than 255 bytes"_s;
    case DesignNameFault::Hidden:
        return u"it starts with a dot"_s;
    case DesignNameFault::Separator:
        return u"it holds a slash or a backslash"_s;
    }
    if (nativeIsFile(childPath(programFolder, name) + u"/script.zot"_s))
        return u"a design of the program folder has that name"_s;
    if (nativeExists(childPath(userFolder, name)) ||
        nativeIsNonFolderEntry(childPath(userFolder, name)))
        return u"a design of that name is there already"_s;
    return {};
}

QString copyDesign(const QString& sourceFolder, const QString& name, const QString& programFolder,
                   const QString& userFolder) {
    const QString problem = designNameProblem(name, programFolder, userFolder);
    if (!problem.isEmpty())
        throw Error(u"Cannot use the name %1: %2"_s.arg(name, problem));
    if (!QDir().mkpath(userFolder))
        throw Error::cannotCreateFile(userFolder);
    const QString target = childPath(userFolder, name);
    QByteArray temporary = nativePath(QDir(userFolder).filePath(u".copy-XXXXXX"_s));
    if (!::mkdtemp(temporary.data()))
        throw Error::cannotCreateFile(QDir(userFolder).filePath(u".copy"_s));
    QByteArray failed;
    const TreeCopyResult result =
        copyTreeWithoutLinks(nativePath(sourceFolder), temporary, TreeCopyLimits{}, &failed);
    if (result == TreeCopyResult::Copied && renameNoReplace(temporary, nativePath(target)))
        return target;
    removeNativeTree(temporary);
    switch (result) {
    case TreeCopyResult::TooLarge:
        throw Error(
            u"Cannot copy %1: it holds more than 20,000 files or 512 MiB"_s.arg(sourceFolder));
    case TreeCopyResult::Failed:
        throw failed.startsWith(temporary) ? Error::cannotCreateFile(decodeFileName(failed))
                                           : Error::cannotOpenFile(decodeFileName(failed));
    case TreeCopyResult::Copied:
        break;
    }
    throw Error::cannotCreateFile(target);
}

} // namespace zot
