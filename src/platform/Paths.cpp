#include "platform/Paths.h"

#include "platform/DirectoryListing.h"
#include "platform/NativeFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zot {

namespace {

QString withSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

} // namespace

const PathResolver::Listing& PathResolver::listing(const QString& folder) {
    auto it = listings_.find(folder);
    if (it == listings_.end()) {
        const QString dir = folder.isEmpty() ? QStringLiteral(".") : folder;
        Listing names;
        for (const DirectoryEntry& entry : listDirectory(dir)) {
            // Of names alike but for case, the same one every time.
            QString& kept = names[entry.name.toCaseFolded()];
            if (kept.isEmpty() || entry.name < kept)
                kept = entry.name;
        }
        it = listings_.insert(folder, names);
    }
    return *it;
}

QString PathResolver::resolve(const QString& folder, const QString& name) {
    QString path = withSeparator(folder);
    QString rest = name;
    rest.replace(u'\\', u'/');
    const QStringList parts = rest.split(u'/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString component = part;
        if (!part.isEmpty() && part != u"." && part != u".." && !nativeExists(path + part)) {
            const Listing& names = listing(path);
            if (const auto found = names.constFind(part.toCaseFolded()); found != names.cend())
                component = *found;
        }
        path += component;
        if (i + 1 < parts.size())
            path += u'/';
    }
    return path;
}

QString joinPath(const QString& folder, const QString& name) {
    PathResolver resolver;
    return resolver.resolve(folder, name);
}

QString childPath(const QString& folder, const QString& name) {
    return withSeparator(folder) + name;
}

QString outputPath(const QString& folder, const QString& name) {
    QString rest = name;
    rest.replace(u'\\', u'/');
    return withSeparator(folder) + rest;
}

bool staysInFolder(const QString& name) {
    QString rest = name;
    rest.replace(u'\\', u'/');
    int depth = 0;
    for (const QString& part : rest.split(u'/')) {
        if (part == u"..")
            --depth;
        else if (!part.isEmpty() && part != u".")
            ++depth;
        if (depth < 0)
            return false;
    }
    return true;
}

QString programFolder() {
    return withSeparator(QCoreApplication::applicationDirPath());
}

} // namespace zot
