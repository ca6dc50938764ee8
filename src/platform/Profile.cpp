#include "platform/Profile.h"

#include <algorithm>
#include <cwchar>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

#include "core/PathText.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/Win.h"

namespace zv::win {

namespace {

// How long a save waits for another copy's save of the same file: a save takes a few
// milliseconds, so a lock held longer belongs to a copy that is stuck, and the dialog that
// saves must not hang on it.
constexpr DWORD kLockWaitMs = 2000;
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryMs = 50;

const AnsiCodePage& Ansi() {
  static const AnsiCodePage ansi;
  return ansi;
}

std::function<bool(SaveStep)>& SaveFault() {
  static std::function<bool(SaveStep)> fault;
  return fault;
}
bool FailsAt(SaveStep step) { return SaveFault() && SaveFault()(step); }

// What this process knows of one settings file.
struct FileState {
  bool inMemory = false;
  std::shared_ptr<const SettingsText> seen;  // as last read, or the memory copy
  // Values this process wrote since: a save leaves every other key to what the file holds.
  std::vector<ProfileValue> written;
  // The file that was read, by its final path folded; empty when none was there.
  std::wstring readFrom;
  // Its bytes as this process last read or wrote them: a file it made itself may hold
  // sections of its own only.
  std::optional<std::string> lastBytes;
};

std::wstring FileKey(const std::wstring& path) { return FileSystemUpper(FullPath(path)); }

std::mutex& StatesGuard() {
  static std::mutex guard;
  return guard;
}
FileState& State(const std::wstring& path) {
  static std::map<std::wstring, FileState> states;
  return states[FileKey(path)];
}

ProfileValue* Written(FileState& state, const ProfileValue& v) {
  for (auto& w : state.written)
    if (SameSettingsName(w.section, v.section) && SameSettingsName(w.key, v.key)) return &w;
  return nullptr;
}

// True when the value is what this process last saw for the key, so it did not change it.
bool Unchanged(FileState& state, const ProfileValue& v) {
  if (const ProfileValue* w = Written(state, v)) return w->value == v.value;
  if (!state.seen) return false;
  // As read: a pair of quotes around the value is no change.
  const auto value = state.seen->Find(v.section, v.key);
  return value && ProfileText(*value) == v.value;
}

// The file a name leads to, through links: saves go to that file, and every spelling of it
// takes the same lock.
struct SavedFile {
  std::wstring target;   // the final path, or the name as given when the file is missing
  std::wstring lockKey;  // the same for every spelling of the file
  bool exists = false;
  bool linked = false;  // more than one hard link: written in place
};

std::optional<std::wstring> FinalPathOf(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD n = ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (n == 0) return std::nullopt;
    if (n < path.size()) return path.substr(0, n);
    path.resize(n + 1);
  }
  return std::nullopt;
}

SavedFile Identify(const std::wstring& path) {
  SavedFile id;
  id.target = FullPath(path);
  UniqueFile file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file) {
    id.exists = true;
    if (const auto final = FinalPathOf(file.get())) id.target = *final;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(file.get(), &info) && info.nNumberOfLinks > 1) {
      // Its names may stand in different folders: the volume and the file's number name it.
      id.linked = true;
      wchar_t key[64];
      swprintf(key, 64, L"%08lx.%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
      id.lockKey = key;
      return id;
    }
  } else {
    // A new file: named after its folder's final path.
    const size_t slash = id.target.rfind(L'\\');
    UniqueFile folder(slash == std::wstring::npos ? INVALID_HANDLE_VALUE
                                                  : ::CreateFileW(id.target.substr(0, slash).c_str(), FILE_READ_ATTRIBUTES,
                                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (folder)
      if (const auto final = FinalPathOf(folder.get())) id.target = *final + id.target.substr(slash);
  }
  id.lockKey = FileSystemUpper(id.target);
  return id;
}

// The name of the lock for a file's identity (see SavedFile::lockKey).
std::wstring LockName(const std::wstring& key) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the key
  for (wchar_t c : key) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  std::wstring name = L"Local\\Zarvane.Settings.";
  for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789abcdef"[hash >> shift & 0xF];
  return name;
}

// The lock every copy of the program takes for one settings file.
class FileLock {
 public:
  explicit FileLock(const std::wstring& key) {
    mutex_.reset(::CreateMutexW(nullptr, FALSE, LockName(key).c_str()));
    // No lock to be had at all is no other copy saving: go on without it.
    if (!mutex_) {
      held_ = true;
      return;
    }
    const DWORD wait = ::WaitForSingleObject(mutex_.get(), kLockWaitMs);
    // An abandoned lock is ours: the copy that held it ended, and its save either replaced
    // the file in one step or did not touch it.
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  }
  ~FileLock() {
    if (held_) ::ReleaseMutex(mutex_.get());
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  explicit operator bool() const { return held_; }

 private:
  UniqueHandle mutex_;
  bool held_ = false;
};

enum class ReadResult { Read, Missing, Failed };

// The whole file, opened so that a save of another copy can still replace it.
ReadResult ReadWhole(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ReadResult::Missing : ReadResult::Failed;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (1ll << 30)) return ReadResult::Failed;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    if (!::ReadFile(file.get(), bytes.data() + done, want, &n, nullptr)) return ReadResult::Failed;
    if (n == 0) break;
    done += n;
  }
  bytes.resize(done);
  return ReadResult::Read;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 24));
    if (!::WriteFile(file, bytes.data(), want, &n, nullptr) || n == 0) return false;
    bytes.remove_prefix(n);
  }
  return true;
}

// A file with other names is written where it stands, or those names would keep the old
// text. The old text waits beside it until the new one is written, and goes back on failure.
bool WriteInPlace(const std::wstring& path, std::string_view bytes, std::string_view old) {
  const std::wstring backup = path + L".~" + std::to_wstring(::GetCurrentProcessId()) + L".bak";
  {
    UniqueFile copy(::CreateFileW(backup.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!copy || !WriteAll(copy.get(), old) || !::FlushFileBuffers(copy.get())) {
      copy.reset();
      ::DeleteFileW(backup.c_str());
      return false;
    }
  }
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_WRITE_THROUGH, nullptr));
  if (!file) {
    ::DeleteFileW(backup.c_str());
    return false;
  }
  const auto put = [&](std::string_view text, bool fault) {
    const size_t half = text.size() / 2;
    LARGE_INTEGER zero{};
    return ::SetFilePointerEx(file.get(), zero, nullptr, FILE_BEGIN) && WriteAll(file.get(), text.substr(0, half)) &&
           !(fault && FailsAt(SaveStep::TemporaryHalfWritten)) && WriteAll(file.get(), text.substr(half)) &&
           ::SetEndOfFile(file.get()) && ::FlushFileBuffers(file.get());
  };
  const bool written = put(bytes, true);
  // Without the old text back in place the copy beside it is all that is left of it.
  if (written || put(old, false)) ::DeleteFileW(backup.c_str());
  return written;
}

// Writes a temporary file beside the settings file and puts it in its place in one step, so
// that a crash or a full disk leaves either the old file or the new one.
bool ReplaceWith(const std::wstring& path, std::string_view bytes, std::optional<uint32_t> attributes) {
  const std::wstring temp = path + L".~" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  bool written;
  {
    UniqueFile file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file) return false;
    const size_t half = bytes.size() / 2;
    written = WriteAll(file.get(), bytes.substr(0, half)) && !FailsAt(SaveStep::TemporaryHalfWritten) &&
              WriteAll(file.get(), bytes.substr(half)) && ::FlushFileBuffers(file.get());
  }
  if (written && !FailsAt(SaveStep::BeforeReplace)) {
    // ReplaceFileW keeps the file's rights and streams; where it cannot (another file
    // system), a move does the same step. The attributes go over first for either.
    if (attributes) ::SetFileAttributesW(temp.c_str(), *attributes);
    // A reader that shares no deletion (an editor, a virus scanner) holds the name for a
    // moment: the step is tried again a few times before the save counts as failed.
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
      if (attributes && ::ReplaceFileW(path.c_str(), temp.c_str(), nullptr,
                                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return true;
      if (::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
      const DWORD error = ::GetLastError();
      if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) break;
      ::Sleep(kReplaceRetryMs);
    }
  }
  ::DeleteFileW(temp.c_str());
  return false;
}

}  // namespace

std::wstring AnsiCodePage::Decode(std::string_view bytes) const {
  if (bytes.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

std::optional<std::string> AnsiCodePage::Encode(std::wstring_view text) const {
  if (text.empty()) return std::string();
  // A UTF-8 system code page holds everything (and takes no used-default flag).
  const bool utf8 = ::GetACP() == CP_UTF8;
  BOOL usedDefault = FALSE;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  const int n = ::WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, used);
  if (n <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, flags, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, used);
  if (usedDefault) return std::nullopt;
  return out;
}

bool FitsAnsiCodePage(const std::wstring& text) { return Ansi().Encode(text).has_value(); }

bool CanCreateFile(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(file);
}

std::wstring AppDataFolder() {
  const DWORD size = ::GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
  if (size > 1) {
    std::wstring value(size, L'\0');
    const DWORD n = ::GetEnvironmentVariableW(L"APPDATA", value.data(), size);
    if (n > 0 && n < size) return value.substr(0, n);
  }
  // Windows sets it for every user; the shell's folder call would load shell32 at start.
  return {};
}

std::wstring SettingsLockName(const std::wstring& path) { return LockName(Identify(path).lockKey); }

void KeepSettingsInMemory(const std::wstring& path) {
  std::lock_guard guard(StatesGuard());
  FileState& state = State(path);
  state.inMemory = true;
  state.seen = std::make_shared<const SettingsText>();
}

void SetSaveFaultForTests(std::function<bool(SaveStep)> fault) { SaveFault() = std::move(fault); }

const SettingsText& WinProfile::Text() {
  if (text_) return *text_;
  std::lock_guard guard(StatesGuard());
  FileState& state = State(path_);
  if (state.inMemory) {
    text_ = state.seen;
    return *text_;
  }
  std::string bytes;
  ReadResult read;
  const SavedFile id = Identify(path_);
  {
    FileLock lock(id.lockKey);  // read without it rather than not at all
    read = ReadWhole(id.target, bytes);
  }
  text_ = std::make_shared<const SettingsText>(std::move(bytes), Ansi());
  if (read != ReadResult::Failed) {
    state.seen = text_;
    state.written.clear();
    state.readFrom = read == ReadResult::Read ? FileSystemUpper(id.target) : std::wstring();
    state.lastBytes = text_->bytes();
  }
  return *text_;
}

bool WinProfile::WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
  return Write({{section, key, value}}, false);
}

bool WinProfile::WriteValues(const std::vector<ProfileValue>& values) { return Write(values, true); }

bool WinProfile::Write(const std::vector<ProfileValue>& values, bool onlyChanged) {
  problem_ = SaveProblem::None;
  const auto fail = [&](SaveProblem why) {
    problem_ = why;
    return false;
  };
  if (HoldsLineBreak(values)) return fail(SaveProblem::LineBreak);
  std::lock_guard guard(StatesGuard());
  FileState& state = State(path_);
  // Nothing this copy changed: the file is not even opened.
  if (onlyChanged && state.seen &&
      std::all_of(values.begin(), values.end(), [&](const ProfileValue& v) { return Unchanged(state, v); }))
    return true;
  if (state.inMemory) {
    state.seen = std::make_shared<const SettingsText>(state.seen->With(values, Ansi()), Ansi());
    text_ = state.seen;
    return true;
  }
  const SavedFile id = Identify(path_);
  FileLock lock(id.lockKey);
  if (!lock) return fail(SaveProblem::Busy);
  std::string bytes;
  const ReadResult read = ReadWhole(id.target, bytes);
  if (read == ReadResult::Failed) return fail(SaveProblem::CannotWrite);
  const bool exists = read == ReadResult::Read;
  const SettingsText file(std::move(bytes), Ansi());
  // Only into the file that was read, and only while it still is a settings file: a document
  // copied over it meanwhile must not get settings lines appended.
  if (exists && !state.readFrom.empty() && FileSystemUpper(id.target) != state.readFrom)
    return fail(SaveProblem::OtherFile);
  if (exists && !file.IsSettingsFile() && state.lastBytes != file.bytes()) return fail(SaveProblem::NotSettingsFile);

  std::vector<ProfileValue> changed;
  // A file that is gone gets every value again.
  for (const auto& v : values)
    if (!onlyChanged || !exists || !Unchanged(state, v)) changed.push_back(v);
  if (changed.empty()) return true;
  std::string after = file.With(changed, Ansi());
  if (read == ReadResult::Missing || after != file.bytes()) {
    const uint32_t attributes = exists ? GetAttributes(id.target).value_or(FILE_ATTRIBUTE_NORMAL) : 0;
    // The profile calls refuse a read-only file too.
    if (attributes & FILE_ATTRIBUTE_READONLY) return fail(SaveProblem::CannotWrite);
    const bool saved = id.linked ? WriteInPlace(id.target, after, file.bytes())
                                 : ReplaceWith(id.target, after, exists ? std::optional<uint32_t>(attributes) : std::nullopt);
    if (!saved) return fail(SaveProblem::CannotWrite);
  }
  state.lastBytes = after;
  // A file made now is named as it will be found at the next save.
  state.readFrom = FileSystemUpper(exists ? id.target : Identify(path_).target);
  for (const auto& v : changed) {
    if (ProfileValue* w = Written(state, v)) w->value = v.value;
    else state.written.push_back(v);
  }
  text_ = std::make_shared<const SettingsText>(std::move(after), Ansi());
  return true;
}

}  // namespace zv::win
