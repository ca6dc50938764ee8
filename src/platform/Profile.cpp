#include "platform/Profile.h"

#include "platform/Win.h"

namespace zv::win {

int WinProfile::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) {
  return static_cast<int>(::GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

std::wstring WinProfile::GetString(const wchar_t* section, const wchar_t* key) {
  // 512 characters with the NUL: at most 511 come back.
  wchar_t buffer[512] = {};
  const DWORD n = ::GetPrivateProfileStringW(section, key, L"", buffer, 512, path_.c_str());
  return std::wstring(buffer, n);
}

bool WinProfile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
  return ::WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str()) != FALSE;
}

}  // namespace zv::win
