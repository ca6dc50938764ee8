// One running copy per executable. A start without a path that finds a running copy brings it
// to the front and ends; a start with paths hands them to the running copy, which queues them.
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "copy/CopyDialog.h"
#include "platform/AppInfo.h"
#include "platform/CallbackGuard.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/Win.h"
#include "startup/Startup.h"
#include "startup/StartupWin.h"
#include "ui/MessageLoop.h"
#include "ui/AppWindow.h"

namespace zv {

const wchar_t kHandOverClass[] = L"ZarvaneHandOver";

namespace {

// The reply of a copy that took a hand-over; anything else means it did not.
constexpr LRESULT kHandOverTaken = 0x5A56;
// A running copy answers at its next pass of messages; a long bound, as a failed hand-over
// opens a second dialog.
constexpr UINT kHandOverWaitMs = 20000;
constexpr DWORD kDecideWaitMs = 60000;

struct Instance {
  win::UniqueHandle name;  // held for the whole process, so that later starts see this one
  bool anotherHeldIt = false;
  bool serving = false;  // keeps sources and takes hand-overs
  win::UniqueWindow receiver;
  std::wstring iniPath;  // the settings file of this copy's dialogs
  std::wstring nameText;  // InstanceName of this executable, worked out once
};
Instance& This() {
  static Instance instance;
  return instance;
}

const std::wstring& OwnInstanceName() {
  std::wstring& name = This().nameText;
  if (name.empty()) name = InstanceName(win::ExePath());
  return name;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  const std::wstring longA = win::GetLongPath(a), longB = win::GetLongPath(b);
  return ::CompareStringOrdinal(longA.empty() ? a.c_str() : longA.c_str(), -1,
                                longB.empty() ? b.c_str() : longB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// What a hand-over may reach: a process of the same user at the same integrity level.
struct Identity {
  std::vector<BYTE> user;
  DWORD level = 0;  // 0 where the system has no integrity levels
};

std::optional<Identity> IdentityOf(HANDLE process) {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::nullopt;
  win::UniqueHandle token(raw);
  Identity id;
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return std::nullopt;
  PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
  const auto* bytes = static_cast<const BYTE*>(sid);
  id.user.assign(bytes, bytes + ::GetLengthSid(sid));

  size = 0;
  ::GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
  std::vector<BYTE> label(size);
  if (size && ::GetTokenInformation(token.get(), TokenIntegrityLevel, label.data(), size, &size)) {
    PSID levelSid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
    const UCHAR count = *::GetSidSubAuthorityCount(levelSid);
    if (count) id.level = *::GetSidSubAuthority(levelSid, count - 1u);
  }
  return id;
}

bool SameUserAndLevel(DWORD pid) {
  static const std::optional<Identity> mine = IdentityOf(::GetCurrentProcess());
  win::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!mine || !process) return false;
  const auto theirs = IdentityOf(process.get());
  return theirs && theirs->user == mine->user && theirs->level == mine->level;
}

// Takes a hand-over that is well formed, for this copy's settings file, and whose every path a
// start would accept; a path already open or waiting is taken without being queued again.
bool TakeHandOver(const COPYDATASTRUCT& data) {
  if (!This().serving || CopyQueueClosed()) return false;
  if (data.dwData != kHandOverTag || !data.lpData || data.cbData > kHandOverMaxBytes) return false;
  const auto handOver = DecodeHandOver({static_cast<const char*>(data.lpData), data.cbData});
  if (!handOver || !SameFile(handOver->iniPath, This().iniPath)) return false;
  WinStartupHost host;
  std::vector<SourceRecord> sources(handOver->paths.size());
  for (size_t i = 0; i < sources.size(); ++i)
    if (!DescribeSource(host, handOver->paths[i], sources[i])) return false;
  for (const auto& source : sources) QueueSource(source);
  BringCopyDialogForward();
  return true;
}

// A hand-over that fails on the way is not taken: the other copy then opens its own dialog.
LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return win::Guarded<LRESULT>(0, [&]() -> LRESULT {
    if (msg == WM_COPYDATA) return TakeHandOver(*reinterpret_cast<const COPYDATASTRUCT*>(lp)) ? kHandOverTaken : 0;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  });
}

// From now on later starts find this copy and hand their paths to it.
void StartTakingHandOvers(const std::wstring& iniPath) {
  Instance& self = This();
  self.iniPath = iniPath;
  self.serving = true;
  if (self.receiver) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = ReceiverProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kHandOverClass;
  ::RegisterClassW(&wc);
  self.receiver.reset(::CreateWindowExW(0, kHandOverClass, OwnInstanceName().c_str(), 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
}

// Offers the sources to each running copy in turn; true when one took them.
bool OfferToRunningCopy(const std::wstring& iniPath, const std::vector<SourceRecord>& sources) {
  HandOver handOver{iniPath, {}};
  for (const auto& source : sources) handOver.paths.push_back(source.SourcePath);
  const std::string bytes = EncodeHandOver(handOver);
  if (bytes.size() > kHandOverMaxBytes) return false;
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};

  const std::wstring& name = OwnInstanceName();
  for (HWND w = nullptr; (w = ::FindWindowExW(HWND_MESSAGE, w, kHandOverClass, name.c_str())) != nullptr;) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid == ::GetCurrentProcessId() || !SameUserAndLevel(pid)) continue;
    // The copy that takes the paths may bring its dialog to the front.
    ::AllowSetForegroundWindow(pid);
    DWORD_PTR reply = 0;
    if (::SendMessageTimeoutW(w, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, kHandOverWaitMs,
                              &reply) &&
        reply == static_cast<DWORD_PTR>(kHandOverTaken))
      return true;
  }
  return false;
}

// The image file of a process, as the system names it; empty when it cannot be read.
std::wstring ImageOf(DWORD pid) {
  win::UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return {};
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
  path.resize(size);
  return path;
}

// The application window of another process started from this same executable. Looked for by
// the window class, never by caption: an Explorer window on a folder named "Zarvane" has that
// caption too.
HWND FindRunningCopy() {
  for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, ui::kAppWindowClass, nullptr)) != nullptr;) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid == 0 || pid == ::GetCurrentProcessId()) continue;
    const std::wstring image = ImageOf(pid);
    if (!image.empty() && InstanceName(image) == OwnInstanceName()) return w;
  }
  return nullptr;
}

// Starts decide one at a time: of several at once, one keeps its paths and the others find it.
class DecisionTurn {
 public:
  DecisionTurn() {
    HANDLE name = This().name.get();
    if (!name) return;
    const DWORD got = ::WaitForSingleObject(name, kDecideWaitMs);
    if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) owned_ = name;
  }
  ~DecisionTurn() {
    if (owned_) ::ReleaseMutex(owned_);
  }
  DecisionTurn(const DecisionTurn&) = delete;
  DecisionTurn& operator=(const DecisionTurn&) = delete;

 private:
  HANDLE owned_ = nullptr;
};

}  // namespace

// Its stored full path, upper-cased, hashed so that any path fits into an object name (which may
// not hold backslashes either).
std::wstring InstanceName(const std::wstring& exePath) {
  std::wstring path = win::GetLongPath(exePath);
  if (path.empty()) path = exePath;
  ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 units
  for (wchar_t c : path) {
    hash ^= static_cast<uint16_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t hex[17] = {};
  std::swprintf(hex, 17, L"%016llX", static_cast<unsigned long long>(hash));
  return std::wstring(L"Zarvane-") + hex;
}

bool HoldInstanceName() {
  Instance& self = This();
  if (self.name) return self.anotherHeldIt;
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, (L"Local\\" + OwnInstanceName()).c_str());
  const DWORD error = ::GetLastError();
  self.name.reset(mutex);
  self.anotherHeldIt = mutex && error == ERROR_ALREADY_EXISTS;
  return self.anotherHeldIt;
}

bool HandOverOrKeep(const std::wstring& iniPath, const std::vector<SourceRecord>& sources, bool handOver) {
  HoldInstanceName();
  DecisionTurn turn;
  if (handOver && OfferToRunningCopy(iniPath, sources)) return true;
  for (const auto& source : sources) QueueSource(source);
  StartTakingHandOvers(iniPath);
  return false;
}

bool ActivatePreviousInstance() {
  if (!HoldInstanceName()) return false;

  HWND app = ui::AppWindow();
  wchar_t remembered[256] = {};
  if (!app || ::GetWindowTextW(app, remembered, 256) == 0) std::wcscpy(remembered, kAppTitle);
  const std::wstring title = remembered;

  ::MessageBoxW(nullptr, (title + L" は既に起動されています").c_str(), title.c_str(), kMbInfo);

  HWND running = FindRunningCopy();
  if (!running) return true;
  // The running copy's application window owns its dialog, which was active last.
  HWND popup = ::GetLastActivePopup(running);
  if (!popup) return true;
  if (::IsIconic(popup)) ::ShowWindow(popup, SW_RESTORE);
  ::SetForegroundWindow(popup);
  ui::PumpPendingMessages();
  return true;
}

}  // namespace zv
