zv_portable()
zv_win()
