// Shortcut helpers for the tests: test folders in place of the user's Desktop and Send To, and
// shortcut files read back.
//
// ShellFolderRedirect points shell folders ("Desktop", "SendTo") at test folders for as long as
// it lives. The shell reads "User Shell Folders" and mirrors what it read into "Shell Folders";
// both keys get their old values back at the end.
//
// Wine's shell keeps the desktop's path from the first time a process uses the desktop folder
// (shell links and file operations do), and other dialogs of that process browse from there.
// So within the test program only Send To is redirected; the desktop stays the real one and is
// only looked at (Entries before and after). Programs started by a test read the registry
// afresh and follow a redirect of both; the test reads their shortcuts once the redirect is gone.
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "platform/Handles.h"
#include "platform/Win.h"
#include "setup/ShellLink.h"

namespace zv::test {

// Registry values of HKEY_CURRENT_USER set for as long as this lives, then put back as they were
// (removed when they did not exist).
class RegistryValues {
 public:
  RegistryValues() = default;
  ~RegistryValues() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      win::UniqueKey key;
      if (::RegCreateKeyExW(HKEY_CURRENT_USER, it->key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                            nullptr))
        continue;
      if (it->data)
        ::RegSetValueExW(key.get(), it->value.c_str(), 0, it->type, it->data->data(),
                         static_cast<DWORD>(it->data->size()));
      else
        ::RegDeleteValueW(key.get(), it->value.c_str());
    }
  }
  RegistryValues(const RegistryValues&) = delete;
  RegistryValues& operator=(const RegistryValues&) = delete;

  // Remembers the value, then writes text of the given type.
  bool Set(const std::wstring& keyName, const std::wstring& value, DWORD type, const std::wstring& text) {
    return SetBytes(keyName, value, type, reinterpret_cast<const BYTE*>(text.c_str()),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  bool SetDword(const std::wstring& keyName, const std::wstring& value, DWORD number) {
    return SetBytes(keyName, value, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  }
  // Remembers the value; it is put back at the end whoever changes it meanwhile.
  void Keep(const std::wstring& keyName, const std::wstring& value) { saved_.push_back(Read(keyName, value)); }

 private:
  bool SetBytes(const std::wstring& keyName, const std::wstring& value, DWORD type, const BYTE* data, DWORD size) {
    saved_.push_back(Read(keyName, value));
    win::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                          nullptr))
      return false;
    return ::RegSetValueExW(key.get(), value.c_str(), 0, type, data, size) == ERROR_SUCCESS;
  }
  struct Saved {
    std::wstring key, value;
    DWORD type = 0;
    std::optional<std::vector<BYTE>> data;  // nothing: the value did not exist
  };
  static Saved Read(const std::wstring& keyName, const std::wstring& value) {
    Saved s;
    s.key = keyName;
    s.value = value;
    win::UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_QUERY_VALUE, key.put())) return s;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), value.c_str(), nullptr, &s.type, nullptr, &size)) return s;
    std::vector<BYTE> data(size);
    if (::RegQueryValueExW(key.get(), value.c_str(), nullptr, &s.type, data.data(), &size)) return s;
    data.resize(size);
    s.data = std::move(data);
    return s;
  }
  std::vector<Saved> saved_;
};

class ShellFolderRedirect {
 public:
  // Pairs of value name ("Desktop", "SendTo") and folder.
  explicit ShellFolderRedirect(const std::vector<std::pair<const wchar_t*, std::wstring>>& folders) {
    ok_ = true;
    for (const auto& [value, path] : folders) {
      values_.Keep(kMirrorKey, value);
      ok_ = values_.Set(kUserKey, value, REG_EXPAND_SZ, path) && ok_;
    }
    // Wine hands every shortcut saved on the desktop to its menu builder, which puts a launcher
    // beside it and icons into the Linux user's home; none of that belongs to a test.
    ok_ = values_.Set(L"Software\\Wine\\DllOverrides", L"winemenubuilder.exe", REG_SZ, L"") && ok_;
  }
  bool ok() const { return ok_; }

 private:
  static constexpr wchar_t kUserKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static constexpr wchar_t kMirrorKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  RegistryValues values_;
  bool ok_ = false;
};

// A shortcut file as the shell's link object reads it back.
struct LinkRead {
  bool ok = false;
  std::wstring exe, workDir, args, iconFile, description;
  int iconIdx = -1, showCmd = -1;
};
inline LinkRead ReadLink(const std::wstring& lnk) {
  LinkRead r;
  r.ok = ShellLink().GetShellLinkInfo(lnk, r.exe, r.workDir, r.args, r.iconFile, r.iconIdx, r.showCmd,
                                         r.description);
  return r;
}

// The show command as the file holds it: a 32-bit value at offset 60 of the link header, which
// starts with its size, 76. Wine's link object does not load it back (GetShowCmd gives 1).
inline int ShowCmdInFile(const std::wstring& lnk) {
  const std::string bytes = ReadBytes(lnk).value_or("");
  if (bytes.size() < 76 || bytes[0] != 76) return -1;
  return static_cast<unsigned char>(bytes[60]) | static_cast<unsigned char>(bytes[61]) << 8;
}

}  // namespace zv::test
