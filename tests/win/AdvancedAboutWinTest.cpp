// The advanced settings and About dialogs in this process, and the pickers and caret reading
// behind them, driven through the real shell folder browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "DialogFixture.h"
#include "MsgBoxResponder.h"
#include "TestSupport.h"
#include "options/AdvancedDialog.h"
#include "options/OptionsDialog.h"
#include "platform/AppInfo.h"
#include "platform/Pickers.h"
#include "startup/StartupWin.h"
#include "ui/Contrast.h"
#include "ui/FocusState.h"
#include "ui/AboutDialog.h"
#include "zv_version.h"

#include <commctrl.h>
#include <shlobj.h>

using namespace zv;
using AdvancedCtl = AdvancedDialog::Ctl;
using AboutCtl = ui::AboutDialog::Ctl;
using namespace zv::test;

using zv::test::DialogTestScope;
using zv::test::Pump;
using zv::test::ShownTopics;

namespace {

constexpr int kBrowserTree = 0x3741;  // the folder browser's tree view

void Click(HWND control) {
  ::SendMessageW(control, BM_CLICK, 0, 0);
  Pump();
}

void MouseClick(HWND control, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
  zv::test::MouseArrives(control, down);
  ::SendMessageW(control, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(3, 3));
  ::SendMessageW(control, up, 0, MAKELPARAM(3, 3));
  Pump();
}

// The text of the browser's selected tree item.
std::wstring SelectedFolderName(HWND browser) {
  HWND tree = ::GetDlgItem(browser, kBrowserTree);
  const auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  wchar_t text[MAX_PATH] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = MAX_PATH;
  if (!item || !::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return {};
  return text;
}

// Presses the button once the browser shows `leaf` selected (at once when it is empty). Wine
// walks the tree to the initial folder while its message loop runs, normally within a turn or
// two; now and then, under load, its walk stops below the drive for good. Then the browser is
// cancelled instead and `stalled` set, so that the caller can open it again.
void PressWhenSelected(HWND browser, std::wstring leaf, int button, bool* stalled, ULONGLONG deadline = 0) {
  if (deadline == 0) deadline = ::GetTickCount64() + 10000;
  if (!leaf.empty() && SelectedFolderName(browser) != leaf) {
    if (::GetTickCount64() < deadline) {
      WhenIdle([=] { PressWhenSelected(browser, leaf, button, stalled, deadline); });
      return;
    }
    *stalled = true;
    button = IDCANCEL;
  }
  PressButton(browser, button);
}

// The last component of a path.
std::wstring Leaf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// A folder straight below C:\. Wine's browser reaches folders below the user's profile through
// the desktop's own user-folder item, and now and then stops its walk there; below the drive
// root the walk goes Desktop, My Computer, C:, folder.
class RootFolder {
 public:
  RootFolder()
      : path_(L"C:\\zvtest-browse-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
              std::to_wstring(::GetTickCount64())) {
    EXPECT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
  }
  ~RootFolder() { DeleteTree(path_); }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

bool IsFolderBrowser(const DialogSeen& d) { return d.className == L"#32770" && ::GetDlgItem(d.hwnd, kBrowserTree); }

// The texts of a window's static children.
std::vector<std::wstring> StaticTexts(HWND dialog) {
  std::vector<std::wstring> texts;
  for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(c, cls, 16);
    if (_wcsicmp(cls, L"Static") == 0 && !WindowText(c).empty()) texts.push_back(WindowText(c));
  }
  return texts;
}

std::wstring DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

class AdvancedDialogTest : public DialogFixture<AdvancedDialog> {
 protected:
  AdvancedDialogTest() : DialogFixture(form) {}
  // The brush the dialog gives the path box for its current state.
  HBRUSH PathBoxBrush() {
    HWND box = Item(AdvancedCtl::txtCopyToFolderPath);
    const win::WindowDc dc(box);
    const UINT msg = ::IsWindowEnabled(box) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    return reinterpret_cast<HBRUSH>(
        ::SendMessageW(form.hwnd(), msg, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(box)));
  }
  void ExpectBrowser(std::function<void(HWND)> answer) {
    boxes.ExpectWindow(IsFolderBrowser,
                       [this, answer](const DialogSeen& d) {
                         browserOwner = d.owner;
                         browserTexts = StaticTexts(d.hwnd);
                         HWND browser = d.hwnd;
                         WhenIdle([answer, browser] { answer(browser); });
                       },
                       L"folder browser");
  }

  TempFolder dir;
  MsgBoxResponder boxes;
  DialogTestScope scope{dir / L"Zarvane.ini"};
  AdvancedDialog form;
  HWND browserOwner = nullptr;
  std::vector<std::wstring> browserTexts;

};

}  // namespace

TEST_F(AdvancedDialogTest, TheFolderBoxFollowsItsCheckBoxWithItsBackground) {
  Settings& opt = Process().Opt;
  opt.ShellExecOpen = 1;
  opt.FolderOnly = 0;
  opt.CopyToFolder = 0;
  opt.CopyToFolderPath = L"D:\\保存先";
  Open();
  EXPECT_EQ(WindowText(form.hwnd()), L"高度な設定");
  EXPECT_EQ(form.Value(AdvancedCtl::chkShellExecOpen), 1);
  EXPECT_EQ(form.Value(AdvancedCtl::chkFolderOnly), 0);
  EXPECT_EQ(form.Value(AdvancedCtl::chkCopyToFolder), 0);
  EXPECT_EQ(form.Text(AdvancedCtl::txtCopyToFolderPath), L"D:\\保存先");
  // The settings file in use, read-only.
  EXPECT_EQ(form.Text(AdvancedCtl::txtIniPath), Process().IniPath);
  EXPECT_NE(::GetWindowLongW(Item(AdvancedCtl::txtIniPath), GWL_STYLE) & ES_READONLY, 0);

  HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
  HBRUSH window = ::GetSysColorBrush(COLOR_WINDOW);
  ASSERT_NE(face, window);
  auto expectState = [&](const char* when, bool enabled, HBRUSH brush) {
    EXPECT_EQ(form.Enabled(AdvancedCtl::txtCopyToFolderPath), enabled) << when;
    EXPECT_EQ(form.Enabled(AdvancedCtl::btnBr), enabled) << when;
    EXPECT_EQ(PathBoxBrush(), brush) << when;
    EXPECT_EQ(form.Text(AdvancedCtl::txtCopyToFolderPath), L"D:\\保存先") << when;
  };
  expectState("loaded", false, face);
  Click(Item(AdvancedCtl::chkCopyToFolder));
  expectState("checked", true, window);
  Click(Item(AdvancedCtl::chkCopyToFolder));
  expectState("unchecked", false, face);

  // The three check boxes show their topics on a right-button release.
  for (const auto box : {AdvancedCtl::chkShellExecOpen, AdvancedCtl::chkFolderOnly, AdvancedCtl::chkCopyToFolder})
    MouseClick(Item(box), WM_RBUTTONDOWN, WM_RBUTTONUP);
  EXPECT_EQ(ShownTopics(), (std::vector<int>{33, 37, 34}));
}

TEST_F(AdvancedDialogTest, OkStoresTheBoxesInMemoryAndTheOtherWaysOutChangeNothing) {
  struct Case {
    const char* name;
    std::function<void(AdvancedDialog&)> close;
    bool stores;
  };
  const Case cases[] = {
      {"OK", [](AdvancedDialog& f) { Click(f.Item(AdvancedCtl::btnOkCan, 0)); }, true},
      {"キャンセル", [](AdvancedDialog& f) { Click(f.Item(AdvancedCtl::btnOkCan, 1)); }, false},
      {"close box", [](AdvancedDialog& f) { ::SendMessageW(f.hwnd(), WM_CLOSE, 0, 0); }, false},
      {"Esc", [](AdvancedDialog& f) {
         ::SetFocus(f.Item(AdvancedCtl::chkFolderOnly));
         ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
         Pump();
       },
       false},
  };
  for (const auto& c : cases) {
    Settings& opt = Process().Opt;
    opt.ShellExecOpen = 0;
    opt.FolderOnly = 0;
    opt.CopyToFolder = 1;
    opt.CopyToFolderPath = L"C:\\前";
    AdvancedDialog f;
    ASSERT_TRUE(f.Show());
    Pump();
    Click(f.Item(AdvancedCtl::chkShellExecOpen));
    Click(f.Item(AdvancedCtl::chkFolderOnly));
    ::SendMessageW(f.Item(AdvancedCtl::txtCopyToFolderPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L" C:\\無い 先 "));
    Click(f.Item(AdvancedCtl::chkCopyToFolder));  // off again: the text is still kept
    c.close(f);
    EXPECT_FALSE(f.loaded()) << c.name;
    EXPECT_EQ(opt.ShellExecOpen, c.stores ? 1 : 0) << c.name;
    EXPECT_EQ(opt.FolderOnly, c.stores ? 1 : 0) << c.name;
    EXPECT_EQ(opt.CopyToFolder, c.stores ? 0 : 1) << c.name;
    EXPECT_EQ(opt.CopyToFolderPath, c.stores ? L" C:\\無い 先 " : L"C:\\前") << c.name;
  }
  EXPECT_FALSE(Exists(Process().IniPath));  // memory only
}

TEST_F(AdvancedDialogTest, TheBrowserStartsAtTheTypedFolderOnlyWhenItIsOne) {
  RootFolder root;
  const std::wstring target = root / L"コピー先";
  ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(target + L"\\file.txt", "x"));
  Process().Opt.CopyToFolder = 1;
  Open();
  struct Case {
    std::wstring typed;
    std::wstring chosenByOk;  // what OK without moving returns
  };
  const Case cases[] = {
      {target, target},
      {L"  " + target + L"  ", target},
      {target + L"\\file.txt", DesktopFolder()},  // a file: no preselection, the root stays
      {dir / L"無い", DesktopFolder()},
  };
  for (const auto& c : cases) {
    ::SendMessageW(Item(AdvancedCtl::txtCopyToFolderPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.typed.c_str()));
    const std::wstring leaf = c.chosenByOk == target ? Leaf(target) : L"";
    bool stalled = true;
    for (int attempt = 0; attempt < 3 && stalled; ++attempt) {  // Cancel keeps the text
      stalled = false;
      ExpectBrowser([leaf, &stalled](HWND browser) { PressWhenSelected(browser, leaf, IDOK, &stalled); });
      Click(Item(AdvancedCtl::btnBr));
    }
    EXPECT_FALSE(stalled) << "the browser's walk to " << c.typed << " stopped three times";
    EXPECT_EQ(boxes.Pending(), 0u);
    EXPECT_EQ(_wcsicmp(form.Text(AdvancedCtl::txtCopyToFolderPath).c_str(), c.chosenByOk.c_str()), 0)
        << c.typed << " gave " << form.Text(AdvancedCtl::txtCopyToFolderPath);
    EXPECT_EQ(browserOwner, form.hwnd());
    EXPECT_NE(std::find(browserTexts.begin(), browserTexts.end(), L"コピー先フォルダを指定してください。"),
              browserTexts.end());
  }

  // Cancel keeps the text.
  ::SendMessageW(Item(AdvancedCtl::txtCopyToFolderPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
  ExpectBrowser([](HWND browser) { PressButton(browser, IDCANCEL); });
  Click(Item(AdvancedCtl::btnBr));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(form.Text(AdvancedCtl::txtCopyToFolderPath), target);
}

TEST(PickersWin, PickFolderSelectsTheInitialFolderThroughItsCallback) {
  RootFolder root;
  const std::wstring folder = root / L"選択 済み";
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  struct Case {
    std::wstring initial;
    int button;
    std::wstring result;
  };
  const Case cases[] = {
      {folder, IDOK, folder},
      {L"", IDOK, DesktopFolder()},  // no callback: the browser stays at its root
      {folder, IDCANCEL, L""},
  };
  for (const auto& c : cases) {
    std::wstring chosen;
    bool stalled = true;
    for (int attempt = 0; attempt < 3 && stalled; ++attempt) {
      stalled = false;
      MsgBoxResponder boxes;
      const int button = c.button;
      boxes.ExpectWindow(IsFolderBrowser,
                         [button, leaf = c.initial.empty() ? L"" : Leaf(c.initial), flag = &stalled](const DialogSeen& d) {
                           HWND browser = d.hwnd;
                           WhenIdle([=] { PressWhenSelected(browser, leaf, button, flag); });
                         },
                         L"folder browser");
      chosen = win::PickFolder(L"選んでください", nullptr, 0, 0x41, c.initial);
    }
    EXPECT_FALSE(stalled) << "the browser's walk to " << c.initial << " stopped three times";
    EXPECT_EQ(_wcsicmp(chosen.c_str(), c.result.c_str()), 0) << c.initial << " gave " << chosen;
  }
}

TEST(PickersWin, OnlyVersionFivePointOneOfTheNtFamilyIsWindowsXP) {
  struct Case {
    DWORD major, minor, platform;
    bool xp;
  };
  const Case cases[] = {
      {5, 1, VER_PLATFORM_WIN32_NT, true},       {5, 1, VER_PLATFORM_WIN32_WINDOWS, false},
      {5, 0, VER_PLATFORM_WIN32_NT, false},      {5, 2, VER_PLATFORM_WIN32_NT, false},
      {6, 0, VER_PLATFORM_WIN32_NT, false},      {6, 1, VER_PLATFORM_WIN32_NT, false},
      {10, 0, VER_PLATFORM_WIN32_NT, false},     {4, 10, VER_PLATFORM_WIN32_WINDOWS, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(win::IsWindowsXPVersion(c.major, c.minor, c.platform), c.xp) << c.major << '.' << c.minor;

  OSVERSIONINFOW running{};
  running.dwOSVersionInfoSize = sizeof(running);
  ASSERT_TRUE(::GetVersionExW(&running));
  EXPECT_EQ(win::IsWindowsXP(), running.dwMajorVersion == 5 && running.dwMinorVersion == 1);
}

TEST(PickersWin, CaretPositionIsTheSelectionStart) {
  win::UniqueWindow edit(::CreateWindowExW(0, L"Edit", L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 200, 20, nullptr, nullptr,
                                           ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(edit);
  // Long enough that a start above 32767 would show a 16-bit reading.
  const std::wstring text(40000, L'x');
  ::SendMessageW(edit.get(), EM_LIMITTEXT, 0, 0);
  ::SetWindowTextW(edit.get(), text.c_str());
  const std::pair<int, int> selections[] = {{0, 0}, {3, 7}, {12, 12}, {33000, 33010}};
  ASSERT_FALSE(win::IsWindowsXP());  // Wine reports a later version: the box's own start
  for (const auto& [start, end] : selections) {
    ::SendMessageW(edit.get(), EM_SETSEL, start, end);
    EXPECT_EQ(win::CaretPosition(edit.get()), start);
  }
}

namespace {

class AboutDialogTest : public DialogFixture<ui::AboutDialog> {
 protected:
  AboutDialogTest() : DialogFixture(about) {}
  std::vector<std::wstring> opened;
  MsgBoxResponder boxes;
  ui::AboutDialog about{[this](const std::wstring& address) { opened.push_back(address); }};
};

std::wstring Expected(const char* narrow) { return std::wstring(narrow, narrow + std::char_traits<char>::length(narrow)); }

// Width of a label's text in its own font.
int TextWidth(HWND label) {
  const win::WindowDc dc(label);
  const HGDIOBJ old = ::SelectObject(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
  const std::wstring text = WindowText(label);
  SIZE size{};
  ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc.get(), old);
  return size.cx;
}

RECT ClientRectOf(HWND control, HWND form) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

TEST_F(AboutDialogTest, ShowsTheNameTheVersionAndTheLegalNotice) {
  ASSERT_TRUE(about.Show());
  Pump();
  EXPECT_EQ(WindowText(about.hwnd()), L"Zarvane バージョン情報");
  EXPECT_FALSE(::GetWindowLongW(about.hwnd(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
  RECT client{};
  ::GetClientRect(about.hwnd(), &client);
  EXPECT_EQ(client.right, 4290 / 15);
  EXPECT_EQ(client.bottom, 1575 / 15);

  std::wstring version = std::to_wstring(ZV_VER_MAJOR) + L"." + (ZV_VER_MINOR < 10 ? L"0" : L"") +
                         std::to_wstring(ZV_VER_MINOR);
  if (ZV_VER_REVISION > 0) version += L"." + std::to_wstring(ZV_VER_REVISION);
  EXPECT_EQ(about.Text(AboutCtl::lblMyVer), version);
  EXPECT_EQ(about.Text(AboutCtl::lblVersion), L"Ver");
  EXPECT_EQ(about.Text(AboutCtl::lblCopyRight), Expected(ZV_LEGAL_COPYRIGHT));
  EXPECT_EQ(about.Text(AboutCtl::lblHP), L"Readme.txt（説明書）");
  EXPECT_EQ(about.Text(AboutCtl::lblName), L"Zarvane");
  EXPECT_EQ(about.Text(AboutCtl::lblNameShadow), L"Zarvane");

  // The two names 30 twips (2 pixels) apart; the sized labels start where they were placed.
  EXPECT_EQ(ClientRectOf(about.Item(AboutCtl::lblName), about.hwnd()).left - ClientRectOf(about.Item(AboutCtl::lblNameShadow), about.hwnd()).left, 2);
  const RECT copyright = ClientRectOf(about.Item(AboutCtl::lblCopyRight), about.hwnd());
  EXPECT_EQ(copyright.left, 810 / 15);
  EXPECT_EQ(copyright.top, 630 / 15);
  EXPECT_GE(copyright.right - copyright.left, TextWidth(about.Item(AboutCtl::lblCopyRight)));  // sized to its text
  EXPECT_EQ(about.Text(AboutCtl::lblLicense), L"MIT ライセンス（LICENSE.txt）");
  const RECT license = ClientRectOf(about.Item(AboutCtl::lblLicense), about.hwnd());
  EXPECT_GE(license.top, copyright.bottom);
  EXPECT_LE(license.bottom, ClientRectOf(about.Item(AboutCtl::lblHP), about.hwnd()).top);
  EXPECT_GE(license.right - license.left, TextWidth(about.Item(AboutCtl::lblLicense)));
  const RECT ver = ClientRectOf(about.Item(AboutCtl::lblMyVer), about.hwnd());
  EXPECT_EQ(ver.left, 2595 / 15);
  EXPECT_GT(ver.right - ver.left, 10);

  LOGFONTW name{}, link{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(about.Item(AboutCtl::lblName), WM_GETFONT, 0, 0)), sizeof(name), &name);
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(about.Item(AboutCtl::lblHP), WM_GETFONT, 0, 0)), sizeof(link), &link);
  EXPECT_EQ(std::wstring(name.lfFaceName), L"Comic Sans MS");
  EXPECT_EQ(name.lfWeight, FW_BOLD);
  EXPECT_TRUE(name.lfItalic);
  EXPECT_EQ(name.lfHeight, -19);  // 14.25 pt at 96 dpi
  EXPECT_TRUE(link.lfUnderline);

  // The shadowed name is drawn: green over black.
  ::RedrawWindow(about.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const RECT area = ClientRectOf(about.Item(AboutCtl::lblName), about.hwnd());
  const win::WindowDc dc(about.hwnd());
  int green = 0, black = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left - 2; x < area.right; ++x) {
      const COLORREF c = ::GetPixel(dc.get(), x, y);
      green += c == RGB(0, 255, 0);
      black += c == RGB(0, 0, 0);
    }
  EXPECT_GT(green, 50);
  EXPECT_GT(black, 10);
}

namespace {

// The colour a label is drawn in, as the dialog answers for it.
COLORREF TextColourOf(HWND form, HWND label) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SetTextColor(dc, RGB(1, 2, 3));
  ::SendMessageW(form, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  const COLORREF colour = ::GetTextColor(dc);
  ::DeleteDC(dc);
  return colour;
}

bool g_highContrast = false;

}  // namespace

TEST_F(AboutDialogTest, HighContrastTakesTheThemeColoursAndAChangeWhileOpenIsFollowed) {
  const win::ScopeExit restore([] { ui::SetHighContrastProbe(nullptr); });
  // Off is only "available", as Windows says it where the mode is offered but not on.
  ui::SetHighContrastProbe(
      []() -> unsigned long { return HCF_AVAILABLE | (g_highContrast ? HCF_HIGHCONTRASTON : 0); });
  g_highContrast = true;
  ASSERT_TRUE(about.Show());
  Pump();
  HWND name = about.Item(AboutCtl::lblNameShadow), shadow = about.Item(AboutCtl::lblName), link = about.Item(AboutCtl::lblHP);
  EXPECT_EQ(TextColourOf(about.hwnd(), name), ::GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(TextColourOf(about.hwnd(), link), ::GetSysColor(COLOR_HOTLIGHT));
  EXPECT_FALSE(::IsWindowVisible(shadow));

  // Each way Windows announces a new theme; the dialog goes back and forth with it.
  for (const UINT change : {WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_SETTINGCHANGE}) {
    SCOPED_TRACE(change);
    g_highContrast = !g_highContrast;
    ::SendMessageW(about.hwnd(), change, 0, 0);
    EXPECT_EQ(TextColourOf(about.hwnd(), name), g_highContrast ? ::GetSysColor(COLOR_BTNTEXT) : RGB(0, 255, 0));
    EXPECT_EQ(TextColourOf(about.hwnd(), link), g_highContrast ? ::GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255));
    EXPECT_EQ(::IsWindowVisible(shadow) != FALSE, !g_highContrast);
  }
}

TEST_F(AboutDialogTest, TheLinkAndTheIconOpenTheManualBesideTheProgramUnderAHandCursor) {
  ASSERT_TRUE(about.Show());
  Pump();
  MouseClick(about.Item(AboutCtl::lblHP));
  MouseClick(about.Item(AboutCtl::imgIcon));
  MouseClick(about.Item(AboutCtl::lblVersion));
  const std::wstring manual = zv::win::ExeFolder() + L"\\Readme.txt";
  EXPECT_EQ(opened, (std::vector<std::wstring>{manual, manual}));

  HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  for (const auto label : {AboutCtl::lblHP, AboutCtl::imgIcon, AboutCtl::lblVersion}) {
    ::SetCursor(nullptr);
    ::SendMessageW(about.Item(label), WM_SETCURSOR, reinterpret_cast<WPARAM>(about.Item(label)),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor() == hand, label != AboutCtl::lblVersion) << static_cast<int>(label);
  }
  EXPECT_TRUE(::SendMessageW(about.Item(AboutCtl::imgIcon), STM_GETICON, 0, 0));
}

TEST_F(AboutDialogTest, OpensModallyFromTheOptionsDialogAndEscClosesIt) {
  ProcessState saved = Process();
  TempFolder dir;
  Process().IniPath = dir / L"Zarvane.ini";
  Process().Opt = Settings{};
  OptionsDialog options;
  ASSERT_TRUE(options.Show());
  Pump();
  bool ownerDisabled = false;
  HWND owner = nullptr;
  boxes.ExpectWindow([](const DialogSeen& d) { return d.caption == L"Zarvane バージョン情報"; },
                     [&](const DialogSeen& d) {
                       owner = d.owner;
                       ownerDisabled = !::IsWindowEnabled(d.owner);
                       WhenIdle([] { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
                     },
                     L"About dialog");
  Click(options.Item(OptionsDialog::Ctl::btnAbout));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(owner, options.hwnd());
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(::IsWindowEnabled(options.hwnd()));
  EXPECT_EQ(ui::Focus().ActiveFormHwnd, options.hwnd());
  options.Unload();
  Pump();
  Process() = saved;
}
