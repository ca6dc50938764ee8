#include <gtest/gtest.h>

#include <deque>

#include "core/Common.h"
#include "options/PackageRegistration.h"

using namespace zv;

namespace {

// Records each script and answers with the next code; nothing stands for PowerShell missing.
struct RecordingShell : IPowerShell {
  std::vector<std::wstring> scripts;
  std::deque<std::optional<uint32_t>> answers;
  std::optional<uint32_t> Run(const std::wstring& script) override {
    scripts.push_back(script);
    if (answers.empty()) return 0u;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

struct RecordingAsk : IAsk {
  std::vector<std::wstring> shown;
  int Ask(const std::wstring& text, int) override {
    shown.push_back(text);
    return kIdOk;
  }
};

}  // namespace

TEST(PackageRegistration, BoxOnlyOnWindows11WithThePackage) {
  EXPECT_TRUE(ShowsWin11MenuBox(22000, true));
  EXPECT_FALSE(ShowsWin11MenuBox(21999, true));
  EXPECT_FALSE(ShowsWin11MenuBox(26100, false));
}

TEST(PackageRegistration, ScriptsQuoteThePathsForPowerShell) {
  EXPECT_EQ(PowerShellQuoted(L"C:\\it's $HOME `n\u2019"), L"'C:\\it''s $HOME `n\u2019\u2019'");
  EXPECT_EQ(RegisterScript(L"C:\\Z\\Zarvane.msix", L"C:\\Z", false),
            L"try{Add-AppxPackage -Path 'C:\\Z\\Zarvane.msix' -ExternalLocation 'C:\\Z' -EA Stop;exit 0}"
            L"catch{$h=$_.Exception.HResult;if(!$h){$h=1};exit $h}");
  EXPECT_NE(RegisterScript(L"a", L"b", true).find(L"-ExternalLocation 'b' -AllowUnsigned -EA Stop;"), std::wstring::npos);
  // Base64 of the script's UTF-16, surrogate pairs and padding included.
  const std::wstring head = L"\"C:\\ps.exe\" -NoProfile -NonInteractive -EncodedCommand ";
  EXPECT_EQ(PowerShellCommandLine(L"C:\\ps.exe", L"exit 0"), head + L"ZQB4AGkAdAAgADAA");
  EXPECT_EQ(PowerShellCommandLine(L"C:\\ps.exe", L"'C:\\😀'"), head + L"JwBDADoAXAA92ADeJwA=");
  EXPECT_EQ(PowerShellCommandLine(L"C:\\ps.exe", L"ab"), head + L"YQBiAA==");
  EXPECT_NE(RemoveScript().find(L"Get-AppxPackage -Name 'Zarvane.Zarvane' | Remove-AppxPackage -EA Stop;"), std::wstring::npos);
}

// Each failure says why and what to do, and the box goes back to where it was.
TEST(PackageRegistration, FailuresReportAndKeepThePreviousState) {
  struct Row {
    bool wanted, signedPackage, elevated;
    std::optional<uint32_t> code;
    const wchar_t* message;  // start of the message; null for none
    bool after;
    size_t scriptsRun;
  };
  const Row rows[] = {
      {true, true, false, 0u, nullptr, true, 1},
      {false, true, false, 0u, nullptr, false, 1},
      {true, true, false, 0x800B0109u, L"パッケージの署名を信頼できないため", false, 1},
      {true, true, false, 0x800B010Au, L"パッケージの署名を信頼できないため", false, 1},
      {true, false, false, 0u, L"署名のないパッケージの登録には管理者権限が必要です。", false, 0},
      {true, false, true, 0u, nullptr, true, 1},
      {true, true, false, 0x80073CF9u, L"同じバージョンのパッケージが既に登録されています。", false, 1},
      {true, true, false, 0x80073CFBu, L"同じバージョンのパッケージが既に登録されています。", false, 1},
      {true, true, false, std::nullopt, L"PowerShell が見つからないため", false, 1},
      {false, true, false, std::nullopt, L"PowerShell が見つからないため", true, 1},
      {true, true, false, 0x80070005u, L"Windows 11 のメニューへの登録に失敗しました。（エラー 0x80070005）", false, 1},
      {false, true, false, 0x80073CF1u, L"Windows 11 のメニューからの削除に失敗しました。（エラー 0x80073CF1）", true, 1},
  };
  for (const auto& row : rows) {
    RecordingShell shell;
    RecordingAsk ask;
    shell.answers.push_back(row.code);
    PackageRegistration reg(shell, ask, L"C:\\Z\\Zarvane.msix", L"C:\\Z", row.signedPackage, row.elevated);
    const std::string what = std::to_string(row.wanted) + std::to_string(row.signedPackage) +
                             std::to_string(row.elevated) + " " + std::to_string(row.code.value_or(1234));
    EXPECT_EQ(reg.Change(row.wanted), row.after) << what;
    EXPECT_EQ(shell.scripts.size(), row.scriptsRun) << what;
    if (!row.message) {
      EXPECT_TRUE(ask.shown.empty()) << what;
    } else {
      ASSERT_EQ(ask.shown.size(), 1u) << what;
      EXPECT_EQ(ask.shown[0].rfind(row.message, 0), 0u) << what;
    }
  }
  RecordingShell shell;
  RecordingAsk ask;
  PackageRegistration reg(shell, ask, L"p", L"f", true, false);
  shell.answers = {0u, 1u, std::nullopt};
  EXPECT_TRUE(reg.IsRegistered());
  EXPECT_FALSE(reg.IsRegistered());
  EXPECT_FALSE(reg.IsRegistered());
  EXPECT_EQ(shell.scripts[0], L"if(Get-AppxPackage -Name 'Zarvane.Zarvane'){exit 0};exit 1");
  EXPECT_TRUE(ask.shown.empty());
}
