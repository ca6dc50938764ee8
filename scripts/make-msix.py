#!/usr/bin/env python3
"""Packs a folder into an MSIX package: the folder's files stored as they are, AppxBlockMap.xml
(the SHA-256 of every 64 KiB block of each file) and [Content_Types].xml, in a ZIP with ZIP64
end records as the package format reads them. The files are stored, so that each block's hash is the
hash of its bytes; the same folder and time give the same bytes.

usage: make-msix.py FOLDER OUTPUT.msix UNIX-TIME
       make-msix.py --stamp-signature SIGNED.msix UNIX-TIME
The second form gives the AppxSignature.p7x that osslsigncode adds the same time as the other
entries (it writes the time of signing): the signature does not cover its own entry, so it stays
valid, and the signed package comes out the same when signed again."""
import base64, hashlib, pathlib, struct, sys, time, zlib
from xml.sax.saxutils import quoteattr

BLOCK = 65536
CONTENT_TYPES = {
    "png": "image/png", "xml": "application/xml", "dll": "application/x-msdownload",
    "exe": "application/x-msdownload",
}


def dos_time(stamp):
    t = time.gmtime(max(stamp, 315532800))  # the ZIP format starts in 1980
    return (t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec // 2,
            (t.tm_year - 1980) << 9 | t.tm_mon << 5 | t.tm_mday)


def local_header(name, data, stored, method, when):
    crc = zlib.crc32(data) & 0xFFFFFFFF
    raw = name.encode("utf-8")
    header = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0x0800, method, when[0], when[1], crc, len(stored),
                         len(data), len(raw), 0) + raw
    return header, crc


def block_map(entries):
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="no"?>',
             '<BlockMap xmlns="http://schemas.microsoft.com/appx/2010/blockmap" '
             'HashMethod="http://www.w3.org/2001/04/xmlenc#sha256">']
    for name, data, lfh in entries:
        lines.append(f'<File Name={quoteattr(name.replace("/", chr(92)))} Size="{len(data)}" LfhSize="{lfh}">')
        for at in range(0, len(data), BLOCK):
            digest = base64.b64encode(hashlib.sha256(data[at:at + BLOCK]).digest()).decode()
            lines.append(f'<Block Hash="{digest}"/>')
        lines.append("</File>")
    lines.append("</BlockMap>")
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def content_types(names):
    exts = sorted({n.rsplit(".", 1)[-1].lower() for n in names if "." in n} - {"xml"})
    parts = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">']
    for ext in exts:
        parts.append(f'<Default Extension="{ext}" ContentType="{CONTENT_TYPES.get(ext, "application/octet-stream")}"/>')
    parts.append('<Override PartName="/AppxManifest.xml" ContentType="application/vnd.ms-appx.manifest+xml"/>')
    parts.append('<Override PartName="/AppxBlockMap.xml" ContentType="application/vnd.ms-appx.blockmap+xml"/>')
    parts.append("</Types>")
    return ("\r\n".join(parts) + "\r\n").encode("utf-8")


def main(folder, output, stamp):
    root = pathlib.Path(folder)
    when = dos_time(int(stamp))
    files = sorted((p.relative_to(root).as_posix(), p.read_bytes()) for p in root.rglob("*") if p.is_file())
    if "AppxManifest.xml" not in dict(files):
        sys.exit(f"{folder}: no AppxManifest.xml")
    body, central, listed = bytearray(), bytearray(), []

    def add(name, data, deflate=False):
        stored, method = data, 0
        if deflate:
            packer = zlib.compressobj(9, zlib.DEFLATED, -15)
            stored, method = packer.compress(data) + packer.flush(), 8
        header, crc = local_header(name, data, stored, method, when)
        raw = name.encode("utf-8")
        central.extend(struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 20, 0x0800, method, when[0], when[1], crc,
                                   len(stored), len(data), len(raw), 0, 0, 0, 0, 0, len(body)) + raw)
        body.extend(header + stored)
        return len(header)

    for name, data in files:
        listed.append((name, data, add(name, data)))
    add("AppxBlockMap.xml", block_map(listed))
    # Deflated: osslsigncode writes it back deflated, with the signature's type added, and keeps
    # the method it found.
    add("[Content_Types].xml", content_types([n for n, _ in files]), deflate=True)
    count, cd_at = len(listed) + 2, len(body)
    zip64_at = cd_at + len(central)
    tail = struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, count, count, len(central), cd_at)
    tail += struct.pack("<IIQI", 0x07064B50, 0, zip64_at, 1)
    tail += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, len(central), cd_at, 0)
    pathlib.Path(output).write_bytes(bytes(body + central + tail))


def stamp_signature(path, stamp):
    when = dos_time(int(stamp))
    data = bytearray(pathlib.Path(path).read_bytes())
    found = 0
    # (signature, offset of the name length, of the name, of the time) in local and central headers
    for magic, length_at, name_at, time_at in ((b"PK\x03\x04", 26, 30, 10), (b"PK\x01\x02", 28, 46, 12)):
        at = data.find(magic)
        while at >= 0:
            n = struct.unpack_from("<H", data, at + length_at)[0]
            if data[at + name_at:at + name_at + n] == b"AppxSignature.p7x":
                struct.pack_into("<HH", data, at + time_at, *when)
                found += 1
            at = data.find(magic, at + 4)
    if found != 2:
        sys.exit(f"{path}: AppxSignature.p7x found {found} times, expected a local and a central header")
    pathlib.Path(path).write_bytes(bytes(data))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--stamp-signature":
        stamp_signature(*sys.argv[2:])
    elif len(sys.argv) == 4:
        main(*sys.argv[1:])
    else:
        sys.exit(__doc__)
