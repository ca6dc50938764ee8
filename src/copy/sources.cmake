# copy: the copy dialog, name format, name checks and the shell file operation.
# A feature folder: includes core/, platform/ and ui/.
zv_portable(Era.cpp NameFormat.cpp NameCheck.cpp SourceQueue.cpp TreeCheck.cpp)
zv_win(ShellFileOperation.cpp CopyGuard.cpp TreeProgressDialog.cpp CopyDialog.cpp)
