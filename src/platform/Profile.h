// The settings file through the W profile calls (an ANSI file stays ANSI on disk).
#pragma once
#include <string>

#include "core/Settings.h"

namespace zv::win {

class WinProfile : public IProfile {
 public:
  explicit WinProfile(std::wstring path) : path_(std::move(path)) {}
  int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) override;
  std::wstring GetString(const wchar_t* section, const wchar_t* key) override;
  bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) override;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

}  // namespace zv::win
