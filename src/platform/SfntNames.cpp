#include "platform/SfntNames.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace zot {

namespace {

constexpr quint32 tag(const char (&t)[5]) {
    return quint32(quint8(t[0])) << 24 | quint32(quint8(t[1])) << 16 | quint32(quint8(t[2])) << 8 |
           quint32(quint8(t[3]));
}

// Far past any real file: a collection of a few dozen faces, fonts of a few
// dozen tables and a few hundred names.
constexpr quint32 kMaxFaces = 256;
constexpr quint32 kMaxTables = 1024;

struct Reader {
    const QByteArray& d;
    bool fits(qint64 off, qint64 n) const { return off >= 0 && n >= 0 && off + n <= d.size(); }
    quint16 u16(qint64 off) const { return quint16(quint8(d[off]) << 8 | quint8(d[off + 1])); }
    quint32 u32(qint64 off) const { return quint32(u16(off)) << 16 | u16(off + 2); }
};

struct TableRecord {
    qint64 recordAt = 0; // where the directory entry lies
    qint64 offset = 0;
    qint64 length = 0;
};

struct NameRecord {
    quint16 platform, encoding, language, id;
    QByteArray bytes;
};

struct FaceTables {
    std::optional<TableRecord> name, os2, head;
};

std::optional<QList<qint64>> faceOffsets(const Reader& r) {
    if (!r.fits(0, 12))
        return std::nullopt;
    const quint32 version = r.u32(0);
    if (version == tag("ttcf")) {
        const quint32 count = r.u32(8);
        if (count == 0 || count > kMaxFaces || !r.fits(12, qint64(count) * 4))
            return std::nullopt;
        QList<qint64> offsets;
        for (quint32 i = 0; i < count; ++i)
            offsets.append(r.u32(12 + qint64(i) * 4));
        return offsets;
    }
    if (version == 0x00010000 || version == tag("OTTO") || version == tag("true"))
        return QList<qint64>{0};
    return std::nullopt; // WOFF and the like: compressed tables
}

std::optional<FaceTables> faceTables(const Reader& r, qint64 at) {
    if (!r.fits(at, 12))
        return std::nullopt;
    const quint16 count = r.u16(at + 4);
    if (count > kMaxTables || !r.fits(at + 12, qint64(count) * 16))
        return std::nullopt;
    FaceTables tables;
    for (quint16 i = 0; i < count; ++i) {
        const qint64 rec = at + 12 + qint64(i) * 16;
        const TableRecord t{rec, r.u32(rec + 8), r.u32(rec + 12)};
        if (!r.fits(t.offset, t.length))
            continue;
        const quint32 which = r.u32(rec);
        if (which == tag("name"))
            tables.name = t;
        else if (which == tag("OS/2"))
            tables.os2 = t;
        else if (which == tag("head"))
            tables.head = t;
    }
    if (!tables.name)
        return std::nullopt;
    return tables;
}

std::optional<QList<NameRecord>> nameRecords(const Reader& r, const TableRecord& t) {
    if (t.length < 6)
        return std::nullopt;
    const quint16 count = r.u16(t.offset + 2);
    const qint64 strings = t.offset + r.u16(t.offset + 4);
    if (6 + qint64(count) * 12 > t.length)
        return std::nullopt;
    QList<NameRecord> records;
    for (quint16 i = 0; i < count; ++i) {
        const qint64 rec = t.offset + 6 + qint64(i) * 12;
        const qint64 at = strings + r.u16(rec + 10);
        const qint64 length = r.u16(rec + 8);
        // A string must lie inside its table.
        if (at < t.offset || at + length > t.offset + t.length)
            continue;
        records.append(
            {r.u16(rec), r.u16(rec + 2), r.u16(rec + 4), r.u16(rec + 6), r.d.mid(at, length)});
    }
    return records;
}

std::optional<QString> decode(const NameRecord& n) {
    if (n.platform == 0 || n.platform == 3) {
        if (n.bytes.size() % 2 != 0)
            return std::nullopt;
        QString s(n.bytes.size() / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < s.size(); ++i)
            s[i] = QChar(quint16(quint8(n.bytes[2 * i]) << 8 | quint8(n.bytes[2 * i + 1])));
        return s;
    }
    if (n.platform == 1 && n.encoding == 0)
        return QString::fromLatin1(n.bytes); // Mac Roman: its ASCII part is all names use
    return std::nullopt;
}

// The name of an id, Windows English first, as fontconfig and Qt prefer it.
QString preferredName(const QList<NameRecord>& records, quint16 id) {
    int best = -1;
    QString name;
    for (const NameRecord& n : records) {
        if (n.id != id)
            continue;
        const auto text = decode(n);
        if (!text || text->isEmpty())
            continue;
        const int rank = n.platform == 3 && n.language == 0x409 ? 3
                         : n.platform == 3                      ? 2
                         : n.platform == 0                      ? 1
                                                                : 0;
        if (rank > best) {
            best = rank;
            name = *text;
        }
    }
    return name;
}

QByteArray utf16be(const QString& s) {
    QByteArray b;
    b.reserve(s.size() * 2);
    for (const QChar c : s) {
        b.append(char(c.unicode() >> 8));
        b.append(char(c.unicode() & 0xff));
    }
    return b;
}

void put16(QByteArray& b, quint16 v) {
    b.append(char(v >> 8));
    b.append(char(v & 0xff));
}

void set32(QByteArray& b, qint64 at, quint32 v) {
    b[at] = char(v >> 24);
    b[at + 1] = char(v >> 16);
    b[at + 2] = char(v >> 8);
    b[at + 3] = char(v);
}

quint32 checksum(const QByteArray& table) {
    quint32 sum = 0;
    for (qsizetype i = 0; i < table.size(); i += 4) {
        quint32 word = 0;
        for (int k = 0; k < 4; ++k)
            word = word << 8 | (i + k < table.size() ? quint8(table[i + k]) : 0);
        sum += word;
    }
    return sum;
}

// A name table holding the subfamily names it had and the new family, full
// and PostScript names; the names that could still say the old family go.
QByteArray newNameTable(const QList<NameRecord>& old, const QString& family, const QString& style,
                        const QString& postScript) {
    QList<NameRecord> records;
    bool hasWindowsStyle = false;
    for (const NameRecord& n : old) {
        if (n.id != 2 || n.language >= 0x8000 || n.bytes.size() > 256)
            continue;
        hasWindowsStyle = hasWindowsStyle || (n.platform == 3 && n.language == 0x409);
        records.append(n);
    }
    const auto add = [&records](quint16 id, const QString& text) {
        records.append({3, 1, 0x409, id, utf16be(text.left(120))});
    };
    add(1, family);
    if (!hasWindowsStyle)
        add(2, style);
    add(4, family + u' ' + style);
    add(6, postScript);
    std::sort(records.begin(), records.end(), [](const NameRecord& a, const NameRecord& b) {
        return std::tie(a.platform, a.encoding, a.language, a.id) <
               std::tie(b.platform, b.encoding, b.language, b.id);
    });
    QByteArray table;
    put16(table, 0);
    put16(table, quint16(records.size()));
    put16(table, quint16(6 + records.size() * 12));
    QByteArray strings;
    for (const NameRecord& n : records) {
        put16(table, n.platform);
        put16(table, n.encoding);
        put16(table, n.language);
        put16(table, n.id);
        put16(table, quint16(n.bytes.size()));
        put16(table, quint16(strings.size()));
        strings += n.bytes;
    }
    return table + strings;
}

struct ParsedFace {
    qint64 at = 0;
    FaceTables tables;
    QList<NameRecord> names;
    SfntFace face;
};

std::optional<QList<ParsedFace>> parse(const QByteArray& data) {
    const Reader r{data};
    const auto offsets = faceOffsets(r);
    if (!offsets)
        return std::nullopt;
    QList<ParsedFace> faces;
    for (const qint64 at : *offsets) {
        const auto tables = faceTables(r, at);
        if (!tables)
            return std::nullopt;
        auto names = nameRecords(r, *tables->name);
        if (!names)
            return std::nullopt;
        ParsedFace p{at, *tables, std::move(*names), {}};
        SfntFace& f = p.face;
        f.family = preferredName(p.names, 1);
        if (f.family.isEmpty())
            f.family = preferredName(p.names, 16);
        if (f.family.isEmpty())
            return std::nullopt;
        for (const NameRecord& n : std::as_const(p.names))
            if (n.id == 1 || n.id == 16 || n.id == 21)
                if (const auto text = decode(n);
                    text && !text->isEmpty() && !f.familyNames.contains(*text))
                    f.familyNames.append(*text);
        f.styleName = preferredName(p.names, 2);
        if (f.styleName.isEmpty())
            f.styleName = QStringLiteral("Regular");
        if (const auto& os2 = tables->os2; os2 && os2->length >= 64) {
            f.weight = std::clamp<int>(r.u16(os2->offset + 4), 1, 1000);
            f.italic = (r.u16(os2->offset + 62) & 0x0201) != 0; // italic or oblique
        } else if (const auto& head = tables->head; head && head->length >= 46) {
            const quint16 macStyle = r.u16(head->offset + 44);
            f.weight = (macStyle & 1) ? 700 : 400;
            f.italic = (macStyle & 2) != 0;
        }
        faces.append(std::move(p));
    }
    return faces;
}

} // namespace

std::optional<QList<SfntFace>> readSfntFaces(const QByteArray& data) {
    const auto parsed = parse(data);
    if (!parsed)
        return std::nullopt;
    QList<SfntFace> faces;
    for (const ParsedFace& p : *parsed)
        faces.append(p.face);
    return faces;
}

std::optional<QByteArray> renameSfntFamilies(const QByteArray& data, const QStringList& families) {
    const auto parsed = parse(data);
    if (!parsed || parsed->size() != families.size())
        return std::nullopt;
    QByteArray out = data;
    for (qsizetype i = 0; i < parsed->size(); ++i) {
        const ParsedFace& p = parsed->at(i);
        // PostScript names are ASCII without blanks.
        QString postScript;
        for (const QChar c : families[i])
            if (c.unicode() < 128 && c.isLetterOrNumber())
                postScript.append(c);
        const QByteArray table = newNameTable(p.names, families[i], p.face.styleName,
                                              postScript.left(40) + u'-' + QString::number(i));
        out.append(QByteArray((4 - out.size() % 4) % 4, '\0'));
        const qint64 rec = p.tables.name->recordAt;
        set32(out, rec + 4, checksum(table));
        set32(out, rec + 8, quint32(out.size()));
        set32(out, rec + 12, quint32(table.size()));
        out += table;
        if (out.size() > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    return out;
}

QString familyKey(const QString& name) {
    QString key;
    key.reserve(name.size());
    for (const QChar c : name)
        if (c != u' ')
            key.append(c);
    return key.toCaseFolded();
}

} // namespace zot
