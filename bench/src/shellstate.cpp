// How long ZarvaneShell.dll's GetState takes for 1,000 selected files of ten extensions, each
// extension registered in the user's classes: the work Explorer waits for before it shows its
// menu. The DLL is loaded as Explorer loads it (LoadLibrary + DllGetClassObject).
// Usage: shellstate DLL FILES-FOLDER OUT.tsv [RUNS]   (appends one row to OUT.tsv)
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#define WIDEN2(x) L##x
#define WIDEN(x) WIDEN2(x)
#include "../../src/shellext/ExplorerCommand.h"

static void Put(const std::wstring& key, const std::wstring& value) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + key).c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const std::wstring dll = argv[1], folder = argv[2], out = argv[3];
  const int runs = argc > 4 ? _wtoi(argv[4]) : 50;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (int e = 0; e < 10; ++e) {
    const std::wstring ext = L"zvb" + std::to_wstring(e), type = L"ZvBench" + std::to_wstring(e);
    Put(L"." + ext, type);
    Put(type + L"\\shell\\Zarvane", L"ザルヴェイン(&R)");
    Put(type + L"\\shell\\Zarvane\\command", L"x");
  }
  ::CreateDirectoryW(folder.c_str(), nullptr);
  std::vector<PIDLIST_ABSOLUTE> ids;
  for (int i = 0; i < 1000; ++i) {
    const std::wstring path = folder + L"\\f" + std::to_wstring(i) + L".zvb" + std::to_wstring(i % 10);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    PIDLIST_ABSOLUTE id = nullptr;
    if (SUCCEEDED(::SHParseDisplayName(path.c_str(), nullptr, &id, 0, nullptr))) ids.push_back(id);
  }
  IShellItemArray* items = nullptr;
  ::SHCreateShellItemArrayFromIDLists(static_cast<UINT>(ids.size()), const_cast<PCIDLIST_ABSOLUTE_ARRAY>(ids.data()), &items);
  HMODULE module = ::LoadLibraryW(dll.c_str());
  using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
  auto get = module ? reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject"))) : nullptr;
  CLSID clsid{};
  ::CLSIDFromString(L"{" WIDEN(ZV_EXPLORER_COMMAND_CLSID) L"}", &clsid);
  IClassFactory* factory = nullptr;
  IExplorerCommand* command = nullptr;
  if (!items || !get || FAILED(get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
      FAILED(factory->CreateInstance(nullptr, IID_IExplorerCommand, reinterpret_cast<void**>(&command)))) {
    std::fprintf(stderr, "shellstate: could not load the handler or the selection\n");
    return 1;
  }
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> ms;
  EXPCMDSTATE state = ECS_HIDDEN;
  for (int run = 0; run <= runs; ++run) {
    LARGE_INTEGER t0, t1;
    ::QueryPerformanceCounter(&t0);
    command->GetState(items, FALSE, &state);
    ::QueryPerformanceCounter(&t1);
    if (run > 0) ms.push_back(1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / frequency.QuadPart);  // run 0 warms up
  }
  if (state != ECS_ENABLED) {
    std::fprintf(stderr, "shellstate: the entry was not shown for registered files\n");
    return 1;
  }
  std::sort(ms.begin(), ms.end());
  FILE* f = _wfopen(out.c_str(), L"a");
  if (!f) return 1;
  std::fprintf(f, "shell_state\t%.3f\t%.3f\t%.3f\t%d\n", ms[ms.size() / 2], ms.front(), ms.back(), static_cast<int>(ms.size()));
  std::fclose(f);
  command->Release();
  factory->Release();
  for (int e = 0; e < 10; ++e) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\.zvb" + std::to_wstring(e)).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Classes\\.zvb" + std::to_wstring(e)).c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\ZvBench" + std::to_wstring(e)).c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\Classes\\ZvBench" + std::to_wstring(e)).c_str());
  }
  return 0;
}
