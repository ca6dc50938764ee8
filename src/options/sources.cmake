# options: right-click menu registration, options and advanced dialogs.
# A feature folder: includes core/, platform/, ui/, and format/ whose dialog it opens.
zv_portable(ShellMenu.cpp ContextMenuState.cpp PackageRegistration.cpp)
zv_win(OptionsDialog.cpp AdvancedDialog.cpp Win11Menu.cpp)
