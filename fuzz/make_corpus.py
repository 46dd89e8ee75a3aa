#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/.

Every seed is generated here: small pictures, scripts, batch files and rich
text written for this project. Run it again after changing it; the fuzzer's
own findings are not kept in the tree.
"""
import gzip
import io
import os
import struct
import tarfile
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def out(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def bmp(width, height, bpp, pixels, compression=0, palette=None, header=40, masks=None):
    if palette is None:
        palette = [(i * 17 % 256, i * 29 % 256, i * 53 % 256) for i in range(1 << bpp)] if bpp <= 8 else []
    if header == 12:
        pal = b"".join(bytes((b, g, r)) for r, g, b in palette)
        info = struct.pack("<IHHHH", 12, width, height, 1, bpp)
    else:
        pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bpp, compression,
                           len(pixels), 2835, 2835, len(palette), 0)
        if header > 40:
            extra = struct.pack("<IIII", *(masks or (0xF800, 0x07E0, 0x001F, 0)))
            info += extra + b"\0" * (header - 40 - len(extra))
        elif masks:
            pal = struct.pack("<III", *masks[:3]) + pal
    offset = 14 + len(info) + len(pal)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + pal + pixels


def rows(width, height, bpp, value):
    stride = (width * bpp + 31) // 32 * 4
    return b"".join(bytes(((value + y + x) % 256) for x in range(stride)) for y in range(height))


def png(width, height):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + b"".join(bytes((x * 40 % 256, y * 60 % 256, 128)) for x in range(width)) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


GIF = bytes([0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 2, 0, 2, 0, 0x80, 0, 0, 0xff, 0, 0, 0, 0, 0xff,
             0x2c, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 2, 0x84, 0x51, 0, 0x3b])

# A 1 x 1 baseline JPEG, grey, built from the standard tables' smallest form.
JPEG = bytes.fromhex(
    "ffd8ffe000104a46494600010100000100010000ffdb004300080606070605080707070909080a0c140d0c0b0b0c"
    "1912130f141d1a1f1e1d1a1c1c20242e2720222c231c1c2837292c30313434341f27393d38323c2e333432ffc0000b"
    "080001000101011100ffc4001f0000010501010101010100000000000000000102030405060708090a0bffc400b5"
    "100002010303020403050504040000017d01020300041105122131410613516107227114328191a1082342b1c115"
    "52d1f02433627282090a161718191a25262728292a3435363738393a434445464748494a535455565758595a6364"
    "65666768696a737475767778797a838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7"
    "b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1f2f3f4f5f6f7f8f9faffda000801"
    "01000003f00fbfffd9")


# A 6 x 4 colour JPEG (quality 50) of a generated gradient.
JPEG_COLOUR = bytes.fromhex(
    "ffd8ffe000104a46494600010101006400640000ffdb004300100b0c0e0c0a100e0d0e1211101318281a181616183123"
    "251d283a333d3c3933383740485c4e404457453738506d51575f626768673e4d71797064785c656763ffdb0043011112"
    "121815182f1a1a2f63423842636363636363636363636363636363636363636363636363636363636363636363636363"
    "6363636363636363636363636363ffc00011080004000603012200021101031101ffc4001f0000010501010101010100"
    "000000000000000102030405060708090a0bffc400b5100002010303020403050504040000017d010203000411051221"
    "31410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a25262728292a3435363738393a"
    "434445464748494a535455565758595a636465666768696a737475767778797a838485868788898a9293949596979899"
    "9aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9eaf1"
    "f2f3f4f5f6f7f8f9faffc4001f0100030101010101010101010000000000000102030405060708090a0bffc400b51100"
    "020102040403040705040400010277000102031104052131061241510761711322328108144291a1b1c109233352f015"
    "6272d10a162434e125f11718191a262728292a35363738393a434445464748494a535455565758595a63646566676869"
    "6a737475767778797a82838485868788898a92939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4"
    "c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8e9eaf2f3f4f5f6f7f8f9faffda000c03010002110311003f0076"
    "9fa55a797feafb5145159d49cb99ea6f84a93f631d59ffd9")


def bmp_seeds():
    yield "1bpp.bmp", bmp(9, 3, 1, rows(9, 3, 1, 5), palette=[(0, 0, 0), (255, 255, 255)])
    yield "4bpp.bmp", bmp(5, 4, 4, rows(5, 4, 4, 3))
    yield "8bpp-topdown.bmp", bmp(6, -3, 8, rows(6, 3, 8, 7))
    yield "16bpp-555.bmp", bmp(4, 3, 16, rows(4, 3, 16, 1))
    yield "16bpp-565.bmp", bmp(4, 3, 16, rows(4, 3, 16, 2), compression=3, masks=(0xF800, 0x07E0, 0x001F))
    yield "24bpp.bmp", bmp(3, 2, 24, rows(3, 2, 24, 9))
    yield "32bpp-v5.bmp", bmp(2, 2, 32, rows(2, 2, 32, 4), compression=3, header=124,
                              masks=(0xFF0000, 0xFF00, 0xFF, 0))
    yield "core.bmp", bmp(4, 2, 8, rows(4, 2, 8, 1), header=12,
                          palette=[(i, i, i) for i in range(256)])
    rle8 = bytes([3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 1, 1, 2, 5, 0, 1])
    yield "rle8.bmp", bmp(8, 4, 8, rle8, compression=1)
    rle4 = bytes([4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 3, 0x77, 0, 1])
    yield "rle4.bmp", bmp(7, 2, 4, rle4, compression=2)
    yield "rle8-claims-large.bmp", bmp(500, 500, 8, b"\0\1", compression=1)
    yield "rle8-past-the-limit.bmp", bmp(16000, 16000, 8, b"\0\1", compression=1)


def zip_of(entries, compression=zipfile.ZIP_DEFLATED):
    """entries: (name, data) pairs, or ZipInfo objects with their data."""
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", compression) as z:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.compress_type = compression
            z.writestr(info, data)
    return buf.getvalue()


def tar_of(entries, mode="w"):
    """entries: (name, data) pairs; data None makes a folder, a str a symlink."""
    buf = io.BytesIO()
    with tarfile.open(fileobj=buf, mode=mode, format=tarfile.PAX_FORMAT) as t:
        for name, data in entries:
            info = tarfile.TarInfo(name)
            info.mtime = 0
            if data is None:
                info.type = tarfile.DIRTYPE
                t.addfile(info)
            elif isinstance(data, str):
                info.type = tarfile.SYMTYPE
                info.linkname = data
                t.addfile(info)
            else:
                info.size = len(data)
                t.addfile(info, io.BytesIO(data))
    return buf.getvalue()


def seven_zip(name, data, coder=b"\x01\x00"):
    """A one-file 7z with a plain header; coder: the folder's one coder as
    the header stores it (flags, id, properties). The default is Copy."""
    def num(n):
        assert n < 0x4000
        return bytes([n]) if n < 0x80 else bytes([0x80 | n >> 8, n & 0xFF])
    utf16 = name.encode("utf-16-le") + b"\0\0"
    header = (b"\x01\x04"                                          # Header, MainStreamsInfo
              + b"\x06\x00\x01\x09" + num(len(data)) + b"\x00"       # PackInfo
              + b"\x07\x0b\x01\x00\x01" + coder                     # UnpackInfo: 1 folder
              + b"\x0c" + num(len(data)) + b"\x00"
              + b"\x08\x0a\x01" + struct.pack("<I", zlib.crc32(data)) + b"\x00"  # its CRC
              + b"\x00"                                              # end of streams info
              + b"\x05\x01\x11" + num(len(utf16) + 1) + b"\x00" + utf16 + b"\x00"  # FilesInfo
              + b"\x00")
    tail = struct.pack("<QQI", len(data), len(header), zlib.crc32(header))
    return (b"7z\xbc\xaf\x27\x1c\x00\x04" + struct.pack("<I", zlib.crc32(tail)) + tail
            + data + header)


def main():
    for name, data in bmp_seeds():
        out("fuzz_bmp", name, data)
        out("fuzz_picture", name, data)
    out("fuzz_picture", "rgb.png", png(3, 2))
    out("fuzz_picture", "small.gif", GIF)
    out("fuzz_picture", "grey.jpg", JPEG)
    out("fuzz_picture", "colour.jpg", JPEG_COLOUR)

    # fuzz_design: header byte, script, NUL, texts.
    out("fuzz_design", "plain-center", b"\x81" +
        b"name=Seed\nimgFont\nname=chars\nalign=center\nxpos=center\nypos=2\ncharspace=1\n"
        b"default=ab1\nimgFontEnd\n\0ab 1\n")
    out("fuzz_design", "character-mode", b"\x85" +
        b"imgFont\nname=chars\ntransparent\nalign=fill\nwidth=40\nspace=3\nimgFontEnd\n"
        b"ttfFont\nname=DejaVu Sans\nsize=9\ncolor=$0000FF\nspaced\nbold\nalign=left\nttfFontEnd\n" +
        "\0a\U0001F600b\nAB\n".encode("utf-8"))
    out("fuzz_design", "png-leftright", b"\x8a" +
        b"backgroundExtraMarge=12\nttfFont\nname=DejaVu Sans\nsize=11\nitalic\nunderline\nstrikeout\n"
        b"align=right\nxpos=50\nypos=3\nlabel='Name'\ndefault=\"x\"\nttfFontEnd\n\0hello\n")
    out("fuzz_design", "windows-names", b"\x83" +
        b"imgFont\nname=\xfc\ndefault=\xe8\xe8\nalign=left\nimgFontEnd\n"
        b"imgFont\nname=odd\nalign=R\nxpos=59\nimgFontEnd\n\0\xe8\n")
    out("fuzz_design", "errors", b"\x04" +
        b"backgroundImage=missing.bmp\nbackgroundExtraExpandFrom=sideways\nbogus\nimgFont\nalign=fill\n"
        b"imgFontEnd\nttfFont\nsize=x12\nttfFontEnd\nimgFont\nname=chars\n")
    out("fuzz_design", "gif-right", b"\xa4" +
        b"backgroundExtraMarge=-5\n# comment\nimgFont\nname=CHARS\nxpos=center\nimgFontEnd\n\0b\n")

    # fuzz_batch: lines of "text;" per label input, then the output name.
    out("fuzz_batch", "two-lines", "Anna;ab;anna.bmp\r\nBert;b1;sub\\bert.bmp\n")
    out("fuzz_batch", "windows-1252", b"J\xfcrgen;\xe8;j\xfcrgen.bmp\n")
    out("fuzz_batch", "short-line", "only;\nnext;a;x.bmp;extra\n")
    out("fuzz_batch", "emoji", "\U0001F600;\U0001F600a;smile.bmp\n")

    # fuzz_data: a byte for format, kept columns and piece size, then the file.
    out("fuzz_data", "spreadsheet.csv", b"\x3c" +
        "\ufeffName,Slogan,file\r\n\"ACME; Inc.\",\"Tools\nand \"\"more\"\"\",acme.bmp\r\n"
        ",,\r\n".encode("utf-8"))
    out("fuzz_data", "unicode-text.tsv", b"\x7d" +
        "\ufeff#1\tfile\r\n\"a\tb\"\tx.bmp\r\nZ\u00fcrich\t\U0001F600.bmp\r\n".encode("utf-16-le"))
    out("fuzz_data", "windows-1252.csv", b"\xbc" + b"Name, file \nJ\xfcrgen,j\xfcrgen.bmp\n\n")
    out("fuzz_data", "broken.csv", b"\x04" + b"a,b\n1,2,3\n\"x\"y\n\"open")
    out("fuzz_data", "rows.jsonl", b"\x02" +
        b'{"Name":"A","Slogan":1.50,"file":"a.bmp"}\n\n{"#2":-0,"file":"b"}\n'
        b'{"n":null}\n[1]\n{"k\\"ey":"\\u00e9"}\n  \n')

    # fuzz_richtext
    out("fuzz_richtext", "about.rtf",
        r"{\rtf1\ansi\deff0{\fonttbl{\f0 DejaVu Sans;}{\f1\fswiss Arial;}}"
        r"{\colortbl;\red255\green0\blue0;\red0\green0\blue255;}"
        r"\pard\qc\sb120\sa120{\b\fs28 Zotmaker}\par"
        r"\pard\li360\ri360\fi-180 Plain, {\i italic}, {\ul under}, {\strike gone}, "
        r"{\cf1 red}, {\f1 Arial}, x{\super 2} H{\sub 2}O \'e8 \u8364? \u-3913?\par"
        r"{\*\generator ignored}{\pict\pngblip 89504e47}\qr right\par\qj justified}")
    out("fuzz_richtext", "plain-windows.txt", b"Caf\xe9 \x80 plain text\r\nsecond line\n")
    out("fuzz_richtext", "unbalanced.rtf", r"{\rtf1{{{\b bold\par}")


    # fuzz_install: design archives, sound and hostile.
    script = b"backgroundImage=bg.bmp\nimgFont\nname=chars\nimgFontEnd\n"
    pic = bmp(2, 2, 24, b"\0" * 16)
    design = [("D/script.zot", script), ("D/bg.bmp", pic), ("D/chars/a.bmp", pic)]
    out("fuzz_install", "folder.zip", zip_of(design))
    out("fuzz_install", "stored.zip", zip_of(design, zipfile.ZIP_STORED))
    out("fuzz_install", "bzip2.zip", zip_of(design, zipfile.ZIP_BZIP2))
    out("fuzz_install", "top.zip", zip_of([("SCRIPT.ZOT", script), ("__MACOSX/._x", b"m"),
                                           (".DS_Store", b"d"), ("chars\\b.bmp", pic)]))
    out("fuzz_install", "cp437.zip", zip_of([("Caf\u00e9/script.zot", script)]))
    out("fuzz_install", "escape.zip", zip_of([("D/script.zot", script), ("../x", b"x")]))
    out("fuzz_install", "case.zip", zip_of([("D/script.zot", script), ("d/a", b"a")]))
    out("fuzz_install", "plain.tar", tar_of([("D", None)] + design))
    out("fuzz_install", "link.tar", tar_of([("D/script.zot", script), ("D/l", "../../x")]))
    # gzip keeps a time stamp: 0, so that the seeds come out the same each run.
    out("fuzz_install", "design.tar.gz", gzip.compress(tar_of(design), mtime=0))
    out("fuzz_install", "design.tar.bz2", tar_of(design, "w:bz2"))
    out("fuzz_install", "design.tar.xz", tar_of(design, "w:xz"))
    out("fuzz_install", "bomb.tar.gz", gzip.compress(
        tar_of([("D/script.zot", script), ("D/zeros", bytes(16 << 20))]), mtime=0))

    out("fuzz_install", "copy.7z", seven_zip("D/script.zot", script))
    # An LZMA coder whose properties ask for a 3.75 GiB dictionary.
    out("fuzz_install", "huge-dictionary.7z",
        seven_zip("D/script.zot", script, b"\x23\x03\x01\x01\x05\x5d\x00\x00\x00\xf0"))


if __name__ == "__main__":
    main()
