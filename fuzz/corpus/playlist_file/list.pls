[playlist]
NumberOfEntries=2
File1=song.mp3
Title1=Song
Length1=200
File2=file:///music/with%20space.mp3
Version=2
