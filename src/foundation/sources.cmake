treskel_sources(
  PORTABLE qclclass.cpp
)
