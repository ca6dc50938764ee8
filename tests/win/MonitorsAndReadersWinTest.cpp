// Every dialog as users with two monitors or a screen reader meet it. Windows tells a
// per-monitor aware window of another DPI with WM_DPICHANGED (Wine never sends it, so the test
// does): the dialog lays itself out again from its table and comes back to the same pixels.
// Screen readers name a box by the label just before it in the z-order, or by a name annotated
// on it (Wine has no accessibility objects: the annotation is recorded here).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "copy/CopyDialog.h"
#include "core/ProcessState.h"
#include "format/FormatDialog.h"
#include "options/AdvancedDialog.h"
#include "options/OptionsDialog.h"
#include "platform/RegistryWin.h"
#include "setup/WelcomeDialog.h"
#include "ui/Dpi.h"
#include "ui/Placement.h"
#include "ui/AboutDialog.h"
#include "ui/ScreenReaderNames.h"

using namespace zv;
using namespace zv::test;

namespace {

constexpr UINT kDpiChanged = 0x02E0;        // WM_DPICHANGED
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

RECT InClient(HWND control, HWND form) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::vector<RECT> ControlRects(const ui::Form& form) {
  std::vector<RECT> rects;
  for (size_t i = 0; i < form.controls().size(); ++i) rects.push_back(InClient(form.ControlWindow(i), form.hwnd()));
  return rects;
}

int FontHeight(HWND control) {
  LOGFONTW lf{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  return lf.lfHeight;
}

// Every dialog has a button, drawn in the dialog's message font.
HWND FirstButton(const ui::Form& form) {
  for (size_t i = 0; i < form.controls().size(); ++i)
    if (form.controls()[i].kind == ui::Kind::Button) return form.ControlWindow(i);
  return nullptr;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Every dialog of the program, opened in this process on a sample file.
struct AllDialogs {
  AllDialogs() {
    EXPECT_TRUE(WriteBytes(dir / L"report.txt", "x"));
    Process().Source = SourceRecord{dir / L"report.txt", L"report", L"txt", dir / L"", false};
  }
  TempFolder dir;
  DialogTestScope scope{dir / L"Zarvane.ini"};
  TempRegistryKey user{L"dpi-user"}, machine{L"dpi-machine"};
  CopyDialog copy;
  OptionsDialog options{win::WinRegistry(user.get()), win::WinRegistry(machine.get())};
  AdvancedDialog advanced;
  FormatDialog format;
  WelcomeDialog setup;
  ui::AboutDialog about{[](const std::wstring&) {}};
  std::vector<ui::Form*> forms{&copy, &options, &advanced, &format, &setup, &about};
};

}  // namespace

TEST(DpiWin, EveryDialogLaysItselfOutAgainAtEachDpiAndComesBackToTheSamePixels) {
  AllDialogs all;
  for (ui::Form* form : all.forms) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(form->def().caption)));
    ASSERT_TRUE(form->Show());
    Pump();
    ASSERT_EQ(form->Dpi(), 96);
    const std::vector<RECT> start = ControlRects(*form);
    RECT startWindow{};
    ::GetWindowRect(form->hwnd(), &startWindow);
    const int startFont = FontHeight(FirstButton(*form));

    for (const int dpi : {144, 168, 96}) {
      SCOPED_TRACE(dpi);
      SIZE scaled{1, 1};
      ::SendMessageW(form->hwnd(), kGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&scaled));
      RECT now{};
      ::GetWindowRect(form->hwnd(), &now);
      // Windows' own suggestion scales the window; the layout's size wins, at the place suggested.
      RECT suggested{now.left + 40, now.top + 30, now.left + 40 + 123, now.top + 30 + 77};
      ::SendMessageW(form->hwnd(), kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      Pump();
      EXPECT_EQ(form->Dpi(), dpi);
      RECT window{};
      ::GetWindowRect(form->hwnd(), &window);
      EXPECT_EQ(window.left, suggested.left);
      EXPECT_EQ(window.top, suggested.top);
      RECT client{};
      ::GetClientRect(form->hwnd(), &client);
      const int tpp = 1440 / dpi;
      EXPECT_EQ(client.right, ui::TwipsToPixels(form->def().clientWidth, tpp));
      EXPECT_EQ(client.bottom, ui::TwipsToPixels(form->def().clientHeight, tpp));
      // The size asked for ahead is the layout's client area in a frame for that DPI (Wine draws
      // its frames at one DPI, so only the client part is exact here).
      const int frameX = startWindow.right - startWindow.left - ui::TwipsToPixels(form->def().clientWidth, 15);
      EXPECT_GE(scaled.cx, client.right + frameX);
      EXPECT_LT(scaled.cx, client.right + 3 * frameX + 8);

      for (size_t i = 0; i < form->controls().size(); ++i) {
        const ui::ControlDef& c = form->controls()[i];
        HWND h = form->ControlWindow(i);
        if (!h) continue;
        SCOPED_TRACE(RowText(*form, c));
        const RECT r = InClient(h, form->hwnd());
        const ui::PixelRect want = ui::ControlRectAt(c.left, c.top, c.width, c.height, dpi);
        EXPECT_EQ(r.left, want.left);
        EXPECT_EQ(r.top, want.top);
        // A drop-down list's height is its font's; a label the form sizes to its text has no width.
        if (c.width > 0) {
          EXPECT_EQ(r.right, want.right);
          if (c.kind != ui::Kind::Combo) {
            EXPECT_EQ(r.bottom, want.bottom);
          }
        }
      }
      EXPECT_EQ(FontHeight(FirstButton(*form)), ui::FontHeightAt(startFont, dpi, 96));
    }
    const std::vector<RECT> back = ControlRects(*form);
    for (size_t i = 0; i < back.size(); ++i)
      EXPECT_TRUE(SameRect(back[i], start[i])) << RowText(*form, form->controls()[i]);
    RECT window{};
    ::GetWindowRect(form->hwnd(), &window);
    EXPECT_EQ(window.right - window.left, startWindow.right - startWindow.left);
    EXPECT_EQ(window.bottom - window.top, startWindow.bottom - startWindow.top);
    form->Unload();
    Pump();
  }
}

// Written out for one dialog: the About box, 4290 x 1575 twips, at 10 and 8 twips per pixel.
TEST(DpiWin, TheAboutBoxAtOneAndAHalfAndOneAndThreeQuartersTimes) {
  AllDialogs all;
  ui::SetDpiProbe([](HWND) { return 144; });  // its monitor's DPI, not the system's 96
  const bool shown = all.about.Show();
  Pump();
  ui::SetDpiProbe(nullptr);
  ASSERT_TRUE(shown);
  RECT opened{};
  ::GetClientRect(all.about.hwnd(), &opened);
  EXPECT_EQ(opened.right, 429);
  struct Case { int dpi, width, height, iconSide; };
  for (const Case c : {Case{144, 429, 158, 48}, Case{168, 536, 197, 60}, Case{96, 286, 105, 32}}) {
    RECT suggested{0, 0, 10, 10};
    ::SendMessageW(all.about.hwnd(), kDpiChanged, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    ::GetClientRect(all.about.hwnd(), &client);
    EXPECT_EQ(client.right, c.width) << c.dpi;
    EXPECT_EQ(client.bottom, c.height) << c.dpi;
    ICONINFO info{};
    auto icon = reinterpret_cast<HICON>(::SendMessageW(all.about.Item(ui::AboutDialog::Ctl::imgIcon), STM_GETICON, 0, 0));
    ASSERT_TRUE(icon && ::GetIconInfo(icon, &info));
    BITMAP bm{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    EXPECT_EQ(bm.bmWidth, c.iconSide) << c.dpi;
  }
  all.about.Unload();
}

namespace {

std::map<HWND, std::wstring>& Annotated() {
  static std::map<HWND, std::wstring> names;
  return names;
}

std::wstring WithoutAmpersand(std::wstring text) {
  std::erase(text, L'&');
  return text;
}

std::wstring ClassOf(HWND h) {
  wchar_t cls[32] = {};
  ::GetClassNameW(h, cls, 32);
  return cls;
}

std::wstring TextOf(HWND h) {
  wchar_t text[256] = {};
  ::GetWindowTextW(h, text, 256);
  return text;
}

// What a screen reader calls the control: an annotated name first; then a check box's own text;
// then a box's label, the static text just before it in the z-order, shown or hidden. The "&"
// of a mnemonic is dropped, its letter stays: "拡張子(&E)" reads "拡張子(E)".
std::wstring ReaderName(HWND control) {
  if (const auto it = Annotated().find(control); it != Annotated().end()) return it->second;
  if (::lstrcmpiW(ClassOf(control).c_str(), L"Button") == 0) return WithoutAmpersand(TextOf(control));
  HWND before = ::GetWindow(control, GW_HWNDPREV);
  if (!before || ::lstrcmpiW(ClassOf(before).c_str(), L"Static") != 0) return {};
  return WithoutAmpersand(TextOf(before));
}

}  // namespace

TEST(ScreenReaderNames, EveryBoxListAndCheckBoxOfEveryDialogHasOne) {
  const win::ScopeExit restore([] { ui::SetScreenReaderNamer(nullptr); });
  Annotated().clear();
  ui::SetScreenReaderNamer([](HWND control, LONG object, const wchar_t* name) {
    if (object != OBJID_CLIENT) return;  // a reader reads the client object's name only
    if (name) Annotated()[control] = name;
    else Annotated().erase(control);
  });
  AllDialogs all;
  struct Known { const ui::Form* form; int control, index; std::wstring name; };
  // A row names its control by the form's own Ctl: a control of another form does not compile.
  const auto row = []<class F>(const F& form, typename F::Ctl control, int index, const wchar_t* name) {
    return Known{&form, static_cast<int>(control), index, name};
  };
  using Copy = CopyDialog::Ctl;
  using Options = OptionsDialog::Ctl;
  const Known known[] = {
      row(all.copy, Copy::txtNewFile, -1, L"新しいファイル名"),  row(all.copy, Copy::txtNewExt, -1, L"拡張子"),
      row(all.copy, Copy::chkAttr, 0, L"アーカイブ"),           row(all.copy, Copy::chkAttr, 1, L"読み取り専用"),
      row(all.copy, Copy::chkAttr, 2, L"隠しファイル"),         row(all.copy, Copy::chkAttr, 3, L"システムファイル"),
      row(all.options, Options::txtExt, -1, L"拡張子(E)"),      row(all.options, Options::lstExt, -1, L"登録済み拡張子"),
      row(all.options, Options::cmbStartUpPos, -1, L"初期表示位置(L)"),
      row(all.advanced, AdvancedDialog::Ctl::txtCopyToFolderPath, -1, L"コピー先フォルダ"),
      row(all.format, FormatDialog::Ctl::txtExtNameFormat, -1, L"拡張子"),
      row(all.format, FormatDialog::Ctl::cmbAutoNo, -1, L"連番桁数(R)"),
      row(all.setup, WelcomeDialog::Ctl::txtScName, -1, L"ショートカット名"),
  };
  size_t checked = 0;
  for (ui::Form* form : all.forms) {
    ASSERT_TRUE(form->Show());
    Pump();
    for (size_t i = 0; i < form->controls().size(); ++i) {
      const ui::ControlDef& c = form->controls()[i];
      // A label only for screen readers is never seen.
      if (c.flags & ui::kHidden) {
        EXPECT_FALSE(::IsWindowVisible(form->ControlWindow(i))) << RowText(*form, c);
      }
      if (c.kind != ui::Kind::Text && c.kind != ui::Kind::List && c.kind != ui::Kind::Combo && c.kind != ui::Kind::Check)
        continue;
      const std::wstring name = ReaderName(form->ControlWindow(i));
      const std::string where = RowText(*form, c);
      EXPECT_GE(name.size(), 2u) << where << " is called " << testing::PrintToString(name);
      for (const auto& k : known) {
        if (k.form == form && k.control == c.id && k.index == c.index) {
          EXPECT_EQ(name, k.name) << where;
          ++checked;
        }
      }
    }
    // The attribute boxes still show their letter.
    if (form == &all.copy) {
      for (int i = 0; i < 4; ++i) EXPECT_EQ(TextOf(all.copy.Item(CopyDialog::Ctl::chkAttr, i)), std::wstring(L"&") + L"ARHS"[i]);
    }
    form->Unload();
    Pump();
  }
  EXPECT_EQ(checked, std::size(known));
  EXPECT_TRUE(Annotated().empty()) << "names left on closed dialogs";
}
