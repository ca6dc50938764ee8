// The registry as the registration logic sees it: keys below one root (a classes key in the
// program) and their default text values. Portable: the Win32 side is WinRegistry.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace zv {

// What lives in a key: the names of its values ("" for a default value that is set) and of its
// sub-keys.
struct RegKeyContents {
  std::vector<std::wstring> values;
  std::vector<std::wstring> subKeys;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Default value of the key; "" when the key or value is missing or cannot be read.
  virtual std::wstring GetValue(const std::wstring& key) = 0;
  // Writes the key's default value, creating the key and missing parents; false on failure.
  virtual bool SetValue(const std::wstring& key, const std::wstring& value) = 0;
  // Writes a named text value, creating the key and missing parents; false on failure.
  virtual bool SetNamedValue(const std::wstring& key, const std::wstring& name, const std::wstring& value) = 0;
  // Deletes the key (with its values) if it has no sub-keys; false on failure or when it does not exist.
  virtual bool DeleteKey(const std::wstring& key) = 0;
  // Nothing when the key does not exist or cannot be read.
  virtual std::optional<RegKeyContents> Contents(const std::wstring& key) = 0;
  // Successful writes and deletions so far.
  virtual unsigned Changes() const { return 0; }
  // Tells the shell that file types changed, so that Explorer shows the right-click menu as it
  // now is instead of what it cached.
  virtual void TellShell() {}
};

}  // namespace zv
