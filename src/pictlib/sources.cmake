# The program's side of the picture library: loading it and calling it.
treskel_sources(WIN32 PictLibImport.cpp)
