zv_portable()
zv_win()
zv_portable(ShellMenu.cpp)
zv_win(basRegEx.cpp)
