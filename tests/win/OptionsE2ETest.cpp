// Zarvane.exe started without a path: its options dialog driven from outside, and what it
// leaves in the settings file.
#include <gtest/gtest.h>

#include "Driver.h"
#include "platform/Profile.h"
#include "core/Settings.h"

using namespace zv;
using namespace zv::test;

namespace {

const std::wstring kNotConfirm = L"上書き確認しない(&U)";

class OptionsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    win::WinProfile profile(ini);
    ASSERT_TRUE(WriteFirstRunDefaults(profile));
    ASSERT_TRUE(profile.WriteString(kOptionSection, L"PrevInstance", L"1"));
  }
  // Starts the program with only the settings file and waits for the options dialog.
  HWND Start() {
    driver = Driver::Start(L"/INI\"" + ini + L"\"");
    if (!driver) return nullptr;
    HWND form = driver->WaitForForm(L"Zarvane");
    // The options dialog is the one with the option boxes; the copy dialog has none.
    return form && Driver::ByCaption(form, kNotConfirm) ? form : nullptr;
  }
  int Option(const wchar_t* key) { return win::WinProfile(ini).GetInt(kOptionSection, key, -1); }

  TempFolder dir;
  std::wstring ini = dir / L"設定 ファイル.ini";
  std::optional<Driver> driver;
};

}  // namespace

TEST_F(OptionsE2E, OkWritesTheChangedOptionAndEndsTheProgram) {
  HWND form = Start();
  ASSERT_TRUE(form);
  HWND box = Driver::ByCaption(form, kNotConfirm);
  EXPECT_FALSE(Driver::Checked(box));
  Driver::SetChecked(box, true);
  Driver::Click(Driver::ByCaption(form, L"OK"));
  EXPECT_EQ(driver->WaitForExit(), std::optional<uint32_t>(0));
  EXPECT_EQ(Option(L"NotConfirmReplaceFile"), 1);
  EXPECT_EQ(Option(L"TopMost"), 1);
  EXPECT_EQ(Option(L"PrevInstance"), 1);  // not an option of the dialog: left alone
}

TEST_F(OptionsE2E, TheCloseBoxEndsTheProgramWithoutWritingTheOptions) {
  const auto before = ReadBytes(ini);
  ASSERT_TRUE(before);
  HWND form = Start();
  ASSERT_TRUE(form);
  Driver::SetChecked(Driver::ByCaption(form, kNotConfirm), true);
  ::PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(driver->WaitForExit(), std::optional<uint32_t>(0));
  // HkcrExt is rewritten, with the same empty list.
  EXPECT_EQ(ReadBytes(ini), before);
}

// The settings file held open by another program: OK says so and the dialog stays for a retry.
TEST_F(OptionsE2E, AnUnwritableSettingsFileKeepsTheDialogUntilItCanBeWritten) {
  HWND form = Start();
  ASSERT_TRUE(form);
  Driver::SetChecked(Driver::ByCaption(form, kNotConfirm), true);
  {
    win::UniqueFile lock(::CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Driver::Click(Driver::ByCaption(form, L"OK"));
    const auto box = driver->Answer(IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Zarvane");
    EXPECT_EQ(box->text, L"設定ファイルに書き込めませんでした。\r\n\r\n" + ini +
                             L"\r\n\r\nファイルが読み取り専用になっていないか確認してください。");
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box->owner, form);
    EXPECT_TRUE(Driver::WaitVisible(form, true));
    EXPECT_FALSE(driver->WaitForExit(0));
  }
  EXPECT_EQ(Option(L"NotConfirmReplaceFile"), 0);
  Driver::Click(Driver::ByCaption(form, L"OK"));
  EXPECT_EQ(driver->WaitForExit(), std::optional<uint32_t>(0));
  EXPECT_EQ(Option(L"NotConfirmReplaceFile"), 1);
}
