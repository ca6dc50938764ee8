zv_portable(Placement.cpp)
zv_win(MessageLoop.cpp FocusState.cpp Form.cpp SettingBinding.cpp clsToolTip.cpp clsCursOp.cpp WindowPlacement.cpp)
zv_win(frmAbout.cpp)
