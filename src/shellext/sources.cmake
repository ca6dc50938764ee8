# shellext: ZarvaneShell.dll, the handler of Windows 11's own right-click menu (COM glue only;
# what it decides is options/ContextMenuState). Top layer beside startup: may include any folder.
zv_portable()
set(ZV_SHELLEXT_SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExplorerCommand.cpp)
set(ZV_SHELLEXT_DEF ${CMAKE_CURRENT_LIST_DIR}/ZarvaneShell.def)
