// The format dialog on real controls, opened modally over a test window. The test steps run
// inside the dialog's own modal loop, from a thread timer that fires once the dialog is up;
// token menus are popped up for real and typed into from a second timer inside the menu loop.
#include <gtest/gtest.h>

#include "MsgBoxResponder.h"
#include "TestSupport.h"

#include <functional>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "format/TokenMenu.h"
#include "format/FormatDialog.h"
#include "platform/Profile.h"
#include "startup/StartupWin.h"
#include "ui/FocusState.h"
#include "ui/Form.h"
#include "ui/WhatsThis.h"

#include <commctrl.h>

using namespace zv;
using Ctl = FormatDialog::Ctl;

using zv::test::Pump;
using zv::test::Selection;
using zv::test::WindowText;
using zv::test::PressKey;
using zv::test::ClickAt;

namespace {

// Alt plus a letter, as the dialog manager sees an accelerator.
void PressAlt(wchar_t letter) {
  ::PostMessageW(::GetFocus(), WM_SYSCHAR, letter, 0x20000000);
  Pump();
}

// One-shot thread timers calling a function; the function may run nested loops.
std::map<UINT_PTR, std::function<void()>>& TimerJobs() {
  static std::map<UINT_PTR, std::function<void()>> jobs;
  return jobs;
}
void CALLBACK RunTimerJob(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  auto found = TimerJobs().find(id);
  if (found == TimerJobs().end()) return;
  auto job = std::move(found->second);
  TimerJobs().erase(found);
  job();
}
UINT_PTR After(UINT ms, std::function<void()> job) {
  const UINT_PTR id = ::SetTimer(nullptr, 0, ms, RunTimerJob);
  if (id) TimerJobs()[id] = std::move(job);
  return id;
}
void Cancel(UINT_PTR id) {
  ::KillTimer(nullptr, id);
  TimerJobs().erase(id);
}

// Shows the form modally over owner and runs steps from inside its modal loop. Whatever the
// steps leave open is closed, so ShowModal always comes back.
void RunModal(FormatDialog& form, HWND owner, std::function<void()> steps) {
  After(1, [&form, steps] {
    steps();
    if (form.loaded()) form.Unload();
  });
  form.ShowModal(owner);
}

struct MenuSeen {
  bool shown = false;
  RECT rect{};  // screen pixels of the top-level menu window
};

// Clicks a ">" button and, inside the menu loop, types characters into the open menu: a
// letter picks the item of that accelerator, '\r' the selected one, '\x1b' is Esc. The chosen
// item's command is then delivered to the form.
MenuSeen ClickMenuButtonAndType(HWND button, const std::wstring& keys) {
  MenuSeen seen;
  UINT_PTR watchdog = 0;
  const UINT_PTR typing = After(1, [&seen, &watchdog, keys] {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    seen.shown = menu && ::IsWindowVisible(menu);
    if (!seen.shown) return;
    ::GetWindowRect(menu, &seen.rect);
    for (wchar_t ch : keys) {
      if (ch == L'\x1b') ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      else ::PostMessageW(menu, WM_CHAR, ch, 0);
    }
    // A menu that ignored the keys must not hold the test for ever.
    watchdog = After(5000, [] { ::EndMenu(); });
  });
  ::SendMessageW(button, BM_CLICK, 0, 0);
  Cancel(typing);  // when the menu never came
  if (watchdog) Cancel(watchdog);
  Pump();
  return seen;
}
MenuSeen ClickMenuButtonAndType(FormatDialog& form, int index, const std::wstring& keys) {
  return ClickMenuButtonAndType(form.Item(Ctl::btnFormatMenu, index), keys);
}

std::wstring MenuCaption(HMENU menu, TokenItem item) {
  wchar_t buf[128] = {};
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof(mi);
  mi.fMask = MIIM_STRING;
  mi.dwTypeData = buf;
  mi.cch = 128;
  if (!::GetMenuItemInfoW(menu, static_cast<UINT>(TokenMenuCommandId(item)), FALSE, &mi)) return L"?";
  return buf;
}

bool MenuItemGrayed(HMENU menu, TokenItem item) {
  return (::GetMenuState(menu, static_cast<UINT>(TokenMenuCommandId(item)), MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::vector<int> g_topics;
void RecordTopic(HWND, int id) { g_topics.push_back(id); }

class FormatDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = Process().Opt;
    Process().Opt = zv::test::SampleSettings();
    Process().Opt.AutoNo = 1;  // not the "3" the tests pick
    g_topics.clear();
    ui::SetWhatsThisSink(RecordTopic);
    owner_ = ::CreateWindowExW(0, L"Static", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
    Pump();
  }
  void TearDown() override {
    ui::SetWhatsThisSink(nullptr);
    ::DestroyWindow(owner_);
    Process().Opt = saved_;
  }
  // The settings the dialog edits.
  static std::tuple<std::wstring, std::wstring, std::wstring, int, int, int> Six() {
    const Settings& o = Process().Opt;
    return {o.FileNameFormat, o.ExtNameFormat, o.FolderNameFormat, o.DispExt, o.AutoNo, o.SkipUsedNo};
  }

  Settings saved_;
  HWND owner_ = nullptr;
};

}  // namespace

TEST_F(FormatDialogTest, LoadFillsTheFieldsFromTheSettingsAndLaysOutTheRows) {
  FormatDialog form;
  bool ran = false;
  RunModal(form, owner_, [&] {
    ran = true;
    EXPECT_FALSE(::IsWindowEnabled(owner_));
    EXPECT_EQ(WindowText(form.hwnd()), L"書式設定");
    EXPECT_EQ(::GetWindow(form.hwnd(), GW_OWNER), owner_);
    EXPECT_EQ(ui::Focus().ActiveFormHwnd, form.hwnd());
    EXPECT_EQ(form.Text(Ctl::txtFileNameFormat), L"%F_%Y%M%D");
    EXPECT_EQ(form.Text(Ctl::txtExtNameFormat), L"bak");
    EXPECT_EQ(form.Text(Ctl::txtFolderNameFormat), L"%F_%R");
    EXPECT_EQ(form.Value(Ctl::chkDispExt), 1);
    EXPECT_EQ(form.Value(Ctl::chkSkipUsedNo), 0);
    EXPECT_TRUE(form.Enabled(Ctl::txtExtNameFormat));
    HWND combo = form.Item(Ctl::cmbAutoNo);
    ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
      wchar_t item[8] = {};
      ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      EXPECT_EQ(item, std::to_wstring(i + 1));
    }
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(MenuCaption(form.TokenMenu(), TokenItem::mnuTimeStamp), L"     コピー元のタイムスタンプ(&U)");

    // 4680 x 5265 twips at 15 twips per pixel; rows at frame + panel + their own place.
    RECT client;
    ::GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, 312);
    EXPECT_EQ(client.bottom, 351);
    struct Place { Ctl control; int index; int left, top; };
    const Place places[] = {
        {Ctl::txtFileNameFormat, -1, 120, 29},  // (233 + 120 + 1440, 120 + 240 + 75) twips
        {Ctl::btnFormatMenu, 0, 248, 29},
        {Ctl::txtFolderNameFormat, -1, 120, 81},
        {Ctl::btnFormatMenu, 1, 248, 81},
        {Ctl::cmbAutoNo, -1, 120, 107},
        {Ctl::chkSkipUsedNo, -1, 120, 133},
        {Ctl::lstNamed, -1, 24, 194},
        {Ctl::btnNamedAdd, -1, 220, 194},
        {Ctl::btnNamedDown, -1, 220, 287},
        {Ctl::btnOkCan, 0, 112, 318},
        {Ctl::btnOkCan, 1, 209, 318},
    };
    for (const Place& p : places) {
      RECT r;
      ::GetWindowRect(form.Item(p.control, p.index), &r);
      ::MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.left, p.left) << static_cast<int>(p.control) << p.index;
      EXPECT_EQ(r.top, p.top) << static_cast<int>(p.control) << p.index;
    }
    // The whole file-name format is selected in the first field.
    EXPECT_EQ(::GetFocus(), form.Item(Ctl::txtFileNameFormat));
    EXPECT_EQ(Selection(form.Item(Ctl::txtFileNameFormat)), std::make_pair(0ul, 9ul));
  });
  EXPECT_TRUE(ran);
  EXPECT_FALSE(form.loaded());
  EXPECT_TRUE(::IsWindowEnabled(owner_));
}

TEST_F(FormatDialogTest, TooltipsNameTheMenuButtonsAndTheRunningNumberDigits) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    // The tooltips come with the first mouse message over the dialog.
    zv::test::MouseArrives(form.hwnd());
    std::vector<std::pair<HWND, std::wstring>> tips;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
          wchar_t cls[32] = {};
          ::GetClassNameW(w, cls, 32);
          if (::lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
          auto* out = reinterpret_cast<std::vector<std::pair<HWND, std::wstring>>*>(lp);
          const int n = static_cast<int>(::SendMessageW(w, TTM_GETTOOLCOUNT, 0, 0));
          for (int i = 0; i < n; ++i) {
            wchar_t text[80] = {};
            TTTOOLINFOW ti{};
            ti.cbSize = sizeof(ti);
            ti.lpszText = text;
            if (::SendMessageW(w, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti)))
              out->emplace_back(reinterpret_cast<HWND>(ti.uId), text);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&tips));
    auto tipOf = [&](HWND control) {
      for (auto& [h, t] : tips)
        if (h == control) return t;
      return std::wstring(L"(none)");
    };
    EXPECT_EQ(tipOf(form.Item(Ctl::btnFormatMenu, 0)), L"書式ﾒﾆｭｰ");
    EXPECT_EQ(tipOf(form.Item(Ctl::btnFormatMenu, 1)), L"書式ﾒﾆｭｰ");
    EXPECT_EQ(tipOf(form.Item(Ctl::lblAutoNo)), L"書式で連番(%R)を設定した場合に有効");
    EXPECT_EQ(tipOf(form.Item(Ctl::cmbAutoNo)), L"書式で連番(%R)を設定した場合に有効");
    EXPECT_EQ(tipOf(form.Item(Ctl::chkSkipUsedNo)), L"ｺﾋﾟｰ先に同じ名前があれば次の番号にします");
    EXPECT_EQ(tipOf(form.Item(Ctl::txtFileNameFormat)), L"(none)");
  });
}

TEST_F(FormatDialogTest, WhatsThisTopicsAndLabelAccelerators) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    // Right-button release: labels, the check box and the menu buttons; not the text boxes.
    struct Case { Ctl control; int index; std::vector<int> topics; };
    const Case cases[] = {
        {Ctl::lblFileFormat, -1, {30}}, {Ctl::lblFolderFormat, -1, {30}}, {Ctl::lblAutoNo, -1, {36}}, {Ctl::chkDispExt, -1, {31}},
        {Ctl::btnFormatMenu, 0, {35}}, {Ctl::btnFormatMenu, 1, {35}}, {Ctl::chkSkipUsedNo, -1, {43}}, {Ctl::btnOkCan, 0, {59}},
    };
    for (const Case& c : cases) {
      g_topics.clear();
      ClickAt(form.Item(c.control, c.index), 3, 3, WM_RBUTTONDOWN, WM_RBUTTONUP);
      EXPECT_EQ(g_topics, c.topics) << static_cast<int>(c.control) << c.index;
    }
    // The title-bar help button reaches the text boxes and the combo box too.
    const std::pair<Ctl, int> help[] = {
        {Ctl::txtFileNameFormat, 30}, {Ctl::txtExtNameFormat, 31}, {Ctl::txtFolderNameFormat, 30}, {Ctl::cmbAutoNo, 36}};
    for (auto [control, topic] : help) {
      g_topics.clear();
      HELPINFO info{sizeof(info), HELPINFO_WINDOW, 0, form.Item(control), 0, {0, 0}};
      ::SendMessageW(form.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
      EXPECT_EQ(g_topics, std::vector<int>{topic}) << static_cast<int>(control);
    }
    // The labels' accelerators move to the field after them.
    PressAlt(L'n');
    EXPECT_EQ(::GetFocus(), form.Item(Ctl::txtFolderNameFormat));
    EXPECT_EQ(Selection(form.Item(Ctl::txtFolderNameFormat)), std::make_pair(0ul, 5ul));
    PressAlt(L'r');
    EXPECT_EQ(::GetFocus(), form.Item(Ctl::cmbAutoNo));
    PressAlt(L'h');
    EXPECT_EQ(::GetFocus(), form.Item(Ctl::txtFileNameFormat));
  });
}

TEST_F(FormatDialogTest, TabSelectsAllSoTheTokenGoesInFrontOfTheWholeText) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    HWND box = form.Item(Ctl::txtFileNameFormat);
    form.SetText(Ctl::txtFileNameFormat, L"abcdef");
    ::SetFocus(form.Item(Ctl::btnOkCan, 1));
    Pump();
    PressKey(VK_TAB);  // Cancel is the last tab stop: Tab wraps to the file-name field
    ASSERT_EQ(::GetFocus(), box);
    ASSERT_EQ(Selection(box), std::make_pair(0ul, 6ul));

    // The direct path of the menu's command, as the popup would deliver it.
    ::SetFocus(form.Item(Ctl::btnFormatMenu, 0));
    Pump();
    form.MenuTargetIndex = 0;
    EXPECT_TRUE(form.MenuCommand(TokenMenuCommandId(TokenItem::mnuTS0)));
    Pump();
    EXPECT_EQ(form.Text(Ctl::txtFileNameFormat), L"%Tabcdef");
    EXPECT_EQ(::GetFocus(), box);
    EXPECT_EQ(Selection(box), std::make_pair(2ul, 2ul));
    EXPECT_FALSE(ui::Focus().SuppressSelectAll);
    EXPECT_EQ(ui::Focus().LastFocusForm, form.hwnd());
    EXPECT_EQ(ui::Focus().LastFocusId, static_cast<int>(Ctl::txtFileNameFormat));
    EXPECT_EQ(form.Text(Ctl::txtFolderNameFormat), L"%F_%R");
  });
}

TEST_F(FormatDialogTest, ARealPopupUnderTheButtonInsertsAtTheClickedCaret) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    HWND box = form.Item(Ctl::txtFileNameFormat);
    form.SetText(Ctl::txtFileNameFormat, L"abcdef");
    ::SetFocus(form.Item(Ctl::chkDispExt));
    Pump();
    // A click just inside the fourth character puts the caret after "c".
    const LRESULT at = ::SendMessageW(box, EM_POSFROMCHAR, 3, 0);
    ClickAt(box, LOWORD(at) + 1, HIWORD(at) + 2);
    ASSERT_EQ(Selection(box), std::make_pair(3ul, 3ul));

    // 現在の日付(&D) > 年(&Y) > the selected first item, %Y.
    const MenuSeen seen = ClickMenuButtonAndType(form, 0, L"DY\r");
    ASSERT_TRUE(seen.shown);
    RECT button;
    ::GetWindowRect(form.Item(Ctl::btnFormatMenu, 0), &button);
    EXPECT_EQ(seen.rect.left, button.left);
    EXPECT_EQ(seen.rect.top, button.bottom);
    EXPECT_EQ(form.MenuTargetIndex, 0);

    EXPECT_EQ(form.Text(Ctl::txtFileNameFormat), L"abc%Ydef");
    EXPECT_EQ(::GetFocus(), box);
    EXPECT_EQ(Selection(box), std::make_pair(5ul, 5ul));
    EXPECT_FALSE(ui::Focus().SuppressSelectAll);

    // The folder button's menu inserts into the folder field, at its own caret.
    HWND folder = form.Item(Ctl::txtFolderNameFormat);
    ::SendMessageW(folder, EM_SETSEL, 3, 5);  // "%R" selected: the token goes before it
    ClickMenuButtonAndType(form, 1, L"R");
    EXPECT_EQ(form.Text(Ctl::txtFolderNameFormat), L"%F_%R%R");
    EXPECT_EQ(Selection(folder), std::make_pair(5ul, 5ul));
    EXPECT_EQ(form.Text(Ctl::txtFileNameFormat), L"abc%Ydef");
  });
}

TEST_F(FormatDialogTest, TheFolderButtonRewordsTheMenuAndDisablesTheExtension) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    HMENU menu = form.TokenMenu();
    ASSERT_NE(menu, nullptr);
    // "     キャンセル(&C)" only closes the menu.
    ASSERT_TRUE(ClickMenuButtonAndType(form, 1, L"C").shown);
    EXPECT_EQ(form.MenuTargetIndex, 1);
    EXPECT_EQ(MenuCaption(menu, TokenItem::mnuFmt0), L"%&F  コピー元フォルダ名");
    EXPECT_EQ(MenuCaption(menu, TokenItem::mnuTimeStamp), L"     コピー元フォルダのタイムスタンプ(&U)");
    EXPECT_EQ(MenuCaption(menu, TokenItem::mnuFmt1), L"%&X  コピー元ファイルの拡張子");
    EXPECT_TRUE(MenuItemGrayed(menu, TokenItem::mnuFmt1));
    EXPECT_FALSE(MenuItemGrayed(menu, TokenItem::mnuFmt0));
    EXPECT_EQ(form.Text(Ctl::txtFolderNameFormat), L"%F_%R");
    EXPECT_EQ(form.Text(Ctl::txtFileNameFormat), L"%F_%Y%M%D");

    // The disabled "%X" cannot be chosen.
    ClickMenuButtonAndType(form, 1, L"X\x1b");
    EXPECT_EQ(form.Text(Ctl::txtFolderNameFormat), L"%F_%R");

    ASSERT_TRUE(ClickMenuButtonAndType(form, 0, L"C").shown);
    EXPECT_EQ(form.MenuTargetIndex, 0);
    EXPECT_EQ(MenuCaption(menu, TokenItem::mnuFmt0), L"%&F  コピー元ファイル名（拡張子を除く）");
    EXPECT_EQ(MenuCaption(menu, TokenItem::mnuTimeStamp), L"     コピー元ファイルのタイムスタンプ(&U)");
    EXPECT_FALSE(MenuItemGrayed(menu, TokenItem::mnuFmt1));
    EXPECT_EQ(form.Text(Ctl::txtFileNameFormat), L"%F_%Y%M%D");

    // The cancel item by its command as well, changing nothing: not the text, its selection
    // or the focus. The submenus' own ids are no commands.
    const std::wstring before = form.Text(Ctl::txtFileNameFormat);
    HWND box = form.Item(Ctl::txtFileNameFormat), button = form.Item(Ctl::btnFormatMenu, 0);
    ::SendMessageW(box, EM_SETSEL, 1, 3);
    ::SetFocus(button);
    EXPECT_TRUE(form.MenuCommand(TokenMenuCommandId(TokenItem::mnuCancel)));
    EXPECT_FALSE(form.MenuCommand(kTokenCommandBase - 1));
    EXPECT_EQ(form.Text(Ctl::txtFileNameFormat), before);
    EXPECT_EQ(Selection(box), std::make_pair(1ul, 3ul));
    EXPECT_EQ(::GetFocus(), button);
  });
}

TEST_F(FormatDialogTest, TheRealMenuTreeFollowsTheTable) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    // Walks the real menu depth first, as the table lists it.
    std::vector<std::tuple<int, std::wstring, bool, bool, UINT>> walked;  // level, caption, submenu, separator, id
    std::function<void(HMENU, int)> walk = [&](HMENU m, int level) {
      const int n = ::GetMenuItemCount(m);
      for (int i = 0; i < n; ++i) {
        wchar_t buf[128] = {};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
        mi.dwTypeData = buf;
        mi.cch = 128;
        ASSERT_TRUE(::GetMenuItemInfoW(m, static_cast<UINT>(i), TRUE, &mi));
        walked.emplace_back(level, buf, mi.hSubMenu != nullptr, (mi.fType & MFT_SEPARATOR) != 0, mi.wID);
        if (mi.hSubMenu) walk(mi.hSubMenu, level + 1);
      }
    };
    walk(form.TokenMenu(), 0);
    const auto items = TokenMenuItems();
    ASSERT_EQ(walked.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
      const auto& [level, caption, submenu, separator, id] = walked[i];
      SCOPED_TRACE(items[i].caption);
      EXPECT_EQ(level, items[i].level);
      EXPECT_EQ(submenu, items[i].kind == TokenItemKind::Submenu);
      EXPECT_EQ(separator, items[i].kind == TokenItemKind::Separator);
      if (!separator) {
        EXPECT_EQ(caption, items[i].caption);
      }
      EXPECT_EQ(static_cast<int>(id), TokenMenuCommandId(items[i].id));
    }
    // A few captions as the user reads them.
    const std::pair<TokenItem, const wchar_t*> spots[] = {
        {TokenItem::mnuSysDate, L"     現在の日付(&D)"},
        {TokenItem::mnuYY2, L"%&E  和暦２桁(01 ～ 99)"},
        {TokenItem::mnuNG1, L"%&g  漢字２桁(明治、大正、昭和、平成、令和)"},
        {TokenItem::mnuWW0, L"%&W  英字省略形(Sun ～ Sat)"},
        {TokenItem::mnuTS2, L"%&t  時刻６桁"},
        {TokenItem::mnuAutoNo, L"%&R  連番"},
    };
    for (const auto& [item, text] : spots) EXPECT_EQ(MenuCaption(form.TokenMenu(), item), text);
  });
}

TEST_F(FormatDialogTest, OkStoresTheTextsAsTypedAndTheDigitIndex) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    form.SetText(Ctl::txtFileNameFormat, L" %F (copy) ");
    form.SetText(Ctl::txtFolderNameFormat, L"");
    form.SetText(Ctl::txtExtNameFormat, L"txt ");
    ::SendMessageW(form.Item(Ctl::chkDispExt), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(form.Enabled(Ctl::txtExtNameFormat));
    EXPECT_EQ(form.Text(Ctl::txtExtNameFormat), L"txt ");
    // "3" chosen from the keyboard.
    ::SetFocus(form.Item(Ctl::cmbAutoNo));
    Pump();
    PressKey(VK_END);
    ASSERT_EQ(::SendMessageW(form.Item(Ctl::cmbAutoNo), CB_GETCURSEL, 0, 0), 2);
    PressAlt(L's');
    ::SendMessageW(form.Item(Ctl::btnOkCan, 0), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.loaded());
  });
  EXPECT_EQ(Six(), std::make_tuple(std::wstring(L" %F (copy) "), std::wstring(L"txt "), std::wstring(L""), 0, 2, 1));
}

TEST_F(FormatDialogTest, CancelEscapeAndTheCloseBoxStoreNothing) {
  const auto before = Six();
  const std::pair<const wchar_t*, std::function<void(FormatDialog&)>> ways[] = {
      {L"キャンセル", [](FormatDialog& f) { ::SendMessageW(f.Item(Ctl::btnOkCan, 1), BM_CLICK, 0, 0); }},
      {L"Esc", [](FormatDialog& f) {
         ::SetFocus(f.Item(Ctl::txtFileNameFormat));
         PressKey(VK_ESCAPE);
       }},
      {L"close box", [](FormatDialog& f) { ::SendMessageW(f.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& [what, close] : ways) {
    FormatDialog form;
    bool closed = false;
    RunModal(form, owner_, [&] {
      ::SetFocus(form.Item(Ctl::btnFormatMenu, 0));
      ClickMenuButtonAndType(form, 0, L"R");
      ClickMenuButtonAndType(form, 1, L"TH\r");
      EXPECT_EQ(form.Text(Ctl::txtFolderNameFormat), L"%H%F_%R");
      ::SendMessageW(form.Item(Ctl::chkDispExt), BM_CLICK, 0, 0);
      ::SendMessageW(form.Item(Ctl::chkSkipUsedNo), BM_CLICK, 0, 0);
      ::SendMessageW(form.Item(Ctl::cmbAutoNo), CB_SETCURSEL, 2, 0);
      form.SetText(Ctl::txtExtNameFormat, L"new");
      Pump();
      close(form);
      Pump();
      closed = !form.loaded();
    });
    EXPECT_TRUE(closed) << what;
    EXPECT_EQ(Six(), before) << what;
  }
}

TEST_F(FormatDialogTest, TheExtensionFieldFollowsTheCheckBoxInStateAndColour) {
  FormatDialog form;
  RunModal(form, owner_, [&] {
    HWND ext = form.Item(Ctl::txtExtNameFormat);
    HDC dc = ::CreateCompatibleDC(nullptr);
    // Brush, background and text colour the dialog gives the field.
    auto colourOf = [&](UINT msg) {
      const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(form.hwnd(), msg, reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(ext)));
      return std::make_tuple(brush, ::GetBkColor(dc), ::GetTextColor(dc));
    };
    auto sys = [](int background, int text) {
      return std::make_tuple(::GetSysColorBrush(background), ::GetSysColor(background), ::GetSysColor(text));
    };
    EXPECT_EQ(colourOf(WM_CTLCOLOREDIT), sys(COLOR_WINDOW, COLOR_WINDOWTEXT));
    ::SendMessageW(form.Item(Ctl::chkDispExt), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(form.Value(Ctl::chkDispExt), 0);
    EXPECT_FALSE(::IsWindowEnabled(ext));
    EXPECT_EQ(form.Text(Ctl::txtExtNameFormat), L"bak");
    // A disabled edit asks for the static colour.
    EXPECT_EQ(colourOf(WM_CTLCOLORSTATIC), sys(COLOR_BTNFACE, COLOR_GRAYTEXT));
    ::SendMessageW(form.Item(Ctl::chkDispExt), BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(::IsWindowEnabled(ext));
    EXPECT_EQ(colourOf(WM_CTLCOLOREDIT), sys(COLOR_WINDOW, COLOR_WINDOWTEXT));
    ::DeleteDC(dc);
  });
}

TEST_F(FormatDialogTest, LoadWithTheExtensionOffStartsDisabled) {
  Process().Opt.DispExt = 0;
  Process().Opt.AutoNo = 2;
  FormatDialog form;
  RunModal(form, owner_, [&] {
    EXPECT_EQ(form.Value(Ctl::chkDispExt), 0);
    EXPECT_FALSE(form.Enabled(Ctl::txtExtNameFormat));
    EXPECT_EQ(form.Text(Ctl::txtExtNameFormat), L"bak");
    EXPECT_EQ(::SendMessageW(form.Item(Ctl::cmbAutoNo), CB_GETCURSEL, 0, 0), 2);
    ::SendMessageW(form.Item(Ctl::btnOkCan, 0), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(Process().Opt.DispExt, 0);
  EXPECT_EQ(Process().Opt.AutoNo, 2);
  EXPECT_EQ(Process().Opt.ExtNameFormat, L"bak");
}

TEST_F(FormatDialogTest, OkKeepsAStoredRunningNumberWidthUnlessOneIsPicked) {
  struct Case {
    int stored;
    int picked;  // -1: none
    int after;
  };
  const Case cases[] = {{5, -1, 5}, {-3, -1, -3}, {5, 0, 0}, {2, -1, 2}, {0, 2, 2}};
  for (const auto& c : cases) {
    Process().Opt.AutoNo = c.stored;
    FormatDialog form;
    RunModal(form, owner_, [&] {
      if (c.picked >= 0) ::SendMessageW(form.Item(Ctl::cmbAutoNo), CB_SETCURSEL, c.picked, 0);
      ::SendMessageW(form.Item(Ctl::btnOkCan, 0), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(Process().Opt.AutoNo, c.after) << c.stored << " picked " << c.picked;
  }
}

TEST_F(FormatDialogTest, ShowFormatDialogStartsAfreshEachTime) {
  // Driven by window handles only, as the options dialog's user would.
  auto findDialog = [] { return ::FindWindowW(nullptr, L"書式設定"); };
  auto edits = [](HWND dlg) {
    std::vector<HWND> found;
    for (HWND c = ::FindWindowExW(dlg, nullptr, L"Edit", nullptr); c; c = ::FindWindowExW(dlg, c, L"Edit", nullptr))
      found.push_back(c);
    return found;  // file name, extension, folder name
  };
  for (const wchar_t* button : {L"キャンセル", L"OK"}) {
    bool ran = false;
    After(1, [&] {
      HWND dlg = findDialog();
      ASSERT_NE(dlg, nullptr);
      ran = true;
      const auto boxes = edits(dlg);
      ASSERT_EQ(boxes.size(), 3u);
      // Each opening shows the settings, not what the last one typed.
      EXPECT_EQ(WindowText(boxes[0]), Process().Opt.FileNameFormat);
      ::SetWindowTextW(boxes[0], L"typed %R");
      ::SendMessageW(::FindWindowExW(dlg, nullptr, L"Button", button), BM_CLICK, 0, 0);
    });
    ShowFormatDialog(owner_);
    EXPECT_TRUE(ran) << button;
    EXPECT_EQ(findDialog(), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(owner_));
  }
  EXPECT_EQ(Process().Opt.FileNameFormat, L"typed %R");
}

namespace {

// The named-format editor over the format dialog, once it is up.
HWND Editor() { return ::FindWindowW(L"#32770", L"名前付き書式"); }
HWND EditorBox(int n) {
  HWND box = nullptr;
  for (int i = 0; i <= n; ++i) box = ::FindWindowExW(Editor(), box, L"Edit", nullptr);
  return box;
}
// Run inside the editor's modal loop: fills its name and formats, then presses OK.
void FillEditorAndOK(const std::vector<std::wstring>& texts) {
  ASSERT_TRUE(Editor());
  for (size_t i = 0; i < texts.size(); ++i) ::SetWindowTextW(EditorBox(static_cast<int>(i)), texts[i].c_str());
  ::SendMessageW(::FindWindowExW(Editor(), nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
}
std::vector<std::wstring> ListLines(HWND list) {
  std::vector<std::wstring> lines;
  const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t line[128] = {};
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

// The named formats from a hand-edited file with gaps: added (a duplicate name refused first),
// changed, removed and moved up, then stored by OK as numbers 1, 2, ... with only what changed.
TEST_F(FormatDialogTest, NamedFormatsAreAddedChangedRemovedAndReordered) {
  test::TempFolder dir;
  const std::wstring saved = Process().IniPath;
  Process().IniPath = dir / L"Zarvane.ini";
  {
    win::WinProfile profile(Process().IniPath);
    for (auto [key, value] : {std::pair{L"Name1", L"日付"}, {L"File1", L"%F_%Y%M%D"}, {L"Name3", L"版"},
                              {L"File3", L"%F_v%R"}, {L"Name10", L"十"}})
      profile.WriteString(kFormatsSection, key, value);
  }
  FormatDialog form;
  test::MsgBoxResponder boxes;
  boxes.Expect(L"同じ書式名が既にあります。", IDOK);
  RunModal(form, owner_, [&] {
    HWND list = form.Item(Ctl::lstNamed);
    auto selectLine = [&](int line) {
      ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
      form.lstNamed_Click(0);
    };
    EXPECT_EQ(ListLines(list), (std::vector<std::wstring>{L"日付 — %F_%Y%M%D", L"版 — %F_v%R"}));
    EXPECT_FALSE(form.Enabled(Ctl::btnNamedUp));
    EXPECT_TRUE(form.Enabled(Ctl::btnNamedDown));

    // Alt+A adds; the duplicate name is refused with the editor kept open, then a new one taken.
    After(1, [] {
      FillEditorAndOK({L" 版 "});
      EXPECT_TRUE(Editor()) << "closed on a duplicate name";
      EXPECT_EQ(::GetFocus(), EditorBox(0));
      FillEditorAndOK({L"確認用", L"%F_確認用", L"pdf", L""});
    });
    ::SetFocus(list);
    PressAlt(L'a');
    EXPECT_EQ(ListLines(list).size(), 3u);
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_FALSE(form.Enabled(Ctl::btnNamedDown));

    // 変更 shows the entry and takes the new format.
    selectLine(0);
    After(1, [] {
      EXPECT_EQ(WindowText(EditorBox(1)), L"%F_%Y%M%D");
      // Each row's token menu writes into its own row: %R into the folder box, then the file box.
      HWND fileMenu = ::FindWindowExW(Editor(), nullptr, L"Button", L">");
      ClickMenuButtonAndType(::FindWindowExW(Editor(), fileMenu, L"Button", L">"), L"R");
      EXPECT_EQ(WindowText(EditorBox(1)), L"%F_%Y%M%D");
      EXPECT_EQ(WindowText(EditorBox(3)), L"%R");
      ClickMenuButtonAndType(fileMenu, L"R");
      EXPECT_NE(WindowText(EditorBox(1)).find(L"%R"), std::wstring::npos);
      // キャンセル(&C) changes nothing: not the box's selection, not the focus.
      ::SendMessageW(EditorBox(1), EM_SETSEL, 0, 2);
      ::SetFocus(fileMenu);
      ClickMenuButtonAndType(fileMenu, L"C");
      EXPECT_EQ(Selection(EditorBox(1)), std::make_pair(0ul, 2ul));
      EXPECT_EQ(::GetFocus(), fileMenu);
      FillEditorAndOK({L"日付", L"%F_%Y-%M-%D"});
    });
    ::SendMessageW(form.Item(Ctl::btnNamedEdit), BM_CLICK, 0, 0);
    Pump();

    selectLine(1);
    ::SendMessageW(form.Item(Ctl::btnNamedDel), BM_CLICK, 0, 0);
    selectLine(1);
    ::SendMessageW(form.Item(Ctl::btnNamedUp), BM_CLICK, 0, 0);
    EXPECT_EQ(ListLines(list), (std::vector<std::wstring>{L"確認用 — %F_確認用", L"日付 — %F_%Y-%M-%D"}));
    EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(form.Enabled(Ctl::btnNamedUp));
    ::SendMessageW(form.Item(Ctl::btnOkCan, 0), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(boxes.Pending(), 0u);
  win::WinProfile profile(Process().IniPath);
  const StoredFormats stored = LoadNamedFormats(profile);
  EXPECT_EQ(stored.List(), (std::vector<NamedFormat>{{L"確認用", L"%F_確認用", L"pdf", L""},
                                                     {L"日付", L"%F_%Y-%M-%D", L"", L"%R"}}));
  EXPECT_FALSE(stored.present[2][2]) << "an empty key written where none was";
  EXPECT_EQ(profile.GetString(kFormatsSection, L"Name10"), L"十");
  Process().IniPath = saved;
}

// Nine named formats are all there can be: 追加 is off until one goes.
TEST_F(FormatDialogTest, AddIsOffAtNineNamedFormats) {
  test::TempFolder dir;
  const std::wstring saved = Process().IniPath;
  Process().IniPath = dir / L"Zarvane.ini";
  std::vector<ProfileValue> nine;
  for (int n = 1; n <= 9; ++n) nine.push_back({kFormatsSection, L"Name" + std::to_wstring(n), std::to_wstring(n)});
  ASSERT_TRUE(win::WinProfile(Process().IniPath).WriteValues(nine));
  FormatDialog form;
  RunModal(form, owner_, [&] {
    EXPECT_FALSE(form.Enabled(Ctl::btnNamedAdd));
    ::SendMessageW(form.Item(Ctl::btnNamedDel), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.Enabled(Ctl::btnNamedAdd));
    ::SendMessageW(form.Item(Ctl::btnOkCan, 1), BM_CLICK, 0, 0);
  });
  Process().IniPath = saved;
}

// Run by hand for the documentation's picture: with ZV_SHOT_DIR set (a Windows path),
// opens the menu under the file-name button with 現在の日付 > 年 open, writes the screen
// rectangle of the dialog and its menus to ready.txt there, and keeps the menus up until
// done.txt appears (a minute at most) while the screen is captured from outside:
//   ZV_SHOT_DIR='Z:\tmp\shot' wine64 zv_win_tests.exe --gtest_also_run_disabled_tests
//       --gtest_filter='*ScreenshotWithTheTokenMenuOpen' &
//   then, once /tmp/shot/ready.txt holds "left top right bottom":
//   import -window root full.png; convert full.png -crop ... docs/format.png; touch /tmp/shot/done.txt
TEST_F(FormatDialogTest, DISABLED_ScreenshotWithTheTokenMenuOpen) {
  const wchar_t* dir = ::_wgetenv(L"ZV_SHOT_DIR");
  if (!dir) GTEST_SKIP() << "ZV_SHOT_DIR not set";
  static std::wstring ready, done;
  static int ticksLeft;
  ready = std::wstring(dir) + L"\\ready.txt";
  done = std::wstring(dir) + L"\\done.txt";
  ticksLeft = 600;
  ::SetWindowPos(owner_, nullptr, 40, 40, 640, 360, SWP_NOZORDER);
  // A few named formats in the list.
  test::TempFolder named;
  const std::wstring savedIni = Process().IniPath;
  Process().IniPath = named / L"Zarvane.ini";
  win::WinProfile profile(Process().IniPath);
  for (auto [key, value] : {std::pair{L"Name1", L"版"}, {L"File1", L"%F_v%R"}, {L"Name2", L"確認用"},
                            {L"File2", L"%F_確認用"}, {L"Ext2", L"pdf"}, {L"Name3", L"控え"}, {L"File3", L"%F_%T_%t"}})
    profile.WriteString(kFormatsSection, key, value);
  FormatDialog form;
  RunModal(form, owner_, [&] {
    // The display's first events for the new dialog are handled before the menu goes up, as
    // they are long before a user's click; otherwise the dialog's late first paint lands on
    // top of the menu.
    for (const ULONGLONG end = ::GetTickCount64() + 500; ::GetTickCount64() < end;) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      Pump();
    }
    After(1, [&] {
      HWND menu = ::FindWindowW(L"#32768", nullptr);
      ASSERT_NE(menu, nullptr);
      for (wchar_t ch : {L'D', L'Y'}) ::PostMessageW(menu, WM_CHAR, ch, 0);
      After(500, [&] {
        RECT all;
        ::GetWindowRect(form.hwnd(), &all);
        for (HWND m = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); m;
             m = ::FindWindowExW(nullptr, m, L"#32768", nullptr)) {
          RECT r;
          if (::IsWindowVisible(m) && ::GetWindowRect(m, &r)) ::UnionRect(&all, &all, &r);
        }
        if (FILE* f = ::_wfopen(ready.c_str(), L"wb")) {
          std::fprintf(f, "%ld %ld %ld %ld\n", all.left, all.top, all.right, all.bottom);
          std::fclose(f);
        }
        ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
          if (--ticksLeft > 0 && ::GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES) return;
          ::KillTimer(nullptr, id);
          ::EndMenu();
        });
      });
    });
    ::SendMessageW(form.Item(Ctl::btnFormatMenu, 0), BM_CLICK, 0, 0);
    Pump();
  });
  Process().IniPath = savedIni;
}
