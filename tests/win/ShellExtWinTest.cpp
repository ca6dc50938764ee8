// ZarvaneShell.dll loaded as Explorer loads it (Wine's COM finds no per-user classes, so
// LoadLibrary + DllGetClassObject), its methods called with real shell-item arrays.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "TestSupport.h"
#include "platform/Handles.h"
#include "shellext/ExplorerCommand.h"

using namespace zv;
using namespace zv::test;

namespace {

#define ZV_WIDEN2(x) L##x
#define ZV_WIDEN(x) ZV_WIDEN2(x)

CLSID HandlerClsid() {
  CLSID id{};
  ::CLSIDFromString(L"{" ZV_WIDEN(ZV_EXPLORER_COMMAND_CLSID) L"}", &id);
  return id;
}

// The handler from a copy of the DLL in `folder`.
class LoadedHandler {
 public:
  explicit LoadedHandler(const std::wstring& dll) : module_(::LoadLibraryW(dll.c_str())) {
    if (!module_) return;
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(::GetProcAddress(module_, "DllGetClassObject")));
    win::ComPtr<IClassFactory> factory;
    CLSID other = HandlerClsid();
    other.Data1 ^= 1;
    wrongClass = get ? get(other, IID_IClassFactory, factory.put_void()) : E_FAIL;
    if (get && SUCCEEDED(get(HandlerClsid(), IID_IClassFactory, factory.put_void())))
      factory->CreateInstance(nullptr, IID_IExplorerCommand, command.put_void());
  }
  ~LoadedHandler() {
    command.reset();
    if (module_) ::FreeLibrary(module_);
  }
  win::ComPtr<IExplorerCommand> command;
  HRESULT wrongClass = S_OK;

 private:
  HMODULE module_;
};

// A shell-item array of these paths, as Explorer hands over a selection.
struct ShellSelection {
  explicit ShellSelection(const std::vector<std::wstring>& paths) {
    std::vector<PIDLIST_ABSOLUTE> ids;
    for (const auto& path : paths) {
      PIDLIST_ABSOLUTE id = nullptr;
      if (SUCCEEDED(::SHParseDisplayName(path.c_str(), nullptr, &id, 0, nullptr))) ids.push_back(id);
    }
    if (ids.size() == paths.size())
      ::SHCreateShellItemArrayFromIDLists(static_cast<UINT>(ids.size()), const_cast<PCIDLIST_ABSOLUTE_ARRAY>(ids.data()),
                                          array.put());
    for (auto id : ids) ::CoTaskMemFree(id);
  }
  win::ComPtr<IShellItemArray> array;
};

std::wstring Taken(LPWSTR text) {
  std::wstring s = text ? text : L"";
  ::CoTaskMemFree(text);
  return s;
}

EXPCMDSTATE StateOf(IExplorerCommand* command, const std::vector<std::wstring>& paths) {
  ShellSelection selection(paths);
  EXPCMDSTATE state = ECS_DISABLED;
  EXPECT_TRUE(selection.array);
  EXPECT_EQ(command->GetState(selection.array.get(), TRUE, &state), S_OK);
  return state;
}

// The classic entry on one test extension in the user's classes, gone afterwards.
class ShellExtWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteBytes(files / L"a.zv33a", "a") && WriteBytes(files / L"b.zv33a", "b") &&
                WriteBytes(files / L"c.zv33b", "c"));
    Put(L".zv33a", L"Zv33TestFile");
    Put(L"Zv33TestFile\\shell\\Zarvane", L"ザルヴェイン(&R)");
    Put(L"Zv33TestFile\\shell\\Zarvane\\command", L"x");
  }
  void TearDown() override {
    for (const wchar_t* key : {L"Software\\Classes\\.zv33a", L"Software\\Classes\\Zv33TestFile"})
      ::RegDeleteTreeW(HKEY_CURRENT_USER, key), ::RegDeleteKeyW(HKEY_CURRENT_USER, key);
  }
  static void Put(const std::wstring& key, const std::wstring& value) {
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + key).c_str(), nullptr, REG_SZ,
                                value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  win::OleScope ole;
  TempFolder files;
};

HWND VisibleWindowCaptioned(const std::wstring& caption) {
  struct Search { const std::wstring* caption; HWND found; } search{&caption, nullptr};
  ::EnumWindows([](HWND w, LPARAM lp) -> BOOL {
    auto* s = reinterpret_cast<Search*>(lp);
    wchar_t text[256] = {};
    ::GetWindowTextW(w, text, 256);
    if (::IsWindowVisible(w) && *s->caption == text) s->found = w;
    return s->found == nullptr;
  }, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

TEST_F(ShellExtWin, AnswersForItsClassWithTitleIconAndState) {
  LoadedHandler handler(BinDir() + L"\\ZarvaneShell.dll");
  EXPECT_EQ(handler.wrongClass, CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_TRUE(handler.command);
  LPWSTR text = nullptr;
  ASSERT_EQ(handler.command->GetTitle(nullptr, &text), S_OK);
  EXPECT_EQ(Taken(text), L"ザルヴェイン");
  ASSERT_EQ(handler.command->GetIcon(nullptr, &text), S_OK);
  EXPECT_EQ(Taken(text), BinDir() + L"\\Zarvane.exe,0");
  EXPCMDFLAGS flags = 1;
  EXPECT_EQ(handler.command->GetFlags(&flags), S_OK);
  EXPECT_EQ(flags, ECF_DEFAULT);

  EXPECT_EQ(StateOf(handler.command.get(), {files / L"a.zv33a"}), ECS_ENABLED);
  EXPECT_EQ(StateOf(handler.command.get(), {files / L"a.zv33a", files / L"b.zv33a"}), ECS_ENABLED);
  EXPECT_EQ(StateOf(handler.command.get(), {files / L"c.zv33b"}), ECS_HIDDEN);
  EXPECT_EQ(StateOf(handler.command.get(), {files / L"a.zv33a", files / L"c.zv33b"}), ECS_HIDDEN);
}

// Without Zarvane.exe beside it the entry hides, even where it is registered.
TEST_F(ShellExtWin, HidesWithoutTheProgramBesideIt) {
  TempFolder alone;
  ASSERT_TRUE(::CopyFileW((BinDir() + L"\\ZarvaneShell.dll").c_str(), (alone / L"ZarvaneShell.dll").c_str(), FALSE));
  {
    LoadedHandler handler(alone / L"ZarvaneShell.dll");
    ASSERT_TRUE(handler.command);
    EXPECT_EQ(StateOf(handler.command.get(), {files / L"a.zv33a"}), ECS_HIDDEN);
  }
}

// Invoke starts the program beside the DLL with both files: the first opens, the second waits.
TEST_F(ShellExtWin, InvokeOpensTheCopyDialogWithTheSecondQueued) {
  TempFolder program;
  for (const wchar_t* name : {L"Zarvane.exe", L"ZarvaneShell.dll"})
    ASSERT_TRUE(::CopyFileW((BinDir() + L"\\" + name).c_str(), (program / name).c_str(), FALSE));
  ASSERT_TRUE(WriteBytes(program / L"Zarvane.ini", kFirstRunFile));  // no welcome
  HWND form = nullptr;
  {
    LoadedHandler handler(program / L"ZarvaneShell.dll");
    ASSERT_TRUE(handler.command);
    ShellSelection selection({files / L"a.zv33a", files / L"b.zv33a"});
    ASSERT_EQ(handler.command->Invoke(selection.array.get(), nullptr), S_OK);
    WaitUntil(30000, [&] { return (form = VisibleWindowCaptioned(L"新しいファイル名 (あと 1 件)")) != nullptr; });
  }
  ASSERT_NE(form, nullptr);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(form, &pid);
  win::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  ASSERT_TRUE(process);
  wchar_t image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  ::QueryFullProcessImageNameW(process.get(), 0, image, &size);
  EXPECT_EQ(std::wstring(image), program / L"Zarvane.exe");
  ::TerminateProcess(process.get(), 0);
  ::WaitForSingleObject(process.get(), 10000);
}
