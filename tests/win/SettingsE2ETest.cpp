// Zarvane.exe on settings files as editors save them, and on a default file that is none.
#include <gtest/gtest.h>

#include "Driver.h"
#include "TestSupport.h"
#include "startup/Startup.h"

using namespace zv;
using namespace zv::test;

namespace {

std::string Utf16LeWithoutMark(std::string_view ascii, std::wstring_view tail) {
  std::string out;
  for (char c : ascii) out += std::string{c, '\0'};
  for (wchar_t c : tail) out += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return out;
}

}  // namespace

// The proposal uses the file's Japanese format, and the position saved on キャンセル keeps
// every byte before it, the encoding and the line ends.
TEST(SettingsE2E, FilesAsEditorsSaveThemAndADefaultFileThatIsNone) {
  using namespace std::string_literals;
  struct Case {
    const char* what;
    std::string bytes;
    std::wstring proposal;
    bool noSettingsFile;
  };
  const Case cases[] = {
      {"UTF-8 without a mark, LF", "; memo\n[Option]\nPrevInstance=1\nFileNameFormat=%F_\xE3\x82\xB3\xE3\x83\x94\xE3\x83\xBC\n",
       L"a_コピー", false},
      {"UTF-16 LE without a mark",
       Utf16LeWithoutMark("[Option]\r\nPrevInstance=1\r\nOpenFileExt1=txt\r\nFileNameFormat=%F_", L"コピー\r\n"),
       L"a_コピー", false},
      {"binary default file", "PK\x03\x04\x14\0\0\0\x08\0[Option]\r\nFileNameFormat=x\r\n"s, L"a", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    const std::wstring exe = dir / L"Zarvane.exe";
    ASSERT_TRUE(::CopyFileW(ZarvaneExe().c_str(), exe.c_str(), TRUE));
    const std::wstring ini = dir / L"Zarvane.ini";
    ASSERT_TRUE(WriteBytes(ini, c.bytes));
    const std::wstring source = dir / L"a.txt";
    ASSERT_TRUE(WriteBytes(source, "a"));

    auto driver = Driver::Start(L"\"" + source + L"\"", exe);
    ASSERT_TRUE(driver);
    if (c.noSettingsFile) {
      const auto box = driver->Answer(IDOK);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->text, DefaultIniNotSettingsText(ini));
    }
    HWND form = driver->WaitForForm(L"新しいファイル名");
    ASSERT_TRUE(form);
    EXPECT_EQ(Driver::Text(Driver::Nth(form, L"Edit", 0)), c.proposal);
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    EXPECT_EQ(driver->WaitForExit(), std::optional<uint32_t>(0));

    const std::string after = ReadBytes(ini).value_or("<missing>");
    if (c.noSettingsFile) {
      EXPECT_EQ(after, c.bytes);
      continue;
    }
    EXPECT_GT(after.size(), c.bytes.size());
    EXPECT_EQ(after.substr(0, c.bytes.size()), c.bytes);
    const std::string added = after.substr(c.bytes.size());
    if (c.bytes.find('\r') == std::string::npos) EXPECT_EQ(added.find('\r'), std::string::npos);
    EXPECT_NE(added.find(c.bytes[1] == '\0' ? "S\0t\0a\0r\0t\0U\0p\0L\0e\0f\0t\0="s : "StartUpLeft="s), std::string::npos);
  }
}
