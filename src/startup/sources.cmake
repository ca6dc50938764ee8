zv_portable(PathText.cpp Settings.cpp Startup.cpp VersionText.cpp)
zv_win(basZarvane.cpp PendingForms.cpp)
