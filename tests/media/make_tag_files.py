#!/usr/bin/python3
"""Makes real tagged media files with the tools users' files come from.

    make_tag_files.py OUTDIR

Encodes short clips with lame (CBR MPEG-1, VBR with a Xing header, MPEG-2
22.05 kHz) and ffmpeg (WMA), tags them with mutagen (ID3v2.3 and v2.4 in
every encoding mutagen writes), id3v2 and eyeD3 (ID3v1), ffmpeg -metadata
(WMA) and, where no tool writes a form any more (ID3v2.2, UTF-8 and UTF-16BE
inside v2.3, which taggers still produce), with raw frames that mutagen then
reads back. Writes OUTDIR/manifest.json: per file the values the tool wrote,
and the play length mutagen measures.

FLAC and Ogg files come from xiph_tag_files.py, with the values mutagen reads.

Exits non-zero when a tool is missing: the test must not pass without it.
"""
import json
import math
import os
import shutil
import struct
import subprocess
import sys
import wave

try:
    import mutagen
    from mutagen.id3 import (ID3, APIC, COMM, TALB, TCOM, TCON, TCOP, TDRC, TIT2, TPE1, TPE2, TPUB, TRCK,
                             TYER, WXXX)
    from mutagen.mp3 import MP3
except ImportError:
    sys.exit("python3-mutagen is missing (scripts/install-deps.sh --test installs it)")

import xiph_tag_files

TOOLS = ["lame", "ffmpeg", "id3v2", "eyeD3"] + xiph_tag_files.TOOLS

CYRILLIC = "Песня о дружбе"
JAPANESE = "夜明けの歌"
LATIN1 = "Café Ölmühle"


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def write_wav(path, seconds, rate=44100):
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(rate)
        frames = bytearray()
        for i in range(int(seconds * rate)):
            v = int(8000 * math.sin(2 * math.pi * 440 * i / rate) + 4000 * math.sin(2 * math.pi * 1234 * i / rate))
            frames += struct.pack("<hh", v, v)
        w.writeframes(bytes(frames))


# ---- raw ID3v2 writing for the forms mutagen no longer writes ----

def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def encode_text(text, encoding):
    if encoding == 0:
        return text.encode("latin-1")
    if encoding == 1:
        return b"\xff\xfe" + text.encode("utf-16-le")
    if encoding == 2:
        return text.encode("utf-16-be")
    return text.encode("utf-8")


def terminator(encoding):
    return b"\0\0" if encoding in (1, 2) else b"\0"


def raw_frames(values, encoding, three_letter):
    """values: list of (id4, id3, text); COMM gets a language and empty description."""
    out = b""
    for id4, id3, text in values:
        body = bytes([encoding])
        if id4 == "COMM":
            body += b"eng" + encode_text("", encoding) + terminator(encoding) + encode_text(text, encoding)
        else:
            body += encode_text(text, encoding)
        if three_letter:
            out += id3.encode() + struct.pack(">I", len(body))[1:] + body
        else:
            out += id4.encode() + struct.pack(">I", len(body)) + b"\0\0" + body
    return out


def raw_tag(version, frames, padding=64):
    return b"ID3" + bytes([version, 0, 0]) + syncsafe(len(frames) + padding) + frames + b"\0" * padding


def prepend(path, data):
    with open(path, "rb") as f:
        audio = f.read()
    with open(path, "wb") as f:
        f.write(data + audio)


# ---- the files ----

FIELDS = {  # our field -> (four-letter id, three-letter id)
    "title": ("TIT2", "TT2"), "artist": ("TPE1", "TP1"), "albumartist": ("TPE2", "TP2"),
    "album": ("TALB", "TAL"), "genre": ("TCON", "TCO"), "publisher": ("TPUB", "TPB"),
    "composer": ("TCOM", "TCM"), "copyright": ("TCOP", "TCR"), "comment": ("COMM", "COM"),
    "track": ("TRCK", "TRK"), "year": ("TYER", "TYE"),
}


def tags_for(title, artist, album, **extra):
    t = {"title": title, "artist": artist, "albumartist": extra.pop("albumartist", "Orchestra " + artist),
         "album": album, "genre": "(17)", "publisher": "Label " + album, "composer": "Composer " + artist,
         "copyright": "2003 " + artist, "comment": "Note on " + title, "track": "3/12", "year": "1999"}
    t.update(extra)
    return t


def expected_from(tags):
    e = {k: v for k, v in tags.items() if k not in ("track", "year", "genre", "url")}
    e["track"] = int(tags["track"].split("/")[0])
    e["year"] = int(tags["year"][:4]) if "year" in tags else -1  # a v2.4 timestamp gives its year
    e["genre"] = "Rock" if tags["genre"] in ("(17)", "Rock") else tags["genre"]
    if "url" in tags:
        e["url"] = tags["url"]
    return e


def mutagen_tag(path, tags, encoding, version, picture=False, v1=0):
    t = ID3()
    kinds = {"title": TIT2, "artist": TPE1, "albumartist": TPE2, "album": TALB, "genre": TCON,
             "publisher": TPUB, "composer": TCOM, "copyright": TCOP, "track": TRCK,
             "year": TDRC if version == 4 else TYER}
    if picture:  # saved first among the frames? mutagen orders them; either way it must be skipped
        t.add(APIC(encoding=3, mime="image/jpeg", type=3, desc="cover", data=os.urandom(200 * 1024)))
    for key, cls in kinds.items():
        if key in tags:
            t.add(cls(encoding=encoding, text=tags[key]))
    t.add(COMM(encoding=encoding, lang="eng", desc="", text=tags["comment"]))
    if "url" in tags:
        t.add(WXXX(encoding=encoding, desc="", url=tags["url"]))
    t.save(path, v2_version=version, v1=v1)


def check_mutagen_reads(path, tags):
    """The file really holds what we expect, read by an independent reader."""
    id3 = ID3(path)
    for key in ("title", "artist", "album", "composer"):
        if key in tags:
            got = str(id3.get(FIELDS[key][0]))
            if got != tags[key]:
                sys.exit(f"{path}: mutagen reads {key} {got!r}, wrote {tags[key]!r}")
    # mutagen reads every year as TDRC, and shows a timestamp's "T" as a blank.
    if "year" in tags and str(id3.get("TDRC")).replace(" ", "T") != tags["year"]:
        sys.exit(f"{path}: mutagen reads year {id3.get('TDRC')!r}, wrote {tags['year']!r}")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        sys.exit("missing tools: " + ", ".join(missing) + " (scripts/install-deps.sh --test installs them)")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    wav = os.path.join(out, "clip.wav")
    write_wav(wav, 3.0)
    sources = {
        "cbr": ["lame", "--quiet", "--cbr", "-b", "128", wav],
        "vbr": ["lame", "--quiet", "-V", "4", wav],
        "mpeg2": ["lame", "--quiet", "--resample", "22.05", "-b", "64", wav],
    }
    for name, cmd in sources.items():
        run(*cmd, os.path.join(out, name + ".mp3"))

    manifest = []

    def add(name, expect, source=None):
        path = os.path.join(out, name)
        length = None
        if name.endswith(".mp3"):
            length = round(MP3(path).info.length * 1000)
        manifest.append({"file": name, "expect": expect, "length_ms": length, "source": source})

    def copy(source, name):
        path = os.path.join(out, name)
        shutil.copy(os.path.join(out, source + ".mp3"), path)
        return path

    # Untagged streams: only the length.
    for source in sources:
        add(source + ".mp3", {"title": "", "year": -1, "track": 0}, source)

    # mutagen, ID3v2.3 (it writes Latin-1 and UTF-16 there) and ID3v2.4 (all four).
    cases = [
        (3, 0, "cbr", tags_for(LATIN1, "Beyoncé", "Ölmühle", url="http://example.org/latin")),
        (3, 1, "vbr", tags_for(CYRILLIC, JAPANESE, "Альбом", url="http://example.org/utf16")),
        (3, 1, "mpeg2", tags_for(JAPANESE, CYRILLIC, "アルバム", track="07")),
        (4, 0, "cbr", tags_for(LATIN1, "Mötley", "Über")),
        (4, 1, "vbr", tags_for(CYRILLIC, JAPANESE, "Альбом", comment=("Долгий комментарий " * 8).strip(),
                               year="2004-05-17T10:00:00")),
        (4, 2, "cbr", tags_for(JAPANESE, CYRILLIC, "夜", year="1987-11")),
        (4, 3, "mpeg2", tags_for(CYRILLIC + " " + JAPANESE, "Ёж", "Ж", url="http://example.org/utf8")),
    ]
    for version, encoding, source, tags in cases:
        name = f"v2{version}_enc{encoding}_{source}.mp3"
        path = copy(source, name)
        mutagen_tag(path, tags, encoding, version)
        check_mutagen_reads(path, tags)
        add(name, expected_from(tags), source)

    # A 200 KB picture among the frames, and an ID3v1 tag behind the ID3v2 tag.
    tags = tags_for("With cover", "Painter", "Gallery", genre="Rock")
    path = copy("cbr", "v23_picture_v1.mp3")
    mutagen_tag(path, tags, 1, 3, picture=True, v1=2)
    check_mutagen_reads(path, tags)
    with open(path, "rb") as f:
        f.seek(-128, 2)
        if f.read(3) != b"TAG":
            sys.exit("mutagen wrote no ID3v1 tag")
    add("v23_picture_v1.mp3", expected_from(tags), "cbr")

    # Raw frames: ID3v2.3 with UTF-16BE and UTF-8 (written by many taggers though
    # not in that version), and ID3v2.2 in Latin-1 and UTF-16.
    raw_cases = [
        (3, 2, "vbr", tags_for(JAPANESE, CYRILLIC, "夜", genre="Rock")),
        (3, 3, "cbr", tags_for(CYRILLIC, JAPANESE, "Альбом")),
        (2, 0, "cbr", tags_for(LATIN1, "Art", "Alb")),
        (2, 1, "mpeg2", tags_for(CYRILLIC, JAPANESE, "Альбом")),
    ]
    for version, encoding, source, tags in raw_cases:
        values = [(FIELDS[k][0], FIELDS[k][1], v) for k, v in tags.items() if k in FIELDS]
        name = f"raw_v2{version}_enc{encoding}_{source}.mp3"
        path = copy(source, name)
        prepend(path, raw_tag(version, raw_frames(values, encoding, version == 2)))
        check_mutagen_reads(path, tags)
        add(name, expected_from(tags), source)

    # ID3v1 by id3v2 and by eyeD3 (both write Latin-1).
    path = copy("cbr", "v1_id3v2.mp3")
    run("id3v2", "-1", "-t", "Café du Monde", "-a", "Zoë", "-A", "Vinyl", "-y", "2001", "-c", "v1 comment",
        "-T", "7", "-g", "17", path)
    add("v1_id3v2.mp3", {"title": "Café du Monde", "artist": "Zoë", "albumartist": "Zoë", "album": "Vinyl",
                         "year": 2001, "comment": "v1 comment", "track": 7, "genre": "Rock"}, "cbr")
    path = copy("vbr", "v1_eyed3.mp3")
    run("eyeD3", "--quiet", "--v1", "-t", "Ölmühle", "-a", "Björk", "-A", "Début", "-Y", "1993", "-c", "note",
        "-n", "4", "-G", "Jazz", path)
    add("v1_eyed3.mp3", {"title": "Ölmühle", "artist": "Björk", "albumartist": "Björk", "album": "Début",
                         "year": 1993, "comment": "note", "track": 4, "genre": "Jazz"}, "vbr")

    # WMA by ffmpeg: title, author in the description object, "WM/" attributes beside.
    wma = os.path.join(out, "ffmpeg.wma")
    run("ffmpeg", "-loglevel", "error", "-y", "-i", wav, "-c:a", "wmav2", "-b:a", "64k",
        "-metadata", "title=" + CYRILLIC, "-metadata", "artist=" + JAPANESE, "-metadata", "album=Альбом",
        "-metadata", "album_artist=Оркестр", "-metadata", "genre=Pop", "-metadata", "track=5",
        "-metadata", "composer=作曲家", "-metadata", "publisher=Label", "-metadata", "WM/Year=2004",
        "-metadata", "WM/SubTitle=Live", "-metadata", "WM/ProviderCopyright=(c) Ж", wma)
    add("ffmpeg.wma", {"title": CYRILLIC + " - Live", "artist": JAPANESE, "albumartist": "Оркестр",
                       "album": "Альбом", "genre": "Pop", "track": 5, "composer": "作曲家", "publisher": "Label",
                       "year": 2004, "copyright": "(c) Ж", "length": 0})

    manifest += xiph_tag_files.make(out, wav)

    os.remove(wav)
    with open(os.path.join(out, "manifest.json"), "w", encoding="utf-8") as f:
        json.dump(manifest, f, ensure_ascii=False, indent=1)


if __name__ == "__main__":
    main()
