treskel_sources(
  PORTABLE SysUtils.cpp Classes.cpp Streams.cpp DibFormat.cpp JpegCodec.cpp FileSysCommon.cpp FormLoader.cpp Types.cpp FileCtrlRules.cpp
  WIN32_BASE FileSysWin.cpp
  POSIX_BASE FileSysPosix.cpp
  WIN32 Graphics.cpp GraphicsImages.cpp Controls.cpp ControlsWindowed.cpp ControlsAlign.cpp ControlsDrag.cpp ControlsBiDi.cpp ControlsDock.cpp DockTree.cpp Forms.cpp FormsDock.cpp FormsLayout.cpp FormsScreen.cpp Menus.cpp ActnList.cpp Dialogs.cpp InputQuery.cpp StdCtrls.cpp
        Register.cpp
        Handles.cpp Subclass.cpp UtilityWindow.cpp ExtCtrls.cpp Clipbrd.cpp Printers.cpp FileDialogs.cpp FontColorDialogs.cpp FindDialog.cpp
        PrintDialogs.cpp RegisterStdLib.cpp
        Registry.cpp IniFiles.cpp
        ImgList.cpp ComCtrlsTree.cpp ComCtrlsTreeMessages.cpp ComCtrlsTreeNodes.cpp ComCtrlsTabs.cpp ComCtrlsToolBar.cpp ComCtrlsStatus.cpp ComCtrlsProgress.cpp ComCtrlsRegister.cpp
)
treskel_sources(WIN32 ListCtrls.cpp ScrollBox.cpp Spin.cpp DibBitmap.cpp JpegImage.cpp FileCtrl.cpp)
