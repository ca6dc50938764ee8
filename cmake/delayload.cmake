# The shell, the common dialogs and COM are needed only after the user acts (copy, pickers,
# shell links, opening a file): Zarvane.exe loads them on their first call, not at start.
# MSVC does it with /DELAYLOAD; mingw-w64 with delay-import libraries that dlltool makes from
# cmake/delayload/<dll>.def, which list the functions the program calls. A function missing
# there is imported at start again: scripts/check-imports.sh reports that.
set(ZV_DELAY_LOADED shell32 comdlg32 ole32)
if(MSVC)
  foreach(dll ${ZV_DELAY_LOADED})
    target_link_options(Zarvane PRIVATE /DELAYLOAD:${dll}.dll)
  endforeach()
  target_link_libraries(Zarvane PRIVATE delayimp)
  return()
endif()

if(NOT CMAKE_DLLTOOL)
  get_filename_component(zv_bin ${CMAKE_CXX_COMPILER} DIRECTORY)
  find_program(CMAKE_DLLTOOL NAMES ${ZV_MINGW}-dlltool dlltool HINTS ${zv_bin} REQUIRED)
endif()
foreach(dll ${ZV_DELAY_LOADED})
  set(def ${CMAKE_SOURCE_DIR}/cmake/delayload/${dll}.def)
  set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
  add_custom_command(OUTPUT ${lib}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
                     COMMAND ${CMAKE_DLLTOOL} -d ${def} -y ${lib}
                     DEPENDS ${def} VERBATIM)
  list(APPEND zv_delay_libs ${lib})
endforeach()
add_custom_target(zv_delayload DEPENDS ${zv_delay_libs})
add_dependencies(Zarvane zv_delayload)
# Ahead of zv_win, whose system libraries come later on the link line.
target_link_libraries(Zarvane PRIVATE ${zv_delay_libs})
