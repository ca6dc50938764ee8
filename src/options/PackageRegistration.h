// The check box "Windows 11 のメニューに表示する": registers Zarvane.msix for this user with the
// program's folder as its external location, and removes it again, through PowerShell. What runs
// PowerShell is an interface, so that tests record the scripts and answer with failure codes.
// Portable: no Windows headers.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "options/ShellMenu.h"

namespace zv {

// The package's identity name, as packaging/ writes it into the manifest.
inline constexpr wchar_t kPackageName[] = L"Zarvane.Zarvane";
inline constexpr wchar_t kPackageFile[] = L"Zarvane.msix";
// The first build of Windows 11, whose menu shows packaged handlers at the top level.
inline constexpr uint32_t kFirstWin11Build = 22000;

// Runs a PowerShell script without a window and returns its exit code (an HRESULT on failure);
// nothing when PowerShell could not be started.
class IPowerShell {
 public:
  virtual ~IPowerShell() = default;
  virtual std::optional<uint32_t> Run(const std::wstring& script) = 0;
};

// Failure codes the messages tell apart.
inline constexpr uint32_t kUntrustedRoot = 0x800B0109;    // CERT_E_UNTRUSTEDROOT
inline constexpr uint32_t kChainNotTrusted = 0x800B010A;  // CERT_E_CHAINING
inline constexpr uint32_t kInstallFailed = 0x80073CF9;    // the same version is registered already
inline constexpr uint32_t kAlreadyExists = 0x80073CFB;

struct PackageTextTable {
  const wchar_t* Caption;
  const wchar_t* Untrusted;
  const wchar_t* UnsignedNeedsAdmin;
  const wchar_t* SameVersion;
  const wchar_t* NoPowerShell;
  const wchar_t* RegisterFailed;  // + code
  const wchar_t* RemoveFailed;    // + code
  const wchar_t* CodeOpen;        // "（エラー "
  const wchar_t* CodeClose;       // "）"
};

inline constexpr PackageTextTable kPackageText{
    .Caption = L"Windows 11 のメニューに表示する(&X)",
    .Untrusted = L"パッケージの署名を信頼できないため、Windows 11 のメニューに登録できませんでした。\r\n"
                 L"署名した証明書を「信頼されたユーザー」に入れてから、もう一度チェックしてください。",
    .UnsignedNeedsAdmin = L"署名のないパッケージの登録には管理者権限が必要です。\r\n"
                          L"Zarvane を管理者として実行してから、もう一度チェックしてください。",
    .SameVersion = L"同じバージョンのパッケージが既に登録されています。\r\n"
                   L"チェックを外して削除してから、もう一度チェックしてください。",
    .NoPowerShell = L"PowerShell が見つからないため、Windows 11 のメニューに登録できませんでした。\r\n"
                    L"Readme.txt の手順で登録してください。",
    .RegisterFailed = L"Windows 11 のメニューへの登録に失敗しました。",
    .RemoveFailed = L"Windows 11 のメニューからの削除に失敗しました。",
    .CodeOpen = L"（エラー ",
    .CodeClose = L"）",
};

// The box is shown on Windows 11 when the package stands beside the program.
bool ShowsWin11MenuBox(uint32_t windowsBuild, bool packageBeside);

// 'text' for PowerShell: single quotes doubled, nothing else is special inside them.
std::wstring PowerShellQuoted(const std::wstring& text);
// The scripts run: exit code 0 when registered / done, else the failure's HRESULT (-EA Stop makes
// every error one that stops the script).
std::wstring QueryScript();
std::wstring RegisterScript(const std::wstring& packagePath, const std::wstring& exeFolder, bool allowUnsigned);
std::wstring RemoveScript();

// The whole command line that runs `script` in PowerShell: no profile, no prompt, the script
// encoded (Base64 of its UTF-16) so that no blank or quote in a path meets the command-line
// parser. Execution policies apply to script files, not to this.
std::wstring PowerShellCommandLine(const std::wstring& powerShellExe, const std::wstring& script);

// Whether the package is registered for this user now; false also when that cannot be told.
inline bool PackageIsRegistered(IPowerShell& shell) {
  const auto code = shell.Run(QueryScript());
  return code && *code == 0;
}

class PackageRegistration {
 public:
  PackageRegistration(IPowerShell& shell, IAsk& ask, std::wstring packagePath, std::wstring exeFolder,
                      bool packageSigned, bool elevated)
      : shell_(shell),
        ask_(ask),
        packagePath_(std::move(packagePath)),
        exeFolder_(std::move(exeFolder)),
        signed_(packageSigned),
        elevated_(elevated) {}

  bool IsRegistered() { return PackageIsRegistered(shell_); }
  // Registers (wanted) or removes it; reports a failure with what to do. Returns the state the
  // box shows afterwards: `wanted` on success, the opposite when it failed.
  bool Change(bool wanted);

 private:
  IPowerShell& shell_;
  IAsk& ask_;
  std::wstring packagePath_;
  std::wstring exeFolder_;
  bool signed_;
  bool elevated_;
};

}  // namespace zv
