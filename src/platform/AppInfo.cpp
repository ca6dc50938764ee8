#include "platform/AppInfo.h"

#include <vector>

#include "platform/Win.h"
#include "core/PathText.h"
#include "core/VersionText.h"

namespace zv::win {

std::wstring ExePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ExeFolder() {
  const std::wstring path = ExePath();
  const auto slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return {};
  return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

std::wstring ExeBaseName() {
  std::wstring name = GetFileNamePart(ExePath());
  const auto dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

VersionInfo ReadVersionInfo() {
  VersionInfo info;
  const std::wstring path = ExePath();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return info;
  std::vector<unsigned char> block(size);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return info;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  if (::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) && fixed) {
    info.major = HIWORD(fixed->dwFileVersionMS);
    info.minor = LOWORD(fixed->dwFileVersionMS);
    info.revision = HIWORD(fixed->dwFileVersionLS);
  }
  struct Translation { WORD language, codePage; };
  Translation* tr = nullptr;
  if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) ||
      len < sizeof(Translation))
    return info;
  wchar_t query[64];
  wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\LegalCopyright", tr->language, tr->codePage);
  wchar_t* text = nullptr;
  if (::VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &len) && text)
    info.legalCopyright = text;
  return info;
}

std::wstring VersionText(const VersionInfo& v) { return zv::VersionText(v.major, v.minor, v.revision); }

}  // namespace zv::win
