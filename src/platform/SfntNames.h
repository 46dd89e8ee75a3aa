#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zot {

// One face of a TrueType or OpenType file (a collection holds several), as
// its tables name it.
struct SfntFace {
    QString family;          // the family that bold and italic pick within
    QStringList familyNames; // every family name it carries, in any language
    QString styleName;       // its subfamily, "Bold Italic"
    int weight = 400;        // 100 thin ... 900 black
    bool italic = false;
};

// The faces of a font file, or nothing when it is not one we can read. Every
// offset and count comes from the file and is checked against its size.
std::optional<QList<SfntFace>> readSfntFaces(const QByteArray& data);

// The same file with face i's family renamed to families[i] (one for each
// face readSfntFaces finds), its full and PostScript names made from it and
// its subfamily names kept; nothing when the file cannot be read. Each face
// gets a name table of its own at the end of the file.
std::optional<QByteArray> renameSfntFamilies(const QByteArray& data, const QStringList& families);

// Family names as fontconfig compares them: case and blanks do not count.
QString familyKey(const QString& name);

} // namespace zot
