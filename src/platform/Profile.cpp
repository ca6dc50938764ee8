#include "platform/Profile.h"

#include <string_view>

#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/Win.h"

namespace zv::win {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::wstring Decode(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

// Rewrites the file in place as UTF-16 LE with its mark, every line kept as it reads now;
// a missing file starts as the mark alone. In place, as the profile calls write, so the
// file's attributes, rights and links stay.
bool MakeUnicodeFile(const std::wstring& path) {
  std::string bytes;
  if (GetAttributes(path)) {
    auto read = ReadFileStart(path, SIZE_MAX);
    if (!read) return false;
    bytes = std::move(*read);
  }
  const std::string_view view = bytes;
  if (view.starts_with(kUtf16LeMark) || view.starts_with(kUtf16BeMark)) return true;
  const std::wstring text =
      view.starts_with(kUtf8Mark) ? Decode(view.substr(kUtf8Mark.size()), CP_UTF8) : Decode(view, CP_ACP);

  std::string unicode(kUtf16LeMark);
  unicode.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), unicode.data(), static_cast<DWORD>(unicode.size()), &written, nullptr) &&
         written == unicode.size() && ::SetEndOfFile(file.get());
}

}  // namespace

bool FitsAnsiCodePage(const std::wstring& text) {
  // A UTF-8 system code page holds everything (and takes no used-default flag).
  if (text.empty() || ::GetACP() == CP_UTF8) return true;
  BOOL usedDefault = FALSE;
  const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, &usedDefault);
  return n > 0 && !usedDefault;
}

int WinProfile::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) {
  return static_cast<int>(::GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

std::wstring WinProfile::GetString(const wchar_t* section, const wchar_t* key) {
  // 512 characters with the NUL: at most 511 come back.
  wchar_t buffer[512] = {};
  const DWORD n = ::GetPrivateProfileStringW(section, key, L"", buffer, 512, path_.c_str());
  return std::wstring(buffer, n);
}

std::wstring WinProfile::GetSection(const wchar_t* section) {
  // A full buffer is reported as its size less two: it grows until everything fits.
  for (DWORD size = 8192; size <= (1u << 24); size *= 2) {
    std::wstring lines(size, L'\0');
    const DWORD n = ::GetPrivateProfileSectionW(section, lines.data(), size, path_.c_str());
    if (n < size - 2) {
      lines.resize(n);
      return lines;
    }
  }
  return {};
}

bool WinProfile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
  // An ANSI file would store such a value as question marks.
  if (!FitsAnsiCodePage(value) && !MakeUnicodeFile(path_)) return false;
  return ::WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str()) != FALSE;
}

}  // namespace zv::win
