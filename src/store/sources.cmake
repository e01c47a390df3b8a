treskel_sources(
  PORTABLE CRC32c.cpp ByteIO.cpp RtfPack.cpp ItemData.cpp ItemTree.cpp TreeFile.cpp FileOps.cpp
           TreskelArchive.cpp NoteFile.cpp TreskelNames.cpp NoteStore.cpp NoteStoreUpgrade.cpp
           NoteStoreRename.cpp
)
