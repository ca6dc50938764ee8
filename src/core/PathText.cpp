#include "core/PathText.h"

#include <cstdint>

namespace zv {

namespace {
wchar_t UpperChar(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 32);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 32);  // full-width a-z
  return c;
}
wchar_t LowerChar(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<wchar_t>(c + 32);
  return c;
}
}  // namespace

std::wstring TrimBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const auto last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

std::wstring TrimAtNul(std::wstring_view text) {
  const auto nul = text.find(L'\0');
  return TrimBlanks(nul == std::wstring_view::npos ? text : text.substr(0, nul));
}

std::wstring ToUpperText(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = UpperChar(c);
  return out;
}

std::wstring JoinFolder(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L"\\" + name;
}

std::wstring ToLowerText(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) c = LowerChar(c);
  return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  return true;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

size_t Utf16Units(std::wstring_view text) {
  size_t units = text.size();
  // Where wchar_t holds whole code points (not on Windows), those past the basic plane take two.
  if constexpr (sizeof(wchar_t) > 2)
    for (wchar_t c : text) units += static_cast<uint32_t>(c) >> 16 != 0 ? 1 : 0;
  return units;
}

std::wstring GetFileNamePart(std::wstring_view path) {
  if (path.empty() || path.back() == L'\\') return {};
  const auto slash = path.rfind(L'\\');
  return slash == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(slash + 1));
}

std::wstring GetExtensionPart(std::wstring_view name) {
  const auto dot = name.rfind(L'.');
  return dot == std::wstring_view::npos ? std::wstring() : std::wstring(name.substr(dot + 1));
}

bool HasLineBreakOrTab(std::wstring_view text) {
  return text.find_first_of(L"\r\n\t") != std::wstring_view::npos;
}

bool IsQuoted(std::wstring_view text) {
  return text.size() >= 2 && text.front() == L'"' && text.back() == L'"';
}

std::wstring Unquote(std::wstring_view text) {
  return IsQuoted(text) ? std::wstring(text.substr(1, text.size() - 2)) : std::wstring(text);
}

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
  std::vector<std::wstring> args;
  if (commandLine.empty()) return args;
  // Blanks outside quotes become "?", which no Windows path holds, and the text is then split
  // at every "?": one typed into the line splits it as well.
  std::wstring marked(commandLine);
  // The "?" of a "\\?\" prefix opening a piece is part of the path: held apart while splitting.
  constexpr wchar_t kHeld = L'\uFFFF';
  for (size_t at = 0; (at = marked.find(kLongPrefix, at)) != std::wstring::npos; at += kLongPrefix.size())
    if (at == 0 || marked[at - 1] == L' ' || marked[at - 1] == L'"' || marked[at - 1] == L'?') marked[at + 2] = kHeld;
  for (size_t i = 0; i < marked.size(); ++i) {
    if (marked[i] == L' ') {
      marked[i] = L'?';
    } else if (marked[i] == L'"') {
      const auto close = marked.find(L'"', i + 1);
      if (close == std::wstring::npos) break;  // an unclosed quote leaves the rest as it is
      i = close;
    }
  }
  for (size_t start = 0;;) {
    const auto sep = marked.find(L'?', start);
    args.push_back(marked.substr(start, sep == std::wstring::npos ? std::wstring::npos : sep - start));
    for (auto& c : args.back())
      if (c == kHeld) c = L'?';
    if (sep == std::wstring::npos) return args;
    start = sep + 1;
  }
}

std::wstring UsualPathForm(std::wstring_view path) {
  if (path.substr(0, kLongPrefix.size()) != kLongPrefix) return std::wstring(path);
  const std::wstring_view rest = path.substr(kLongPrefix.size());
  if (StartsWithNoCase(rest, L"UNC\\")) return L"\\\\" + std::wstring(rest.substr(4));
  return std::wstring(rest);
}

std::wstring GetLongPathWith(std::wstring_view path, const FindStoredNameFn& findStoredName) {
  std::wstring p = ToUpperText(TrimBlanks(path));
  if (p.empty()) return {};

  auto isSep = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  std::wstring root;
  if (p.size() > 1 && isSep(p[0]) && isSep(p[1])) {
    // \\server\share: the root ends before the backslash that follows the share.
    const auto first = p.find(L'\\', 2);
    if (first == std::wstring::npos) return {};
    const auto second = p.find(L'\\', first + 1);
    if (second == std::wstring::npos) return {};
    root = p.substr(0, second);
  } else {
    const auto colon = p.find(L':');
    if (colon != std::wstring::npos) root = p.substr(0, colon + 1);
  }

  if (p.size() <= root.size() + 1) return root + L"\\";
  if (p.back() != L'\\') p.push_back(L'\\');

  std::wstring result = root;
  for (auto sep = p.find(L'\\', root.size() + 1); sep != std::wstring::npos;
       sep = p.find(L'\\', sep + 1)) {
    const auto stored = findStoredName(p.substr(0, sep));
    if (!stored) return {};
    const auto nul = stored->find(L'\0');
    result += L'\\';
    result += stored->substr(0, nul);
  }
  return result;
}

}  // namespace zv
