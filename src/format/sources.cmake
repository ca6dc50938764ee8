# format: the format dialog and its token menu.
# A feature folder: includes core/, platform/ and ui/.
zv_portable(TokenMenu.cpp)
zv_win(FormatDialog.cpp NamedFormatDialog.cpp TokenPopup.cpp)
