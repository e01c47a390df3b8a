// The precompiled header of the Win32 tests is made with this file.
