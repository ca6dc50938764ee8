zv_portable(TokenMenu.cpp)
zv_win(frmFormat.cpp)
