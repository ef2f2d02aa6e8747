"""FLAC, Ogg Vorbis, Opus and Ogg FLAC files from flac, oggenc and opusenc, with edge cases
added by mutagen (UTF-8, several values, a comment over 64 KiB and so over several pages, a
picture); the values expected of a file are what mutagen reads there."""
import base64
import os
import re
import shutil
import subprocess
import sys

import mutagen
from mutagen.flac import FLAC, Picture
from mutagen.oggflac import OggFLAC
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis

TOOLS = ["flac", "oggenc", "opusenc"]
BLANKS = "".join(map(chr, range(33)))
MAX_PAGE_DATA = 255 * 255

CYRILLIC = "Песня о дружбе"
JAPANESE = "夜明けの歌"
LONG_COMMENT = ("Примечание к записи, длинное. " * 2600).strip()  # about 140 KB of UTF-8


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def picture():
    p = Picture()
    p.type, p.mime, p.data = 3, "image/jpeg", os.urandom(200 * 1024)
    return p


def values(tags, *names):
    """The cleaned, non-empty values of the first of `names` that has any."""
    for name in names:
        found = [v.strip(BLANKS) for v in (tags[name] if name in tags else []) if v.strip(BLANKS)]
        if found:
            return found
    return []


def expected_from_mutagen(path):
    tags = mutagen.File(path).tags or {}
    joined = lambda *names: "; ".join(values(tags, *names))
    e = {"title": joined("title"), "artist": joined("artist"), "albumartist": joined("albumartist", "album artist"),
         "album": joined("album"), "genre": joined("genre"), "publisher": joined("organization", "label"),
         "composer": joined("composer"), "copyright": joined("copyright"), "comment": joined("comment", "description"),
         "url": joined("contact", "website")}
    track = re.match(r"[0-9]*", (values(tags, "tracknumber") or [""])[0]).group()
    e["track"] = int(track) if track and int(track) <= 65535 else 0
    year = re.match(r"[0-9]{4}", (values(tags, "date", "year") or [""])[0])
    e["year"] = int(year.group()) if year and int(year.group()) > 0 else -1
    e["albumartist"] = e["albumartist"] or e["artist"]
    e["artist"] = e["artist"] or e["albumartist"]
    return e


def make(out, wav):
    """Writes the files into `out` from the clip `wav`; returns their manifest entries."""
    files = []

    def path(name):
        files.append(name)
        return os.path.join(out, name)

    def edge(name, source, kind, extra):
        p = path(name)
        shutil.copy(os.path.join(out, source), p)
        f = kind(p)
        f.tags["artist"] = [CYRILLIC, JAPANESE, "Third"]
        f.tags["comment"] = LONG_COMMENT
        for key, value in extra.items():
            f.tags[key] = value
        if kind is FLAC:
            f.add_picture(picture())
        else:
            f.tags["metadata_block_picture"] = base64.b64encode(picture().write()).decode()
        f.save()
        f = kind(p)  # the edge cases really are in the file, as mutagen reads it
        if f.tags["comment"] != [LONG_COMMENT] or len(LONG_COMMENT.encode()) <= MAX_PAGE_DATA or len(f.tags["artist"]) < 3:
            sys.exit(f"{p}: mutagen does not read the long comment or the artists back")

    run("flac", "--silent", "-f", "-T", "TITLE=" + CYRILLIC, "-T", "ARTIST=" + JAPANESE, "-T", "ARTIST=Second",
        "-T", "ALBUM=Альбом", "-T", "TRACKNUMBER=3/12", "-T", "DATE=2004-05-01", "-T", "ORGANIZATION=Label",
        "-T", "GENRE=Folk", "-o", path("flac.flac"), wav)
    edge("flac_edge.flac", "flac.flac", FLAC,
         {"album artist": "Оркестр", "label": "Other label", "website": "http://example.org/", "year": "1999",
          "date": "c. 1999", "title": [JAPANESE, "  padded  "]})

    run("oggenc", "--quiet", "-t", JAPANESE, "-a", CYRILLIC, "-l", "夜", "-N", "07", "-d", "1987", "-G", "Jazz",
        "-c", "COMPOSER=Композитор", "-c", "ALBUMARTIST=Band", "-c", "COPYRIGHT=(c) Ж", "-o", path("oggenc.ogg"), wav)
    edge("vorbis_edge.ogg", "oggenc.ogg", OggVorbis, {"contact": "mailto:a@example.org", "tracknumber": "A1"})

    run("opusenc", "--quiet", "--title", CYRILLIC, "--artist", JAPANESE, "--album", "Opus album", "--date", "2011",
        "--tracknumber", "12", "--comment", "DESCRIPTION=Описание", wav, path("opusenc.opus"))
    edge("opus_edge.opus", "opusenc.opus", OggOpus, {"albumartist": "Хор", "organization": "Org"})

    run("flac", "--silent", "-f", "--ogg", "-T", "TITLE=Ogg FLAC " + JAPANESE, "-T", "ARTIST=Band",
        "-T", "TRACKNUMBER=5", "-o", path("oggflac.oga"), wav)
    edge("oggflac_edge.oga", "oggflac.oga", OggFLAC, {"genre": ["Rock", "Pop"]})

    return [{"file": name, "expect": expected_from_mutagen(os.path.join(out, name)),
             "length_ms": mutagen.File(os.path.join(out, name)).info.length * 1000, "length_tolerance_ms": 1}
            for name in files]
