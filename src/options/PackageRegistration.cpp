#include "options/PackageRegistration.h"

#include "core/Common.h"
#include "core/SettingsFile.h"

namespace zv {

namespace {

constexpr const auto& T = kPackageText;

// Stops at the first error and leaves with its HRESULT; one without a code still fails.
std::wstring Guarded(const std::wstring& body) {
  return L"try{" + body + L" -EA Stop;exit 0}catch{$h=$_.Exception.HResult;if(!$h){$h=1};exit $h}";
}

// "0x800B0109"
std::wstring HResultText(uint32_t code) {
  std::wstring text = L"0x00000000";
  for (size_t at = text.size(); code; code >>= 4) text[--at] = L"0123456789ABCDEF"[code & 15];
  return text;
}

}  // namespace

bool ShowsWin11MenuBox(uint32_t windowsBuild, bool packageBeside) {
  return windowsBuild >= kFirstWin11Build && packageBeside;
}

std::wstring PowerShellQuoted(const std::wstring& text) {
  std::wstring quoted = L"'";
  for (const wchar_t c : text) {
    // PowerShell also takes the typographic single quotes as quotes.
    if (c == L'\'' || c == L'\u2018' || c == L'\u2019' || c == L'\u201A' || c == L'\u201B') quoted += c;
    quoted += c;
  }
  return quoted + L"'";
}

std::wstring QueryScript() {
  return L"if(Get-AppxPackage -Name " + PowerShellQuoted(kPackageName) + L"){exit 0};exit 1";
}

std::wstring RegisterScript(const std::wstring& packagePath, const std::wstring& exeFolder, bool allowUnsigned) {
  return Guarded(L"Add-AppxPackage -Path " + PowerShellQuoted(packagePath) + L" -ExternalLocation " +
                 PowerShellQuoted(exeFolder) + (allowUnsigned ? L" -AllowUnsigned" : L""));
}

std::wstring RemoveScript() {
  return Guarded(L"Get-AppxPackage -Name " + PowerShellQuoted(kPackageName) + L" | Remove-AppxPackage");
}

std::wstring PowerShellCommandLine(const std::wstring& powerShellExe, const std::wstring& script) {
  // PowerShell reads the encoded command as UTF-16 LE.
  const std::string bytes = EncodeUtf16(script, false);
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::wstring encoded;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
    for (size_t k = 0; k < 4; ++k)
      encoded += k <= bytes.size() - i ? static_cast<wchar_t>(kDigits[(group >> (18 - 6 * k)) & 63]) : L'=';
  }
  return L"\"" + powerShellExe + L"\" -NoProfile -NonInteractive -EncodedCommand " + encoded;
}

bool PackageRegistration::Change(bool wanted) {
  if (wanted && !signed_ && !elevated_) {
    ask_.Ask(T.UnsignedNeedsAdmin, kMbStop);
    return false;
  }
  const auto code = shell_.Run(wanted ? RegisterScript(packagePath_, exeFolder_, !signed_) : RemoveScript());
  if (!code) {
    ask_.Ask(T.NoPowerShell, kMbStop);
    return !wanted;
  }
  if (*code == 0) return wanted;
  const wchar_t* why = !wanted ? T.RemoveFailed
                      : *code == kUntrustedRoot || *code == kChainNotTrusted ? T.Untrusted
                      : *code == kInstallFailed || *code == kAlreadyExists ? T.SameVersion
                                                                            : T.RegisterFailed;
  ask_.Ask(why + (T.CodeOpen + HResultText(*code)) + T.CodeClose, kMbStop);
  return !wanted;
}

}  // namespace zv
