#include "copy/NameCheck.h"

#include <array>

#include "core/PathText.h"

namespace zv {

namespace {

// Texts of the checks, by check number: file wording, folder wording.
struct CheckText {
  const wchar_t* file;
  const wchar_t* folder;
};
constexpr std::array<CheckText, 10> kCheckTexts{{
    {L"", L""},
    {L"ファイル名を入力してください。", L"フォルダ名を入力してください。"},
    {L"ファイル名に \\ / : * ? \" < > | は使えません。",
     L"フォルダ名に \\ / : * ? \" < > | は使えません。"},
    {L"ファイル名に不正な文字（改行コード等）が含まれています。",
     L"ファイル名に不正な文字（改行コード等）が含まれています。"},
    {L"ファイル名に \\ / : * ? \" < > | は使えません。", nullptr},
    {L"ファイル名に不正な文字（改行コード等）が含まれています。", nullptr},
    {L"ファイル名または拡張子を変更してください。", L"フォルダ名を変更してください。"},
    {L"このファイル名は予約デバイス名のため、使用できません。",
     L"このフォルダ名は予約デバイス名のため、使用できません。"},
    {L"ファイル名が長すぎます。", L"フォルダ名が長すぎます。"},
    {L"ドットや空白だけのファイル名は使用できません。", L"ドットや空白だけのフォルダ名は使用できません。"},
}};

constexpr std::wstring_view kForbiddenChars = L"\\/:*?\"<>|";

bool HasForbiddenChar(std::wstring_view text) {
  return text.find_first_of(kForbiddenChars) != std::wstring_view::npos;
}

NameCheckResult Fail(int check, bool folderMode, NameBox focus) {
  const auto& t = kCheckTexts[static_cast<size_t>(check)];
  // The extension checks exist only in file mode and name the file.
  const wchar_t* text = folderMode && t.folder ? t.folder : t.file;
  return {check, text, focus};
}

// The name with its extension, as it lands on disk.
std::wstring FullName(const std::wstring& name, const std::wstring& ext) {
  return ext.empty() ? name : name + L"." + ext;
}

bool UsesCopyToFolder(int copyToFolder, const std::wstring& copyToFolderPath) {
  return copyToFolder == 1 && !copyToFolderPath.empty();
}

}  // namespace

bool IsReservedDeviceName(std::wstring_view name) {
  // Windows opens the device for its name with any extension and with blanks before the dot.
  std::wstring upper = ToUpperText(name.substr(0, name.find(L'.')));
  while (!upper.empty() && upper.back() == L' ') upper.pop_back();
  for (const wchar_t* device : {L"CON", L"AUX", L"NUL", L"PRN", L"CLOCK$", L"CONIN$", L"CONOUT$"})
    if (upper == device) return true;
  if (upper.size() != 4) return false;
  const std::wstring_view stem = std::wstring_view(upper).substr(0, 3);
  const wchar_t digit = upper[3];
  const bool port = (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
  return (stem == L"COM" || stem == L"LPT") && port;
}

std::wstring ComposeTargetPath(const NameCheckInput& in, const std::wstring& copyToFolderPath) {
  std::wstring path;
  if (UsesCopyToFolder(in.copyToFolder, copyToFolderPath))
    path = copyToFolderPath;
  else if (in.source)
    path = in.source->SourceFolder;
  return path + FullName(in.name, in.folderMode ? std::wstring() : in.ext);
}

NameCheckResult CheckNewName(const NameCheckInput& in, std::wstring& copyToFolderPath,
                             const std::function<std::wstring(const std::wstring&)>& getLongPath) {
  const SourceRecord noSource;
  const SourceRecord& source = in.source ? *in.source : noSource;
  const bool folder = in.folderMode;
  // The extension box is disabled in folder mode: whatever it holds plays no part.
  const std::wstring ext = folder ? std::wstring() : in.ext;

  if (in.name.empty()) return Fail(1, folder, NameBox::NewFile);
  if (HasForbiddenChar(in.name)) return Fail(2, folder, NameBox::NewFile);
  if (HasLineBreakOrTab(in.name)) return Fail(3, folder, NameBox::NewFile);
  if (!folder && HasForbiddenChar(ext)) return Fail(4, folder, NameBox::NewExt);
  if (!folder && HasLineBreakOrTab(ext)) return Fail(5, folder, NameBox::NewExt);

  // What Windows makes of the typed name: nothing is left of dots and blanks alone.
  const std::wstring fullName = FullName(in.name, ext);
  if (DropTrailingDotsAndBlanks(fullName).empty()) return Fail(9, folder, NameBox::NewFile);

  if (in.copyToFolder == 1 && !copyToFolderPath.empty() && copyToFolderPath.back() != L'\\')
    copyToFolderPath += L'\\';

  // A new name is needed only when the copy lands beside its source; the file system decides
  // what counts as the same name.
  const bool sameFolder = copyToFolderPath.empty() || in.copyToFolder == 0 ||
                          FileSystemUpper(getLongPath(source.SourceFolder)) ==
                              FileSystemUpper(getLongPath(copyToFolderPath));
  if (sameFolder && SameFileName(fullName, FullName(source.SourceName, folder ? std::wstring() : source.SourceExt)))
    return Fail(6, folder, NameBox::NewFile);

  if (IsReservedDeviceName(fullName)) return Fail(7, folder, NameBox::NewFile);

  if (Utf16Units(ComposeTargetPath(in, copyToFolderPath)) > kMaxTargetPathUnits)
    return Fail(8, folder, NameBox::NewFile);
  return {};
}

}  // namespace zv
