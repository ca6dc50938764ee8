// Hands a file (or anything the shell opens, such as a web address) to the program registered
// for its type, with the plain verb "open" or the file type's own default verb.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/Registry.h"

namespace zv {

// Mode 0: "open". Mode 1: the default value of the class's "shell" key, where ".ext" (lower case)
// under `classes` names the class; "open" when either is missing. Nothing for any other mode.
std::optional<std::wstring> ChooseVerb(IRegistry& classes, const std::wstring& path, int mode);

// Runs the shell for a verb and a path; true when the shell accepted the request.
using ShellOpenFn = std::function<bool(const std::wstring& verb, const std::wstring& path)>;

// The whole routine with the shell passed in: false for an empty path or a mode other than 0
// and 1 (the path untouched); otherwise removes enclosing double quotes from the caller's
// `path`, chooses the verb and returns what the shell said.
bool OpenByAssociationWith(std::wstring& path, int mode, IRegistry& classes, const ShellOpenFn& shellOpen);

}  // namespace zv
