treskel_test(platform
  PORTABLE classes_test.cpp streams_test.cpp sysutils_test.cpp formloader_test.cpp
  WIN32 forms_wintest.cpp
        stdctrls_wintest.cpp extctrls_wintest.cpp dialogs_wintest.cpp clipbrd_wintest.cpp printers_wintest.cpp
        TestPrinter.cpp
        registry_wintest.cpp
        comctrls_wintest.cpp comctrlsbars_wintest.cpp scrollbox_wintest.cpp spin_wintest.cpp
  GUI
)
