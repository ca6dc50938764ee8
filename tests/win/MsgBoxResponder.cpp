#include "MsgBoxResponder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace zv::test {

namespace {

constexpr int kMessageTextId = 0xFFFF;

thread_local MsgBoxResponder* activeResponder = nullptr;
thread_local HWND lastFocused = nullptr;  // the window that last got the focus

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  ::GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  // WM_GETTEXT also reaches windows of other processes.
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
    children.push_back(c);
  return children;
}

int IconStyle(HWND icon) {
  const HICON shown = reinterpret_cast<HICON>(::SendMessageW(icon, STM_GETICON, 0, 0));
  if (!shown) return 0;
  const std::pair<LPCWSTR, int> icons[] = {{IDI_HAND, MB_ICONHAND},
                                           {IDI_QUESTION, MB_ICONQUESTION},
                                           {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                           {IDI_ASTERISK, MB_ICONASTERISK}};
  for (const auto& [id, style] : icons)
    if (::LoadIconW(nullptr, id) == shown) return style;
  return 0;
}

int ButtonSetStyle(std::vector<int> ids) {
  std::sort(ids.begin(), ids.end());
  const std::pair<std::vector<int>, int> sets[] = {
      {{IDOK}, MB_OK},
      {{IDOK, IDCANCEL}, MB_OKCANCEL},
      {{IDABORT, IDRETRY, IDIGNORE}, MB_ABORTRETRYIGNORE},
      {{IDCANCEL, IDYES, IDNO}, MB_YESNOCANCEL},
      {{IDYES, IDNO}, MB_YESNO},
      {{IDCANCEL, IDRETRY}, MB_RETRYCANCEL},
  };
  for (const auto& [set, style] : sets)
    if (set == ids) return style;
  return 0;
}

std::wstring Describe(const DialogSeen& d) {
  return L"[" + d.className + L"] \"" + d.caption + L"\": \"" + d.text + L"\"";
}

}  // namespace

DialogSeen ReadDialog(HWND window, HWND focused) {
  DialogSeen d;
  d.hwnd = window;
  d.owner = ::GetWindow(window, GW_OWNER);
  d.className = ClassOf(window);
  d.caption = TextOf(window);
  ::GetWindowRect(window, &d.rect);
  bool hasMessage = false, onlyStaticsAndButtons = true;
  int iconStyle = 0;
  for (HWND child : ChildrenOf(window)) {
    const std::wstring cls = ClassOf(child);
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    const int id = ::GetDlgCtrlID(child);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
      if (id == kMessageTextId && (style & SS_TYPEMASK) != SS_ICON) {
        hasMessage = true;
        d.text = TextOf(child);
      } else if ((style & SS_TYPEMASK) == SS_ICON) {
        iconStyle = IconStyle(child);
      }
    } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
      if (!(style & WS_VISIBLE)) continue;
      d.buttons.push_back(id);
      if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) d.defaultButton = id;
    } else {
      onlyStaticsAndButtons = false;
    }
  }
  // The box gives its default button the focus while it is built, before it is activated.
  if (!d.defaultButton && focused && ::GetParent(focused) == window &&
      std::find(d.buttons.begin(), d.buttons.end(), ::GetDlgCtrlID(focused)) != d.buttons.end())
    d.defaultButton = ::GetDlgCtrlID(focused);
  d.isMessageBox = d.className == L"#32770" && hasMessage && onlyStaticsAndButtons;
  if (!d.isMessageBox) d.text.clear();
  if (d.isMessageBox) {
    const auto at = std::find(d.buttons.begin(), d.buttons.end(), d.defaultButton);
    const int defaultIndex = at == d.buttons.end() ? 0 : static_cast<int>(at - d.buttons.begin());
    d.style = iconStyle | ButtonSetStyle(d.buttons) | (defaultIndex * MB_DEFBUTTON2);
  }
  return d;
}

bool PressButton(HWND dialog, int id) {
  HWND button = ::GetDlgItem(dialog, id);
  // The style, not IsWindowVisible: while a box is being activated it may not be shown yet.
  if (!button || !(::GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE)) return false;
  return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
}

void Dismiss(HWND dialog) {
  for (int id : {IDCANCEL, IDNO, IDOK})
    if (PressButton(dialog, id)) return;
  ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

MsgBoxResponder::MsgBoxResponder() {
  if (activeResponder) {
    ADD_FAILURE() << "a message-box responder is already active on this thread";
    return;
  }
  hook_.reset(::SetWindowsHookExW(WH_CBT, HookProc, nullptr, ::GetCurrentThreadId()));
  if (!hook_) {
    ADD_FAILURE() << "SetWindowsHookEx failed: " << ::GetLastError();
    return;
  }
  activeResponder = this;
}

MsgBoxResponder::~MsgBoxResponder() {
  if (activeResponder == this) activeResponder = nullptr;
  hook_.reset();
  for (const Expectation& e : pending_) ADD_FAILURE() << "never shown: " << e.what;
}

MsgBoxResponder& MsgBoxResponder::Expect(std::wstring text, int button, int style,
                                         std::wstring caption) {
  Expectation e;
  e.what = L"message box \"" + text + L"\"";
  e.boxOnly = true;
  e.act = [text = std::move(text), button, style, caption = std::move(caption)](
              const DialogSeen& d) {
    EXPECT_EQ(d.text, text);
    EXPECT_EQ(d.caption, caption) << d.text;
    if (style >= 0) {
      EXPECT_EQ(d.style, style) << d.text;
    }
    if (PressButton(d.hwnd, button)) return;
    ADD_FAILURE() << "no button " << button << " on " << Describe(d);
    Dismiss(d.hwnd);
  };
  pending_.push_back(std::move(e));
  return *this;
}

MsgBoxResponder& MsgBoxResponder::ExpectBox(Predicate accept, int button, std::wstring what) {
  Expectation e;
  e.what = what;
  e.boxOnly = true;
  e.act = [accept = std::move(accept), button, what](const DialogSeen& d) {
    if (!accept(d)) {
      ADD_FAILURE() << "expected " << what << ", got " << Describe(d);
      Dismiss(d.hwnd);
      return;
    }
    if (PressButton(d.hwnd, button)) return;
    ADD_FAILURE() << "no button " << button << " on " << Describe(d);
    Dismiss(d.hwnd);
  };
  pending_.push_back(std::move(e));
  return *this;
}

MsgBoxResponder& MsgBoxResponder::ExpectWindow(Predicate match, Action act, std::wstring what) {
  pending_.push_back({std::move(what), false, std::move(match), std::move(act)});
  return *this;
}

LRESULT CALLBACK MsgBoxResponder::HookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_SETFOCUS) lastFocused = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && activeResponder)
    activeResponder->OnActivate(reinterpret_cast<HWND>(wParam));
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void MsgBoxResponder::OnActivate(HWND window) {
  // A box activated again (focus came back to it) was answered already.
  if (std::find(handled_.begin(), handled_.end(), window) != handled_.end()) return;
  const DialogSeen d = ReadDialog(window, lastFocused);
  const bool next = !pending_.empty() &&
                    (pending_.front().boxOnly ? d.isMessageBox : pending_.front().match(d));
  if (!next && !d.isMessageBox) return;  // a window of the test itself
  handled_.push_back(window);
  seen_.push_back(d);
  if (!next) {
    ADD_FAILURE() << "unexpected message box " << Describe(d);
    Dismiss(window);
    return;
  }
  Expectation e = std::move(pending_.front());
  pending_.pop_front();
  e.act(d);
}

std::optional<DialogSeen> WaitForDialogOfProcess(DWORD processId, DWORD timeoutMs) {
  struct Search {
    DWORD pid;
    HWND found = nullptr;
  } search{processId};
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    ::EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
          auto* s = reinterpret_cast<Search*>(p);
          DWORD pid = 0;
          ::GetWindowThreadProcessId(w, &pid);
          if (pid != s->pid || !::IsWindowVisible(w) || ClassOf(w) != L"#32770") return TRUE;
          s->found = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) return ReadDialog(search.found);
    if (::GetTickCount64() >= deadline) return std::nullopt;
    ::Sleep(20);
  }
}

std::optional<DialogSeen> AnswerDialogOfProcess(DWORD processId, int button, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  std::optional<DialogSeen> d = WaitForDialogOfProcess(processId, timeoutMs);
  if (!d || !PressButton(d->hwnd, button)) return std::nullopt;
  while (::IsWindow(d->hwnd)) {
    if (::GetTickCount64() >= deadline) return std::nullopt;
    ::Sleep(20);
  }
  return d;
}

}  // namespace zv::test
