// Times Zarvane.exe against the minimal references, from another process, with
// QueryPerformanceCounter:
//   start-up: CreateProcess until a key typed the moment the dialog is on the screen shows in
//             its focused text box: the dialog visible, enabled, in the foreground with the
//             focus in an Edit (all read without sending the program anything), then End and
//             "Q" typed as keyboard input (SendInput), then the box's text polled until it ends
//             in "Q". Input waits behind whatever the program posted to itself, so that is
//             counted too. Against mindialog.exe, against the floor of the same dialog
//             (floorcopy.exe, flooroptions.exe), and Zarvane.exe on a source among 5,000 files
//             against the same start among 5; among the 5,000, whose names take the running
//             numbers 1 to 4,999 of n%R, searching for a free number against not searching.
//   format menu: among those 5,000, with nine named formats each n%R, from the click of the
//             button beside the name box until the menu of formats shows (a time of its own,
//             no reference).
//   copy:     pressing OK in Zarvane's dialog until the process has ended; mincopy.exe from
//             CreateProcess until it has ended; one large file and one tree of small files.
//   settings: the copy dialog's start-up with a 5 MB settings file (/INI) and with a small one,
//             for Zarvane.exe and for an earlier build of it (--zarvane-old), the four taking
//             turns in each round.
// Runs alternate between the program and its reference so that outside load hits both alike.
//
//   benchdriver.exe --zarvane EXE --mindialog EXE --floorcopy EXE --flooroptions EXE
//                   --mincopy EXE --data DIR --out FILE
//                   [--runs N] [--copy-runs N] [--warmup N] [--parts startup,copy,settings]
//                   [--zarvane-old EXE]
// --parts also takes single start-up series: copy_floor, options_floor, crowded, free_number,
// format_menu.
// DIR holds small.txt, crowded\report.txt (among n0001.txt to n4999.txt), few\report.txt (among 5),
// for the copies big.bin and the folder tree, and for the settings settings-big.ini and
// settings-small.ini (bench/run.sh makes them). FILE receives one line
// per series: key, median, min, max, count, then the samples, tab-separated: milliseconds, or
// for the .ratio series the program's time over its reference's within each pair of runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::wstring kFileCaption = L"新しいファイル名";
const std::wstring kFolderCaption = L"新しいフォルダ名";
const std::wstring kCancel = L"キャンセル";
const std::wstring kOK = L"OK";
const std::wstring kOptionsCaption = L"Zarvane";
const std::wstring kFormatButton = L"▼";
constexpr DWORD kReadyTimeoutMs = 30000;
constexpr DWORD kCopyTimeoutMs = 600000;

struct Failure : std::runtime_error {
  explicit Failure(const std::wstring& what) : std::runtime_error(Utf8(what)) {}
  static std::string Utf8(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
  }
};

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / perMs;
}

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  Handle(Handle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Handle& operator=(Handle&& o) noexcept {
    std::swap(h_, o.h_);
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h_ && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) ::FindClose(h_);
  }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// A started program; terminated if it is still running when this goes.
class Process {
 public:
  static Process Start(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      throw Failure(L"cannot start " + exe + L" (error " + std::to_wstring(::GetLastError()) + L")");
    ::CloseHandle(pi.hThread);
    return Process(pi.hProcess, pi.dwProcessId);
  }
  Process(Process&&) = default;
  ~Process() {
    if (process_.get() && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.get(), 255);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }
  DWORD id() const { return id_; }
  bool Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  // The exit code; a failure when it has not ended in time.
  DWORD Wait(DWORD timeoutMs) const {
    if (::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0)
      throw Failure(L"process " + std::to_wstring(id_) + L" did not end in time");
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
  }

 private:
  Process(HANDLE h, DWORD id) : process_(h), id_(id) {}
  Handle process_;
  DWORD id_;
};

std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  ::GetClassNameW(h, name, 64);
  return name;
}

// The window's text, or nothing when it does not answer.
std::optional<std::wstring> TextOf(HWND h) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 1000, &copied))
    return std::nullopt;
  return std::wstring(buffer, copied);
}

HWND FirstChild(HWND form, const std::function<bool(HWND)>& wanted) {
  for (HWND h = ::GetWindow(form, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
    if (wanted(h)) return h;
  return nullptr;
}

HWND Button(HWND form, const std::wstring& caption) {
  HWND b = FirstChild(form, [&](HWND h) { return ClassOf(h) == L"Button" && TextOf(h) == caption; });
  if (!b) throw Failure(L"no button " + caption);
  return b;
}

void Click(HWND button) {
  ::PostMessageW(::GetParent(button), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// A top-level window's caption as the system keeps it: read without sending the program anything.
std::wstring CaptionOf(HWND h) {
  wchar_t buffer[256] = {};
  ::GetWindowTextW(h, buffer, 256);
  return buffer;
}

HWND VisibleForm(DWORD pid, const std::wstring& caption) {
  struct Search {
    DWORD pid;
    const std::wstring* caption;
    HWND found;
  } search{pid, &caption, nullptr};
  ::EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner != s->pid || !::IsWindowVisible(h)) return TRUE;
        if (CaptionOf(h) != *s->caption) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The text box of the form that has the keyboard focus, from the system's own record.
HWND FocusedEdit(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info) || !info.hwndFocus) return nullptr;
  if (!::IsChild(form, info.hwndFocus) || ::lstrcmpiW(ClassOf(info.hwndFocus).c_str(), L"Edit") != 0) return nullptr;
  return info.hwndFocus;
}

constexpr wchar_t kProbe = L'Q';

// End, then the probe character, as keyboard input to the foreground window.
void TypeProbe() {
  INPUT keys[4] = {};
  for (INPUT& k : keys) k.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_END;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  keys[2].ki.wScan = keys[3].ki.wScan = kProbe;
  keys[2].ki.dwFlags = KEYEVENTF_UNICODE;
  keys[3].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
  if (::SendInput(4, keys, sizeof(INPUT)) != 4) throw Failure(L"SendInput failed");
}

struct Ready {
  HWND form;
  HWND box;  // the focused text box, holding its text and then the probe
};

// Polls (1 ms) until the dialog is on the screen and takes keys: visible, enabled, in the
// foreground, the focus in a text box. Nothing is sent to the program meanwhile.
Ready WaitVisible(const Process& p, const std::wstring& caption, double deadline) {
  for (;;) {
    if (HWND form = VisibleForm(p.id(), caption); form && ::IsWindowEnabled(form) && ::GetForegroundWindow() == form)
      if (HWND box = FocusedEdit(form)) return {form, box};
    if (!p.Running()) throw Failure(L"the program ended before its dialog " + caption + L" was shown");
    if (NowMs() > deadline) throw Failure(L"no dialog " + caption + L" in the foreground within the time");
    ::Sleep(1);
  }
}

// The dialog on the screen and the probe typed into it has reached its text box.
Ready WaitReady(const Process& p, const std::wstring& caption) {
  const double deadline = NowMs() + kReadyTimeoutMs;
  const Ready ready = WaitVisible(p, caption, deadline);
  TypeProbe();
  for (;;) {
    if (const auto text = TextOf(ready.box); text && !text->empty() && text->back() == kProbe) return ready;
    if (!p.Running()) throw Failure(L"the program ended before the key typed into " + caption + L" showed");
    if (NowMs() > deadline) throw Failure(L"the key typed into " + caption + L" did not show within the time");
    ::Sleep(1);
  }
}

struct Size {
  long long files = 0;
  long long bytes = 0;
  bool operator==(const Size&) const = default;
};

bool IsFolder(const std::wstring& path) {
  const DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void ForEachEntry(const std::wstring& folder, const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
  WIN32_FIND_DATAW fd;
  FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &fd));
  if (find.get() == INVALID_HANDLE_VALUE) throw Failure(L"cannot list " + folder);
  do {
    if (std::wstring_view(fd.cFileName) == L"." || std::wstring_view(fd.cFileName) == L"..") continue;
    visit(fd);
  } while (::FindNextFileW(find.get(), &fd));
}

// Files and bytes of a file or of everything below a folder; nothing when it does not exist.
std::optional<Size> Measure(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return Size{1, (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
  Size total;
  ForEachEntry(path, [&](const WIN32_FIND_DATAW& fd) {
    const auto inner = Measure(path + L"\\" + fd.cFileName);
    if (!inner) throw Failure(L"vanished while measuring: " + path);
    total.files += inner->files;
    total.bytes += inner->bytes;
  });
  return total;
}

void Delete(const std::wstring& path) {
  if (IsFolder(path)) {
    ForEachEntry(path, [&](const WIN32_FIND_DATAW& fd) { Delete(path + L"\\" + fd.cFileName); });
    if (!::RemoveDirectoryW(path.c_str())) throw Failure(L"cannot remove " + path);
    return;
  }
  if (!::DeleteFileW(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) throw Failure(L"cannot delete " + path);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  Handle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (h.get() == INVALID_HANDLE_VALUE ||
      !::WriteFile(h.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size())
    throw Failure(L"cannot write " + path);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  Handle h(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (h.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  char buffer[256];
  DWORD read = 0;
  if (!::ReadFile(h.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
  return std::string(buffer, read);
}

struct Options {
  std::wstring zarvane, mindialog, floorcopy, flooroptions, mincopy, data, out;
  std::wstring zarvaneOld;  // needed by the settings part only
  std::wstring baseline;  // optional: an earlier Zarvane.exe whose copies are timed beside
  std::wstring parts = L"startup,copy";
  int runs = 15;
  int copyRuns = 5;
  int warmup = 1;
};

Options Parse(int argc, wchar_t** argv) {
  Options o;
  std::map<std::wstring, std::wstring*> paths{
      {L"--zarvane", &o.zarvane}, {L"--mindialog", &o.mindialog}, {L"--floorcopy", &o.floorcopy},
      {L"--flooroptions", &o.flooroptions}, {L"--mincopy", &o.mincopy}, {L"--data", &o.data},
      {L"--out", &o.out}, {L"--parts", &o.parts}, {L"--baseline", &o.baseline}};
  std::map<std::wstring, int*> counts{{L"--runs", &o.runs}, {L"--copy-runs", &o.copyRuns}, {L"--warmup", &o.warmup}};
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::wstring_view(argv[i]) == L"--zarvane-old") o.zarvaneOld = argv[i + 1];
    else if (auto p = paths.find(argv[i]); p != paths.end()) *p->second = argv[i + 1];
    else if (auto c = counts.find(argv[i]); c != counts.end()) *c->second = std::stoi(argv[i + 1]);
    else throw Failure(std::wstring(L"unknown option ") + argv[i]);
  }
  if (argc % 2 == 0) throw Failure(L"every option takes a value");
  for (auto& [name, value] : paths)
    if (value->empty() && name != L"--baseline") throw Failure(L"missing " + name);
  if (o.runs < 1 || o.copyRuns < 1 || o.warmup < 0) throw Failure(L"run counts must be positive");
  return o;
}

class Bench {
 public:
  explicit Bench(Options o) : o_(std::move(o)), ini_(o_.data + L"\\bench.ini"), timeFile_(o_.data + L"\\mincopy.time") {
    // The settings as a user would leave them, ANSI text; every start gets its own dialog.
    WriteBytes(ini_,
               "[Option]\r\nPrevInstance=1\r\nTopMost=0\r\nFileNameFormat=%F_copy\r\nFolderNameFormat=%F_copy\r\n"
               "[SYSTEM]\r\nHkcrExt=\r\n");
    // The running number as n0001, n0002, ...: with and without the search for a free one.
    for (const auto& [ini, skip] : {std::pair{&skipIni_, "1"}, std::pair{&plainIni_, "0"}})
      WriteBytes(*ini, std::string("[Option]\r\nPrevInstance=1\r\nTopMost=0\r\nFileNameFormat=n%R\r\nAutoNo=3\r\n") +
                           "SkipUsedNo=" + skip + "\r\n[SYSTEM]\r\nHkcrExt=\r\n");
    // Nine named formats, each searching the 5,000 names for a free number.
    std::string named = "[Formats]\r\n";
    for (char n = '1'; n <= '9'; ++n)
      named += std::string("Name") + n + "=f" + n + "\r\nFile" + n + "=n%R\r\n";
    WriteBytes(menuIni_, "[Option]\r\nPrevInstance=1\r\nTopMost=0\r\nFileNameFormat=n%R\r\nAutoNo=3\r\n"
                         "SkipUsedNo=1\r\n[SYSTEM]\r\nHkcrExt=\r\n" + named);
    ::SetEnvironmentVariableW(L"ZV_BENCH_TIME_FILE", timeFile_.c_str());
  }

  bool Wants(const std::wstring& part) const { return (L"," + o_.parts + L",").find(L"," + part + L",") != std::wstring::npos; }

  void StartUp() {
    const std::wstring source = Existing(L"small.txt");
    const std::wstring crowded = Existing(L"crowded\\report.txt");
    const std::wstring few = Existing(L"few\\report.txt");
    auto copyDialog = [&](const std::wstring& path) { return StartUpOf(o_.zarvane, ZarvaneArgs(path), kFileCaption); };
    // "startup" runs every series; a series' own name runs that one alone.
    auto run = [&](const std::wstring& key, const std::function<double()>& program, const std::function<double()>& reference) {
      if (Wants(L"startup") || Wants(key)) Alternate(o_.runs, key, program, reference);
    };
    run(L"startup", [&] { return copyDialog(source); }, [&] { return StartUpOf(o_.mindialog, L"", kFileCaption); });
    run(L"copy_floor", [&] { return copyDialog(source); }, [&] { return StartUpOf(o_.floorcopy, L"", kFileCaption); });
    run(L"options_floor", [&] { return StartUpOf(o_.zarvane, L"/INI\"" + ini_ + L"\"", kOptionsCaption); },
        [&] { return StartUpOf(o_.flooroptions, L"", kOptionsCaption); });
    run(L"crowded", [&] { return copyDialog(crowded); }, [&] { return copyDialog(few); });
    // One listing of the 5,000 names and 4,999 numbers tried before n5000, against n0001 at once.
    run(L"free_number", [&] { return StartUpOf(o_.zarvane, ZarvaneArgs(crowded, skipIni_), kFileCaption, L"n5000"); },
        [&] { return StartUpOf(o_.zarvane, ZarvaneArgs(crowded, plainIni_), kFileCaption, L"n0001"); });
  }

  // The proposals of the menu are made when it opens: from the click until it shows, then Esc
  // and Cancel. Started anew each run, as a user opens the menu once per dialog.
  void FormatMenu() {
    if (!Wants(L"startup") && !Wants(L"format_menu")) return;
    const std::wstring crowded = Existing(L"crowded\\report.txt");
    for (int i = 0; i < o_.warmup + o_.runs; ++i) {
      Process p = Process::Start(o_.zarvane, ZarvaneArgs(crowded, menuIni_));
      const HWND form = WaitReady(p, kFileCaption).form;
      HWND button = Button(form, kFormatButton);
      const double start = NowMs();
      Click(button);
      HWND menu = WaitMenu(p, true);
      const double ms = NowMs() - start;
      ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      WaitMenu(p, false);
      Click(Button(form, kCancel));
      if (const DWORD code = p.Wait(kReadyTimeoutMs); code != 0)
        throw Failure(L"Zarvane.exe ended with " + std::to_wstring(code));
      if (i < o_.warmup) continue;
      samples_[L"format_menu.zarvane"].push_back(ms);
      std::printf("format_menu run %d: %.1f ms\n", i + 1 - o_.warmup, ms);
      std::fflush(stdout);
    }
  }

  // Both builds, each with a 5 MB and a small settings file: four starts a round, each going
  // first in turn. Each start has a file of its own, as its closing save rewrites it.
  void SettingsFile() {
    if (o_.zarvaneOld.empty()) throw Failure(L"the settings part needs --zarvane-old");
    const std::wstring source = Existing(L"small.txt");
    auto own = [&](const wchar_t* from, const wchar_t* to) {
      const std::wstring path = o_.data + L"\\" + to;
      if (!::CopyFileW(Existing(from).c_str(), path.c_str(), FALSE)) throw Failure(L"cannot copy to " + path);
      return path;
    };
    struct Start {
      std::wstring exe, ini;
    };
    enum { NewBig, OldBig, NewSmall, OldSmall, Count };
    const Start starts[Count] = {{o_.zarvane, own(L"settings-big.ini", L"big-new.ini")},
                                 {o_.zarvaneOld, own(L"settings-big.ini", L"big-old.ini")},
                                 {o_.zarvane, own(L"settings-small.ini", L"small-new.ini")},
                                 {o_.zarvaneOld, own(L"settings-small.ini", L"small-old.ini")}};
    // The name proposed from FileNameFormat shows that the file was read.
    auto once = [&](int k) { return StartUpOf(starts[k].exe, ZarvaneArgs(source, starts[k].ini), kFileCaption, L"small_copy"); };
    for (int i = 0; i < o_.warmup; ++i)
      for (int k = 0; k < Count; ++k) once(k);
    for (int i = 0; i < o_.runs; ++i) {
      double t[Count];
      for (int n = 0; n < Count; ++n) t[(i + n) % Count] = once((i + n) % Count);
      auto pair = [&](const std::wstring& key, double z, double r) {
        samples_[key + L".zarvane"].push_back(z);
        samples_[key + L".reference"].push_back(r);
        samples_[key + L".ratio"].push_back(z / r);
      };
      pair(L"settings", t[NewBig], t[OldBig]);
      pair(L"settings_small", t[NewSmall], t[OldSmall]);
      pair(L"settings_new", t[NewBig], t[NewSmall]);
      pair(L"settings_old", t[OldBig], t[OldSmall]);
      std::printf("settings run %d: 5 MB %.1f ms (before %.1f), small %.1f ms (before %.1f)\n", i + 1, t[NewBig],
                  t[OldBig], t[NewSmall], t[OldSmall]);
      std::fflush(stdout);
    }
  }

  void Copy(const std::wstring& item, const std::wstring& stem, const std::wstring& ext, const std::wstring& key) {
    const std::wstring source = o_.data + L"\\" + item;
    const auto size = Measure(source);
    if (!size) throw Failure(L"missing " + source);
    const std::wstring caption = ext.empty() ? kFolderCaption : kFileCaption;
    int run = 0;
    auto target = [&](const wchar_t* who) { return stem + L"_" + who + std::to_wstring(run); };
    Alternate(
        o_.copyRuns, key,
        [&] {
          const std::wstring name = target(L"z");
          const std::wstring path = o_.data + L"\\" + name + ext;
          const double ms = ZarvaneCopy(source, caption, name);
          Check(path, *size);
          return ms;
        },
        [&] {
          const std::wstring path = o_.data + L"\\" + target(L"m") + ext;
          ::DeleteFileW(timeFile_.c_str());
          const double start = NowMs();
          Process p = Process::Start(o_.mincopy, L"\"" + source + L"\" \"" + path + L"\"");
          const DWORD code = p.Wait(kCopyTimeoutMs);
          const double ms = NowMs() - start;
          if (code != 0) throw Failure(L"mincopy.exe ended with " + std::to_wstring(code));
          Check(path, *size);
          const auto inside = ReadBytes(timeFile_);
          if (!inside) throw Failure(L"mincopy.exe left no time");
          inside_.push_back(std::stod(*inside) / 1000.0);
          return ms;
        },
        [&] { ++run; });
  }

  // The same copy by the program and by the baseline program, side by side.
  void CopyAgainstBaseline(const std::wstring& item, const std::wstring& stem, const std::wstring& ext,
                           const std::wstring& key) {
    const std::wstring source = o_.data + L"\\" + item;
    const auto size = Measure(source);
    if (!size) throw Failure(L"missing " + source);
    const std::wstring caption = ext.empty() ? kFolderCaption : kFileCaption;
    int run = 0;
    auto copy = [&](const wchar_t* who, const std::wstring& exe) {
      const std::wstring name = stem + L"_" + who + std::to_wstring(run);
      const double ms = ZarvaneCopy(source, caption, name, exe);
      Check(o_.data + L"\\" + name + ext, *size);
      return ms;
    };
    Alternate(o_.copyRuns, key, [&] { return copy(L"z", o_.zarvane); }, [&] { return copy(L"b", o_.baseline); },
              [&] { ++run; });
  }
  bool HasBaseline() const { return !o_.baseline.empty(); }

  void Write() const {
    std::string text;
    for (const auto& [key, values] : samples_) {
      std::vector<double> v = values;
      std::sort(v.begin(), v.end());
      const double median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
      char field[128];
      std::snprintf(field, sizeof field, "%s\t%.3f\t%.3f\t%.3f\t%zu", Failure::Utf8(key).c_str(), median, v.front(),
                    v.back(), v.size());
      std::string line = field;
      for (double s : values) {
        std::snprintf(field, sizeof field, "\t%.3f", s);
        line += field;
      }
      std::printf("%s\n", line.c_str());
      text += line + "\n";
    }
    WriteBytes(o_.out, text);
  }

 private:
  std::wstring ZarvaneArgs(const std::wstring& source) const { return ZarvaneArgs(source, ini_); }
  static std::wstring ZarvaneArgs(const std::wstring& source, const std::wstring& ini) {
    return L"/INI\"" + ini + L"\" \"" + source + L"\"";
  }

  std::wstring Existing(const std::wstring& name) const {
    const std::wstring path = o_.data + L"\\" + name;
    if (!Measure(path)) throw Failure(L"missing " + path);
    return path;
  }

  // Start until ready; then closed with Cancel and waited for. A proposed name, when given, is
  // checked, so that the run measured what it claims.
  double StartUpOf(const std::wstring& exe, const std::wstring& arguments, const std::wstring& caption,
                   const std::wstring& proposed = {}) {
    const double start = NowMs();
    Process p = Process::Start(exe, arguments);
    const Ready ready = WaitReady(p, caption);
    const double ms = NowMs() - start;
    if (!proposed.empty() && TextOf(ready.box) != proposed + kProbe)
      throw Failure(L"the dialog did not propose " + proposed);
    Click(Button(ready.form, kCancel));
    if (const DWORD code = p.Wait(kReadyTimeoutMs); code != 0)
      throw Failure(exe + L" ended with " + std::to_wstring(code));
    return ms;
  }

  // The program's popup menu, polled every millisecond until it shows (or, with shown false, is gone).
  static HWND WaitMenu(const Process& p, bool shown) {
    const double deadline = NowMs() + kReadyTimeoutMs;
    for (;;) {
      HWND menu = nullptr;
      while ((menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr))) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(menu, &owner);
        if (owner == p.id() && ::IsWindowVisible(menu)) break;
      }
      if ((menu != nullptr) == shown) return menu;
      if (!p.Running()) throw Failure(L"the program ended with its menu open");
      if (NowMs() > deadline) throw Failure(shown ? L"no format menu within the time" : L"the format menu stayed open");
      ::Sleep(1);
    }
  }

  // From pressing OK until the process has ended.
  double ZarvaneCopy(const std::wstring& source, const std::wstring& caption, const std::wstring& name,
                     const std::wstring& exe = {}) {
    Process p = Process::Start(exe.empty() ? o_.zarvane : exe, ZarvaneArgs(source));
    const auto [form, box] = WaitReady(p, caption);
    ::SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
    if (TextOf(box) != name) throw Failure(L"the name box did not take " + name);
    HWND ok = Button(form, kOK);
    const double start = NowMs();
    Click(ok);
    const DWORD code = p.Wait(kCopyTimeoutMs);
    const double ms = NowMs() - start;
    if (code != 0) throw Failure(L"Zarvane.exe ended with " + std::to_wstring(code));
    return ms;
  }

  // The copy must be whole; it goes before the next run.
  static void Check(const std::wstring& path, const Size& expected) {
    const auto got = Measure(path);
    if (!got) throw Failure(L"no copy at " + path);
    if (!(*got == expected)) throw Failure(L"incomplete copy at " + path);
    Delete(path);
  }

  // Warm-up runs first (not kept), then the two alternately, each going first every other time.
  void Alternate(int runs, const std::wstring& key, const std::function<double()>& program,
                 const std::function<double()>& reference, const std::function<void()>& next = [] {}) {
    for (int i = 0; i < o_.warmup; ++i) {
      program();
      reference();
      next();
    }
    inside_.clear();
    for (int i = 0; i < runs; ++i) {
      double z, r;
      if (i % 2 == 0) {
        z = program();
        r = reference();
      } else {
        r = reference();
        z = program();
      }
      samples_[key + L".zarvane"].push_back(z);
      samples_[key + L".reference"].push_back(r);
      // Load on a shared machine comes and goes: the ratio within each pair is steadier.
      samples_[key + L".ratio"].push_back(z / r);
      std::printf("%s run %d: zarvane %.1f ms, reference %.1f ms\n", Failure::Utf8(key).c_str(), i + 1, z, r);
      std::fflush(stdout);
      next();
    }
    if (!inside_.empty()) samples_[key + L".shfileop"] = std::move(inside_);
    inside_.clear();
  }

  Options o_;
  std::wstring ini_;
  std::wstring skipIni_ = o_.data + L"\\free-skip.ini";
  std::wstring plainIni_ = o_.data + L"\\free-plain.ini";
  std::wstring menuIni_ = o_.data + L"\\format-menu.ini";
  std::wstring timeFile_;
  std::map<std::wstring, std::vector<double>> samples_;
  std::vector<double> inside_;  // mincopy.exe's own time inside SHFileOperationW, per run
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  try {
    Bench bench(Parse(argc, argv));
    bench.StartUp();
    bench.FormatMenu();
    if (bench.Wants(L"settings")) bench.SettingsFile();
    if (bench.Wants(L"copy")) {
      bench.Copy(L"big.bin", L"big", L".bin", L"copy_file");
      bench.Copy(L"tree", L"tree", L"", L"copy_tree");
    }
    if (bench.Wants(L"copy") && bench.HasBaseline()) {
      bench.CopyAgainstBaseline(L"big.bin", L"big", L".bin", L"copy_file_base");
      bench.CopyAgainstBaseline(L"tree", L"tree", L"", L"copy_tree_base");
    }
    bench.Write();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchdriver: %s\n", e.what());
    return 1;
  }
  return 0;
}
