// Several starts of Zarvane.exe: with PrevInstance 0 a later one hands its paths to the running
// copy, which opens one dialog after the other, or, without a path, brings that copy forward;
// with PrevInstance 1 each runs.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "Driver.h"
#include "copy/CopyDialog.h"
#include "platform/Profile.h"
#include "core/Settings.h"
#include "ui/AppWindow.h"

using namespace zv;
using namespace zv::test;

namespace {

const std::wstring kCopyCaption = L"新しいファイル名";
const std::wstring kAlreadyRunning = L"Zarvane は既に起動されています";

// Any message box of the process on screen right now.
bool HasMessageBox(DWORD pid) {
  struct Search {
    DWORD pid;
    bool found = false;
  } s{pid};
  ::EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner == s->pid && ::IsWindowVisible(h) && ReadDialog(h).isMessageBox) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

class SingleInstanceE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    win::WinProfile profile(ini);
    ASSERT_TRUE(WriteFirstRunDefaults(profile));
    profile.WriteString(kOptionSection, L"TopMost", L"0");
    ASSERT_TRUE(WriteBytes(source, "data"));
    // This test program has an application window of the program's class and caption too
    // (ui::AppWindow); a start must not take it for its running copy either.
    ASSERT_TRUE(ui::AppWindow());
  }

  void SetPrevInstance(const wchar_t* value) { win::WinProfile(ini).WriteString(kOptionSection, L"PrevInstance", value); }
  std::wstring Arguments() const { return L"/INI\"" + ini + L"\" \"" + source + L"\""; }
  std::wstring NoPath() const { return L"/INI\"" + ini + L"\""; }
  std::wstring Paths(std::initializer_list<std::wstring> names) const {
    std::wstring line = NoPath();
    for (const auto& name : names) line += L" \"" + (dir / name) + L"\"";
    return line;
  }
  static void Cancel(Driver& driver, HWND form) {
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    EXPECT_EQ(driver.WaitForExit(), std::optional<uint32_t>(0));
  }

  TempFolder dir;
  std::wstring ini = dir / L"Zarvane.ini";
  std::wstring source = dir / L"a.txt";
};

}  // namespace

TEST_F(SingleInstanceE2E, SecondStartWithoutAPathRestoresTheRunningDialogAndEnds) {
  SetPrevInstance(L"0");
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND dialog = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(dialog);
  ::ShowWindow(dialog, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return ::IsIconic(dialog) != FALSE; }));

  auto second = Driver::Start(NoPath());
  ASSERT_TRUE(second);
  const auto box = second->Answer(IDOK);
  ASSERT_TRUE(box) << "no message box from the second start";
  EXPECT_EQ(box->text, kAlreadyRunning);
  EXPECT_EQ(box->caption, L"Zarvane");
  EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
  // It ends without a dialog of its own (a copy dialog would keep it running).
  EXPECT_EQ(second->WaitForExit(), std::optional<uint32_t>(0));

  EXPECT_TRUE(WaitUntil(5000, [&] { return !::IsIconic(dialog); })) << "the running dialog stayed minimised";
  EXPECT_TRUE(::IsWindowVisible(dialog));
  EXPECT_TRUE(WaitUntil(5000, [&] { return ::GetForegroundWindow() == dialog; }))
      << "foreground is " << ::GetForegroundWindow() << ", dialog " << dialog;
  Cancel(*first, dialog);
}

TEST_F(SingleInstanceE2E, SecondStartWithoutAPathBringsTheDialogToTheFront) {
  SetPrevInstance(L"5");  // anything but 1 keeps to one copy
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND dialog = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(dialog);
  // A window of the program's own class and caption from another executable, made after the
  // running copy's and so met first: it is not the running copy either.
  win::UniqueWindow sameClass(::CreateWindowExW(0, ui::kAppWindowClass, L"Zarvane", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                nullptr, ::GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(sameClass);
  // Another window in front first, so that the hand-over has something to do: one captioned
  // "Zarvane" as an Explorer window on the program's folder is, which must be left alone.
  win::UniqueWindow other(::CreateWindowExW(0, L"Static", L"Zarvane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                            nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(other);
  ::SetForegroundWindow(other.get());
  ASSERT_TRUE(WaitUntil(5000, [&] { return ::GetForegroundWindow() == other.get(); }));

  auto second = Driver::Start(NoPath());
  ASSERT_TRUE(second);
  const auto box = second->Answer(IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, kAlreadyRunning);
  EXPECT_EQ(second->WaitForExit(), std::optional<uint32_t>(0));
  EXPECT_TRUE(WaitUntil(5000, [&] { return ::GetForegroundWindow() == dialog; }));
  EXPECT_FALSE(HasMessageBox(first->id()));

  // A third start finds the first one still, not the second that has gone.
  auto third = Driver::Start(NoPath());
  ASSERT_TRUE(third);
  ASSERT_TRUE(third->Answer(IDOK));
  EXPECT_EQ(third->WaitForExit(), std::optional<uint32_t>(0));
  Cancel(*first, dialog);
}

TEST_F(SingleInstanceE2E, WithPrevInstanceOneEveryStartOpensItsOwnDialog) {
  SetPrevInstance(L"1");
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND one = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(one);
  auto second = Driver::Start(Arguments());
  ASSERT_TRUE(second);
  HWND two = second->WaitForForm(kCopyCaption);
  ASSERT_TRUE(two);
  EXPECT_NE(one, two);
  EXPECT_FALSE(HasMessageBox(first->id()));
  EXPECT_FALSE(HasMessageBox(second->id()));
  Cancel(*second, two);
  Cancel(*first, one);
}

TEST_F(SingleInstanceE2E, ACopyOfTheProgramElsewhereIsAnotherProgram) {
  SetPrevInstance(L"0");
  const std::wstring other = dir / L"Zarvane.exe";
  ASSERT_TRUE(::CopyFileW(ZarvaneExe().c_str(), other.c_str(), TRUE));
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND one = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(one);
  auto second = Driver::Start(Arguments(), other);
  ASSERT_TRUE(second);
  HWND two = second->WaitForForm(kCopyCaption);
  ASSERT_TRUE(two) << "the copy in another folder did not open its dialog";
  EXPECT_FALSE(HasMessageBox(second->id()));
  Cancel(*second, two);
  Cancel(*first, one);
}

namespace {

RECT WindowRect(HWND window) {
  RECT rc{};
  ::GetWindowRect(window, &rc);
  return rc;
}

// Works through the open dialogs with OK, checking each caption; the names proposed, in turn.
std::vector<std::wstring> OkEach(Driver& copy, const std::vector<std::wstring>& captions) {
  std::vector<std::wstring> names;
  std::optional<RECT> place;
  for (const auto& caption : captions) {
    HWND form = copy.WaitForForm(caption);
    EXPECT_TRUE(form) << "no dialog " << testing::PrintToString(caption);
    if (!form) break;
    const RECT rc = WindowRect(form);
    if (place) {
      EXPECT_TRUE(rc.left == place->left && rc.top == place->top) << "the next dialog moved";
    }
    place = rc;
    names.push_back(Driver::Text(Driver::Nth(form, L"Edit", 0)));
    Driver::Click(Driver::ByCaption(form, L"OK"));
    EXPECT_TRUE(Driver::WaitVisible(form, false));
  }
  return names;
}

}  // namespace

TEST_F(SingleInstanceE2E, SeveralSourcesOpenOneDialogAfterTheOtherWithTheRunningNumberGoingOn) {
  SetPrevInstance(L"0");
  win::WinProfile(ini).WriteString(kOptionSection, L"FileNameFormat", L"%F_%R");
  win::WinProfile(ini).WriteString(kOptionSection, L"AutoNo", L"0");
  const std::vector<std::wstring> waiting = {L"新しいファイル名 (あと 2 件)", L"新しいファイル名 (あと 1 件)", kCopyCaption};
  for (const bool oneStart : {false, true}) {
    SCOPED_TRACE(oneStart ? "one start with three paths" : "three starts in quick succession");
    TempFolder files;
    for (const wchar_t* name : {L"a.dat", L"b.dat", L"c.dat"}) ASSERT_TRUE(WriteBytes(files / name, "data"));
    std::vector<Driver> starts;
    if (oneStart) {
      starts.push_back(*Driver::Start(NoPath() + L" \"" + (files / L"a.dat") + L"\" \"" + (files / L"b.dat") +
                                      L"\" \"" + (files / L"c.dat") + L"\""));
    } else {
      for (const wchar_t* name : {L"a.dat", L"b.dat", L"c.dat"})
        starts.push_back(*Driver::Start(NoPath() + L" \"" + (files / name) + L"\""));
    }
    // All but one end at once, without a message (which would keep them running).
    size_t ended = 0;
    ASSERT_TRUE(WaitUntil(30000, [&] {
      ended = 0;
      for (auto& start : starts) ended += start.WaitForExit(0).has_value();
      return ended == starts.size() - 1;
    }));
    Driver* copy = nullptr;
    for (auto& start : starts) {
      if (start.WaitForExit(0)) EXPECT_EQ(start.WaitForExit(0), std::optional<uint32_t>(0));
      else copy = &start;
    }
    ASSERT_TRUE(copy);
    const auto names = OkEach(*copy, waiting);
    EXPECT_EQ(copy->WaitForExit(), std::optional<uint32_t>(0));
    ASSERT_EQ(names.size(), 3u);
    std::set<wchar_t> sources;
    for (size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(names[i].substr(1), L"_" + std::to_wstring(i + 1));
      EXPECT_TRUE(Exists(files / (names[i] + L".dat"))) << i;
      sources.insert(names[i][0]);
    }
    EXPECT_EQ(sources, (std::set<wchar_t>{L'a', L'b', L'c'}));
    if (oneStart) {
      EXPECT_EQ(names, (std::vector<std::wstring>{L"a_1", L"b_2", L"c_3"}));
    }
  }
}

TEST_F(SingleInstanceE2E, EachSourceIsSetUpAsItsOwnStartWouldSetItUp) {
  SetPrevInstance(L"0");
  win::WinProfile(ini).WriteString(kOptionSection, L"OpenFolderCheck", L"0");
  ASSERT_TRUE(::CreateDirectoryW((dir / L"photos").c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(dir / L"a.dat", "a"));
  ASSERT_TRUE(WriteBytes(dir / L"b.txt", "b"));
  ::SetFileAttributesW((dir / L"b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  auto copy = Driver::Start(Paths({L"a.dat", L"photos", L"b.txt"}));
  ASSERT_TRUE(copy);
  struct Step {
    std::wstring caption, open;  // the dialog's and the first tick's
    bool opens, readOnly;
    std::wstring name;
  } steps[] = {{L"新しいファイル名 (あと 2 件)", L"関連付けで開く(&E)", false, false, L"a"},
               {L"新しいフォルダ名 (あと 1 件)", L"フォルダを開く(&F)", false, false, L"photos"},
               {kCopyCaption, L"関連付けで開く(&E)", true, true, L"b_later"}};
  for (const auto& step : steps) {
    HWND form = copy->WaitForForm(step.caption);
    ASSERT_TRUE(form) << testing::PrintToString(step.caption);
    HWND open = Driver::Nth(form, L"Button", 0);
    EXPECT_EQ(Driver::Text(open), step.open);
    EXPECT_EQ(Driver::Checked(open), step.opens) << testing::PrintToString(step.caption);
    EXPECT_EQ(Driver::Checked(Driver::ByCaption(form, L"&R")), step.readOnly);
    EXPECT_EQ(Driver::Text(Driver::Nth(form, L"Edit", 0)), step.name);
    // Saved meanwhile (by the options of a copy running beside), it counts from the next dialog.
    win::WinProfile(ini).WriteString(kOptionSection, L"FileNameFormat", L"%F_later");
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    EXPECT_TRUE(Driver::WaitVisible(form, false));
  }
  EXPECT_EQ(copy->WaitForExit(), std::optional<uint32_t>(0));
  ::SetFileAttributesW((dir / L"b.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SingleInstanceE2E, CloseBoxEndsThisSourceAndTheSystemMenuDropsTheRest) {
  SetPrevInstance(L"0");
  for (const wchar_t* name : {L"b.txt", L"c.txt"}) ASSERT_TRUE(WriteBytes(dir / name, "x"));
  auto copy = Driver::Start(Paths({L"a.txt", L"b.txt", L"c.txt"}));
  ASSERT_TRUE(copy);
  HWND first = copy->WaitForForm(L"新しいファイル名 (あと 2 件)");
  ASSERT_TRUE(first);
  ::PostMessageW(first, WM_CLOSE, 0, 0);
  HWND second = copy->WaitForForm(L"新しいファイル名 (あと 1 件)");
  ASSERT_TRUE(second);
  ::PostMessageW(second, WM_SYSCOMMAND, kDropWaitingCommand, 0);
  EXPECT_TRUE(WaitUntil(5000, [&] { return Driver::Text(second) == kCopyCaption; }));
  Cancel(*copy, second);
}

TEST_F(SingleInstanceE2E, EveryRunningCopyTakesLaterPathsOnceEach) {
  // How the running copy was started, then what later starts hand it, with the caption after.
  struct Case {
    const wchar_t* firstPrevInstance;
    std::vector<std::wstring> later;
    std::wstring caption;
  };
  ASSERT_TRUE(WriteBytes(dir / L"b.txt", "b"));
  const Case cases[] = {
      {L"0", {Paths({L"a.txt"}), Paths({L"b.txt"}), Paths({L"b.txt", L"a.txt"})}, L"新しいファイル名 (あと 1 件)"},
      // A copy that runs beside others is found all the same.
      {L"1", {Paths({L"b.txt"})}, L"新しいファイル名 (あと 1 件)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.firstPrevInstance));
    SetPrevInstance(c.firstPrevInstance);
    auto first = Driver::Start(Paths({L"a.txt"}));
    ASSERT_TRUE(first);
    HWND form = first->WaitForForm(kCopyCaption);
    ASSERT_TRUE(form);
    SetPrevInstance(L"0");
    for (const auto& line : c.later) {
      auto later = Driver::Start(line);
      ASSERT_TRUE(later);
      EXPECT_EQ(later->WaitForExit(), std::optional<uint32_t>(0)) << testing::PrintToString(line);
    }
    EXPECT_EQ(Driver::Text(form), c.caption);
    // Without a path, a later start sees the running copy too.
    auto noPath = Driver::Start(NoPath());
    ASSERT_TRUE(noPath);
    const auto box = noPath->Answer(IDOK);
    EXPECT_TRUE(box && box->text == kAlreadyRunning);
    EXPECT_EQ(noPath->WaitForExit(), std::optional<uint32_t>(0));
    ::PostMessageW(form, WM_SYSCOMMAND, kDropWaitingCommand, 0);
    Cancel(*first, form);
  }
}

TEST_F(SingleInstanceE2E, TheRunningCopyTakesOnlyAWellFormedHandOver) {
  SetPrevInstance(L"0");
  ASSERT_TRUE(WriteBytes(dir / L"b.txt", "b"));
  auto first = Driver::Start(Paths({L"a.txt"}));
  ASSERT_TRUE(first);
  HWND form = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(form);
  HWND receiver = ::FindWindowExW(HWND_MESSAGE, nullptr, kHandOverClass, InstanceName(ZarvaneExe()).c_str());
  ASSERT_TRUE(receiver);
  struct Case {
    ULONG_PTR tag;
    std::string bytes;
    bool taken;
  };
  const std::string good = EncodeHandOver({ini, {dir / L"b.txt"}});
  const Case cases[] = {
      {kHandOverTag + 1, good, false},
      {kHandOverTag, EncodeHandOver({dir / L"other.ini", {dir / L"b.txt"}}), false},  // other settings
      {kHandOverTag, EncodeHandOver({ini, {dir / L"b.txt", dir / L"none.txt"}}), false},
      {kHandOverTag, EncodeHandOver({ini, {dir / L"a.txt", dir / L"b.txt"}}), true},
      {kHandOverTag, good, true},  // taken, not queued twice
  };
  for (const auto& c : cases) {
    COPYDATASTRUCT data{c.tag, static_cast<DWORD>(c.bytes.size()), const_cast<char*>(c.bytes.data())};
    DWORD_PTR reply = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 15000,
                                      &reply));
    EXPECT_EQ(reply != 0, c.taken) << c.bytes.size() << " bytes";
  }
  EXPECT_EQ(Driver::Text(form), L"新しいファイル名 (あと 1 件)");
  ::PostMessageW(form, WM_SYSCOMMAND, kDropWaitingCommand, 0);
  Cancel(*first, form);
}

TEST_F(SingleInstanceE2E, AStartWhoseHandOverFailsOpensItsOwnDialog) {
  SetPrevInstance(L"0");
  // A window under the program's hand-over name that takes nothing.
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    return m == WM_COPYDATA ? 0 : ::DefWindowProcW(h, m, w, l);
  };
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kHandOverClass;
  ::RegisterClassW(&wc);
  win::UniqueWindow refuser(::CreateWindowExW(0, kHandOverClass, InstanceName(ZarvaneExe()).c_str(), 0, 0, 0, 0, 0,
                                              HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
  ASSERT_TRUE(refuser);
  auto start = Driver::Start(Arguments());
  ASSERT_TRUE(start);
  HWND form = nullptr;
  // The refusal is this thread's to send.
  ASSERT_TRUE(WaitUntil(40000, [&] {
    Pump();
    return (form = start->WaitForForm(kCopyCaption, 0)) != nullptr;
  })) << "the path was lost";
  Cancel(*start, form);
}
