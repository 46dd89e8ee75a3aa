#include "platform/Wallpaper.h"

#include "platform/Error.h"
#include "platform/WallpaperBackends.h"

#include <QFileInfo>
#include <QUrl>

namespace zot {

namespace wallpaper {

void failedToSet(const QString& setting) {
    throw Error(QStringLiteral("Failed to set data for '%1'").arg(setting));
}

} // namespace wallpaper

Desktop detectDesktop(const QString& xdgCurrentDesktop) {
    const QStringList names = xdgCurrentDesktop.split(u':', Qt::SkipEmptyParts);
    for (const QString& raw : names) {
        const QString name = raw.trimmed().toLower();
        if (name == u"gnome" || name.startsWith(u"gnome-") || name == u"unity" ||
            name == u"budgie" || name == u"budgie-desktop" || name == u"pantheon" ||
            name == u"ubuntu" || name == u"pop")
            return Desktop::Gnome;
        if (name == u"x-cinnamon" || name == u"cinnamon")
            return Desktop::Cinnamon;
        if (name == u"mate")
            return Desktop::Mate;
        if (name == u"kde")
            return Desktop::Plasma;
        if (name == u"xfce")
            return Desktop::Xfce;
    }
    return Desktop::Unknown;
}

QString wallpaperUri(const QString& file, bool escaped) {
    QString uri = QString::fromLatin1(
        QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded(QUrl::FullyEncoded));
    if (escaped) {
        // Same file, other spelling: "@" and "!" need no escaping in a path.
        const qsizetype slash = uri.lastIndexOf(u'/');
        QString name = uri.mid(slash + 1);
        name.replace(u'@', QStringLiteral("%40")).replace(u'!', QStringLiteral("%21"));
        uri = uri.left(slash + 1) + name;
    }
    return uri;
}

QString wallpaperPath(const QString& file, bool alternate) {
    const QFileInfo info(file);
    const QString path = info.absoluteFilePath();
    if (!alternate)
        return path;
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.left(slash + 1) + QStringLiteral("./") + path.mid(slash + 1);
}

void setDesktopWallpaper(const QString& file, const QString& schemaDirectory) {
    switch (detectDesktop(qEnvironmentVariable("XDG_CURRENT_DESKTOP"))) {
    case Desktop::Gnome:
        wallpaper::setThroughGSettings("org.gnome.desktop.background", file, schemaDirectory);
        return;
    case Desktop::Cinnamon:
        wallpaper::setThroughGSettings("org.cinnamon.desktop.background", file, schemaDirectory);
        return;
    case Desktop::Mate:
        wallpaper::setThroughGSettings("org.mate.background", file, schemaDirectory);
        return;
    case Desktop::Plasma:
        wallpaper::setThroughPlasmaShell(file);
        return;
    case Desktop::Xfce:
        wallpaper::setThroughXfconf(file);
        return;
    case Desktop::Unknown:
        break;
    }
    // No desktop we can talk to: say so rather than pretend.
    wallpaper::failedToSet(QStringLiteral("Wallpaper"));
}

} // namespace zot
