// The settings file through the W profile calls. The file stays in the ANSI code page as long
// as every value fits it; a value that does not turns the file into UTF-16 with its
// byte-order mark, which the W calls then keep, so every value reads back as written.
#pragma once
#include <string>

#include "core/Settings.h"

namespace zv::win {

class WinProfile : public IProfile {
 public:
  explicit WinProfile(std::wstring path) : path_(std::move(path)) {}
  int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) override;
  std::wstring GetString(const wchar_t* section, const wchar_t* key) override;
  std::wstring GetSection(const wchar_t* section) override;
  // False, with nothing written, when the value needs a Unicode file and the file could not
  // be made one.
  bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) override;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// True when the text survives the ANSI code page unchanged (no default character, no best fit).
bool FitsAnsiCodePage(const std::wstring& text);

}  // namespace zv::win
