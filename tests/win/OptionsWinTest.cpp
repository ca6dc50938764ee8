// The options dialog in this process on real controls: what OK writes and in which order, what
// the other ways out write, the registration frame on a private registry key, the settings file
// that cannot be written, and the application picker driven as a user would.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>

#include "DialogFixture.h"
#include "MsgBoxResponder.h"
#include "TestSupport.h"
#include "options/ShellMenu.h"
#include "options/OptionsDialog.h"
#include "platform/AppInfo.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "startup/StartupWin.h"
#include "ui/FocusState.h"

#include <commdlg.h>
#include <shlobj.h>

using namespace zv;
using Ctl = OptionsDialog::Ctl;
using namespace zv::test;

using zv::test::DialogTestScope;
using zv::test::Pump;
using zv::test::ShownTopics;

namespace {

const std::wstring kWriteFailedHead = L"設定ファイルに書き込めませんでした。";
const std::wstring kWriteFailedTail = L"ファイルが読み取り専用になっていないか確認してください。";
constexpr int kFileNameBox = 0x47C;  // the open dialog's file-name combo box (cmb13)

void Click(HWND control) {
  ::SendMessageW(control, BM_CLICK, 0, 0);
  Pump();
}

std::wstring FileText(const std::wstring& path) {
  const auto bytes = ReadBytes(path);
  return bytes ? win::FromAnsi(*bytes) : L"<missing>";
}

// A private key standing in for a classes key.
// Counts the shell's notices that file types changed, as Explorer receives them.
class AssociationNotices {
 public:
  AssociationNotices() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZvAssociationNotices";
    ::RegisterClassW(&wc);
    window_.reset(::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr));
    ::SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SHChangeNotifyEntry everything{nullptr, TRUE};
    id_ = ::SHChangeNotifyRegister(window_.get(), SHCNRF_ShellLevel | SHCNRF_InterruptLevel, SHCNE_ASSOCCHANGED,
                                   kNotice, 1, &everything);
  }
  ~AssociationNotices() {
    if (id_) ::SHChangeNotifyDeregister(id_);
  }
  bool listening() const { return id_ != 0; }
  int Count() {
    Pump();
    return count_;
  }

 private:
  static constexpr UINT kNotice = WM_APP + 77;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kNotice)
      if (auto* self = reinterpret_cast<AssociationNotices*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))) ++self->count_;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
  win::UniqueWindow window_;
  ULONG id_ = 0;
  int count_ = 0;
};

class ClassesKey : public zv::test::TempRegistryKey {
 public:
  explicit ClassesKey(const wchar_t* tag) : TempRegistryKey(tag) {}
};

// The edit inside the open dialog's file-name combo box.
HWND FileNameEdit(HWND dialog) {
  HWND found = nullptr;
  ::EnumChildWindows(
      ::GetDlgItem(dialog, kFileNameBox),
      [](HWND h, LPARAM p) -> BOOL {
        wchar_t cls[16] = {};
        ::GetClassNameW(h, cls, 16);
        if (_wcsicmp(cls, L"Edit") != 0) return TRUE;
        *reinterpret_cast<HWND*>(p) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Each test starts from its own settings file path and in-memory settings, and gives both back.
class OptionsDialogTest : public DialogFixture<OptionsDialog> {
 public:
  OptionsDialogTest() : DialogFixture(form) {}
  void Type(Ctl control, const std::wstring& text) {
    ::SendMessageW(Item(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Pump();
  }
  std::wstring WriteFailedMessage() const { return kWriteFailedHead + L"\r\n\r\n" + ini + L"\r\n\r\n" + kWriteFailedTail; }

  TempFolder dir;
  std::wstring ini = dir / L"Zarvane.ini";
  DialogTestScope scope{ini};
  ClassesKey classes{L"options-machine"};  // all users: where RegisterFor=0 writes under Wine
  ClassesKey userClasses{L"options-user"};
  MsgBoxResponder boxes;  // any box nobody expects fails the test
  OptionsDialog form{win::WinRegistry(userClasses.get()), win::WinRegistry(classes.get())};

};

struct Key {
  const wchar_t* name;
  std::wstring value;
};

std::wstring IniText(const std::vector<Key>& option, const std::wstring& hkcrExt) {
  std::wstring text = L"[Option]\r\n";
  for (const auto& key : option) text += std::wstring(key.name) + L"=" + key.value + L"\r\n";
  return text + L"[SYSTEM]\r\nHkcrExt=" + hkcrExt + L"\r\n";
}

}  // namespace

TEST_F(OptionsDialogTest, LoadShowsTheSettingsAndOkWritesTheSavedKeysInTheirOrder) {
  Settings& opt = Process().Opt;
  opt = SampleSettings();
  Open();

  EXPECT_EQ(WindowText(form.hwnd()), L"Zarvane");
  EXPECT_EQ(form.Text(Ctl::txtOpenFileExt1), L"txt");
  EXPECT_EQ(form.Text(Ctl::txtOpenFileExt2), L"html htm");
  EXPECT_EQ(form.Text(Ctl::txtAplPath), L"C:\\Tools\\edit.exe");
  const std::pair<Ctl, int> boxes[] = {
      {Ctl::chkOpenOriginal, 1}, {Ctl::chkOpenFolder, 0},   {Ctl::chkIMEMode, 0},      {Ctl::chkTopMost, 1},
      {Ctl::chkNotConfirmReplaceFile, 0}, {Ctl::chkAttribute, 1}, {Ctl::chkAttrArchive, 0}, {Ctl::chkAttrReadOnly, 1},
      {Ctl::chkAttrHidden, 0},   {Ctl::chkAttrSystem, 1},
  };
  for (const auto& [box, value] : boxes) EXPECT_EQ(form.Value(box), value) << static_cast<int>(box);
  HWND combo = Item(Ctl::cmbStartUpPos);
  ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 4);
  const wchar_t* entries[] = {L"ﾏｳｽﾎﾟｲﾝﾀｰの近く", L"前回と同じ位置", L"ｽｸﾘｰﾝの中央", L"ｽｸﾘｰﾝの左上", L"背面ｳｨﾝﾄﾞｳの中央"};
  for (int i = 0; i < 5; ++i) {
    wchar_t entry[64] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
    EXPECT_EQ(std::wstring(entry), entries[i]);
  }

  // Texts go as typed, blanks included (the profile file drops trailing ones on its own).
  Type(Ctl::txtOpenFileExt1, L"txt  log ");
  Type(Ctl::txtOpenFileExt2, L"");
  Type(Ctl::txtAplPath, L"C:\\ツール\\エディタ.exe");
  for (const Ctl box : {Ctl::chkOpenOriginal, Ctl::chkOpenFolder, Ctl::chkIMEMode, Ctl::chkNotConfirmReplaceFile,
                        Ctl::chkAttrReadOnly, Ctl::chkAttrSystem})
    Click(Item(box));
  ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
  HWND scopes = Item(Ctl::cmbRegisterFor);
  wchar_t automatic[64] = {};
  ::SendMessageW(scopes, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(automatic));
  EXPECT_EQ(std::wstring(automatic), L"自動（全ユーザー）");  // Wine runs elevated
  EXPECT_EQ(::SendMessageW(scopes, CB_GETCURSEL, 0, 0), 2);
  ::SendMessageW(scopes, CB_SETCURSEL, 1, 0);
  Click(Item(Ctl::btnOkCan, 0));
  EXPECT_FALSE(form.loaded());

  EXPECT_EQ(opt.OpenFileExt1, L"txt  log ");
  EXPECT_EQ(FileText(ini), IniText(
                               {
                                   {L"OpenFileExt1", L"txt  log"},
                                   {L"OpenFileExt2", L""},
                                   {L"OpenAplPath", L"C:\\ツール\\エディタ.exe"},
                                   {L"ExtNameFormat", L"bak"},
                                   {L"FileNameFormat", L"%F_%Y%M%D"},
                                   {L"FolderNameFormat", L"%F_%R"},
                                   {L"OpenOriginalCheck", L"0"},
                                   {L"OpenFolderCheck", L"1"},
                                   {L"DispExt", L"1"},
                                   {L"AutoNo", L"2"},
                                   {L"StartUpPos", L"0"},
                                   {L"IMEMode", L"1"},
                                   {L"TopMost", L"1"},
                                   {L"NotConfirmReplaceFile", L"1"},
                                   {L"ShellExecOpen", L"1"},
                                   {L"FolderOnly", L"0"},
                                   {L"CopyToFolder", L"1"},
                                   {L"CopyToFolderPath", L"D:\\コピー"},
                                   {L"Attribute", L"1"},
                                   {L"AttrArchive", L"0"},
                                   {L"AttrReadOnly", L"0"},
                                   {L"AttrHidden", L"0"},
                                   {L"AttrSystem", L"0"},
                                   {L"RegisterFor", L"1"},
                                   {L"SkipUsedNo", L"0"},
                               },
                               L""));
}

TEST_F(OptionsDialogTest, AttributeBoxesFollowTheHeadingAndKeepTheirValuesWhenDisabled) {
  Settings& opt = Process().Opt;
  opt.Attribute = 0;
  opt.AttrArchive = 1;
  opt.AttrHidden = 1;
  Open();
  const Ctl attrs[] = {Ctl::chkAttrArchive, Ctl::chkAttrReadOnly, Ctl::chkAttrHidden, Ctl::chkAttrSystem};
  const int loaded[] = {1, 0, 1, 0};
  auto expectBoxes = [&](bool enabled, const char* when) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(form.Enabled(attrs[i]), enabled) << when << ' ' << i;
      EXPECT_EQ(form.Value(attrs[i]), loaded[i]) << when << ' ' << i;
    }
  };
  expectBoxes(false, "loaded");
  Click(Item(Ctl::chkAttribute));
  expectBoxes(true, "checked");
  Click(Item(Ctl::chkAttribute));
  expectBoxes(false, "unchecked again");

  Click(Item(Ctl::btnOkCan, 0));
  ASSERT_FALSE(form.loaded());
  win::WinProfile profile(ini);
  const std::pair<const wchar_t*, int> stored[] = {
      {L"Attribute", 0}, {L"AttrArchive", 1}, {L"AttrReadOnly", 0}, {L"AttrHidden", 1}, {L"AttrSystem", 0}};
  for (const auto& [key, value] : stored) EXPECT_EQ(profile.GetInt(kOptionSection, key, -1), value) << key;
}

TEST_F(OptionsDialogTest, CancelAfterAdvancedChangesLeavesTheFileButHkcrExt) {
  {
    win::WinProfile profile(ini);
    ASSERT_TRUE(WriteFirstRunDefaults(profile));
    ASSERT_TRUE(profile.WriteString(kOptionSection, L"CopyToFolderPath", L"C:\\前"));
    // Listed but no longer registered: dropped from the list, so from the file when it closes.
    ASSERT_TRUE(profile.WriteString(kSystemSection, L"HkcrExt", L"TXT"));
    LoadSettings(profile, Process().Opt);
  }
  const std::wstring before = FileText(ini);
  ASSERT_NE(before.find(L"HkcrExt=TXT\r\n"), std::wstring::npos);
  Open();
  EXPECT_EQ(::SendMessageW(Item(Ctl::lstExt), LB_GETCOUNT, 0, 0), 0);

  // The advanced dialog, changed and confirmed: the in-memory settings take it.
  boxes.ExpectWindow([](const DialogSeen& d) { return d.caption == L"高度な設定"; },
                     [](const DialogSeen& d) {
                       for (const wchar_t* caption : {L"関連付けで開くときは従来方式で(&S)", L"コピー先フォルダを指定する(&T)"})
                         ::PostMessageW(::FindWindowExW(d.hwnd, nullptr, L"Button", caption), BM_CLICK, 0, 0);
                       HWND edit = ::FindWindowExW(d.hwnd, nullptr, L"Edit", nullptr);
                       ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"D:\\後"));
                       PressButton(d.hwnd, ::GetDlgCtrlID(::FindWindowExW(d.hwnd, nullptr, L"Button", L"OK")));
                     },
                     L"advanced settings");
  Click(Item(Ctl::btnAdvanced));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(Process().Opt.ShellExecOpen, 1);
  EXPECT_EQ(Process().Opt.CopyToFolder, 1);
  EXPECT_EQ(Process().Opt.CopyToFolderPath, L"D:\\後");
  ASSERT_TRUE(form.loaded());
  EXPECT_EQ(ui::Focus().ActiveFormHwnd, form.hwnd());

  Click(Item(Ctl::btnOkCan, 1));
  EXPECT_FALSE(form.loaded());
  std::wstring expected = before;
  expected.replace(expected.find(L"HkcrExt=TXT"), 11, L"HkcrExt=");
  EXPECT_EQ(FileText(ini), expected);
}

TEST_F(OptionsDialogTest, TheFormatButtonOpensTheFormatDialogOverThisOne) {
  Open();
  HWND owner = nullptr;
  bool ownerDisabled = false;
  boxes.ExpectWindow([](const DialogSeen& d) { return d.caption == L"書式設定"; },
                     [&](const DialogSeen& d) {
                       owner = d.owner;
                       ownerDisabled = !::IsWindowEnabled(d.owner);
                       WhenIdle([] { ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); });
                     },
                     L"format dialog");
  Click(Item(Ctl::btnFormat));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(owner, form.hwnd());
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(form.loaded());
  EXPECT_TRUE(::IsWindowEnabled(form.hwnd()));
}

TEST_F(OptionsDialogTest, EveryOtherWayOutWritesOnlyTheExtensionList) {
  struct Case {
    const char* name;
    std::function<void(OptionsDialog&)> close;
  };
  const Case cases[] = {
      {"キャンセル", [](OptionsDialog& f) { Click(f.Item(Ctl::btnOkCan, 1)); }},
      {"close box", [](OptionsDialog& f) { ::SendMessageW(f.hwnd(), WM_CLOSE, 0, 0); }},
      {"Esc", [](OptionsDialog& f) {
         ::SetFocus(f.Item(Ctl::txtOpenFileExt1));
         ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
         Pump();
       }},
  };
  for (const auto& c : cases) {
    ::DeleteFileW(ini.c_str());
    Process().Opt = Settings{};
    OptionsDialog f(win::WinRegistry(userClasses.get()), win::WinRegistry(classes.get()));
    ASSERT_TRUE(f.Show());
    Pump();
    f.SetValue(Ctl::chkTopMost, 0);
    f.SetText(Ctl::txtOpenFileExt1, L"changed");
    c.close(f);
    EXPECT_FALSE(f.loaded()) << c.name;
    EXPECT_EQ(FileText(ini), L"[SYSTEM]\r\nHkcrExt=\r\n") << c.name;
    EXPECT_EQ(Process().Opt.TopMost, 1) << c.name;
  }
}

TEST_F(OptionsDialogTest, EnterInTheExtensionBoxPressesOkAndRegistersNothing) {
  Open();
  Type(Ctl::txtExt, L"zvh5");
  ASSERT_TRUE(form.Enabled(Ctl::btnAdd));
  ::SetFocus(Item(Ctl::txtExt));
  Pump();
  ::PostMessageW(Item(Ctl::txtExt), WM_KEYDOWN, VK_RETURN, 0);
  ::PostMessageW(Item(Ctl::txtExt), WM_KEYUP, VK_RETURN, 0xC0000000);
  Pump();
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(classes.SubKeyCount() + userClasses.SubKeyCount(), 0u);
  win::WinProfile profile(ini);
  EXPECT_EQ(profile.GetInt(kOptionSection, L"TopMost", -1), 1);  // the options were written
  EXPECT_EQ(profile.GetString(kSystemSection, L"HkcrExt"), L"");
}

// Wine writes through FILE_ATTRIBUTE_READONLY when the process runs as root, so the settings
// file is made unwritable the ways Wine refuses: held open by another program, or in a folder
// that does not exist.
TEST_F(OptionsDialogTest, AnUnwritableSettingsFileKeepsTheDialogWithAStopMessage) {
  struct Case {
    const char* name;
    std::function<void(OptionsDialogTest&)> prepare;
    std::function<std::function<void()>(OptionsDialogTest&)> block;  // returns the undo
  };
  const Case cases[] = {
      {"held open without sharing",
       [](OptionsDialogTest& t) {
         win::WinProfile profile(t.ini);
         EXPECT_TRUE(WriteFirstRunDefaults(profile));
       },
       [](OptionsDialogTest& t) -> std::function<void()> {
         auto lock = std::make_shared<win::UniqueFile>(
             ::CreateFileW(t.ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         EXPECT_TRUE(*lock);
         return [lock] { lock->reset(); };
       }},
      {"folder missing",
       [](OptionsDialogTest& t) {
         t.ini = t.dir / L"後で作る\\Zarvane.ini";
         Process().IniPath = t.ini;
       },
       [](OptionsDialogTest& t) -> std::function<void()> {
         return [&t] { ::CreateDirectoryW((t.dir / L"後で作る").c_str(), nullptr); };
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Process().Opt = Settings{};
    const std::wstring originalIni = ini;
    c.prepare(*this);
    const std::wstring before = FileText(ini);
    const auto unblock = c.block(*this);
    OptionsDialog f(win::WinRegistry(userClasses.get()), win::WinRegistry(classes.get()));
    ASSERT_TRUE(f.Show());
    Pump();
    Click(f.Item(Ctl::chkNotConfirmReplaceFile));

    boxes.Expect(WriteFailedMessage(), IDOK, MB_ICONHAND | MB_OK);
    Click(f.Item(Ctl::btnOkCan, 0));
    EXPECT_EQ(boxes.Pending(), 0u);
    EXPECT_TRUE(f.loaded());
    EXPECT_TRUE(::IsWindowVisible(f.hwnd()));

    unblock();
    EXPECT_EQ(FileText(ini), before);
    Click(f.Item(Ctl::btnOkCan, 0));
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(win::WinProfile(ini).GetInt(kOptionSection, L"NotConfirmReplaceFile", -1), 1);
    ini = originalIni;
    Process().IniPath = ini;
  }
}

TEST_F(OptionsDialogTest, ClosingWithAnUnwritableFileSaysSoAndStillCloses) {
  ini = dir / L"無い\\Zarvane.ini";
  Process().IniPath = ini;
  Open();
  boxes.Expect(WriteFailedMessage(), IDOK, MB_ICONHAND | MB_OK);
  Click(Item(Ctl::btnOkCan, 1));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_FALSE(form.loaded());
}

TEST_F(OptionsDialogTest, RegistrationButtonsActAtOnceAndTheListIsSavedOnClose) {
  ASSERT_TRUE(classes.Put(L".txt", L"txtfile"));
  AssociationNotices notices;
  ASSERT_TRUE(notices.listening());
  Open();
  EXPECT_EQ(form.Text(Ctl::btnAllFiles), L"全ファイルに追加(&Q)");
  EXPECT_EQ(form.Text(Ctl::btnFolder), L"フォルダに追加(&G)");
  EXPECT_FALSE(form.Enabled(Ctl::btnAdd));
  EXPECT_FALSE(form.Enabled(Ctl::btnDel));
  EXPECT_FALSE(form.Enabled(Ctl::btnAllDel));

  Type(Ctl::txtExt, L" .txt ");
  EXPECT_TRUE(form.Enabled(Ctl::btnAdd));
  boxes.Expect(L"拡張子\"TXT\"のファイルの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？", IDYES,
               MB_ICONQUESTION | MB_YESNO);
  Click(Item(Ctl::btnAdd));
  EXPECT_EQ(boxes.Pending(), 0u);
  HWND list = Item(Ctl::lstExt);
  ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
  wchar_t entry[16] = {};
  ::SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(entry));
  EXPECT_EQ(std::wstring(entry), L"TXT");
  EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(form.Text(Ctl::txtExt), L"");
  EXPECT_EQ(::GetFocus(), Item(Ctl::txtExt));
  EXPECT_FALSE(form.Enabled(Ctl::btnAdd));
  EXPECT_TRUE(form.Enabled(Ctl::btnDel));
  EXPECT_TRUE(form.Enabled(Ctl::btnAllDel));
  const std::wstring exe = BuildExePath(win::ExeFolder(), win::ExeBaseName());
  EXPECT_EQ(classes.Get(L"txtfile\\shell\\Zarvane\\command"), L"\"" + exe + L"\" \"%1\"");
  EXPECT_EQ(notices.Count(), 1);  // Explorer told once the registration is written

  // The toggle's caption and help topic follow the registry.
  boxes.Expect(L"全てのファイルの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？", IDYES)
      .ExpectBox([](const DialogSeen& d) { return d.text.starts_with(L"個別に登録された拡張子が存在します。"); }, IDOK,
                 L"advice after adding for all files");
  Click(Item(Ctl::btnAllFiles));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(form.Text(Ctl::btnAllFiles), L"全ファイルから削除(&Q)");
  EXPECT_EQ(classes.Get(L"*\\shell\\Zarvane"), L"ザルヴェイン(&R)");
  EXPECT_EQ(notices.Count(), 2);
  MouseArrives(Item(Ctl::btnAllFiles), WM_RBUTTONDOWN);
  ::SendMessageW(Item(Ctl::btnAllFiles), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 3));
  ::SendMessageW(Item(Ctl::btnAllFiles), WM_RBUTTONUP, 0, MAKELPARAM(3, 3));
  Pump();
  EXPECT_EQ(ShownTopics(), std::vector<int>{39});

  // No after a question changes nothing.
  boxes.Expect(L"フォルダの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？", IDNO);
  Click(Item(Ctl::btnFolder));
  EXPECT_EQ(form.Text(Ctl::btnFolder), L"フォルダに追加(&G)");
  EXPECT_FALSE(classes.Get(L"Directory\\shell\\Zarvane"));
  EXPECT_EQ(notices.Count(), 2);  // nothing changed, nothing to tell

  ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(FileText(ini), L"[SYSTEM]\r\nHkcrExt=TXT\r\n");
}

// For the current user every button writes below the user's classes only, the next dialog shows
// that state and removes it again, and a changed choice acts at once and is kept by OK.
TEST_F(OptionsDialogTest, ThisUserScopeWritesOnlyTheUsersClassesAndTheNextDialogShowsIt) {
  Process().Opt.RegisterFor = 1;
  ASSERT_TRUE(classes.Put(L".txt", L"txtfile"));  // a file type defined for all users
  Open();
  EXPECT_EQ(::SendMessageW(Item(Ctl::cmbRegisterFor), CB_GETCURSEL, 0, 0), 1);
  Type(Ctl::txtExt, L"txt");
  boxes.Expect(L"拡張子\"TXT\"のファイルの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？", IDYES)
      .Expect(L"全てのファイルの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？", IDYES)
      .ExpectBox([](const DialogSeen& d) { return d.text.starts_with(L"個別に登録された拡張子が存在します。"); }, IDOK,
                 L"advice after adding for all files")
      .Expect(L"フォルダの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？", IDYES);
  for (const Ctl button : {Ctl::btnAdd, Ctl::btnAllFiles, Ctl::btnFolder}) Click(Item(button));
  EXPECT_EQ(boxes.Pending(), 0u);
  const std::wstring command = L"\"" + BuildExePath(win::ExeFolder(), win::ExeBaseName()) + L"\" \"%1\"";
  for (const wchar_t* cls : {L"txtfile", L"*", L"Directory"})
    EXPECT_EQ(userClasses.Get(std::wstring(cls) + L"\\shell\\Zarvane\\command"), command) << cls;
  EXPECT_EQ(userClasses.SubKeyCount(), 3u);  // no ".txt" of its own
  EXPECT_EQ(classes.SubKeyCount(), 1u);
  Click(Item(Ctl::btnOkCan, 0));
  ASSERT_FALSE(form.loaded());

  win::WinProfile profile(ini);
  LoadSettings(profile, Process().Opt);
  EXPECT_EQ(Process().Opt.RegisterFor, 1);
  OptionsDialog next(win::WinRegistry(userClasses.get()), win::WinRegistry(classes.get()));
  ASSERT_TRUE(next.Show());
  Pump();
  EXPECT_EQ(::SendMessageW(next.Item(Ctl::lstExt), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(next.Text(Ctl::btnAllFiles), L"全ファイルから削除(&Q)");
  EXPECT_EQ(next.Text(Ctl::btnFolder), L"フォルダから削除(&G)");
  boxes.Expect(L"全ての登録済み拡張子のファイルの右クリックメニューから\r\n「ザルヴェイン」を削除しますか？", IDYES)
      .Expect(L"全てのファイルの右クリックメニューから\r\n「ザルヴェイン」を削除しますか？", IDYES)
      .Expect(L"フォルダの右クリックメニューから\r\n「ザルヴェイン」を削除しますか？", IDYES);
  for (const Ctl button : {Ctl::btnAllDel, Ctl::btnAllFiles, Ctl::btnFolder}) Click(next.Item(button));
  EXPECT_EQ(boxes.Pending(), 0u);
  for (const wchar_t* cls : {L"txtfile", L"*", L"Directory"})
    EXPECT_FALSE(userClasses.Get(std::wstring(cls) + L"\\shell\\Zarvane")) << cls;

  HWND scopes = next.Item(Ctl::cmbRegisterFor);
  ::SendMessageW(scopes, CB_SETCURSEL, 2, 0);
  ::SendMessageW(next.hwnd(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(scopes), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(scopes));
  boxes.Expect(L"フォルダの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？", IDYES);
  Click(next.Item(Ctl::btnFolder));
  EXPECT_EQ(classes.Get(L"Directory\\shell\\Zarvane\\command"), command);
  EXPECT_FALSE(userClasses.Get(L"Directory\\shell\\Zarvane"));
  Click(next.Item(Ctl::btnOkCan, 0));
  EXPECT_EQ(win::WinProfile(ini).GetInt(kOptionSection, L"RegisterFor", -1), 2);
}

TEST_F(OptionsDialogTest, OpenOptionsDialogShowsTheTopLevelWindowWhoseClosingEndsTheProgram) {
  Process().Opt.HkcrExtEmpty = true;
  ASSERT_TRUE(OpenOptionsDialog());
  Pump();
  HWND shown = ui::Focus().ActiveFormHwnd;
  ASSERT_TRUE(shown);
  EXPECT_EQ(WindowText(shown), L"Zarvane");
  EXPECT_TRUE(::IsWindowVisible(shown));
  EXPECT_TRUE(::GetWindowLongW(shown, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_TRUE(::GetWindowLongW(shown, GWL_EXSTYLE) & WS_EX_CONTEXTHELP);

  ::SendMessageW(shown, WM_COMMAND, IDCANCEL, 0);
  EXPECT_FALSE(::IsWindow(shown));
  MSG quit{};
  EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The application picker, the real open dialog answered as a user would.
class ApplicationPickerTest : public OptionsDialogTest {
 protected:
  void SetUp() override {
    OptionsDialogTest::SetUp();
    ASSERT_TRUE(::CreateDirectoryW(tools.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(tools + L"\\old.exe", "MZ"));
    ASSERT_TRUE(WriteBytes(tools + L"\\新しい.exe", "MZ"));
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    cwd_ = cwd;
    // Without an initial folder the dialog opens in the current one.
  }
  void TearDown() override {
    ::SetCurrentDirectoryW(cwd_.c_str());
    OptionsDialogTest::TearDown();
  }
  // Expects the open dialog: records the folder it shows, then types `choice` and presses OK,
  // or presses Cancel when `choice` is empty.
  void ExpectOpenDialog(std::wstring choice) {
    boxes.ExpectWindow([](const DialogSeen& d) { return d.className == L"#32770" && ::GetDlgItem(d.hwnd, kFileNameBox); },
                       [this, choice](const DialogSeen& d) {
                         shownOwner = d.owner;
                         HWND dialog = d.hwnd;
                         // The dialog moves to its first folder after it is activated.
                         WhenIdle([this, choice, dialog] {
                           wchar_t folder[MAX_PATH] = {};
                           ::SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder));
                           shownFolder = folder;
                           if (choice.empty()) {
                             PressButton(dialog, IDCANCEL);
                             return;
                           }
                           ::SendMessageW(FileNameEdit(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(choice.c_str()));
                           PressButton(dialog, IDOK);
                         });
                       },
                       L"open dialog");
  }

  std::wstring tools = dir / L"ツール";
  std::wstring other = dir / L"other";
  std::wstring shownFolder;
  HWND shownOwner = nullptr;

 private:
  std::wstring cwd_;
};

TEST_F(ApplicationPickerTest, AChosenFileLandsInTheBox) {
  Open();
  Type(Ctl::txtAplPath, tools + L"\\old.exe");
  ExpectOpenDialog(tools + L"\\新しい.exe");
  Click(Item(Ctl::btnBr));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(form.Text(Ctl::txtAplPath), tools + L"\\新しい.exe");
  EXPECT_EQ(shownOwner, form.hwnd());
  EXPECT_EQ(_wcsicmp(shownFolder.c_str(), tools.c_str()), 0) << shownFolder;
}

TEST_F(ApplicationPickerTest, TheDialogStartsInTheFolderOfTheTypedPathOnlyWhenThatExists) {
  struct Case {
    std::wstring typed;
    std::wstring expectedFolder;
  };
  const Case cases[] = {
      {tools + L"\\old.exe", tools},
      {L"  " + tools + L"\\whatever.exe  ", tools},  // trimmed; the file itself need not exist
      {dir / L"無いフォルダ\\old.exe", other},
      {L"", other},
      {L"old.exe", other},
  };
  Open();
  for (const auto& c : cases) {
    // The dialog leaves the current folder where it last was (no OFN_NOCHANGEDIR).
    ASSERT_TRUE(::SetCurrentDirectoryW(other.c_str()));
    Type(Ctl::txtAplPath, c.typed);
    shownFolder.clear();
    ExpectOpenDialog(L"");  // Cancel keeps the text
    Click(Item(Ctl::btnBr));
    EXPECT_EQ(boxes.Pending(), 0u);
    EXPECT_EQ(_wcsicmp(shownFolder.c_str(), c.expectedFolder.c_str()), 0) << c.typed << " showed " << shownFolder;
    EXPECT_EQ(form.Text(Ctl::txtAplPath), c.typed);
  }
}

namespace {

// Records each PowerShell script and answers with the next code; the first answer waits for
// `release` when one is given, as PowerShell takes its time.
struct RecordingPowerShell : IPowerShell {
  std::vector<std::wstring> scripts;
  std::vector<std::optional<uint32_t>> answers;
  HANDLE release = nullptr;
  bool fails = false;  // throws, as a failure no code answers
  std::optional<uint32_t> Run(const std::wstring& script) override {
    if (release && scripts.empty()) ::WaitForSingleObject(release, 10000);
    if (fails) throw std::runtime_error("no answer");
    scripts.push_back(script);
    return scripts.size() <= answers.size() ? answers[scripts.size() - 1] : std::optional<uint32_t>(0u);
  }
};

RECT RectOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

}  // namespace

// On Windows 11 with the package beside the program the box shows the registration read at load
// and registers at once; a refusal is explained and puts the box back. Elsewhere it is hidden.
TEST_F(OptionsDialogTest, Win11MenuBoxRegistersThePackageAndGoesBackOnARefusal) {
  Open();
  EXPECT_FALSE(::IsWindowVisible(Item(Ctl::chkWin11Menu)));

  auto shell = std::make_unique<RecordingPowerShell>();
  shell->answers = {1u, 0x800B0109u, 0u, 0x80073CF1u};  // not registered; refused; done; removal refused
  win::UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  shell->release = release.get();
  const std::wstring package = dir / L"Zarvane.msix";
  OptionsDialog win11{win::WinRegistry(userClasses.get()), win::WinRegistry(classes.get()),
                  Win11MenuHost{true, true, package, dir.path(), shell.get()}};
  ASSERT_TRUE(win11.Show());
  Pump();
  HWND box = win11.Item(Ctl::chkWin11Menu);
  ASSERT_TRUE(::IsWindowVisible(box));
  // Open while PowerShell has not answered yet; the box waits greyed.
  EXPECT_FALSE(::IsWindowEnabled(box));
  ::SetEvent(release.get());
  EXPECT_TRUE(WaitUntil(5000, [&] {
    Pump();
    return ::IsWindowEnabled(box) != FALSE;
  }));
  EXPECT_EQ(WindowText(box), L"Windows 11 のメニューに表示する(&X)");
  EXPECT_EQ(win11.Value(Ctl::chkWin11Menu), 0);
  ASSERT_EQ(shell->scripts.size(), 1u);  // only read: nothing is registered by opening the dialog
  EXPECT_EQ(shell->scripts[0], QueryScript());
  // Inside 右クリックメニュー, above その他, whose controls moved down with the OK button.
  const RECT boxRect = RectOf(box), frame = RectOf(win11.Item(Ctl::fraMenu)), other = RectOf(win11.Item(Ctl::fraOther));
  EXPECT_GT(boxRect.top, RectOf(win11.Item(Ctl::cmbRegisterFor)).bottom);
  EXPECT_LT(boxRect.bottom, frame.bottom);
  EXPECT_LE(frame.bottom, other.top);
  EXPECT_GT(RectOf(win11.Item(Ctl::btnOkCan, 0)).top, RectOf(win11.Item(Ctl::btnAdvanced)).bottom);
  EXPECT_EQ(win11.HelpId(Ctl::chkWin11Menu), 66);

  boxes.Expect(L"パッケージの署名を信頼できないため、Windows 11 のメニューに登録できませんでした。\r\n"
               L"署名した証明書を「信頼されたユーザー」に入れてから、もう一度チェックしてください。（エラー 0x800B0109）",
               IDOK, MB_ICONHAND);
  Click(box);
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(win11.Value(Ctl::chkWin11Menu), 0);
  ASSERT_EQ(shell->scripts.size(), 2u);
  EXPECT_EQ(shell->scripts[1], RegisterScript(package, dir.path(), false));

  Click(box);
  EXPECT_EQ(win11.Value(Ctl::chkWin11Menu), 1);
  boxes.Expect(L"Windows 11 のメニューからの削除に失敗しました。（エラー 0x80073CF1）", IDOK);
  Click(box);
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(win11.Value(Ctl::chkWin11Menu), 1);
  ASSERT_EQ(shell->scripts.size(), 4u);
  EXPECT_EQ(shell->scripts[3], RemoveScript());
  win11.Unload();

  // A question that failed on its own thread is reported on the dialog's; the box is usable.
  shell->fails = true;
  OptionsDialog failed{win::WinRegistry(userClasses.get()), win::WinRegistry(classes.get()),
                       Win11MenuHost{true, true, package, dir.path(), shell.get()}};
  boxes.Expect(L"予期しないエラーが発生しました。", IDOK, MB_ICONSTOP);
  ASSERT_TRUE(failed.Show());
  EXPECT_TRUE(WaitUntil(5000, [&] {
    Pump();
    return ::IsWindowEnabled(failed.Item(Ctl::chkWin11Menu)) != FALSE;
  }));
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(failed.Value(Ctl::chkWin11Menu), 0);
  failed.Unload();
}
