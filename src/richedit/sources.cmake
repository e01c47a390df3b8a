treskel_sources(
  PORTABLE WStrList.cpp RichEdit2Rules.cpp RichEdit2RulesRtf.cpp RichEdit2RulesPara.cpp
  WIN32_BASE WStrListWin.cpp
  POSIX_BASE WStrListPosix.cpp
  WIN32 Langs.cpp RichEditBase.cpp RichEdit2.cpp RichEdit2Attr.cpp RichEdit2Breaks.cpp RichEdit2Lines.cpp RichEdit2Url.cpp
        RichOLE.cpp
        RichEditRegister.cpp
)
