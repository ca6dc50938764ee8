// Starting other programs: the copy program from the shell extension, PowerShell from the
// options dialog. And what the shell extension needs to know of its own module and the system.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Win.h"

namespace zv::win {

// The shell extension's two (in ModuleStart.cpp, which the program does not link).
// The folder of a loaded module (the extension's DLL), without a trailing backslash.
std::wstring ModuleFolder(HMODULE module);
// Starts `exe` with the whole `commandLine` (its own name first) and waits until it reads input,
// at most `idleWaitMs`, so that a start right after finds it running. 0, or the system's error.
uint32_t StartProgram(const std::wstring& exe, const std::wstring& commandLine, uint32_t idleWaitMs);
// CreateProcessW with the given creation flags and show state; `error` is the system's on failure.
// The caller closes both handles.
std::optional<PROCESS_INFORMATION> StartProcess(const std::wstring& exe, const std::wstring& commandLine, DWORD flags,
                                                WORD show, uint32_t& error);
// Runs a console program without a window to its end: its exit code, nothing when it could not
// be started.
std::optional<uint32_t> RunHidden(const std::wstring& exe, const std::wstring& commandLine);

}  // namespace zv::win
