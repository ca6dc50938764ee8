zv_portable(Era.cpp NameFormat.cpp NameCheck.cpp)
zv_win(clsFileOp.cpp frmZarvane.cpp)
