# setup: the welcome dialog and shell links.
# A feature folder: includes core/, platform/ and ui/.
zv_portable()
zv_win(ShellLink.cpp WelcomeDialog.cpp)
