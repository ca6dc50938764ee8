# platform: thin Win32 wrappers, the only place that calls the OS (files, profile, registry,
# shell, pickers, association). Includes core/ only.
zv_portable()
zv_win(Text.cpp ProcessLaunch.cpp ModuleStart.cpp Accessibility.cpp CallbackGuard.cpp FileSys.cpp Profile.cpp AppInfo.cpp RegistryWin.cpp Pickers.cpp OpenByAssociationWin.cpp)
