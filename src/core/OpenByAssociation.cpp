#include "core/OpenByAssociation.h"

#include "core/PathText.h"

namespace zv {

namespace {
constexpr wchar_t kOpenVerb[] = L"open";

// The extension of the last path component only: a dot in a folder name is no extension.
std::wstring ExtensionOf(const std::wstring& path) {
  const auto slash = path.rfind(L'\\');
  return GetExtensionPart(slash == std::wstring::npos ? path : path.substr(slash + 1));
}
}  // namespace

std::optional<std::wstring> ChooseVerb(IRegistry& classes, const std::wstring& path, int mode) {
  if (mode == 0) return kOpenVerb;
  if (mode != 1) return std::nullopt;
  const std::wstring fileType = classes.GetValue(L"." + ToLowerText(ExtensionOf(path)));
  if (fileType.empty()) return kOpenVerb;
  std::wstring verb = classes.GetValue(fileType + L"\\shell");
  if (verb.empty()) return kOpenVerb;
  return verb;
}

bool OpenByAssociationWith(std::wstring& path, int mode, IRegistry& classes, const ShellOpenFn& shellOpen) {
  if (path.empty() || (mode != 0 && mode != 1)) return false;
  if (IsQuoted(path)) path = Unquote(path);
  const auto verb = ChooseVerb(classes, path, mode);
  return verb && shellOpen(*verb, path);
}

}  // namespace zv
