// Test stand-in for an application or a verb's handler: appends one UTF-8 line
// "<working folder>\t<full command line>\r\n" to the file named by ZV_RECORDER_OUT, or to
// recorder.log beside itself when that is unset, and exits with 0 (1 if it could not write).
#include <windows.h>

#include <string>

namespace {

std::wstring OutputPath() {
  wchar_t buffer[32768];
  const DWORD n = ::GetEnvironmentVariableW(L"ZV_RECORDER_OUT", buffer, 32768);
  if (n > 0 && n < 32768) return std::wstring(buffer, n);
  const DWORD len = ::GetModuleFileNameW(nullptr, buffer, 32768);
  std::wstring path(buffer, len);
  path.resize(path.rfind(L'\\') + 1);
  return path + L"recorder.log";
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

int wmain() {
  wchar_t folder[32768];
  const DWORD folderLen = ::GetCurrentDirectoryW(32768, folder);
  const std::string line = Utf8(std::wstring(folder, folderLen) + L"\t" + ::GetCommandLineW() + L"\r\n");
  // Append-only access makes each write land at the end even with several recorders at once.
  const HANDLE file = ::CreateFileW(OutputPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  ::CloseHandle(file);
  return ok && written == line.size() ? 0 : 1;
}
