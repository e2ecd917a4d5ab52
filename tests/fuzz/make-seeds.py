#!/usr/bin/env python3
"""Writes the seed corpora of the fuzzers: small MP3 files whose tags cover the layouts the tag
readers know (ID3v2.2/2.3/2.4 frames, every text encoding, lists, comments, pictures,
unsynchronisation, extended headers, frame flags), Windows shortcuts, playlists, data files,
settings files and undo journals, each with a few damaged ones.

Run from the repository root:  python3 tests/fuzz/make-seeds.py
"""
import json
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def synchsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def unsync(data):
    out = bytearray()
    for i, b in enumerate(data):
        out.append(b)
        if b == 0xFF and (i + 1 == len(data) or data[i + 1] == 0 or data[i + 1] >= 0xE0):
            out.append(0)
    return bytes(out)


def audio(frames=4):
    # MPEG-1 layer III frame headers with filler, so a reader that overruns sees "audio".
    frame = b"\xFF\xFB\x90\x64" + bytes((i * 37) & 0xFF for i in range(413))
    return frame * frames


def id3v1(title=b"Title", artist=b"Artist", album=b"Album", year=b"1999",
          comment=b"Comment", track=3, genre=17):
    tag = bytearray(128)
    tag[0:3] = b"TAG"
    for off, size, value in ((3, 30, title), (33, 30, artist), (63, 30, album), (93, 4, year),
                             (97, 30, comment)):
        tag[off:off + len(value[:size])] = value[:size]
    if len(comment) <= 28:
        tag[126] = track
    tag[127] = genre
    return bytes(tag)


def latin1(s):
    return b"\x00" + s.encode("latin-1")


def utf16(s, terminate=False):
    return b"\x01" + b"\xFF\xFE" + s.encode("utf-16-le") + (b"\x00\x00" if terminate else b"")


def utf16be(s):
    return b"\x02" + s.encode("utf-16-be")


def utf8(s):
    return b"\x03" + s.encode("utf-8")


def frame23(fid, content, flags=b"\x00\x00"):
    return fid.encode() + struct.pack(">I", len(content)) + flags + content


def frame24(fid, content, flags=b"\x00\x00"):
    return fid.encode() + synchsafe(len(content)) + flags + content


def frame22(fid, content):
    return fid.encode() + struct.pack(">I", len(content))[1:] + content


def header(major, flags, size):
    return b"ID3" + bytes([major, 0, flags]) + synchsafe(size)


def tag(major, frames, padding=256, flags=0, ext=b"", unsynchronise=False, footer=False):
    body = ext + b"".join(frames) + bytes(padding)
    if unsynchronise:
        body = unsync(body)
        flags |= 0x80
    out = header(major, flags, len(body)) + body
    if footer:
        out += b"3DI" + out[3:10]
    return out


COMMENT = b"eng" + b"\x00" + b"A comment"
JPEG = b"\xFF\xD8\xFF\xE0\x00\x10JFIF\x00" + bytes(range(256)) * 2 + b"\xFF\xD9"


def seeds_id3v2():
    s = {}
    s["v23-common"] = tag(3, [
        frame23("TPE1", latin1("AC/DC")),
        frame23("TIT2", latin1("Highway to Hell")),
        frame23("TALB", latin1("Highway to Hell")),
        frame23("TRCK", latin1("1/10")),
        frame23("TYER", latin1("1979")),
        frame23("TCON", latin1("(17)Rock")),
        frame23("COMM", b"\x00" + COMMENT),
        frame23("APIC", b"\x00image/jpeg\x00\x03Cover\x00" + JPEG),
        frame23("TLEN", latin1("208000")),
    ]) + audio() + id3v1()
    s["v23-utf16"] = tag(3, [
        frame23("TPE1", utf16("Björk/Sigur Rós")),
        frame23("TIT2", utf16("Жёлтый ☃")),
        frame23("TCON", utf16("Electronic", True) + b"\xFF\xFE" + "Pop".encode("utf-16-le") + b"\0\0"),
        frame23("COMM", b"\x01" + b"deu" + b"\xFF\xFE" + "Beschr".encode("utf-16-le") + b"\0\0"
                + b"\xFF\xFE" + "Text ü".encode("utf-16-le")),
        frame23("TIT3", b"\x01" + "no bom".encode("utf-16-le")),
        frame23("TOPE", b"\x01\xFE\xFF" + "Big Endian".encode("utf-16-be")),
    ]) + audio()
    s["v24-common"] = tag(4, [
        frame24("TPE1", utf8("Sigur Rós\x00Jónsi")),
        frame24("TIT2", utf8("Glósóli")),
        frame24("TDRC", latin1("2005-09-12T10:11:12")),
        frame24("TCON", latin1("(4)(17)\x00Disco\x00")),
        frame24("TRCK", latin1("05")),
        frame24("COMM", b"\x03" + b"isl" + b"\x00" + "Athugasemd".encode()),
        frame24("APIC", b"\x00image/png\x00\x03\x00\x89PNG\r\n\x1a\n" + bytes(64)),
        frame24("TXXX", utf8("REPLAYGAIN_TRACK_GAIN\x00-6.5 dB")),
        frame24("TIT1", utf16be("Big endian text")),
    ]) + audio() + id3v1(comment=b"123456789012345678901234567890")
    # Frame-level unsynchronisation (0x02) with a data length indicator (0x01).
    raw = b"\x00image/jpeg\x00\x03\x00" + JPEG
    s["v24-frame-unsync"] = tag(4, [
        frame24("APIC", synchsafe(len(raw)) + unsync(raw), b"\x00\x03"),
        frame24("TIT2", latin1("After the picture")),
    ], footer=True, padding=0) + audio()
    s["v24-extended-header"] = tag(4, [frame24("TIT2", latin1("Ext"))], flags=0x40,
                                   ext=synchsafe(6) + b"\x01\x00") + audio()
    s["v23-extended-header-crc"] = tag(3, [frame23("TIT2", latin1("CRC"))], flags=0x40,
                                       ext=struct.pack(">I", 10) + b"\x80\x00" + struct.pack(">I", 256)
                                       + b"\x12\x34\x56\x78") + audio()
    s["v23-unsynchronised"] = tag(3, [
        frame23("TIT2", latin1("ÿÿÿ ÿ")),
        frame23("APIC", b"\x00image/jpeg\x00\x03\x00" + JPEG),
    ], unsynchronise=True) + audio()
    s["v23-compressed-encrypted-grouped"] = tag(3, [
        frame23("TIT2", struct.pack(">I", 100) + b"x\x9c" + bytes(20), b"\x00\x80"),
        frame23("TALB", b"\x01" + bytes(16), b"\x00\x40"),
        frame23("TPE1", b"\x07" + latin1("Grouped"), b"\x00\x20"),
        frame23("TIT2", latin1("Plain")),
    ]) + audio()
    s["v23-unknown-frames"] = tag(3, [
        frame23("XYZ1", b"opaque bytes"),
        frame23("PRIV", b"owner\x00" + bytes(range(40))),
        frame23("WXXX", b"\x00desc\x00http://example.invalid/"),
        frame23("GEOB", b"\x00text/plain\x00f.txt\x00d\x00content"),
        frame23("UFID", b"owner\x00id"),
        frame23("APIC", b"\x00-->\x00\x03\x00http://example.invalid/cover.jpg"),
        frame23("TCON", latin1("(RX)(CR)")),
    ]) + audio()
    s["v22-common"] = tag(2, [
        frame22("TT2", latin1("Two Two")),
        frame22("TP1", latin1("Old/Tagger")),
        frame22("TAL", latin1("Album")),
        frame22("TRK", latin1("7")),
        frame22("TYE", latin1("1998")),
        frame22("TCO", latin1("(80)")),
        frame22("COM", b"\x00" + COMMENT),
        frame22("PIC", b"\x00JPG\x03Cover\x00" + JPEG),
        frame22("TLE", latin1("1234")),
    ]) + audio()
    s["only-padding"] = tag(3, [], padding=512) + audio()
    s["size-beyond-file"] = header(3, 0, 100000) + frame23("TIT2", latin1("Short")) + bytes(20)
    s["frame-beyond-tag"] = header(4, 0, 30) + b"TIT2" + synchsafe(1000) + b"\x00\x00" + bytes(20)
    s["bad-encoding"] = tag(3, [frame23("TIT2", b"\x09bad")]) + audio()
    s["bad-frame-id"] = tag(3, [frame23("TIT2", latin1("ok")), b"ti\x01t" + bytes(20)])
    s["version-5"] = header(5, 0, 20) + bytes(20)
    s["unsync-truncated"] = header(3, 0x80, 64) + b"\xFF\x00" * 8
    s["tcon-short-last"] = tag(3, [frame23("TCON", latin1("Rock\x00A\x00"))])
    s["timestamps"] = tag(4, [frame24("TDRC", latin1("2004")), frame24("TDOR", latin1("1999-13-40")),
                              frame24("TDRL", latin1("x"))])
    s["numbers"] = tag(3, [frame23("TYER", latin1("99999")), frame23("TLEN", latin1("abc")),
                           frame23("TORY", latin1("12"))])
    return s


def seeds_id3v1():
    return {
        "v11-track": audio(2) + id3v1(),
        "v10-full-comment": audio(2) + id3v1(comment=b"x" * 30, genre=255),
        "space-padded": audio(1) + id3v1(title=b"Padded".ljust(30), comment=b"c".ljust(30)),
        "latin1": audio(1) + id3v1(artist=b"Bj\xf6rk", album=b"\xff" * 30, genre=147),
        "only-tag": id3v1(),
        "short": id3v1()[:127],
        "no-tag": audio(3),
        "tag-not-last": audio(1) + id3v1() + b"APETAGEX",
    }


def lnk_string(text, unicode=True):
    # A counted string of the string-data section.
    raw = text.encode("utf-16-le") if unicode else text.encode("cp1252")
    return struct.pack("<H", len(text)) + raw


def lnk(base=None, relative=None, name=None, id_list=None, unicode=True, suffix=b""):
    flags = (0x80 if unicode else 0) | (0x01 if id_list is not None else 0) \
        | (0x02 if base is not None else 0) | (0x04 if name is not None else 0) \
        | (0x08 if relative is not None else 0)
    header = struct.pack("<I", 0x4C) + bytes.fromhex("0114020000000000c000000000000046") \
        + struct.pack("<I", flags)
    out = header + bytes(0x4C - len(header))
    if id_list is not None:
        out += struct.pack("<H", len(id_list)) + id_list
    if base is not None:
        base_offset = 28
        suffix_offset = base_offset + len(base) + 1
        total = suffix_offset + len(suffix) + 1
        out += struct.pack("<7I", total, 28, 0x01, 0, base_offset, 0, suffix_offset)
        out += base + b"\x00" + suffix + b"\x00"
    if name is not None:
        out += lnk_string(name, unicode)
    if relative is not None:
        out += lnk_string(relative, unicode)
    return out


def seeds_lnk():
    # The fuzz target puts Song.mp3 and "Album/01 - Song.mp3" beside the shortcut.
    return {
        "relative": lnk(base=b"C:\\Music\\Song.mp3", relative="Song.mp3"),
        "relative-backslashes": lnk(relative="Album\\01 - Song.mp3", name="A song"),
        "relative-ansi": lnk(relative="Album\\01 - Song.mp3", unicode=False),
        "absolute-root": lnk(base=b"/", suffix=b"tmp"),
        "id-list": lnk(id_list=bytes(range(20)) + b"\x00\x00", base=b"/tmp",
                       relative="..\\Song.mp3"),
        "absolute-only": lnk(base=b"C:\\Music\\", suffix=b"Album\\x.mp3"),
        "offsets-outside": lnk(base=b"/")[:0x4C] + struct.pack("<7I", 40, 28, 1, 0, 5000, 0, 9000),
        "truncated": lnk(base=b"C:\\x.mp3", relative="x.mp3")[:90],
        "not-a-shortcut": b"just some text",
    }


def seeds_m3u():
    extinf = "#EXTINF:215,Artist - Title\r\n"
    return {
        "extended": ("#EXTM3U\r\n" + extinf + "Song.mp3\r\n#EXTINF:-1,No dash\r\n"
                     "Album/01 - Song.mp3\r\n").encode(),
        "windows": ("#EXTM3U\r\n" + extinf + "Album\\01 - Song.mp3\r\n..\\x.mp3\r\n"
                    "http://example.invalid/stream.mp3\r\n").encode("cp1252"),
        "utf8-bom": b"\xEF\xBB\xBF" + "#EXTINF:1,Björk - Jóga\nSong.mp3\n".encode(),
        "utf16le": b"\xFF\xFE" + "#EXTINF:1,Sigur Rós - Ný\rSong.mp3\r".encode("utf-16-le"),
        "utf16be": b"\xFE\xFF" + "Song.mp3\nFolder.mp3\n".encode("utf-16-be"),
        "cp1252": "#EXTINF:3,Motörhead – Ace\r\nSong.mp3".encode("cp1252"),
        "odd-lines": b"\r\r\n\n#EXTINF\n#EXTINF:,\n,\x00Song.mp3\n/\n.\n..\n" + b"\xFF\xFE\xFE",
    }


def seeds_flatfile():
    return {
        "genres": b"# Genres, one a line\r\n\r\nRock\r\nPop\r\nHip-Hop\r\n",
        "exceptions": "AC/DC\tAC/DC\r\nBjörk\tbjork # note\r\n  # a value\r\n".encode(),
        "update-list": b"MP3Genres.def\thttp://example.invalid/MP3Genres.def\n"
                       b"Other.def\t\t\tthird\tfourth\n\tlead tab\n",
        "wildcards": b"A*C\tfirst\nABC\tsecond\n***\tany\n",
        "utf16": b"\xFF\xFE" + "Électro\tdata\r\n".encode("utf-16-le"),
        "cp1252": "Motörhead\t€ sign\r\n".encode("cp1252"),
        "regex-like": b"(a+)+$\t[x\n.*\t\\\n",
    }


def settings(body):
    return ('{\n  "format": "Varnholm settings 1",\n' + body + "\n}\n").encode()


def store_key(name, values=(), keys=()):
    members = ['"name": ' + json.dumps(name)]
    if values:
        members.append('"values": [' + ", ".join(values) + "]")
    if keys:
        members.append('"keys": [' + ", ".join(keys) + "]")
    return "{" + ", ".join(members) + "}"


def seeds_settings():
    def integer(name, n):
        return '{"name": %s, "integer": %s}' % (json.dumps(name), n)

    def string(name, text):
        return '{"name": %s, "string": %s}' % (json.dumps(name), json.dumps(text))

    options = store_key("Options", [integer("Recursive", 0), integer("MP3NameComputing", 7),
                                    integer("MP3GainDefaultVolume", "1e3"),
                                    string("ProxyPort", "8080"),
                                    '{"name": "Blob", "binary": "AAECAw=="}'])
    genres = store_key("Genres", [integer("Rock", 1), integer("", 0), string("Pop", "1")])
    lists = store_key("History Lists", keys=[
        store_key("Browse", [integer("Count", 3), string("Item0", "/music"), integer("Item1", 5)]),
        store_key("Open", [integer("Count", 2147483647)])])
    forms = store_key("FormInfo", [string("Main Window", "400, 10, 20, 600, wsMaximized")])
    columns = store_key("ListViewInfo", [string("Main Window", "10, -5, x, 2147483648")])
    root = store_key("Software", keys=[store_key("Tessaly", keys=[store_key(
        "Varnholm", [string("DefFilesPath", "/data")], [options, genres, lists, forms, columns])])])
    whole = settings('  "keys": [' + root + "]")
    return {
        "whole": whole,
        "empty-object": b"{}",
        "blank": b" \n",
        "truncated": whole[:len(whole) // 2],
        "duplicate-names": settings('  "values": [%s, %s]' % (integer("a", 1), integer("A", 2))),
        "bad-kinds": settings('  "values": [{"name": "x", "integer": 1.5}, {"name": "y"}]'),
        "escapes": settings('  "values": [%s]' % string("\\name\u00e9", "\ud83c\udfb5 \u0000")),
        "lone-surrogate": settings('  "values": [{"name": "\\udc00", "string": "a\\ud800"}]'),
        "not-an-object": b"[1, 2, 3]",
    }


def journal_state(kind, number, path, v2, v1, digest_length, with_tags, fmt):
    # Digests are not checked against the bytes when read, so any bytes of the right length do.
    record = {"k": kind, "n": number, "path": path, "size": str(1000 + len(v2) + len(v1)),
              "time": "1765432100123456789", "v2size": str(len(v2)), "v1size": str(len(v1)),
              "v2digest": "ab" * digest_length, "v1digest": "cd" * digest_length}
    if not with_tags:
        return json.dumps(record, separators=(",", ":")).encode() + b"\n"
    padding = len(v2) - len(v2.rstrip(b"\0"))
    record["v2pad"] = str(padding)
    if fmt == 1:
        import base64
        record["v2"] = base64.b64encode(v2[:len(v2) - padding]).decode()
        record["v1"] = base64.b64encode(v1).decode()
        return json.dumps(record, separators=(",", ":")).encode() + b"\n"
    return json.dumps(record, separators=(",", ":")).encode() + b"\n" + v2[:len(v2) - padding] + v1


def seeds_journal():
    v2 = tag(3, [frame23("TIT2", latin1("Line\nbreak")), frame23("APIC", b"\0image/jpeg\0\3\0\n\xff\xd8")], 64)
    v1 = b"TAG" + b"Song".ljust(125, b"\0")

    def run(fmt, digest_length):
        header = b'{"k":"run","op":"Fix","start":"2026-12-01T10:00:00.000Z","v":%d}\n' % fmt
        return (header +
                journal_state("b", 0, "/music/a.mp3", v2, v1, digest_length, True, fmt) +
                b'{"k":"m","n":0,"to":"/music/A - a.mp3"}\n' +
                journal_state("b", 1, "/music/b.mp3", b"", v1, digest_length, True, fmt) +
                journal_state("a", 0, "/music/A - a.mp3", v2, b"", digest_length, False, fmt) +
                b'{"k":"u","n":1}\n')

    whole = run(2, 16)
    return {
        "whole": whole,
        "format-1": run(1, 32),
        "torn-in-tags": whole[:whole.index(b"image/jpeg") + 4],
        "torn-line": whole[:whole.index(b'{"k":"m"') + 10],
        "sizes-beyond": whole.replace(b'"v1size":"128"', b'"v1size":"99999"', 1),
        "negative-padding": whole.replace(b'"v2pad":"', b'"v2pad":"-', 1),
        "header-only": whole[:whole.index(b"\n") + 1],
        "no-header": whole[whole.index(b"\n") + 1:],
    }


def write(folder, seeds, extension):
    path = os.path.join(ROOT, folder)
    os.makedirs(path, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(path, name + extension), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write("id3v2", seeds_id3v2(), ".mp3")
    write("id3v1", seeds_id3v1(), ".mp3")
    write("lnk", seeds_lnk(), ".lnk")
    write("m3u", seeds_m3u(), ".m3u")
    write("flatfile", seeds_flatfile(), ".def")
    write("settings", seeds_settings(), ".json")
    write("journal", seeds_journal(), ".journal")
