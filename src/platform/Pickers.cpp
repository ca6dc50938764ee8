#include "platform/Pickers.h"

#include <commdlg.h>
#include <shlobj.h>

#include "platform/AppInfo.h"
#include "platform/FileSys.h"
#include "platform/CallbackGuard.h"
#include "platform/Handles.h"
#include "core/PathText.h"
#include "core/Common.h"

namespace zv::win {

namespace {

using UniquePidl = UniqueCoTaskMem<ITEMIDLIST>;

constexpr size_t kFileBuffer = 256;

// The XP visual styles apply only to the program itself with its manifest file beside it.
bool XpStylesInForce() {
  if (!IsWindowsXP()) return false;
  const std::wstring name = ExeBaseName();
  if (ToUpperText(ExePath()).find(ToUpperText(name)) == std::wstring::npos) return false;
  std::wstring manifest = ExeFolder();
  if (manifest.empty() || manifest.back() != L'\\') manifest += L'\\';
  manifest += name + L".exe.manifest";
  const auto attributes = GetAttributes(manifest);
  return attributes && !(*attributes & kAttrDirectory);
}

}  // namespace

std::wstring PickFile(HWND owner, const std::wstring& filter, const std::wstring& initialFolder) {
  wchar_t file[kFileBuffer] = {};
  wchar_t title[kFileBuffer] = {};
  // c_str() adds the NUL that ends the list after the last pair's own.
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.hInstance = ::GetModuleHandleW(nullptr);
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = kFileBuffer;
  ofn.lpstrFileTitle = title;
  ofn.nMaxFileTitle = kFileBuffer;
  ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  OleScope ole;
  if (!::GetOpenFileNameW(&ofn)) return {};
  return std::wstring(file);
}

int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM, LPARAM data) {
  return Guarded(0, [&] {
    if (msg == BFFM_INITIALIZED) ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
  });
}

std::wstring PickFolder(const std::wstring& prompt, HWND owner, int root, unsigned flags,
                        const std::wstring& initialFolder) {
  if (!owner) owner = ::GetDesktopWindow();
  OleScope ole;
  wchar_t displayName[MAX_PATH] = {};
  UniquePidl rootList;
  if (FAILED(::SHGetSpecialFolderLocation(owner, root, rootList.put()))) return {};

  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.pidlRoot = rootList.get();
  bi.pszDisplayName = displayName;
  bi.lpszTitle = prompt.c_str();
  bi.ulFlags = flags;
  if (!initialFolder.empty()) {
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
  }
  UniquePidl chosen(::SHBrowseForFolderW(&bi));
  if (flags & BIF_BROWSEFORCOMPUTER) return std::wstring(displayName);
  if (!chosen) return {};
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(chosen.get(), path)) return {};
  return std::wstring(path);
}

bool IsWindowsXPVersion(DWORD major, DWORD minor, DWORD platformId) {
  return major == 5 && minor == 1 && platformId == VER_PLATFORM_WIN32_NT;
}

bool IsWindowsXP() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExW(&info)) return false;
  return IsWindowsXPVersion(info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId);
}

int CaretPosition(HWND textBox) {
  DWORD start = 0, end = 0;
  const LRESULT reply =
      ::SendMessageW(textBox, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (XpStylesInForce()) return static_cast<short>(LOWORD(reply));
  return static_cast<int>(start);
}

}  // namespace zv::win
