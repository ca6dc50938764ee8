zv_portable()
zv_win(MessageLoop.cpp FocusState.cpp)
