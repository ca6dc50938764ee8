#include "platform/FileSys.h"

#include <algorithm>
#include <string_view>

#include "platform/Handles.h"
#include "core/PathText.h"

namespace zv::win {

namespace {
DateTime FromSystemTime(const SYSTEMTIME& st) {
  return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wDayOfWeek};
}
}  // namespace

std::optional<std::wstring> FindStoredName(const std::wstring& path) {
  WIN32_FIND_DATAW data{};
  UniqueFind find(::FindFirstFileW(path.c_str(), &data));
  if (!find) return std::nullopt;
  return std::wstring(data.cFileName);
}

std::vector<std::wstring> ListNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  if (folder.empty()) return names;
  std::wstring pattern = folder;
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data{};
  // The basic information and large fetches: no short names wanted, fewer trips to the disk.
  UniqueFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return names;
  do {
    const std::wstring_view name = data.cFileName;
    if (name != L"." && name != L"..") names.emplace_back(name);
  } while (::FindNextFileW(find.get(), &data));
  return names;
}

std::optional<std::vector<FolderEntry>> ListEntries(const std::wstring& folder) {
  if (folder.empty()) return std::nullopt;
  std::wstring pattern = folder;
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data{};
  UniqueFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return std::nullopt;
  std::vector<FolderEntry> entries;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entries.push_back({std::wstring(name), folder,
                       folder ? 0 : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow});
  } while (::FindNextFileW(find.get(), &data));
  return entries;
}

std::optional<std::pair<uint64_t, uint64_t>> FileIdentity(const std::wstring& path) {
  // No access asked for: the identity of a folder another program holds can still be read.
  UniqueFile file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return std::pair<uint64_t, uint64_t>{info.dwVolumeSerialNumber,
                                       (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<uint64_t> FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool DeleteFileAt(const std::wstring& path) {
  // A read-only partial copy is still the program's own to remove.
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return ::DeleteFileW(path.c_str()) != FALSE;
}

std::optional<uint32_t> GetAttributes(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

bool HasAttribute(const std::wstring& path, uint32_t mask) {
  const auto attributes = GetAttributes(path);
  return attributes && (*attributes & mask) != 0;
}

bool IsReadableFile(const std::wstring& path) {
  if (path.empty()) return false;
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

std::optional<std::string> ReadFileStart(const std::wstring& path, size_t limit) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[16384];
  while (bytes.size() < limit) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(sizeof buffer, limit - bytes.size()));
    if (!::ReadFile(file.get(), buffer, want, &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    bytes.append(buffer, n);
  }
  return bytes;
}

std::wstring GetLongPath(const std::wstring& path) {
  return GetLongPathWith(path, [](const std::wstring& p) { return FindStoredName(p); });
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD written = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (written == 0 || written >= size) return path;
  full.resize(written);
  return full;
}

std::optional<DateTime> LastWriteLocal(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FILETIME local{};
  SYSTEMTIME st{};
  if (!::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !::FileTimeToSystemTime(&local, &st))
    return std::nullopt;
  return FromSystemTime(st);
}

bool CreateFolder(const std::wstring& path) { return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE; }

bool SetAttributes(const std::wstring& path, uint32_t attributes) {
  constexpr uint32_t kFour = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  attributes &= kFour;
  return ::SetFileAttributesW(path.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes) != FALSE;
}

DateTime LocalNow() {
  SYSTEMTIME st{};
  ::GetLocalTime(&st);
  return FromSystemTime(st);
}

}  // namespace zv::win
