treskel_test(platform
  PORTABLE classes_test.cpp streams_test.cpp sysutils_test.cpp formloader_test.cpp
  WIN32 forms_wintest.cpp
        registry_wintest.cpp
  GUI
)
