// What's-This help with no help file beside the program: every topic of every dialog has a
// built-in text, and the copy dialog shows it in a pop-up at the control.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <set>
#include <utility>

#include "Driver.h"
#include "copy/CopyDialog.h"
#include "core/HelpTopics.h"
#include "core/NamedFormats.h"
#include "format/FormatDialog.h"
#include "format/NamedFormatDialog.h"
#include "options/ShellMenu.h"
#include "options/AdvancedDialog.h"
#include "options/OptionsDialog.h"
#include "platform/Profile.h"
#include "setup/WelcomeDialog.h"
#include "ui/AboutDialog.h"

using namespace zv;
using namespace zv::test;

TEST(HelpTopics, EveryTopicOfEveryDialogHasAText) {
  CopyDialog copy;
  OptionsDialog options;
  AdvancedDialog advanced;
  FormatDialog format;
  NamedFormatDialog named({}, {}, -1);
  WelcomeDialog setup;
  ui::AboutDialog about;
  const ui::Form* forms[] = {&copy, &options, &advanced, &format, &named, &setup, &about};
  // Topics the dialogs switch to at run time: the folder mode's first box and the registered
  // states of the two toggles.
  std::set<int> topics = {TopicNumber(HelpTopic::OpenCopiedFolder), TopicNumber(HelpTopic::AllFilesRemove),
                          TopicNumber(HelpTopic::FolderRemove)};
  for (const ui::Form* form : forms) {
    for (const ui::ControlDef& c : form->controls()) {
      const bool rightClick = (c.flags & ui::kHelpOnRight) != 0;
      EXPECT_TRUE(c.helpId || !rightClick) << "right-click help without a topic: " << RowText(*form, c);
      // In a dialog with What's-This help, every control a user can reach explains itself.
      const bool reachable = c.kind != ui::Kind::Label && c.kind != ui::Kind::Frame;
      EXPECT_TRUE(c.helpId || !reachable || !form->def().whatsThis) << "no topic: " << RowText(*form, c);
      if (c.helpId) topics.insert(c.helpId);
    }
  }
  for (int topic : topics) EXPECT_NE(HelpTopicText(topic), nullptr) << "topic " << topic;
}

namespace {

// Zarvane.exe on a sample file (or, without one, its options) with its own settings file.
struct Sample {
  TempFolder dir;
  std::optional<Driver> driver;
  HWND form = nullptr;
};
void Open(Sample& s, const std::wstring& sourceName) {
  const std::wstring ini = s.dir / L"Zarvane.ini";
  win::WinProfile profile(ini);
  ASSERT_TRUE(WriteFirstRunDefaults(profile));
  profile.WriteString(kOptionSection, L"PrevInstance", L"1");
  profile.WriteString(kOptionSection, L"FileNameFormat", L"%F_%Y%M%D");
  const wchar_t* named[][3] = {{L"Name1", L"File1", L"Ext1"}, {L"Name2", L"File2", L"Ext2"}, {L"Name3", L"File3", L"Ext3"}};
  const wchar_t* values[][3] = {{L"版", L"%F_v%R", L""}, {L"確認用", L"%F_確認用", L"pdf"}, {L"控え", L"%F_%T_%t", L""}};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k)
      if (*values[i][k]) profile.WriteString(kFormatsSection, named[i][k], values[i][k]);
  std::wstring arguments = L"/INI\"" + ini + L"\"";
  if (!sourceName.empty()) {
    ASSERT_TRUE(WriteBytes(s.dir / sourceName, "x"));
    arguments += L" \"" + (s.dir / sourceName) + L"\"";
  }
  s.driver = Driver::Start(arguments);
  ASSERT_TRUE(s.driver);
  s.form = s.driver->WaitForForm(sourceName.empty() ? L"Zarvane" : L"新しいファイル名");
  ASSERT_TRUE(s.form);
}
void RightClick(HWND control) {
  ::PostMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(4, 4));
  ::PostMessageW(control, WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
}
// Mouse input as the user makes it: the pointer to the control's middle, then a right click.
void PointAt(HWND control, bool rightClick) {
  RECT r{};
  ::GetWindowRect(control, &r);
  INPUT in[3] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dx = (r.left + r.right) / 2 * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  in[0].mi.dy = (r.top + r.bottom) / 2 * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  in[2].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  ::SendInput(rightClick ? 3 : 1, in, sizeof(INPUT));
}
// The text of a tooltip the process shows, or empty.
std::wstring ShownTip(DWORD pid) {
  std::pair<DWORD, std::wstring> seek{pid, L""};
  ::EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* seek = reinterpret_cast<std::pair<DWORD, std::wstring>*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(w, &owner);
        wchar_t cls[32] = {};
        ::GetClassNameW(w, cls, 32);
        if (owner != seek->first || !::IsWindowVisible(w) || ::lstrcmpiW(cls, L"tooltips_class32") != 0) return TRUE;
        wchar_t text[512] = {};
        ::SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
        seek->second = text;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&seek));
  return seek.second;
}

}  // namespace

TEST(HelpPopup, CopyDialogShowsTheTopicAtTheControlUntilTheNextKey) {
  Sample s;
  ASSERT_NO_FATAL_FAILURE(Open(s, L"report.txt"));
  HWND nameBox = Driver::Nth(s.form, L"Edit", 0);
  // What the system posts for an F1 press; the default window procedure turns it into WM_HELP.
  constexpr UINT kKeyF1 = 0x004D;
  struct Row {
    const char* how;
    HWND control;
    bool rightClick;  // else F1
    int topic;
    bool switchAway = false;  // closed by going to another program, else by Esc
  };
  const Row rows[] = {
      {"right-click on OK", Driver::ByCaption(s.form, L"OK"), true, 16},
      {"right-click on 連続コピー", Driver::ByCaption(s.form, L"連続コピー(&C)"), true, 15},
      {"F1 in the name box", nameBox, false, 10},
      {"F1, then another program", nameBox, false, 10, true},
  };
  // The first hover over the fresh dialog shows the name box's tooltip, naming the source.
  PointAt(nameBox, false);
  std::wstring tip;
  EXPECT_TRUE(WaitUntil(15000, [&] { return (tip = ShownTip(s.driver->id())).find(L"report.txt") != std::wstring::npos; }))
      << "tooltip: " << testing::PrintToString(tip);
  EXPECT_TRUE(tip.starts_with(L"ｺﾋﾟｰ元ﾌｧｲﾙ")) << testing::PrintToString(tip);
  bool firstRightClick = true;  // made with the mouse; the rows after it are posted
  for (const Row& row : rows) {
    ASSERT_TRUE(row.control) << row.how;
    if (row.rightClick && std::exchange(firstRightClick, false)) PointAt(row.control, true);
    else if (row.rightClick) RightClick(row.control);
    else ::PostMessageW(row.control, kKeyF1, 0, 0);
    HWND popup = s.driver->WaitForForm(HelpTopicText(row.topic));
    ASSERT_TRUE(popup) << row.how;

    // Beside the control, not over it, and on the screen.
    RECT p{}, c{};
    ::GetWindowRect(popup, &p);
    ::GetWindowRect(row.control, &c);
    EXPECT_TRUE(p.top >= c.bottom || p.bottom <= c.top) << row.how;
    EXPECT_GE(p.left, 0) << row.how;
    EXPECT_LE(p.right, ::GetSystemMetrics(SM_CXSCREEN)) << row.how;

    // Esc closes the pop-up and nothing else: the copy dialog stays. So does going to another
    // program (a window of this test), which would leave the pop-up above it.
    win::UniqueWindow other;
    if (row.switchAway) {
      other.reset(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr));
      ::SetForegroundWindow(other.get());
    } else {
      ::PostMessageW(nameBox, WM_KEYDOWN, VK_ESCAPE, 1);
      ::PostMessageW(nameBox, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    }
    EXPECT_TRUE(Driver::WaitVisible(popup, false)) << row.how;
    ::SendMessageTimeoutW(s.form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(::IsWindowVisible(s.form)) << row.how;
  }
  Driver::Click(Driver::ByCaption(s.form, L"キャンセル"));
  EXPECT_EQ(s.driver->WaitForExit(), 0u);
}

// Run by hand for the documentation's pictures (scripts/pictures.sh): with ZV_SHOT_DIR set (a
// Windows path) and ZV_SHOT one of copy, help, formats (the copy dialog's menu of formats) or
// options, opens that view, writes its screen
// rectangle as "left top right bottom" to ready.txt there and keeps it up until done.txt
// appears (a minute at most).
TEST(Pictures, DISABLED_OneView) {
  const wchar_t* shots = ::_wgetenv(L"ZV_SHOT_DIR");
  const wchar_t* view = ::_wgetenv(L"ZV_SHOT");
  if (!shots || !view) GTEST_SKIP() << "ZV_SHOT_DIR and ZV_SHOT not set";
  Sample s;
  ASSERT_NO_FATAL_FAILURE(Open(s, std::wstring(view) == L"options" ? L"" : L"報告書.xlsx"));
  RECT all{}, popup{};
  ::GetWindowRect(s.form, &all);
  if (std::wstring(view) == L"help") {
    RightClick(Driver::ByCaption(s.form, L"OK"));
    ::GetWindowRect(s.driver->WaitForForm(HelpTopicText(16)), &popup);
    ::UnionRect(&all, &all, &popup);
  }
  if (std::wstring(view) == L"formats") {
    Driver::Click(Driver::ByCaption(s.form, L"▼"));
    HWND menu = nullptr;
    WaitUntil(15000, [&] { return (menu = ::FindWindowW(L"#32768", nullptr)) && ::IsWindowVisible(menu); });
    ASSERT_TRUE(menu);
    ::GetWindowRect(menu, &popup);
    ::UnionRect(&all, &all, &popup);
  }
  char line[64];
  std::snprintf(line, sizeof line, "%ld %ld %ld %ld\n", all.left, all.top, all.right, all.bottom);
  ASSERT_TRUE(WriteBytes(std::wstring(shots) + L"\\ready.txt", line));
  WaitUntil(60000, [&] { return Exists(std::wstring(shots) + L"\\done.txt"); });
  ::PostMessageW(s.form, WM_CLOSE, 0, 0);
  s.driver->WaitForExit();
}
