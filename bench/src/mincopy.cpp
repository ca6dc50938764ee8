// The copy reference: `mincopy.exe <source> <target>` hands one copy to the shell's file
// operation with the flags Zarvane.exe uses and exits with its result (0 = copied).
// With ZV_BENCH_TIME_FILE set, the time spent inside SHFileOperationW (microseconds) is written
// there, so that the driver can tell the copy from the process around it.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr FILEOP_FLAGS kFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
static_assert(kFlags == 0x251);

std::wstring DoubleNul(const wchar_t* path) {
  std::wstring list = path;
  list.append(2, L'\0');
  return list;
}

void ReportMicroseconds(long long us) {
  wchar_t file[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableW(L"ZV_BENCH_TIME_FILE", file, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  HANDLE h = ::CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  const std::string text = std::to_string(us);
  DWORD written = 0;
  ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(h);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv || argc != 3) return 100;
  const std::wstring from = DoubleNul(argv[1]);
  const std::wstring to = DoubleNul(argv[2]);
  ::LocalFree(argv);

  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = kFlags;
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  const int result = ::SHFileOperationW(&op);
  ::QueryPerformanceCounter(&end);
  ReportMicroseconds((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
  if (result != 0) return result;
  return op.fAnyOperationsAborted ? 101 : 0;
}
