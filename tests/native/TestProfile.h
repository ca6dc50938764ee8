// Settings files in memory for the portable tests: the program's own SettingsTextProfile
// reads and writes them, so a fake cannot parse differently from the program.
#pragma once
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <string_view>

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

}  // namespace zv::test
