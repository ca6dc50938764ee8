#include "Driver.h"

namespace zv::test {

namespace {


std::wstring ClassOf(HWND h) {
  wchar_t name[64] = {};
  ::GetClassNameW(h, name, 64);
  return name;
}

}  // namespace

std::optional<Driver> Driver::Start(const std::wstring& arguments, const std::wstring& exe) {
  auto p = ChildProcess::Start(exe, arguments);
  if (!p) return std::nullopt;
  return Driver(std::move(*p));
}

HWND Driver::WaitForForm(const std::wstring& caption, DWORD timeoutMs) const {
  struct Search {
    DWORD pid;
    const std::wstring* caption;
    HWND found;
  } search{process_.id(), &caption, nullptr};
  WaitUntil(timeoutMs, [&] {
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          DWORD pid = 0;
          ::GetWindowThreadProcessId(h, &pid);
          if (pid != s->pid || !::IsWindowVisible(h) || Text(h) != *s->caption) return TRUE;
          s->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  return search.found;
}

std::optional<DialogSeen> Driver::Answer(int button, DWORD timeoutMs) const {
  // The program's own dialogs are #32770 windows too: only a message box counts here.
  struct Search {
    DWORD pid;
    HWND found;
  } search{process_.id(), nullptr};
  const bool came = WaitUntil(timeoutMs, [&] {
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          DWORD pid = 0;
          ::GetWindowThreadProcessId(h, &pid);
          if (pid != s->pid || !::IsWindowVisible(h) || ClassOf(h) != L"#32770") return TRUE;
          if (!ReadDialog(h).isMessageBox) return TRUE;
          s->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  if (!came) return std::nullopt;
  DialogSeen seen = ReadDialog(search.found);
  if (!PressButton(search.found, button)) return std::nullopt;
  if (!WaitUntil(timeoutMs, [&] { return !::IsWindow(search.found); })) return std::nullopt;
  return seen;
}

std::vector<ControlSeen> Driver::Controls(HWND form) {
  std::vector<ControlSeen> out;
  for (HWND h = ::GetWindow(form, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
    out.push_back({h, ClassOf(h), Text(h), ::IsWindowEnabled(h) != FALSE});
  return out;
}

HWND Driver::Nth(HWND form, const std::wstring& className, int n) {
  for (const auto& c : Controls(form))
    if (::lstrcmpiW(c.className.c_str(), className.c_str()) == 0 && n-- == 0) return c.hwnd;
  return nullptr;
}

HWND Driver::ByCaption(HWND form, const std::wstring& caption) {
  for (const auto& c : Controls(form))
    if (c.className == L"Button" && c.text == caption) return c.hwnd;
  return nullptr;
}

std::wstring Driver::Text(HWND control) {
  wchar_t buffer[2048] = {};
  ::SendMessageTimeoutW(control, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, nullptr);
  return buffer;
}

void Driver::SetText(HWND control, const std::wstring& text) {
  ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

bool Driver::Checked(HWND checkBox) { return ::SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Driver::SetChecked(HWND checkBox, bool checked) {
  ::SendMessageW(checkBox, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Driver::Click(HWND button) {
  ::PostMessageW(::GetParent(button), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

std::pair<int, int> Driver::Selection(HWND edit) {
  const DWORD sel = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));
  return {LOWORD(sel), HIWORD(sel)};
}

bool Driver::WaitVisible(HWND window, bool visible, DWORD timeoutMs) {
  return WaitUntil(timeoutMs, [&] {
    const bool shown = ::IsWindow(window) && ::IsWindowVisible(window);
    return shown == visible;
  });
}

}  // namespace zv::test
