treskel_sources(
  PORTABLE qclformARules.cpp qclspltRules.cpp qcldlgSRules.cpp qclctrl.cpp qclextcSLists.cpp qclbtn.cpp qclgroup.cpp qclctrlA.cpp
  WIN32 qclextcS.cpp qclctrlWin.cpp qclbtnWin.cpp qclstdcS.cpp qclctrlAWin.cpp qclgroupWin.cpp qclbtnWnd.cpp qclbtnMM.cpp qclctrlRegister.cpp
        qclformA.cpp qclformAStyle.cpp qclsplt.cpp qclctrlAImage.cpp qclextcSEdge.cpp qcldlgS.cpp
)
