#include "platform/AppInfo.h"

#include "platform/Win.h"
#include "core/PathText.h"
#include "core/VersionText.h"
#include "zv_version.h"

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

VersionInfo ProgramVersion() {
  return {ZV_VER_MAJOR, ZV_VER_MINOR, ZV_VER_REVISION, L"" ZV_LEGAL_COPYRIGHT};
}

std::wstring VersionText(const VersionInfo& v) { return zv::VersionText(v.major, v.minor, v.revision); }

}  // namespace zv::win
