treskel_sources(
  PORTABLE PreviewGeometry.cpp RtfParts.cpp
  WIN32 PrevPrinter.cpp PrevPrinterText.cpp PrevForm.cpp Gopage.cpp PageSetupDlg.cpp FormSettings.cpp PgSetup.cpp
)
