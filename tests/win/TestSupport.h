// Small helpers shared by the Windows tests: a temporary folder, raw file bytes, and
// Zarvane.exe run as its own process with bounded waits. Message boxes of that process are
// answered with AnswerDialogOfProcess (MsgBoxResponder.h).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Handles.h"

namespace zv::test {

// A new empty folder under the temp folder; deleted with everything in it when it goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // without a trailing backslash
  std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

// Deletes a folder and everything below it (read-only entries too).
bool DeleteTree(const std::wstring& path);

bool WriteBytes(const std::wstring& path, std::string_view bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);

// Where the tests find the program they start.
std::wstring BinDir();
std::wstring ZarvaneExe();

// A program started with arguments; ended (terminated if need be) when this goes.
class ChildProcess {
 public:
  // `arguments` follow the quoted program path on the command line.
  static std::optional<ChildProcess> Start(const std::wstring& exe, const std::wstring& arguments);
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;
  ~ChildProcess();
  uint32_t id() const { return id_; }
  // The exit code once it has ended within the time, else nothing.
  std::optional<uint32_t> Wait(uint32_t timeoutMs);

 private:
  ChildProcess() = default;
  win::UniqueHandle handle_;
  uint32_t id_ = 0;
};

}  // namespace zv::test
