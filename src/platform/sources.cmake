zv_portable()
zv_win(Text.cpp FileSys.cpp Profile.cpp AppInfo.cpp)
