# ui: dialog base, placement, message boxes, tooltips, cursor, focus and What's-This help.
# Includes core/ and platform/; what it needs of the program it is given by its caller.
zv_portable(Placement.cpp)
zv_win(MessageLoop.cpp AppWindow.cpp FocusState.cpp Contrast.cpp Dpi.cpp Form.cpp WhatsThis.cpp ScreenReaderNames.cpp HelpPopup.cpp Tooltip.cpp MouseCursor.cpp WindowPlacement.cpp)
zv_win(AboutDialog.cpp)
