#include "core/Settings.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "core/PathText.h"
#include "core/SettingsFile.h"

namespace zv {

namespace {

enum class KeyKind {
  Flag,    // yes/no: only the value that is not the default changes it
  Number,  // integer taken as read
  Choice3, // 0, 1 or 2: any other value counts as the default
  Text,
  List,    // comma-separated texts (HkcrExt)
};

// Who writes a key.
enum class SavedBy { Nobody, Options, Position, ExtList };

struct KeyRow {
  const wchar_t* name;
  const wchar_t* section;
  KeyKind kind;
  int Settings::*number;
  std::wstring Settings::*text;
  int fallback;          // a number key's default; text keys default to empty
  const wchar_t* firstRun;  // written into a new file; nullptr: not written there
  SavedBy saved;
  int saveOrder = 0;  // where the options dialog's save lists it (a file without the key gets it in this order)
};

constexpr KeyRow Num(const wchar_t* name, KeyKind kind, int Settings::*m, int fallback, const wchar_t* firstRun,
                     int saveOrder, SavedBy saved = SavedBy::Options) {
  return {name, kOptionSection, kind, m, nullptr, fallback, firstRun, saved, saveOrder};
}
constexpr KeyRow Txt(const wchar_t* name, std::wstring Settings::*m, const wchar_t* firstRun, int saveOrder) {
  return {name, kOptionSection, KeyKind::Text, nullptr, m, 0, firstRun, SavedBy::Options, saveOrder};
}

// Every key, in the order a new settings file lists them (the SYSTEM key opens its section
// when reached); the keys a new file leaves out follow, in the order a save appends them.
constexpr KeyRow kKeys[] = {
    Txt(L"OpenFileExt1", &Settings::OpenFileExt1, L"txt html htm", 1),
    Txt(L"OpenFileExt2", &Settings::OpenFileExt2, L"html htm bat vbs", 2),
    Txt(L"OpenAplPath", &Settings::OpenAplPath, L"", 3),
    Num(L"OpenOriginalCheck", KeyKind::Flag, &Settings::OpenOriginalCheck, 0, L"0", 7),
    Num(L"OpenFolderCheck", KeyKind::Flag, &Settings::OpenFolderCheck, 1, L"1", 8),
    Num(L"DispExt", KeyKind::Flag, &Settings::DispExt, 1, L"1", 9),
    Num(L"IMEMode", KeyKind::Flag, &Settings::IMEMode, 0, L"0", 12),
    Num(L"TopMost", KeyKind::Flag, &Settings::TopMost, 1, L"1", 13),
    Num(L"StartUpPos", KeyKind::Number, &Settings::StartUpPos, 0, L"0", 11),
    Num(L"NotConfirmReplaceFile", KeyKind::Flag, &Settings::NotConfirmReplaceFile, 0, L"0", 14),
    Num(L"ShellExecOpen", KeyKind::Flag, &Settings::ShellExecOpen, 0, L"0", 15),
    Num(L"FolderOnly", KeyKind::Flag, &Settings::FolderOnly, 0, L"0", 16),
    Txt(L"FileNameFormat", &Settings::FileNameFormat, L"", 5),
    Txt(L"ExtNameFormat", &Settings::ExtNameFormat, L"", 4),
    Txt(L"FolderNameFormat", &Settings::FolderNameFormat, L"", 6),
    Num(L"CopyToFolder", KeyKind::Flag, &Settings::CopyToFolder, 0, L"0", 17),
    Txt(L"CopyToFolderPath", &Settings::CopyToFolderPath, L"", 18),
    {L"HkcrExt", kSystemSection, KeyKind::List, nullptr, nullptr, 0, L"", SavedBy::ExtList},
    Num(L"Attribute", KeyKind::Flag, &Settings::Attribute, 0, L"0", 19),
    Num(L"AttrArchive", KeyKind::Flag, &Settings::AttrArchive, 0, L"0", 20),
    Num(L"AttrReadOnly", KeyKind::Flag, &Settings::AttrReadOnly, 0, L"0", 21),
    Num(L"AttrHidden", KeyKind::Flag, &Settings::AttrHidden, 0, L"0", 22),
    Num(L"AttrSystem", KeyKind::Flag, &Settings::AttrSystem, 0, L"0", 23),
    Num(L"AutoNo", KeyKind::Number, &Settings::AutoNo, 0, nullptr, 10),
    Num(L"RegisterFor", KeyKind::Choice3, &Settings::RegisterFor, 0, nullptr, 24),
    Num(L"SkipUsedNo", KeyKind::Flag, &Settings::SkipUsedNo, 1, nullptr, 25),
    Num(L"StartUpLeft", KeyKind::Number, &Settings::StartUpLeft, 0, nullptr, 0, SavedBy::Position),
    Num(L"StartUpTop", KeyKind::Number, &Settings::StartUpTop, 0, nullptr, 0, SavedBy::Position),
};

int Normalise(const KeyRow& key, int value) {
  switch (key.kind) {
    case KeyKind::Flag: return value == 1 - key.fallback ? value : key.fallback;
    case KeyKind::Choice3: return value >= 0 && value <= 2 ? value : key.fallback;
    default: return value;
  }
}

std::wstring JoinWithCommas(const std::vector<std::wstring>& list) {
  std::wstring joined;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) joined += L',';
    joined += list[i];
  }
  return joined;
}

// The value a save writes for the key.
std::wstring Stored(const KeyRow& key, const Settings& s) {
  switch (key.kind) {
    case KeyKind::Text: return s.*key.text;
    case KeyKind::List: return JoinWithCommas(s.HkcrExtList);
    default: return std::to_wstring(s.*key.number);
  }
}

bool Save(IProfile& profile, const Settings& s, SavedBy who) {
  std::vector<const KeyRow*> rows;
  for (const auto& key : kKeys)
    if (key.saved == who) rows.push_back(&key);
  std::stable_sort(rows.begin(), rows.end(), [](const KeyRow* a, const KeyRow* b) { return a->saveOrder < b->saveOrder; });
  std::vector<ProfileValue> values;
  for (const KeyRow* key : rows) values.push_back({key->section, key->name, Stored(*key, s)});
  return profile.WriteValues(values);
}

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

// The section names are plain ASCII: bytes of any code page may stand for themselves here.
class Latin1 : public IAnsiCodePage {
 public:
  std::wstring Decode(std::string_view bytes) const override {
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes) text.push_back(static_cast<unsigned char>(c));
    return text;
  }
  std::optional<std::string> Encode(std::wstring_view) const override { return std::nullopt; }
};

}  // namespace

Settings::Settings() {
  for (const auto& key : kKeys) {
    if (key.number) this->*key.number = key.fallback;
    if (key.text) (this->*key.text).clear();
  }
  HkcrExtEmpty = true;
}

std::wstring SettingsNotSavedText(SaveProblem problem, const std::wstring& path) {
  const wchar_t* why = L"ファイルが読み取り専用になっていないか確認してください。";
  switch (problem) {
    case SaveProblem::Busy: why = L"別の Zarvane が保存中です。しばらくしてからやり直してください。"; break;
    case SaveProblem::NotSettingsFile: why = L"設定ファイルではないファイルに置き換えられています。"; break;
    case SaveProblem::OtherFile: why = L"読み込んだ後で別のファイルに置き換えられています。"; break;
    case SaveProblem::LineBreak: why = L"値に改行が含まれています。"; break;
    default: break;
  }
  return std::wstring(L"設定ファイルに書き込めませんでした。") + L"\r\n\r\n" + path + L"\r\n\r\n" + why;
}

bool HoldsLineBreak(const std::vector<ProfileValue>& values) {
  return std::any_of(values.begin(), values.end(), [](const ProfileValue& v) {
    return (v.section + v.key + v.value).find_first_of(L"\r\n") != std::wstring::npos;
  });
}

std::wstring FirstLine(std::wstring_view text) { return std::wstring(text.substr(0, text.find_first_of(L"\r\n"))); }

bool LooksLikeSettingsFile(std::string_view start) {
  return start.empty() || SettingsText(std::string(start), Latin1()).IsSettingsFile();
}

void LoadSettings(IProfile& profile, Settings& s) {
  const SettingsText& file = profile.Text();
  s.HkcrExtEmpty = true;
  for (const auto& key : kKeys) {
    if (key.kind == KeyKind::Text) {
      s.*key.text = TrimAtNul(file.String(key.section, key.name));
    } else if (key.kind == KeyKind::List) {
      // Nothing read leaves the list as it was.
      const std::wstring ext = TrimAtNul(file.String(key.section, key.name));
      if (!ext.empty()) {
        s.HkcrExtList = SplitAtCommas(ext);
        s.HkcrExtEmpty = false;
      }
    } else {
      s.*key.number = Normalise(key, file.Number(key.section, key.name, key.fallback));
    }
  }
}

bool SaveSettings(IProfile& profile, const Settings& s) { return Save(profile, s, SavedBy::Options); }

bool SaveHkcrExt(IProfile& profile, const Settings& s) { return Save(profile, s, SavedBy::ExtList); }

bool WriteFirstRunDefaults(IProfile& profile) {
  std::vector<ProfileValue> values;
  for (const auto& key : kKeys)
    if (key.firstRun) values.push_back({key.section, key.name, key.firstRun});
  return profile.WriteValues(values);
}

int ReadPrevInstance(IProfile& profile) {
  return profile.GetInt(kOptionSection, L"PrevInstance", 0) == 1 ? 1 : 0;
}

bool SaveStartUpPosition(IProfile& profile, int left, int top) {
  Settings s;
  s.StartUpLeft = left;
  s.StartUpTop = top;
  return Save(profile, s, SavedBy::Position);
}

}  // namespace zv
