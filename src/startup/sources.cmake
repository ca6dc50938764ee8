zv_portable(PathText.cpp Settings.cpp Startup.cpp VersionText.cpp)
zv_win(basZarvane.cpp PendingForms.cpp)
zv_portable(OpenByAssociation.cpp)
zv_win(OpenByAssociationWin.cpp)
