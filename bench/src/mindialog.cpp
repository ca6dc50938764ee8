// The start-up reference: the least a Win32 program does to show a dialog with a name box and
// two buttons and wait for the user. Built with the same toolchain and flags as Zarvane.exe.
#include <windows.h>

#include <string_view>
#include <vector>

namespace {

constexpr int kNameBox = 100;

// An in-memory DLGTEMPLATE: WORD-sized items, each control DWORD-aligned.
class DialogTemplate {
 public:
  DialogTemplate(std::wstring_view caption, short cx, short cy, int controls) {
    const DWORD style = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    Dword(style);
    Dword(0);  // extended style
    Word(static_cast<WORD>(controls));
    Word(0), Word(0), Word(cx), Word(cy);
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(caption);
    Word(9);
    Text(L"MS Shell Dlg");
  }

  void Control(WORD atom, std::wstring_view text, DWORD style, short x, short y, short cx, short cy, WORD id) {
    if (words_.size() % 2) Word(0);
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    Word(x), Word(y), Word(cx), Word(cy);
    Word(id);
    Word(0xFFFF), Word(atom);
    Text(text);
    Word(0);  // no creation data
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) { Word(LOWORD(d)), Word(HIWORD(d)); }
  void Text(std::wstring_view s) {
    words_.insert(words_.end(), s.begin(), s.end());
    Word(0);
  }
  std::vector<WORD> words_;
};

constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  DialogTemplate t(L"新しいファイル名", 220, 62, 4);
  t.Control(kStatic, L"名前(&N):", SS_LEFT, 7, 9, 40, 10, 0xFFFF);
  t.Control(kEdit, L"report_copy", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 50, 7, 163, 14, kNameBox);
  t.Control(kButton, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 41, 50, 14, IDOK);
  t.Control(kButton, L"キャンセル", BS_PUSHBUTTON | WS_TABSTOP, 163, 41, 50, 14, IDCANCEL);

  HWND dialog = ::CreateDialogIndirectParamW(instance, t.get(), nullptr, DialogProc, 0);
  if (!dialog) return 1;
  MSG msg;
  BOOL got;
  while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (::IsDialogMessageW(dialog, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
