#include "core/NamedFormats.h"

#include <algorithm>
#include <string_view>

#include "core/PathText.h"
#include "core/SettingsFile.h"

namespace zv {

namespace {

struct Texts {
  const wchar_t* noName = L"書式名を入力してください。";
  const wchar_t* badName = L"書式名に不正な文字（改行コード等）が含まれています。";
  const wchar_t* longName = L"書式名は 32 文字以内にしてください。";
  const wchar_t* sameName = L"同じ書式名が既にあります。";
  const wchar_t* forbidden = L"書式に \\ / : * ? \" < > | は使えません。";
  const wchar_t* badFormat = L"書式に不正な文字（改行コード等）が含まれています。";
};
constexpr Texts kText;

constexpr const wchar_t* kKeyNames[] = {L"Name", L"File", L"Ext", L"Folder"};
constexpr std::wstring NamedFormat::*kFields[] = {&NamedFormat::Name, &NamedFormat::File, &NamedFormat::Ext,
                                                  &NamedFormat::Folder};

// "File3" is field 1 of number 3; -1 for any other key ("Name10", "Name03", "NameX").
std::pair<int, int> KeyOf(std::wstring_view key) {
  for (int field = 0; field < 4; ++field) {
    const std::wstring_view prefix = kKeyNames[field];
    if (key.size() != prefix.size() + 1 || !StartsWithNoCase(key, prefix)) continue;
    const wchar_t digit = key.back();
    if (digit >= L'1' && digit <= L'9') return {field, digit - L'0'};
  }
  return {-1, 0};
}

bool HasForbiddenChar(std::wstring_view text) { return text.find_first_of(L"\\/:*?\"<>|") != std::wstring_view::npos; }

std::wstring Key(int field, int number) { return kKeyNames[field] + std::to_wstring(number); }

}  // namespace

std::vector<NamedFormat> StoredFormats::List() const {
  std::vector<NamedFormat> list;
  for (const auto& slot : slots)
    if (slot) list.push_back(*slot);
  return list;
}

StoredFormats LoadNamedFormats(IProfile& profile) {
  StoredFormats stored;
  for (const SettingsEntry& entry : profile.Text().Entries(kFormatsSection)) {
    if (!entry.value) continue;  // passed over, as it always was here (a key read alone stops at it)
    const auto [field, number] = KeyOf(entry.key);
    // The first line of a key with a value wins.
    if (field < 0 || stored.present[number - 1][field]) continue;
    stored.present[number - 1][field] = true;
    stored.raw[number - 1].*kFields[field] = TrimBlanks(ProfileText(*entry.value));
  }
  for (int i = 0; i < kMaxNamedFormats; ++i)
    // Held to what the dialog lets be typed: a tab or a long name would break the menu.
    if (!stored.raw[i].Name.empty() && CheckNamedFormat(stored.raw[i], {}, -1).ok()) stored.slots[i] = stored.raw[i];
  return stored;
}

bool SaveNamedFormats(IProfile& profile, const StoredFormats& stored, const std::vector<NamedFormat>& list) {
  std::vector<ProfileValue> changed;
  for (int i = 0; i < kMaxNamedFormats; ++i) {
    const bool wanted = static_cast<size_t>(i) < list.size();
    if (!wanted && !stored.slots[i]) continue;  // nothing there before, nothing now: not even empty keys
    const NamedFormat now = wanted ? list[static_cast<size_t>(i)] : NamedFormat{};
    for (int field = 0; field < 4; ++field) {
      const std::wstring& value = now.*kFields[field];
      // A key left from an entry without a name is cleared, or it would join the new entry.
      if (stored.present[i][field] ? stored.raw[i].*kFields[field] == value : value.empty()) continue;
      changed.push_back({kFormatsSection, Key(field, i + 1), value});
    }
  }
  // The list is stored whole or not at all.
  return changed.empty() || profile.WriteValues(changed);
}

EffectiveFormat Effective(const NamedFormat* entry, const Settings& main) {
  EffectiveFormat f{main.FileNameFormat, main.ExtNameFormat, main.FolderNameFormat};
  if (!entry) return f;
  if (!entry->File.empty()) f.File = entry->File;
  if (!entry->Ext.empty()) f.Ext = entry->Ext;
  if (!entry->Folder.empty()) f.Folder = entry->Folder;
  return f;
}

FormatProblem CheckNamedFormat(const NamedFormat& entry, const std::vector<NamedFormat>& list, int self) {
  const std::wstring name = TrimBlanks(entry.Name);
  if (name.empty()) return {FormatField::Name, kText.noName};
  if (HasLineBreakOrTab(name)) return {FormatField::Name, kText.badName};
  if (name.size() > kMaxNamedFormatName) return {FormatField::Name, kText.longName};
  for (size_t i = 0; i < list.size(); ++i)
    if (static_cast<int>(i) != self && EqualsNoCase(TrimBlanks(list[i].Name), name))
      return {FormatField::Name, kText.sameName};
  const std::pair<const std::wstring*, FormatField> formats[] = {
      {&entry.File, FormatField::File}, {&entry.Ext, FormatField::Ext}, {&entry.Folder, FormatField::Folder}};
  for (const auto& [text, field] : formats) {
    if (HasForbiddenChar(*text)) return {field, kText.forbidden};
    if (HasLineBreakOrTab(*text)) return {field, kText.badFormat};
  }
  return {};
}

std::wstring FormatMenuText(int number, const std::wstring& name, const std::wstring& proposal) {
  std::wstring text = L"&" + std::to_wstring(number) + L" ";
  for (wchar_t c : name) {
    if (c == L'&') text += L'&';
    text += c;
  }
  // A tab would right-align the rest as a shortcut's text.
  text += L" \u2014 ";
  for (wchar_t c : proposal) {
    if (c == L'&') text += L'&';
    text += c;
  }
  return text;
}

std::vector<FormatMenuEntry> FormatMenuEntries(const std::vector<NamedFormat>& list, const std::wstring& inUse,
                                               const std::function<std::wstring(const NamedFormat*)>& propose) {
  std::vector<FormatMenuEntry> entries;
  entries.push_back({FormatMenuText(0, kMainFormatName, propose(nullptr)), inUse.empty()});
  for (size_t i = 0; i < list.size() && i < kMaxNamedFormats; ++i) {
    const NamedFormat& entry = list[i];
    entries.push_back({FormatMenuText(static_cast<int>(i) + 1, entry.Name, propose(&entry)),
                       !inUse.empty() && EqualsNoCase(entry.Name, inUse)});
  }
  return entries;
}

}  // namespace zv
