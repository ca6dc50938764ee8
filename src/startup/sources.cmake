# startup: entry point, start-up sequence and single instance. Top layer: may include any folder.
zv_portable(Startup.cpp)
zv_win(StartupWin.cpp SingleInstance.cpp)
