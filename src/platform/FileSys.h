// Files, folders, attributes, time stamps and the clock, through the W calls.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/DateTime.h"

namespace zv::win {

// The stored name of the first entry a directory search finds (files, folders, hidden, system).
std::optional<std::wstring> FindStoredName(const std::wstring& path);
// The names of every file and folder in a folder ("." and ".." left out), from one directory
// listing; empty when the folder cannot be read. A trailing backslash is optional.
std::vector<std::wstring> ListNames(const std::wstring& folder);
// One entry of a folder listing: its name, whether it is a folder, a file's size.
struct FolderEntry {
  std::wstring name;
  bool folder = false;
  uint64_t size = 0;
};
// Every file and folder in a folder, from one listing; nothing when it cannot be read.
std::optional<std::vector<FolderEntry>> ListEntries(const std::wstring& folder);
// Volume serial number and file index of what the path leads to (links followed).
std::optional<std::pair<uint64_t, uint64_t>> FileIdentity(const std::wstring& path);
// A file's size; nothing for a folder or what cannot be read.
std::optional<uint64_t> FileSize(const std::wstring& path);
bool DeleteFileAt(const std::wstring& path);
std::optional<uint32_t> GetAttributes(const std::wstring& path);
bool HasAttribute(const std::wstring& path, uint32_t mask);
// An existing file that can be opened for reading now (a folder or a locked file is not).
bool IsReadableFile(const std::wstring& path);
// Up to `limit` bytes from the start of a file; nothing when it cannot be read.
std::optional<std::string> ReadFileStart(const std::wstring& path, size_t limit);
// The path with every component as stored on disk; empty when it does not exist.
std::wstring GetLongPath(const std::wstring& path);
// Last modification, local time, of a file or folder.
std::optional<DateTime> LastWriteLocal(const std::wstring& path);
bool CreateFolder(const std::wstring& path);
// The path made absolute against the current folder, as the system resolves it; the path
// itself when it cannot be resolved.
std::wstring FullPath(const std::wstring& path);
// The complete set of the four attributes; 0 clears them.
bool SetAttributes(const std::wstring& path, uint32_t attributes);

DateTime LocalNow();

class SystemClock : public IClock {
 public:
  DateTime Now() const override { return LocalNow(); }
};

}  // namespace zv::win
