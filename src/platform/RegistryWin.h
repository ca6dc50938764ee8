// The registry helpers: the only code that calls the registry. Each call opens its key, does one
// thing and closes it again; failures are silent and come back as the default or as false.
#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "core/Registry.h"
#include "platform/Win.h"

namespace zv::win {

// Value types the helpers handle; any other code reads as the default and fails to write.
inline constexpr int kRegSz = 1;     // REG_SZ, the text overloads
inline constexpr int kRegDword = 4;  // REG_DWORD, the integer overloads

// Reads a value of `subKey` below `root` ("" names the default value). Text of any length comes
// back whole, cut at its first NUL; a type code that does not match the overload gives the default.
std::wstring GetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
                         int type, const std::wstring& defaultValue);
int32_t GetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName, int type,
                    int32_t defaultValue);

// Writes a value, creating the key and any missing parents first. Text is stored with its NUL.
bool SetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName, int type,
                 const std::wstring& value);
bool SetRegValue(HKEY root, const std::wstring& subKey, const std::wstring& valueName, int type,
                 int32_t value);

// Deletes one key that has no sub-keys. An empty `subKey` is refused: it would name the root itself.
bool DeleteRegKey(HKEY root, const std::wstring& subKey);

// IRegistry over the helpers: default text values of keys below `path` of `root`.
class WinRegistry : public IRegistry {
 public:
  explicit WinRegistry(HKEY root = HKEY_CLASSES_ROOT, std::wstring path = {})
      : root_(root), path_(std::move(path)) {}
  std::wstring GetValue(const std::wstring& key) override;
  bool SetValue(const std::wstring& key, const std::wstring& value) override;
  bool SetNamedValue(const std::wstring& key, const std::wstring& name, const std::wstring& value) override;
  bool DeleteKey(const std::wstring& key) override;
  std::optional<RegKeyContents> Contents(const std::wstring& key) override;

  unsigned Changes() const override { return changes_; }
  void TellShell() override;

 private:
  std::wstring Full(const std::wstring& key) const { return path_.empty() ? key : path_ + L"\\" + key; }

  HKEY root_;
  std::wstring path_;
  unsigned changes_ = 0;
};

// The classes keys the right-click entry is registered below.
WinRegistry UserClasses();     // HKEY_CURRENT_USER\Software\Classes
WinRegistry MachineClasses();  // HKEY_LOCAL_MACHINE\Software\Classes

// True when the process token is elevated; false also where that cannot be told.
bool ProcessIsElevated();

}  // namespace zv::win
