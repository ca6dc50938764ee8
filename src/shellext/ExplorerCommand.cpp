#include "shellext/ExplorerCommand.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <shlobj.h>
#include <shobjidl.h>
#include <shlwapi.h>

#include "options/ContextMenuState.h"
#include "platform/CallbackGuard.h"
#include "platform/Handles.h"
#include "platform/ProcessLaunch.h"
#include "platform/RegistryWin.h"

namespace zv {

namespace {

struct Texts {
  const wchar_t* title = L"ザルヴェイン";  // the menu has no access keys
  const wchar_t* exeName = L"Zarvane.exe";
  const wchar_t* boxTitle = L"Zarvane";
  const wchar_t* startFailed = L"Zarvane.exe を起動できませんでした。";
  const wchar_t* codeOpen = L"（エラー ";
  const wchar_t* codeClose = L"）";
};
constexpr Texts kText;

// How long a start may take to show its dialog before the next start hands its paths over.
constexpr uint32_t kIdleWaitMs = 10000;

HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};  // live objects and server locks

#define ZV_WIDEN2(x) L##x
#define ZV_WIDEN(x) ZV_WIDEN2(x)
const CLSID& HandlerClsid() {
  static const CLSID clsid = [] {
    CLSID id{};
    ::CLSIDFromString(L"{" ZV_WIDEN(ZV_EXPLORER_COMMAND_CLSID) L"}", &id);
    return id;
  }();
  return clsid;
}

std::wstring ExePath() { return win::ModuleFolder(g_module) + L"\\" + kText.exeName; }

bool IsFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

using UniqueIdList = win::UniqueCoTaskMem<ITEMIDLIST_ABSOLUTE>;

// The same ID list byte for byte: cheap where ILIsEqual asks the shell. A miss only binds again.
bool SameBytes(PCIDLIST_ABSOLUTE a, PCIDLIST_ABSOLUTE b) {
  if (!a || !b) return false;
  const UINT size = ::ILGetSize(a);
  return size == ::ILGetSize(b) && std::memcmp(a, b, size) == 0;
}

// Each item is asked through its parent folder, bound once while the items share it: asking the
// shell items themselves binds the parent anew for every call, which made a selection of 1,000
// files take seconds under Wine.
std::vector<SelectedItem> ItemsOf(IShellItemArray* array) {
  std::vector<SelectedItem> items;
  DWORD count = 0;
  if (!array || FAILED(array->GetCount(&count))) return items;
  UniqueIdList parent;
  win::ComPtr<IShellFolder> folder;
  for (DWORD i = 0; i < count; ++i) {
    SelectedItem item;
    win::ComPtr<IShellItem> shellItem;
    PIDLIST_ABSOLUTE raw = nullptr;
    if (SUCCEEDED(array->GetItemAt(i, shellItem.put())) && SUCCEEDED(::SHGetIDListFromObject(shellItem.get(), &raw))) {
      UniqueIdList id(raw);
      UniqueIdList up(::ILClone(id.get()));
      if (up && ::ILRemoveLastID(up.get()) && !SameBytes(parent.get(), up.get())) {
        folder.reset();
        parent.reset();
        if (SUCCEEDED(::SHBindToObject(nullptr, up.get(), nullptr, IID_IShellFolder, folder.put_void())))
          parent = std::move(up);
      }
      PCUITEMID_CHILD child = ::ILFindLastID(id.get());
      // A zip file is a folder to the shell, and a stream: it counts as a file.
      SFGAOF attributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_STREAM;
      if (folder && SUCCEEDED(folder->GetAttributesOf(1, &child, &attributes))) {
        item.fileSystem = (attributes & SFGAO_FILESYSTEM) != 0;
        item.folder = (attributes & SFGAO_FOLDER) && !(attributes & SFGAO_STREAM);
      }
      STRRET name{};
      win::UniqueCoTaskMem<wchar_t> path;
      if (item.fileSystem && SUCCEEDED(folder->GetDisplayNameOf(child, SHGDN_FORPARSING, &name)) &&
          SUCCEEDED(::StrRetToStrW(&name, child, path.put())) && path)
        item.path = path.get();
    }
    items.push_back(std::move(item));
  }
  return items;
}

class ExplorerCommand final : public IExplorerCommand {
 public:
  ExplorerCommand() { ++g_objects; }
  ~ExplorerCommand() { --g_objects; }

  IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IExplorerCommand) {
      *ppv = static_cast<IExplorerCommand*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  IFACEMETHODIMP_(ULONG) Release() override {
    const long left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  IFACEMETHODIMP GetTitle(IShellItemArray*, LPWSTR* name) override { return ::SHStrDupW(kText.title, name); }
  IFACEMETHODIMP GetIcon(IShellItemArray*, LPWSTR* icon) override {
    return win::Guarded(E_UNEXPECTED, [&] { return ::SHStrDupW((ExePath() + L",0").c_str(), icon); });
  }
  IFACEMETHODIMP GetToolTip(IShellItemArray*, LPWSTR* tip) override {
    if (tip) *tip = nullptr;
    return E_NOTIMPL;
  }
  IFACEMETHODIMP GetCanonicalName(GUID* name) override {
    if (!name) return E_POINTER;
    *name = HandlerClsid();
    return S_OK;
  }
  IFACEMETHODIMP GetState(IShellItemArray* array, BOOL, EXPCMDSTATE* state) override {
    if (!state) return E_POINTER;
    *state = ECS_HIDDEN;
    return win::Guarded(E_UNEXPECTED, [&] {
      // Without the program beside it the entry could only fail.
      if (!IsFile(ExePath())) return S_OK;
      win::WinRegistry user = win::UserClasses(), machine = win::MachineClasses();
      if (EntryShownFor(ItemsOf(array), user, machine)) *state = ECS_ENABLED;
      return S_OK;
    });
  }
  IFACEMETHODIMP Invoke(IShellItemArray* array, IBindCtx*) override {
    return win::Guarded(E_UNEXPECTED, [&] {
      const std::wstring exe = ExePath();
      std::vector<std::wstring> paths;
      for (auto& item : ItemsOf(array))
        if (!item.path.empty()) paths.push_back(std::move(item.path));
      for (const auto& line : InvokeCommandLines(exe, paths)) {
        if (const uint32_t error = win::StartProgram(exe, line, kIdleWaitMs)) {
          const std::wstring text = std::wstring(kText.startFailed) + L"\r\n\r\n" + exe + L"\r\n" + kText.codeOpen +
                                    std::to_wstring(error) + kText.codeClose;
          ::MessageBoxW(nullptr, text.c_str(), kText.boxTitle, MB_ICONSTOP | MB_SETFOREGROUND);
          return HRESULT_FROM_WIN32(error);
        }
      }
      return S_OK;
    });
  }
  IFACEMETHODIMP GetFlags(EXPCMDFLAGS* flags) override {
    if (!flags) return E_POINTER;
    *flags = ECF_DEFAULT;
    return S_OK;
  }
  IFACEMETHODIMP EnumSubCommands(IEnumExplorerCommand** commands) override {
    if (commands) *commands = nullptr;
    return E_NOTIMPL;
  }

 private:
  std::atomic<long> refs_{1};
};

class ClassFactory final : public IClassFactory {
 public:
  IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // One static factory: its references keep the server as LockServer does.
  IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++g_objects); }
  IFACEMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--g_objects); }
  IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return win::Guarded(E_OUTOFMEMORY, [&] {
      auto* command = new (std::nothrow) ExplorerCommand();
      if (!command) return E_OUTOFMEMORY;
      const HRESULT hr = command->QueryInterface(riid, ppv);
      command->Release();
      return hr;
    });
  }
  IFACEMETHODIMP LockServer(BOOL lock) override {
    if (lock) ++g_objects;
    else --g_objects;
    return S_OK;
  }
};

ClassFactory g_factory;

}  // namespace

}  // namespace zv

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    zv::g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (clsid != zv::HandlerClsid()) return CLASS_E_CLASSNOTAVAILABLE;
  return zv::g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return zv::g_objects == 0 ? S_OK : S_FALSE; }
