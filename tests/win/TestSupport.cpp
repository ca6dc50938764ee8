#include "TestSupport.h"

#include <gtest/gtest.h>

#include "ui/Form.h"
#include "ui/WhatsThis.h"

#include <sddl.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace zv::test {

TempRegistryKey::TempRegistryKey(std::wstring_view tag)
    : path_(L"Software\\ZarvaneTests\\" + std::wstring(tag) + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(::GetTickCount64())) {
  ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
}

TempRegistryKey::~TempRegistryKey() {
  key_.reset();
  ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

DWORD TempRegistryKey::SubKeyCount() const {
  DWORD count = 0;
  ::RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
  return count;
}

bool TempRegistryKey::Put(const std::wstring& subKey, const std::wstring& value) const {
  win::UniqueKey key;
  if (::RegCreateKeyExW(key_.get(), subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS)
    return false;
  return ::RegSetValueExW(key.get(), L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool DenyWrites(HKEY parent, const std::wstring& subKey) {
  win::UniqueKey key;
  if (::RegOpenKeyExW(parent, subKey.c_str(), 0, WRITE_DAC, key.put()) != ERROR_SUCCESS) return false;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KRWD;;;WD)", SDDL_REVISION_1, &sd, nullptr))
    return false;
  const LONG rc = ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, sd);
  ::LocalFree(sd);
  return rc == ERROR_SUCCESS;
}

std::optional<std::wstring> TempRegistryKey::Get(const std::wstring& subKey) const {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  if (::RegGetValueW(key_.get(), subKey.c_str(), L"", RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::wstring(buffer);
}

bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  while (!done()) {
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(20);
  }
  return true;
}

void WhenIdle(std::function<void()> then) {
  static std::function<void()> pending;
  pending = std::move(then);
  ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    auto run = std::move(pending);
    pending = nullptr;
    if (run) run();
  });
}

std::vector<int>& ShownTopics() {
  static std::vector<int> topics;
  return topics;
}

DialogTestScope::DialogTestScope(const std::wstring& iniPath) : saved_(Process()) {
  Process().IniPath = iniPath;
  Process().Opt = Settings{};
  ShownTopics().clear();
  ui::SetWhatsThisSink([](HWND, int id) { ShownTopics().push_back(id); });
}

DialogTestScope::~DialogTestScope() {
  ui::SetWhatsThisSink(nullptr);
  Process() = saved_;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    HWND top = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && ::IsDialogMessageW(top, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void PressKey(UINT vk) {
  HWND focus = ::GetFocus();
  ::PostMessageW(focus, WM_KEYDOWN, vk, 0);
  ::PostMessageW(focus, WM_KEYUP, vk, 0xC0000000);
  Pump();
}

void MouseArrives(HWND control, UINT mouseMessage) {
  ::SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, mouseMessage));
}

void ClickAt(HWND control, int x, int y, UINT down, UINT up) {
  MouseArrives(control, down);
  ::SendMessageW(control, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(x, y));
  ::SendMessageW(control, up, 0, MAKELPARAM(x, y));
  Pump();
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD start = 0, end = 0;
  ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  ::GetWindowTextW(window, text, 1024);
  return text;
}

std::string RowText(const ui::Form& form, const ui::ControlDef& row) {
  return testing::PrintToString(std::wstring(form.def().caption)) + " row " +
         std::to_string(&row - form.controls().data()) + " (Ctl " + std::to_string(row.id) + ", index " +
         std::to_string(row.index) + ")";
}

namespace {

std::wstring TempRoot() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  std::wstring root(buffer, n);
  if (!root.empty() && root.back() == L'\\') root.pop_back();
  return root;
}

}  // namespace

TempFolder::TempFolder() {
  static unsigned counter = 0;
  const std::wstring root = TempRoot();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring candidate = root + L"\\zvtest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(::GetTickCount()) + L"-" + std::to_wstring(++counter);
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
}

TempFolder::~TempFolder() {
  if (!path_.empty()) DeleteTree(path_);
}

std::set<std::wstring> Entries(const std::wstring& folder) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW data{};
  win::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (!find) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.insert(name);
  } while (::FindNextFileW(find.get(), &data));
  return names;
}

bool DeleteTree(const std::wstring& path) {
  WIN32_FIND_DATAW data{};
  bool ok = true;
  {
    win::UniqueFind find(::FindFirstFileW((path + L"\\*").c_str(), &data));
    if (find) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          ok = DeleteTree(child) && ok;
        else
          ok = ::DeleteFileW(child.c_str()) && ok;
      } while (::FindNextFileW(find.get(), &data));
    }
  }
  return ::RemoveDirectoryW(path.c_str()) && ok;
}

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  win::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  return bytes;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring BinDir() {
  const std::string dir = ZV_TEST_BIN_DIR;
  std::wstring wide(dir.begin(), dir.end());
  // The build folder is a Unix path; Wine maps it through the Z: drive.
  if (!wide.empty() && wide[0] == L'/') wide = L"Z:" + wide;
  for (auto& c : wide)
    if (c == L'/') c = L'\\';
  return wide;
}

std::wstring ZarvaneExe() { return BinDir() + L"\\Zarvane.exe"; }

std::optional<ChildProcess> ChildProcess::Start(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // Under a heavy load Wine now and then loses a new process before its start-up is done, and
  // CreateProcessW fails with ERROR_INTERNAL_ERROR: the program never ran. Windows does not fail
  // a program that way, so such a start is made again, and said.
  constexpr int kAttempts = 3;
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) break;
    const DWORD error = ::GetLastError();
    // A start that fails shows only as a missing window later: say here why it failed.
    std::fprintf(stderr, "could not start %ls: error %lu (attempt %d)\n", exe.c_str(), error, attempt);
    if (error != ERROR_INTERNAL_ERROR || attempt == kAttempts) return std::nullopt;
    ::Sleep(100);
  }
  ::CloseHandle(pi.hThread);
  ChildProcess p;
  p.handle_.reset(pi.hProcess);
  p.id_ = pi.dwProcessId;
  return p;
}

ChildProcess::~ChildProcess() {
  if (!handle_) return;
  if (::WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(handle_.get(), 1);
    ::WaitForSingleObject(handle_.get(), 5000);
  }
}

std::optional<uint32_t> ChildProcess::Wait(uint32_t timeoutMs) {
  if (!handle_ || ::WaitForSingleObject(handle_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(handle_.get(), &code)) return std::nullopt;
  return code;
}

// The Linux name of a Windows path; empty when there is none.
std::wstring UnixName(const std::wstring& path) {
  using Fn = char*(CDECL*)(LPCWSTR);
  const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* name = fn ? fn(path.c_str()) : nullptr;
  if (!name) return {};
  const std::wstring wide(name, name + strlen(name));
  ::HeapFree(::GetProcessHeap(), 0, name);
  return wide;
}

// Starts a Linux program (Wine starts those too). Named apart from its command line, it gets
// no ".exe" added.
bool RunUnix(const std::wstring& program, std::wstring line) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  line = program + L" " + line;
  if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  win::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  return true;
}

// A Linux symbolic link, which Wine shows as a plain folder, and its removal.
// Wine does not follow a Linux process to its end: what it did is waited for on the disk.
bool UnixLink(const std::wstring& to, const std::wstring& link, const std::wstring& options) {
  return RunUnix(L"Z:\\usr\\bin\\ln", options + L" " + to + L" " + UnixName(link)) &&
         WaitUntil(15000, [&] { return Exists(link); });
}
bool UnixUnlink(const std::wstring& link) {
  return RunUnix(L"Z:\\usr\\bin\\rm", UnixName(link)) && WaitUntil(15000, [&] { return !Exists(link); });
}

}  // namespace zv::test
