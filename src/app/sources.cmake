treskel_sources(
  PORTABLE CRC32c.cpp ByteIO.cpp RtfPack.cpp ItemData.cpp ItemTree.cpp TreeFile.cpp FileOps.cpp
           TreskelArchive.cpp NoteFile.cpp TreskelNames.cpp
  WIN32 frmMain.cpp frmMainNotes.cpp frmMainTabs.cpp frmMainItems.cpp frmMainTree.cpp frmMainEditor.cpp
        TreeItems.cpp RegisterAll.cpp SearchDialog.cpp LinkInformation.cpp
)
