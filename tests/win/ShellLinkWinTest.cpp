// Shortcut files written and read back through the shell's link object, and the special folders.
#include <gtest/gtest.h>

#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "platform/FileSys.h"

using namespace zv;
using namespace zv::test;

TEST(ShellLinkWin, CreatedLinksReadBackAsWritten) {
  TempFolder dir;
  const std::wstring program = win::GetLongPath(ZarvaneExe());
  ASSERT_FALSE(program.empty());
  const std::wstring work = dir.path();
  struct Case {
    const wchar_t* file;
    std::wstring exe, workDir, args, iconFile;
    int iconIdx, showCmd;
    std::wstring description;
  };
  const Case cases[] = {
      // As the welcome dialog makes them: no arguments, no icon file.
      {L"ザルヴェイン.lnk", program, work, L"", L"", 1, 5, L"同じ場所にザルヴェインします"},
      {L"with args.lnk", program, work, L"/INI\"C:\\a b\\z.ini\"", program, 2, 3, L"説明 text"},
      {L"no workdir.lnk", program, L"", L"", L"", 0, 7, L""},
      // A target that is not there (yet) still gives a shortcut.
      {L"missing target.lnk", dir / L"Zarvane.exe", work, L"", L"", 1, 5, L"x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::wstring lnk = dir / c.file;
    ASSERT_TRUE(ShellLink().CreateShellLink(lnk, c.exe, c.workDir, c.args, c.iconFile, c.iconIdx, c.showCmd,
                                               c.description));
    ASSERT_TRUE(Exists(lnk));
    const LinkRead r = ReadLink(lnk);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.exe, c.exe);
    EXPECT_EQ(r.workDir, c.workDir);
    EXPECT_EQ(r.args, c.args);
    EXPECT_EQ(r.description, c.description);
    EXPECT_EQ(ShowCmdInFile(lnk), c.showCmd);
    if (!c.iconFile.empty()) {
      EXPECT_EQ(r.iconFile, c.iconFile);
      EXPECT_EQ(r.iconIdx, c.iconIdx);
    }
  }
}

TEST(ShellLinkWin, RefusesWhatCannotBeALink) {
  TempFolder dir;
  const std::wstring program = ZarvaneExe();
  struct Case {
    const char* what;
    std::wstring lnk, exe;
  };
  const Case cases[] = {
      {"no target", dir / L"a.lnk", L""},
      {"no link file", L"", program},
      {"folder that does not exist", dir / L"missing\\a.lnk", program},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(ShellLink().CreateShellLink(c.lnk, c.exe, dir.path(), L"", L"", 1, 5, L"d"));
    if (!c.lnk.empty()) {
      EXPECT_FALSE(Exists(c.lnk));
    }
  }
  EXPECT_FALSE(Exists(dir / L"missing"));

  std::wstring exe = L"old", work, args, icon, description;
  int idx = 0, show = 0;
  EXPECT_FALSE(ShellLink().GetShellLinkInfo(L"", exe, work, args, icon, idx, show, description));
  EXPECT_FALSE(ShellLink().GetShellLinkInfo(dir / L"none.lnk", exe, work, args, icon, idx, show, description));
  EXPECT_EQ(exe, L"old");
}

TEST(ShellLinkWin, SendToFollowsTheUserShellFolders) {
  std::wstring before;
  ASSERT_TRUE(ShellLink().GetSystemFolderPath(nullptr, kFolderSendTo, before));
  TempFolder dir;
  const std::wstring sendTo = dir / L"送る";
  ASSERT_TRUE(::CreateDirectoryW(sendTo.c_str(), nullptr));
  {
    ShellFolderRedirect redirect({{L"SendTo", sendTo}});
    ASSERT_TRUE(redirect.ok());
    std::wstring path = L"old";
    ASSERT_TRUE(ShellLink().GetSystemFolderPath(nullptr, kFolderSendTo, path));
    EXPECT_EQ(path, sendTo);
  }
  std::wstring after;
  ASSERT_TRUE(ShellLink().GetSystemFolderPath(nullptr, kFolderSendTo, after));
  EXPECT_EQ(after, before);
}

TEST(ShellLinkWin, SpecialFolderPathsHaveNoTrailingBackslashOrNul) {
  for (int id : {kFolderDesktop, kFolderSendTo}) {
    SCOPED_TRACE(id);
    std::wstring path;
    ASSERT_TRUE(ShellLink().GetSystemFolderPath(nullptr, id, path));
    ASSERT_GT(path.size(), 3u);
    EXPECT_NE(path.back(), L'\\');
    EXPECT_EQ(path.find(L'\0'), std::wstring::npos);
    EXPECT_TRUE(win::HasAttribute(path, FILE_ATTRIBUTE_DIRECTORY)) << path;
  }
  // A folder the shell does not know leaves the caller's text alone.
  std::wstring path = L"kept";
  EXPECT_FALSE(ShellLink().GetSystemFolderPath(nullptr, 0x7F, path));
  EXPECT_EQ(path, L"kept");
}
