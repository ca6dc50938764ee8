zv_portable()
zv_win(clsShellLink.cpp frmSetup.cpp)
