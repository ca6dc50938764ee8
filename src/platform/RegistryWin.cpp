#include "platform/RegistryWin.h"

#include <shlobj.h>

#include "platform/Handles.h"

namespace zv::win {

namespace {

// Query, set, create sub-key, enumerate, notify and create link: no standard rights, so a key
// the user may read but not write cannot be opened by the reader either.
constexpr REGSAM kKeyAccess = 0x3F;

UniqueKey OpenKey(HKEY root, const std::wstring& subKey) {
  UniqueKey key;
  if (::RegOpenKeyExW(root, subKey.c_str(), 0, kKeyAccess, key.put()) != ERROR_SUCCESS) key.release();
  return key;
}

UniqueKey CreateKey(HKEY root, const std::wstring& subKey) {
  UniqueKey key;
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof(security);
  if (::RegCreateKeyExW(root, subKey.c_str(), 0, const_cast<wchar_t*>(L""), REG_OPTION_NON_VOLATILE,
                        kKeyAccess, &security, key.put(), nullptr) != ERROR_SUCCESS)
    key.release();
  return key;
}

// The whole value, however long: its size is asked first, and again if it grew in between.
bool QueryText(HKEY key, const std::wstring& valueName, std::wstring& text) {
  DWORD bytes = 0;
  if (::RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
    return false;
  for (;;) {
    // One spare character so that a value stored without its NUL still ends in one.
    std::wstring buffer((bytes + 1) / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    const LONG rc = ::RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc == ERROR_MORE_DATA) {
      bytes = size;
      continue;
    }
    if (rc != ERROR_SUCCESS) return false;
    buffer.resize(buffer.find(L'\0'));
    text = std::move(buffer);
    return true;
  }
}

}  // namespace

std::wstring GetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
                         int type, const std::wstring& defaultValue) {
  const UniqueKey key = OpenKey(root, subKey);
  if (!key || type != kRegSz) return defaultValue;
  std::wstring text;
  return QueryText(key.get(), valueName, text) ? text : defaultValue;
}

int32_t GetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName, int type,
                    int32_t defaultValue) {
  const UniqueKey key = OpenKey(root, subKey);
  if (!key || type != kRegDword) return defaultValue;
  int32_t number = 0;
  DWORD size = sizeof(number);
  if (::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS)
    return defaultValue;
  return number;
}

bool SetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName, int type,
                 const std::wstring& value) {
  const UniqueKey key = CreateKey(root, subKey);
  if (!key || type != kRegSz) return false;
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

bool SetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName, int type,
                 int32_t value) {
  const UniqueKey key = CreateKey(root, subKey);
  if (!key || type != kRegDword) return false;
  return ::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool DeleteRegKey(HKEY root, const std::wstring& subKey) {
  if (subKey.empty()) return false;
  return ::RegDeleteKeyW(root, subKey.c_str()) == ERROR_SUCCESS;
}

std::wstring WinRegistry::GetValue(const std::wstring& key) {
  return GetRegValue(root_, Full(key), L"", kRegSz, std::wstring());
}

bool WinRegistry::SetValue(const std::wstring& key, const std::wstring& value) {
  return SetNamedValue(key, L"", value);
}

bool WinRegistry::SetNamedValue(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
  const bool done = SetRegValue(root_, Full(key), name, kRegSz, value);
  changes_ += done;
  return done;
}

// An empty key would name the base itself.
bool WinRegistry::DeleteKey(const std::wstring& key) {
  const bool done = !key.empty() && DeleteRegKey(root_, Full(key));
  changes_ += done;
  return done;
}

std::optional<RegKeyContents> WinRegistry::Contents(const std::wstring& key) {
  const UniqueKey opened = OpenKey(root_, Full(key));
  if (!opened) return std::nullopt;
  RegKeyContents contents;
  // Names are at most 255 characters for keys and 16,383 for values.
  std::wstring name(16384, L'\0');
  // Lists one kind of name (sub-keys or values); false when the listing failed part way.
  auto list = [&](auto enumerate, std::vector<std::wstring>& into) {
    for (DWORD i = 0;; ++i) {
      DWORD size = static_cast<DWORD>(name.size());
      const LONG rc = enumerate(opened.get(), i, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) return true;
      if (rc != ERROR_SUCCESS) return false;
      into.emplace_back(name.data(), size);
    }
  };
  if (!list(::RegEnumKeyExW, contents.subKeys) || !list(::RegEnumValueW, contents.values)) return std::nullopt;
  return contents;
}

void WinRegistry::TellShell() { ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

WinRegistry UserClasses() { return WinRegistry(HKEY_CURRENT_USER, L"Software\\Classes"); }
WinRegistry MachineClasses() { return WinRegistry(HKEY_LOCAL_MACHINE, L"Software\\Classes"); }

bool ProcessIsElevated() {
  UniqueHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) return false;
  return elevation.TokenIsElevated != 0;
}

}  // namespace zv::win
