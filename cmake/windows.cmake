# Windows tree: Zarvane.exe, statically linked, resources embedded; tests run under Wine.
target_compile_definitions(zv_portable PUBLIC UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)

set(ZV_SYSTEM_LIBS user32 gdi32 advapi32 shell32 ole32 oleaut32 uuid comctl32 comdlg32 imm32)
add_library(zv_win STATIC ${ZV_WIN_SOURCES})
target_link_libraries(zv_win PUBLIC zv_portable ${ZV_SYSTEM_LIBS})
target_include_directories(zv_win PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_compile_options(zv_win PRIVATE ${ZV_WARNINGS})

if(NOT MSVC)
  # No runtime DLLs beside the program: libstdc++, libgcc and winpthread go in statically.
  set(ZV_STATIC_LINK -static -static-libgcc -static-libstdc++)
  set(ZV_UNICODE_ENTRY -municode)
  # Release: -Os rather than CMake's -O3. The program's time goes to Windows' own calls, not
  # its code; -O3's unrolled and inlined copies make it a third larger for nothing. Every
  # function and datum in a section of its own, so that the link drops what is never called;
  # the program is linked stripped.
  set(ZV_SECTIONS "$<$<CONFIG:Release>:-Os>" "$<$<CONFIG:Release,MinSizeRel>:-ffunction-sections;-fdata-sections>")
  set(ZV_RELEASE_LINK "$<$<CONFIG:Release,MinSizeRel>:-s;-Wl,--gc-sections>")
  target_compile_options(zv_portable PRIVATE ${ZV_SECTIONS})
  target_compile_options(zv_win PRIVATE ${ZV_SECTIONS})
endif()

configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${CMAKE_BINARY_DIR}/generated/zv_version.h @ONLY)
add_executable(Zarvane WIN32 ${CMAKE_SOURCE_DIR}/src/startup/WinMain.cpp ${CMAKE_SOURCE_DIR}/res/Zarvane.rc)
target_include_directories(Zarvane PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(Zarvane PRIVATE zv_win)
target_link_options(Zarvane PRIVATE ${ZV_STATIC_LINK} ${ZV_UNICODE_ENTRY} ${ZV_RELEASE_LINK})
target_compile_options(Zarvane PRIVATE ${ZV_SECTIONS})
include(cmake/delayload.cmake)

# ZarvaneShell.dll beside the program: the handler of Windows 11's own right-click menu. Static
# like the program; the .def exports exactly DllGetClassObject and DllCanUnloadNow.
add_library(ZarvaneShell SHARED ${ZV_SHELLEXT_SOURCES} ${ZV_SHELLEXT_DEF})
target_link_libraries(ZarvaneShell PRIVATE zv_win shlwapi)
target_compile_options(ZarvaneShell PRIVATE ${ZV_WARNINGS} ${ZV_SECTIONS})
target_link_options(ZarvaneShell PRIVATE ${ZV_STATIC_LINK} ${ZV_RELEASE_LINK})
set_target_properties(ZarvaneShell PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_target_properties(Zarvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The user manual stands beside the program, as in the release archive.
configure_file(${CMAKE_SOURCE_DIR}/docs/Readme.txt ${CMAKE_BINARY_DIR}/Readme.txt COPYONLY)

# GoogleTest built from its sources with the same compiler (Debian ships them here); without
# them only the program is built.
set(ZV_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows tests")
if(NOT EXISTS ${ZV_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(STATUS "No GoogleTest sources at ${ZV_GTEST_SOURCE_DIR}: building Zarvane.exe without its tests")
  return()
endif()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${ZV_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Small helper programs that the tests start (recorders, drivers).
file(GLOB ZV_TEST_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/tools/*.cpp)
foreach(src ${ZV_TEST_TOOLS})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_compile_definitions(${name} PRIVATE UNICODE _UNICODE)
  target_link_options(${name} PRIVATE ${ZV_STATIC_LINK} ${ZV_UNICODE_ENTRY})
  target_link_libraries(${name} PRIVATE ${ZV_SYSTEM_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  list(APPEND ZV_TOOL_TARGETS ${name})
endforeach()

file(GLOB ZV_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(zv_win_tests ${ZV_WIN_TESTS} ${CMAKE_SOURCE_DIR}/res/Zarvane.rc)
target_include_directories(zv_win_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/win ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/res)
target_link_libraries(zv_win_tests PRIVATE zv_win gtest)
target_link_options(zv_win_tests PRIVATE ${ZV_STATIC_LINK})
target_compile_options(zv_win_tests PRIVATE ${ZV_WARNINGS})
if(NOT MSVC)
  # Test code gains nothing from optimisation and compiles several times faster without it.
  target_compile_options(zv_win_tests PRIVATE -O0)
endif()
target_compile_definitions(zv_win_tests PRIVATE ZV_TEST_BIN_DIR="${CMAKE_BINARY_DIR}")
set_target_properties(zv_win_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
add_dependencies(zv_win_tests Zarvane ZarvaneShell ${ZV_TOOL_TARGETS})
add_test(NAME win COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-test.sh $<TARGET_FILE:zv_win_tests> --gtest_output=xml:${CMAKE_BINARY_DIR}/win-tests.xml)
