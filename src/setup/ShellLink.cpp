#include "setup/ShellLink.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <vector>

#include "platform/Handles.h"
#include "core/PathText.h"

namespace zv {

namespace {


// Texts of the link object come back in fixed buffers, cut at their first NUL.
std::wstring UpToNul(const std::vector<wchar_t>& buffer) { return std::wstring(buffer.data()); }

bool MakeLink(win::ComPtr<IShellLinkW>& link) {
  return SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      link.put_void()));
}

}  // namespace

bool ShellLink::GetSystemFolderPath(HWND hWnd, int id, std::wstring& sfPath) const {
  win::OleScope ole;
  win::UniqueCoTaskMem<ITEMIDLIST> list;
  if (FAILED(::SHGetSpecialFolderLocation(hWnd, id, list.put()))) return false;
  wchar_t buffer[MAX_PATH + 1] = {};
  if (::SHGetPathFromIDListW(list.get(), buffer) != TRUE) return false;
  std::wstring path = TrimBlanks(buffer);
  if (!path.empty() && path.back() == L'\0') path.pop_back();
  if (!path.empty()) sfPath = path;
  return true;
}

bool ShellLink::CreateShellLink(const std::wstring& LnkFile, const std::wstring& ExeFile,
                                   const std::wstring& WorkDir, const std::wstring& ExeArgs,
                                   const std::wstring& IconFile, int IconIdx, int ShowCmd,
                                   const std::wstring& Description) const {
  if (ExeFile.empty() || LnkFile.empty()) return false;
  win::OleScope ole;  // declared before the interfaces: they are released first
  win::ComPtr<IShellLinkW> link;
  if (!MakeLink(link)) return false;
  // SetPath gives S_FALSE for a target that does not exist yet; the link is still made.
  if (FAILED(link->SetPath(ExeFile.c_str()))) return false;
  if (!WorkDir.empty() && FAILED(link->SetWorkingDirectory(WorkDir.c_str()))) return false;
  if (!ExeArgs.empty() && FAILED(link->SetArguments(ExeArgs.c_str()))) return false;
  if (!IconFile.empty() && FAILED(link->SetIconLocation(IconFile.c_str(), IconIdx))) return false;
  if (FAILED(link->SetDescription(Description.c_str()))) return false;
  if (FAILED(link->SetShowCmd(ShowCmd))) return false;
  // Under Wine this also fills an unset icon location with the target and index 0.
  if (FAILED(link->Resolve(nullptr, SLR_NO_UI | SLR_UPDATE))) return false;

  win::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  return SUCCEEDED(file->Save(LnkFile.c_str(), FALSE));
}

bool ShellLink::GetShellLinkInfo(const std::wstring& LnkFile, std::wstring& ExeFile, std::wstring& WorkDir,
                                    std::wstring& ExeArgs, std::wstring& IconFile, int& IconIdx, int& ShowCmd,
                                    std::wstring& Description) const {
  if (LnkFile.empty()) return false;
  win::OleScope ole;
  win::ComPtr<IShellLinkW> link;
  if (!MakeLink(link)) return false;
  win::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  if (FAILED(file->Load(LnkFile.c_str(), STGM_READ))) return false;

  std::vector<wchar_t> buffer(INFOTIPSIZE + 1, L'\0');
  const int size = static_cast<int>(buffer.size() - 1);
  auto read = [&](auto&& call, std::wstring& into) {
    std::fill(buffer.begin(), buffer.end(), L'\0');
    if (FAILED(call())) return false;
    into = UpToNul(buffer);
    return true;
  };
  if (!read([&] { return link->GetPath(buffer.data(), size, nullptr, SLGP_UNCPRIORITY); }, ExeFile)) return false;
  if (!read([&] { return link->GetWorkingDirectory(buffer.data(), size); }, WorkDir)) return false;
  if (!read([&] { return link->GetArguments(buffer.data(), size); }, ExeArgs)) return false;
  if (!read([&] { return link->GetDescription(buffer.data(), size); }, Description)) return false;
  int icon = 0;
  if (!read([&] { return link->GetIconLocation(buffer.data(), size, &icon); }, IconFile)) return false;
  IconIdx = icon;
  int show = 0;
  if (FAILED(link->GetShowCmd(&show))) return false;
  ShowCmd = show;
  return true;
}

}  // namespace zv
