// The folder checks of Zarvane.exe timed beside the copy they guard, with the program's own
// reader code (TreeCheck.cpp, FileSys.cpp):
//   treecheck.exe copy <source> <target> <runs>: each run deletes the target, reads the source
//     as the copy dialog does before the copy, copies with SHFileOperationW (flags 0x251) and
//     compares the copy with the source; a file gets the checks a file gets (kind and size).
//   treecheck.exe read <source> <runs>: the reading alone.
//   treecheck.exe floor <source> <runs>: the least Win32 needs to read the same tree, a bare
//     FindFirstFileExW walk (basic information, large fetches) for names, kinds and sizes.
// Prints one line a run: microseconds reading, copying, comparing (tab-separated).
#include "platform/Win.h"

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "copy/TreeCheck.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"

namespace {

struct Reader : zv::ITreeReader {
  std::optional<std::vector<zv::TreeItem>> List(const std::wstring& folder) override {
    auto entries = zv::win::ListEntries(folder);
    if (!entries) return std::nullopt;
    std::vector<zv::TreeItem> items;
    items.reserve(entries->size());
    for (auto& e : *entries) items.push_back({std::move(e.name), e.folder, e.size});
    return items;
  }
  std::optional<zv::FolderId> Identity(const std::wstring& folder) override {
    const auto id = zv::win::FileIdentity(folder);
    if (!id) return std::nullopt;
    return zv::FolderId{id->first, id->second};
  }
};

long long Now() {
  LARGE_INTEGER t, f;
  ::QueryPerformanceCounter(&t);
  ::QueryPerformanceFrequency(&f);
  return t.QuadPart * 1000000 / f.QuadPart;
}

int Shell(UINT operation, const std::wstring& from, const std::wstring& to, FILEOP_FLAGS flags) {
  const std::wstring f = from + L'\0' + L'\0', t = to + L'\0' + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = operation;
  op.pFrom = f.c_str();
  op.pTo = operation == FO_DELETE ? nullptr : t.c_str();
  op.fFlags = flags;
  return ::SHFileOperationW(&op);
}

size_t Walk(const std::wstring& folder) {
  WIN32_FIND_DATAW data{};
  zv::win::UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                              nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return 0;
  size_t items = 0;
  std::vector<std::wstring> folders;
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    ++items;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(folder + L"\\" + data.cFileName);
  } while (::FindNextFileW(find.get(), &data));
  find.reset();
  for (const auto& f : folders) items += Walk(f);
  return items;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 100;
  const std::wstring mode = argv[1], source = argv[2];
  const bool copy = mode == L"copy" && argc == 5;
  const std::wstring target = copy ? argv[3] : source + L"_copy";
  const int runs = _wtoi(argv[copy ? 4 : 3]);
  const bool folder = zv::win::HasAttribute(source, FILE_ATTRIBUTE_DIRECTORY);
  Reader reader;
  if (mode == L"floor") {
    for (int run = 0; run < runs; ++run) {
      const long long t0 = Now();
      if (Walk(source) == 0) return 2;
      std::printf("%lld\t0\t0\n", Now() - t0);
    }
    return 0;
  }
  for (int run = 0; run < runs; ++run) {
    if (copy && zv::win::GetAttributes(target)) Shell(FO_DELETE, target, L"", FOF_NO_UI);
    long long t0 = Now();
    zv::TreeScan scan;
    if (folder) {
      scan = zv::ScanTree(reader, source, target);
      if (scan.verdict != zv::TreeVerdict::Whole) return 2;
    } else if (!zv::win::GetAttributes(source)) {
      return 2;
    }
    const long long read = Now() - t0;
    long long copied = 0, compared = 0;
    if (copy) {
      t0 = Now();
      if (Shell(FO_COPY, source, target, FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR))
        return 3;
      copied = Now() - t0;
      t0 = Now();
      const bool whole = folder ? zv::CountMissing(reader, scan, target) == std::optional<size_t>(0)
                                : zv::win::FileSize(target) == zv::win::FileSize(source);
      compared = Now() - t0;
      if (!whole) return 4;
    }
    std::printf("%lld\t%lld\t%lld\n", read, copied, compared);
  }
  if (copy) Shell(FO_DELETE, target, L"", FOF_NO_UI);
  return 0;
}
