// Text helpers for paths, names and command lines. Portable: no Windows headers.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// Blanks (U+0020 only) removed at both ends, as the settings and dialogs trim.
std::wstring TrimBlanks(std::wstring_view text);
// Cut before the first NUL, then trim blanks.
std::wstring TrimAtNul(std::wstring_view text);

// Case folding for comparisons of names: ASCII and full-width Latin letters.
std::wstring ToUpperText(std::wstring_view text);
// `name` inside `folder`, with one backslash between them.
std::wstring JoinFolder(const std::wstring& folder, const std::wstring& name);
std::wstring ToLowerText(std::wstring_view text);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

// Names as the file system compares them: upper case letter for letter over all cased
// scripts, and the trailing dots and blanks that Windows drops from a name left out.
std::wstring FileSystemUpper(std::wstring_view text);
std::wstring_view DropTrailingDotsAndBlanks(std::wstring_view name);
bool SameFileName(std::wstring_view a, std::wstring_view b);

// Length as Windows counts it: UTF-16 units, a character beyond U+FFFF two.
size_t Utf16Units(std::wstring_view text);

// Text after the last backslash; empty for a path ending in one and for a bare name.
std::wstring GetFileNamePart(std::wstring_view path);
// Text after the last dot; empty when there is none.
std::wstring GetExtensionPart(std::wstring_view name);
// Line feed, carriage return or tab anywhere.
bool HasLineBreakOrTab(std::wstring_view text);
// Both first and last character are double quotes (and there are two of them).
bool IsQuoted(std::wstring_view text);
std::wstring Unquote(std::wstring_view text);

// Splits at blanks outside double quotes and at every "?" (which no path holds); quotes stay
// in the pieces, empty pieces are kept. A "\\?\" prefix opening a piece is kept whole.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// The prefix that asks Windows to take a path literally, and the path in its usual form:
// "\\?\C:\x" is "C:\x", "\\?\UNC\srv\x" is "\\srv\x"; other paths as they are.
inline constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
std::wstring UsualPathForm(std::wstring_view path);

// The stored name of the entry that a directory search for `path` finds, or nothing.
using FindStoredNameFn = std::function<std::optional<std::wstring>(const std::wstring& path)>;
// The path rebuilt with every component as stored on disk; empty on failure.
std::wstring GetLongPathWith(std::wstring_view path, const FindStoredNameFn& findStoredName);

}  // namespace zv
