// A small library for the search tests: a few artists with albums of
// different sizes, an album without name, non-ASCII names, videos and playlists.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "library/library.h"

namespace tunevale::test {

class TSearchFixture {
 public:
  TSearchFixture() : Library(Settings, "/opt/tunevale") {
    Settings.LibraryFolders = {"/music"};
    // ABBA: "Waterloo" with 4 tracks, "Gold" with 3 (an incomplete album).
    Add("/music/ABBA/Waterloo/01 Waterloo.mp3", "Waterloo", "ABBA", "ABBA", "Waterloo", 1974, "Pop",
        "Benny Andersson");
    Add("/music/ABBA/Waterloo/02 Honey, Honey.mp3", "Honey, Honey", "ABBA", "ABBA", "Waterloo", 1974, "Pop", "");
    Add("/music/ABBA/Waterloo/03 Watch Out.mp3", "Watch Out", "ABBA", "ABBA", "Waterloo", 1974, "Pop", "");
    Add("/music/ABBA/Waterloo/04 Suzy.mp3", "Suzy-Hang-Around", "ABBA", "ABBA", "Waterloo", 1974, "Pop", "");
    Add("/music/ABBA/Gold/01 Dancing Queen.FLAC", "Dancing Queen", "ABBA", "ABBA", "Gold", 1992, "Pop", "");
    Add("/music/ABBA/Gold/02 Knowing Me.flac", "Knowing Me, Knowing You", "ABBA", "ABBA", "Gold", 1992, "Pop", "");
    Add("/music/ABBA/Gold/03 Waterloo.flac", "Waterloo (Live)", "ABBA", "ABBA", "Gold", 1992, "Pop", "");
    // The Kinks: one album of 4 tracks.
    Add("/music/Kinks/01 Waterloo Sunset.mp3", "Waterloo Sunset", "The Kinks", "The Kinks", "Something Else", 1967,
        "Rock", "Ray Davies");
    Add("/music/Kinks/02 David Watts.mp3", "David Watts", "The Kinks", "The Kinks", "Something Else", 1967, "Rock",
        "Ray Davies");
    Add("/music/Kinks/03 Death.mp3", "Death of a Clown", "The Kinks", "The Kinks", "Something Else", 1967, "Rock",
        "");
    Add("/music/Kinks/04 Tin Soldier Man.mp3", "Tin Soldier Man", "The Kinks", "The Kinks", "Something Else", 1967,
        "Rock", "");
    // Non-ASCII names (folded on entry, searched in any case).
    Add("/music/Ärzte/Ärger.ogg", "Ärger im Paradies", "Die Ärzte feat. Farin", "Die Ärzte", "Straße", 1996, "Punk",
        "");
    // No album, no year, no title, no album artist.
    Add("/music/misc/loose track.mp3", "", "", "", "", -1, "", "");
    Library.Videos.Add("/music/Videos/Waterloo Live.mkv", "Waterloo Live", false);
    Library.Videos.Add("/music/Videos/barn dance.mkv", "Hoedown", false);
    Library.Playlists.Add("/music/bar/Party.m3u", "Party", false);
    Library.Playlists.Add("/music/Lists/Chill.m3u", "Chill", false);
  }

  void Add(const std::string& path, const std::string& title, const std::string& artist,
           const std::string& albumArtist, const std::string& album, int year, const std::string& genre,
           const std::string& composer) {
    TMetaData meta;
    meta.Title = title;
    meta.Artist = artist;
    meta.AlbumArtist = albumArtist;
    meta.Album = album;
    meta.Year = year;
    meta.Genre = genre;
    meta.Composer = composer;
    Library.AddTrack(TTrack::Create(path, "", meta, 0, false));
  }

  TLibrarySettings Settings;
  TLibrary Library;
};

}  // namespace tunevale::test
