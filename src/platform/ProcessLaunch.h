// Starting other programs: the copy program from the shell extension, PowerShell from the
// options dialog. And what the shell extension needs to know of its own module and the system.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Win.h"

namespace zv::win {

// The folder of a loaded module (the extension's DLL), without a trailing backslash.
std::wstring ModuleFolder(HMODULE module);
// Starts `exe` with the whole `commandLine` (its own name first) and waits until it reads input,
// at most `idleWaitMs`, so that a start right after finds it running. 0, or the system's error.
uint32_t StartProgram(const std::wstring& exe, const std::wstring& commandLine, uint32_t idleWaitMs);
// Runs a console program without a window to its end: its exit code, nothing when it could not
// be started.
std::optional<uint32_t> RunHidden(const std::wstring& exe, const std::wstring& commandLine);
// The Windows build number as the system reports it to programs that know every version.
uint32_t WindowsBuild();
// %SystemRoot%\System32.
std::wstring SystemFolder();
// Whether the file's bytes hold `ascii` (a name in a ZIP's directory); false when unreadable.
bool FileHoldsText(const std::wstring& path, const std::string& ascii);

}  // namespace zv::win
