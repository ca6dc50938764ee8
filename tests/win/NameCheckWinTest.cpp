// The name checks with the real stored-name lookup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy/NameCheck.h"
#include "platform/FileSys.h"
#include "platform/Win.h"

using namespace zv;

namespace {

NameCheckResult CheckReal(const NameCheckInput& in, std::wstring& copyToFolderPath) {
  return CheckNewName(in, copyToFolderPath, [](const std::wstring& p) { return win::GetLongPath(p); });
}

// A fresh folder under the temporary folder, removed with what the test put in it.
class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return;
    path_ = std::wstring(temp) + L"zvNameCheck" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    if (!::CreateDirectoryW(path_.c_str(), nullptr)) path_.clear();
  }
  ~TempFolder() {
    if (path_.empty()) return;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) ::RemoveDirectoryW(it->c_str());
    ::RemoveDirectoryW(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  bool MakeFolder(const std::wstring& name) {
    const std::wstring p = path_ + name;
    if (!::CreateDirectoryW(p.c_str(), nullptr)) return false;
    made_.push_back(p);
    return true;
  }

 private:
  std::wstring path_;
  std::vector<std::wstring> made_;
};

}  // namespace

TEST(NameCheckWin, UnchangedNameThroughStoredNames) {
  TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  ASSERT_TRUE(temp.MakeFolder(L"Data"));
  ASSERT_TRUE(temp.MakeFolder(L"Other"));
  const std::wstring data = temp.path() + L"Data\\";
  const SourceRecord source{data + L"Report.txt", L"Report", L"txt", data, false};

  struct Case { int copyToFolder; std::wstring copyTo; bool refused; std::wstring copyToAfter; };
  const Case cases[] = {
      {0, L"", true, L""},
      {1, temp.path() + L"DATA", true, temp.path() + L"DATA\\"},     // same folder, other case
      {1, temp.path() + L"data\\", true, temp.path() + L"data\\"},
      {1, temp.path() + L"Other", false, temp.path() + L"Other\\"},
      {0, temp.path() + L"Other", true, temp.path() + L"Other"},      // not in use
  };
  for (const auto& c : cases) {
    const NameCheckInput in{L"report", L"TXT", false, &source, c.copyToFolder};
    std::wstring copyTo = c.copyTo;
    const auto r = CheckReal(in, copyTo);
    EXPECT_EQ(r.failedCheck, c.refused ? 6 : 0) << c.copyToFolder;
    if (c.refused) {
      EXPECT_EQ(r.message, L"ファイル名または拡張子を変更してください。");
    }
    EXPECT_EQ(copyTo, c.copyToAfter);
  }
}

TEST(NameCheckWin, CopyToFolderGivenByItsShortName) {
  TempFolder temp;
  ASSERT_FALSE(temp.path().empty());
  ASSERT_TRUE(temp.MakeFolder(L"Source Documents"));
  const std::wstring folder = temp.path() + L"Source Documents\\";
  wchar_t shortPath[MAX_PATH] = {};
  ASSERT_GT(::GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH), 0u);
  ASSERT_NE(std::wstring(shortPath), folder);

  const SourceRecord source{folder + L"Report.txt", L"Report", L"txt", folder, false};
  const NameCheckInput in{L"REPORT", L"txt", false, &source, 1};
  std::wstring copyTo = shortPath;
  EXPECT_EQ(CheckReal(in, copyTo).failedCheck, 6);
}
