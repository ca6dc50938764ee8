// Settings files in memory for the portable tests: the program's own SettingsTextProfile
// reads and writes them, so a fake cannot parse differently from the program.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SettingsFile.h"

namespace zv::test {

// A sliver of code page 932: ASCII, and the few characters the rows use.
class FakeShiftJis : public IAnsiCodePage {
 public:
  std::wstring Decode(std::string_view bytes) const override {
    std::wstring text;
    for (size_t i = 0; i < bytes.size(); ++i) {
      const auto c = static_cast<unsigned char>(bytes[i]);
      if (c < 0x80) {
        text += static_cast<wchar_t>(c);
        continue;
      }
      const auto it = i + 1 < bytes.size() ? kPairs.find(std::string(bytes.substr(i, 2))) : kPairs.end();
      text += it == kPairs.end() ? L'\xFFFD' : it->second;
      i += it == kPairs.end() ? 0 : 1;
    }
    return text;
  }
  std::optional<std::string> Encode(std::wstring_view text) const override {
    std::string bytes;
    for (wchar_t c : text) {
      if (c < 0x80) {
        bytes += static_cast<char>(c);
        continue;
      }
      const auto it = std::find_if(kPairs.begin(), kPairs.end(), [c](const auto& p) { return p.second == c; });
      if (it == kPairs.end()) return std::nullopt;
      bytes += it->first;
    }
    return bytes;
  }

 private:
  const std::map<std::string, wchar_t> kPairs = {
      {"\x83\x52", L'コ'}, {"\x83\x73", L'ピ'}, {"\x81\x5B", L'ー'}, {"\x95\xF1", L'報'}, {"\x8D\x90", L'告'}};
};
inline const FakeShiftJis kAnsi;

inline std::string Utf8(std::wstring_view text) {
  std::string out;
  for (wchar_t w : text) {
    const auto c = static_cast<uint32_t>(w);
    if (c < 0x80) out += static_cast<char>(c);
    else if (c < 0x800) out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    else if (c < 0x10000)
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    else
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
  return out;
}

// A settings file in memory, read by the program's own parser: a fake cannot answer a key
// otherwise than the program would. Every value a save hands it is logged; `accepts` may
// refuse values one by one, as a file service that fails halfway.
class MemoryProfile : public SettingsTextProfile {
 public:
  // The file's text, kept as UTF-8 with its mark; none: the file is missing.
  explicit MemoryProfile(std::wstring_view text = {})
      : SettingsTextProfile(SettingsText(text.empty() ? std::string() : "\xEF\xBB\xBF" + Utf8(text), kAnsi), kAnsi) {}
  // As if the file held it already: not logged.
  void Set(const wchar_t* section, const wchar_t* key, std::wstring value) {
    SettingsTextProfile::WriteValues({{section, key, std::move(value)}});
  }
  bool WriteValues(const std::vector<ProfileValue>& values) override {
    ++saves;
    bool all = true;
    for (const auto& v : values) {
      if (accepts && !accepts(v)) {
        all = false;
        continue;
      }
      writes.push_back(v);
      SettingsTextProfile::WriteValues({v});
    }
    return all;
  }
  std::function<bool(const ProfileValue&)> accepts;
  std::vector<ProfileValue> writes;
  int saves = 0;
};

}  // namespace zv::test
