treskel_sources(
  PORTABLE TreskelOptionsRules.cpp frmMainRules.cpp
  WIN32 frmMain.cpp frmMainNotes.cpp frmMainTabs.cpp frmMainItems.cpp frmMainTree.cpp frmMainEditor.cpp
        TreeItems.cpp RegisterAll.cpp frmMainPrint.cpp frmMainPictures.cpp SearchDialog.cpp LinkInformation.cpp
        TreskelOptions.cpp OtherQiv.cpp
)
