#include "core/Settings.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "core/PathText.h"

namespace zv {

namespace {

enum class KeyKind {
  Flag0,  // yes/no, default 0: only 1 counts as yes
  Flag1,  // yes/no, default 1: only 0 counts as no
  Number, // integer taken as read, default 0
  Choice3, // 0, 1 or 2, default 0: any other value counts as 0
  Text,
};

struct KeyDef {
  const wchar_t* name;
  KeyKind kind;
  int Settings::*number;
  std::wstring Settings::*text;
};

constexpr KeyDef Num(const wchar_t* name, KeyKind kind, int Settings::*m) { return {name, kind, m, nullptr}; }
constexpr KeyDef Txt(const wchar_t* name, std::wstring Settings::*m) { return {name, KeyKind::Text, nullptr, m}; }

// Section "Option", in the order they are read.
constexpr KeyDef kKeys[] = {
    Num(L"OpenOriginalCheck", KeyKind::Flag0, &Settings::OpenOriginalCheck),
    Num(L"OpenFolderCheck", KeyKind::Flag1, &Settings::OpenFolderCheck),
    Num(L"DispExt", KeyKind::Flag1, &Settings::DispExt),
    Num(L"AutoNo", KeyKind::Number, &Settings::AutoNo),
    Num(L"StartUpPos", KeyKind::Number, &Settings::StartUpPos),
    Num(L"StartUpLeft", KeyKind::Number, &Settings::StartUpLeft),
    Num(L"StartUpTop", KeyKind::Number, &Settings::StartUpTop),
    Num(L"IMEMode", KeyKind::Flag0, &Settings::IMEMode),
    Num(L"TopMost", KeyKind::Flag1, &Settings::TopMost),
    Num(L"NotConfirmReplaceFile", KeyKind::Flag0, &Settings::NotConfirmReplaceFile),
    Num(L"ShellExecOpen", KeyKind::Flag0, &Settings::ShellExecOpen),
    Num(L"FolderOnly", KeyKind::Flag0, &Settings::FolderOnly),
    Num(L"Attribute", KeyKind::Flag0, &Settings::Attribute),
    Num(L"AttrArchive", KeyKind::Flag0, &Settings::AttrArchive),
    Num(L"AttrReadOnly", KeyKind::Flag0, &Settings::AttrReadOnly),
    Num(L"AttrHidden", KeyKind::Flag0, &Settings::AttrHidden),
    Num(L"AttrSystem", KeyKind::Flag0, &Settings::AttrSystem),
    Txt(L"OpenFileExt1", &Settings::OpenFileExt1),
    Txt(L"OpenFileExt2", &Settings::OpenFileExt2),
    Txt(L"OpenAplPath", &Settings::OpenAplPath),
    Txt(L"ExtNameFormat", &Settings::ExtNameFormat),
    Txt(L"FileNameFormat", &Settings::FileNameFormat),
    Txt(L"FolderNameFormat", &Settings::FolderNameFormat),
    Num(L"CopyToFolder", KeyKind::Flag0, &Settings::CopyToFolder),
    Txt(L"CopyToFolderPath", &Settings::CopyToFolderPath),
    Num(L"RegisterFor", KeyKind::Choice3, &Settings::RegisterFor),
    Num(L"SkipUsedNo", KeyKind::Flag1, &Settings::SkipUsedNo),
};

// What the options dialog's OK writes, in this order.
constexpr const wchar_t* kSavedKeys[] = {
    L"OpenFileExt1", L"OpenFileExt2", L"OpenAplPath", L"ExtNameFormat", L"FileNameFormat",
    L"FolderNameFormat", L"OpenOriginalCheck", L"OpenFolderCheck", L"DispExt", L"AutoNo",
    L"StartUpPos", L"IMEMode", L"TopMost", L"NotConfirmReplaceFile", L"ShellExecOpen",
    L"FolderOnly", L"CopyToFolder", L"CopyToFolderPath", L"Attribute", L"AttrArchive",
    L"AttrReadOnly", L"AttrHidden", L"AttrSystem", L"RegisterFor", L"SkipUsedNo",
};

struct FirstRunValue {
  const wchar_t* section;
  const wchar_t* key;
  const wchar_t* value;
};

// A new settings file, key by key.
constexpr FirstRunValue kFirstRun[] = {
    {kOptionSection, L"OpenFileExt1", L"txt html htm"},
    {kOptionSection, L"OpenFileExt2", L"html htm bat vbs"},
    {kOptionSection, L"OpenAplPath", L""},
    {kOptionSection, L"OpenOriginalCheck", L"0"},
    {kOptionSection, L"OpenFolderCheck", L"1"},
    {kOptionSection, L"DispExt", L"1"},
    {kOptionSection, L"IMEMode", L"0"},
    {kOptionSection, L"TopMost", L"1"},
    {kOptionSection, L"StartUpPos", L"0"},
    {kOptionSection, L"NotConfirmReplaceFile", L"0"},
    {kOptionSection, L"ShellExecOpen", L"0"},
    {kOptionSection, L"FolderOnly", L"0"},
    {kOptionSection, L"FileNameFormat", L""},
    {kOptionSection, L"ExtNameFormat", L""},
    {kOptionSection, L"FolderNameFormat", L""},
    {kOptionSection, L"CopyToFolder", L"0"},
    {kOptionSection, L"CopyToFolderPath", L""},
    {kSystemSection, L"HkcrExt", L""},
    {kOptionSection, L"Attribute", L"0"},
    {kOptionSection, L"AttrArchive", L"0"},
    {kOptionSection, L"AttrReadOnly", L"0"},
    {kOptionSection, L"AttrHidden", L"0"},
    {kOptionSection, L"AttrSystem", L"0"},
};

const KeyDef* FindKey(std::wstring_view name) {
  for (const auto& key : kKeys)
    if (name == key.name) return &key;
  return nullptr;
}

int Normalise(KeyKind kind, int value) {
  switch (kind) {
    case KeyKind::Flag0: return value == 1 ? 1 : 0;
    case KeyKind::Flag1: return value == 0 ? 0 : 1;
    case KeyKind::Choice3: return value >= 0 && value <= 2 ? value : 0;
    default: return value;
  }
}

// What a profile read copies into a buffer of `size` characters: an enclosing pair of quotes
// goes (the closing one only when it fits), then at most size - 1 characters.
std::wstring AsCopied(std::wstring_view value, size_t size) {
  const bool quoted = value.size() > 1 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0];
  if (quoted) value.remove_prefix(1);
  std::wstring out(value.substr(0, size - 1));
  if (quoted && size >= value.size()) out.pop_back();
  return out;
}

// A profile number: blanks, a sign, a 0b/0o/0x base prefix, then digits up to the first that
// is not one; wrapping like the 32-bit count it is.
int ProfileNumber(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] <= L' ') ++i;
  bool minus = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) minus = text[i++] == L'-';
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == L'0') {
    const wchar_t prefix = text[i + 1];
    base = prefix == L'b' ? 2 : prefix == L'o' ? 8 : prefix == L'x' ? 16 : 10;
    if (base != 10) i += 2;
  }
  uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const unsigned digit = c >= L'0' && c <= L'9'   ? c - L'0'
                           : c >= L'A' && c <= L'Z' ? c - L'A' + 10
                           : c >= L'a' && c <= L'z' ? c - L'a' + 10
                                                    : 99;
    if (digit >= base) break;
    total = total * base + digit;
  }
  return static_cast<int>(minus ? 0u - total : total);
}

// One section read in one call, answering key by key as the profile calls do: names without
// regard to case, the first line of a name wins, a line without "=" reads as missing.
class SectionValues {
 public:
  explicit SectionValues(std::wstring_view lines) {
    while (!lines.empty()) {
      const size_t end = std::min(lines.find(L'\0'), lines.size());
      const std::wstring_view line = lines.substr(0, end);
      lines.remove_prefix(std::min(end + 1, lines.size()));
      if (line.empty()) continue;
      const size_t equals = line.find(L'=');
      if (equals == std::wstring_view::npos) lines_.push_back({ToUpperText(line), std::nullopt});
      else lines_.push_back({ToUpperText(line.substr(0, equals)), std::wstring(line.substr(equals + 1))});
    }
  }
  // As read into the program's 512-character buffer.
  std::wstring Text(const wchar_t* key) const {
    const auto* value = Find(key);
    return value ? AsCopied(*value, 512) : std::wstring();
  }
  // As the profile's number read: its own 30-character buffer, the default when that is empty.
  int Number(const wchar_t* key, int fallback) const {
    const auto* value = Find(key);
    const std::wstring copied = value ? AsCopied(*value, 30) : std::wstring();
    return copied.empty() ? fallback : ProfileNumber(copied);
  }

 private:
  const std::wstring* Find(const wchar_t* key) const {
    const std::wstring upper = ToUpperText(key);
    for (const auto& [name, value] : lines_)
      if (name == upper) return value ? &*value : nullptr;
    return nullptr;
  }
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> lines_;
};

std::vector<std::wstring> SplitAtCommas(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const auto comma = text.find(L',', start);
    parts.push_back(text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
    if (comma == std::wstring::npos) return parts;
    start = comma + 1;
  }
}

// The file's text as code units; ANSI and UTF-8 bytes stand for themselves, as the section
// names are plain ASCII.
std::u16string CodeUnits(std::string_view bytes) {
  std::u16string units;
  const bool le = bytes.starts_with("\xFF\xFE"), be = bytes.starts_with("\xFE\xFF");
  if (le || be) {
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto lo = static_cast<unsigned char>(bytes[i + (le ? 0 : 1)]);
      const auto hi = static_cast<unsigned char>(bytes[i + (le ? 1 : 0)]);
      units.push_back(static_cast<char16_t>(hi << 8 | lo));
    }
    return units;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  for (char c : bytes) units.push_back(static_cast<unsigned char>(c));
  return units;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// "[Option]" or "[SYSTEM]", any letter case, blanks around allowed.
bool IsSettingsSection(std::u16string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty() || line.front() != u'[') return false;
  const auto close = line.find(u']');
  if (close == std::u16string_view::npos) return false;
  std::u16string_view name = line.substr(1, close - 1);
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  auto is = [name](std::u16string_view want) {
    if (name.size() != want.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
      const char16_t c = name[i] >= u'a' && name[i] <= u'z' ? name[i] - u'a' + u'A' : name[i];
      if (c != want[i]) return false;
    }
    return true;
  };
  return is(u"OPTION") || is(u"SYSTEM");
}

}  // namespace

bool LooksLikeSettingsFile(std::string_view start) {
  if (start.empty()) return true;
  const std::u16string text = CodeUnits(start);
  if (text.find(u'\0') != std::u16string::npos) return false;  // binary
  bool section = false;
  for (size_t begin = 0; begin < text.size() && !section;) {
    auto end = text.find_first_of(u"\r\n", begin);
    if (end == std::u16string::npos) end = text.size();
    section = IsSettingsSection(std::u16string_view(text).substr(begin, end - begin));
    begin = end + 1;
  }
  return section;
}

void LoadSettings(IProfile& profile, Settings& s) {
  // One call per section instead of one per key: each call opens the file anew.
  const SectionValues option(profile.GetSection(kOptionSection));
  for (const auto& key : kKeys) {
    if (key.kind == KeyKind::Text) {
      s.*key.text = TrimAtNul(option.Text(key.name));
    } else {
      const int fallback = key.kind == KeyKind::Flag1 ? 1 : 0;
      s.*key.number = Normalise(key.kind, option.Number(key.name, fallback));
    }
  }
  s.HkcrExtEmpty = true;
  const SectionValues system(profile.GetSection(kSystemSection));
  const std::wstring ext = TrimAtNul(system.Text(L"HkcrExt"));
  if (!ext.empty()) {
    s.HkcrExtList = SplitAtCommas(ext);
    s.HkcrExtEmpty = false;
  }
}

bool SaveSettings(IProfile& profile, const Settings& s) {
  bool written = true;
  for (const wchar_t* name : kSavedKeys) {
    const KeyDef* key = FindKey(name);
    const std::wstring value = key->kind == KeyKind::Text ? s.*key->text : std::to_wstring(s.*key->number);
    written = profile.WriteString(kOptionSection, name, value) && written;
  }
  return written;
}

bool SaveHkcrExt(IProfile& profile, const Settings& s) {
  std::wstring joined;
  for (size_t i = 0; i < s.HkcrExtList.size(); ++i) {
    if (i > 0) joined += L',';
    joined += s.HkcrExtList[i];
  }
  return profile.WriteString(kSystemSection, L"HkcrExt", joined);
}

bool WriteFirstRunDefaults(IProfile& profile) {
  bool written = true;
  for (const auto& entry : kFirstRun)
    written = profile.WriteString(entry.section, entry.key, entry.value) && written;
  return written;
}

int ReadPrevInstance(IProfile& profile) {
  return profile.GetInt(kOptionSection, L"PrevInstance", 0) == 1 ? 1 : 0;
}

bool SaveStartUpPosition(IProfile& profile, int left, int top) {
  const bool leftWritten = profile.WriteString(kOptionSection, L"StartUpLeft", std::to_wstring(left));
  const bool topWritten = profile.WriteString(kOptionSection, L"StartUpTop", std::to_wstring(top));
  return leftWritten && topWritten;
}

}  // namespace zv
