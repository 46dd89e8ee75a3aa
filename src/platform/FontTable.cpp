#include "platform/FontTable.h"

#include "platform/NativeFiles.h"

#include <QFontDatabase>
#include <QScopeGuard>
#include <algorithm>
#include <atomic>
#include <fontconfig/fontconfig.h>

namespace zot {

namespace {

// No font file comes near this; a larger one is not read.
constexpr qint64 kMaxFontFileBytes = qint64(64) * 1024 * 1024;

// Names no font of the system and no other open design has: designs open
// side by side in one process (a batch's jobs, tests).
QString uniqueFamilyName() {
    static std::atomic<quint64> serial{0};
    return QStringLiteral("ZotDesign%1").arg(serial.fetch_add(1) + 1);
}

} // namespace

bool InstalledFonts::add(const QString& path) {
    const QByteArray native = nativePath(path);
    if (const auto it = ids_.constFind(native); it != ids_.cend())
        return *it >= 0;
    int id = -1;
    QByteArray data;
    // Read by its bytes: also a name Qt cannot spell (Windows-1252 bytes).
    if (readNativeFile(path, std::min(kMaxFontFileBytes, kMaxDataBytes - dataBytes_), data) ==
        NativeRead::Read) {
        dataBytes_ += data.size();
        // Each face joins the family its tables name, under that family's own
        // name; a collection's faces may name several.
        const auto faces = readSfntFaces(data);
        QStringList added;
        QList<Family> newFamilies;
        if (faces) {
            for (const SfntFace& face : *faces) {
                const QString key = familyKey(face.family);
                const auto named = [&key](const Family& f) { return familyKey(f.original) == key; };
                auto known = std::find_if(families_.begin(), families_.end(), named);
                auto fresh = std::find_if(newFamilies.begin(), newFamilies.end(), named);
                if (known != families_.end())
                    added.append(known->added);
                else if (fresh != newFamilies.end())
                    added.append(fresh->added);
                else
                    added.append(
                        newFamilies.emplaceBack(Family{face.family, uniqueFamilyName(), {}, {}})
                            .added);
            }
        }
        const auto renamed = faces ? renameSfntFamilies(data, added) : std::nullopt;
        // A file whose names cannot be read is added as it is, under its own.
        id = QFontDatabase::addApplicationFontFromData(renamed ? *renamed : data);
        if (id >= 0 && renamed) {
            families_ += newFamilies;
            for (qsizetype i = 0; i < faces->size(); ++i) {
                const SfntFace& face = faces->at(i);
                auto f = std::find_if(families_.begin(), families_.end(),
                                      [&](const Family& g) { return g.added == added[i]; });
                f->faces.append({path, face});
                for (const QString& name : face.familyNames)
                    if (!f->keys.contains(familyKey(name)))
                        f->keys.append(familyKey(name));
            }
        }
    }
    ids_.insert(native, id);
    return id >= 0;
}

const InstalledFonts::Family* InstalledFonts::familyNamed(const QString& name) const {
    const QString key = familyKey(name);
    if (key.isEmpty())
        return nullptr;
    // The family of that very name first, then one that also goes by it.
    for (const Family& f : families_)
        if (!f.faces.isEmpty() && familyKey(f.original) == key)
            return &f;
    for (const Family& f : families_)
        if (f.keys.contains(key))
            return &f;
    return nullptr;
}

std::optional<QString> InstalledFonts::familyFor(const QString& name) const {
    if (const Family* f = familyNamed(name))
        return f->added;
    return std::nullopt;
}

const DesignFace* InstalledFonts::faceFor(const QString& name, bool bold, bool italic) const {
    const Family* f = familyNamed(name);
    if (!f)
        return nullptr;
    const int weight = bold ? 700 : 400;
    const DesignFace* best = nullptr;
    for (const DesignFace& face : f->faces) {
        if (!best)
            best = &face;
        const auto distance = [&](const DesignFace& d) {
            return std::pair(d.face.italic != italic, std::abs(d.face.weight - weight));
        };
        if (distance(face) < distance(*best))
            best = &face;
    }
    return best;
}

QList<int> InstalledFonts::ids() const {
    QList<int> added;
    for (const int id : ids_)
        if (id >= 0)
            added.append(id);
    return added;
}

void InstalledFonts::removeAll() {
    for (const int id : std::as_const(ids_))
        if (id >= 0)
            QFontDatabase::removeApplicationFont(id);
    ids_.clear();
    families_.clear();
    dataBytes_ = 0;
}

std::optional<SystemFontMatch> matchSystemFont(const QString& family, bool bold, bool italic) {
    // The configuration Qt's font database reads.
    if (!FcInit())
        return std::nullopt;
    FcConfig* config = nullptr;
    FcPattern* pattern = FcPatternCreate();
    const auto freePattern = qScopeGuard([pattern] { FcPatternDestroy(pattern); });
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (!match)
        return std::nullopt;
    const auto freeMatch = qScopeGuard([match] { FcPatternDestroy(match); });
    SystemFontMatch found;
    FcChar8* text = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch)
        found.file = QString::fromUtf8(reinterpret_cast<const char*>(text));
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &text) == FcResultMatch; ++i)
        found.families.append(QString::fromUtf8(reinterpret_cast<const char*>(text)));
    if (found.file.isEmpty())
        return std::nullopt;
    return found;
}

} // namespace zot
