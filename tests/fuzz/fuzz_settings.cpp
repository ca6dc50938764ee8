// Arbitrary bytes as a settings file: written back unchanged they stay byte for byte; one key
// set reads back as set, every other key reads as before, and no other line's bytes change.
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <optional>
#include <string>
#include <string_view>

#include "core/SettingsFile.h"

namespace {

// Every byte stands for the character of its value, so that any file reads and writes exactly.
class Latin1 : public zv::IAnsiCodePage {
 public:
  std::wstring Decode(std::string_view bytes) const override {
    std::wstring text;
    for (char c : bytes) text.push_back(static_cast<unsigned char>(c));
    return text;
  }
  std::optional<std::string> Encode(std::wstring_view text) const override {
    std::string bytes;
    for (wchar_t c : text) {
      if (static_cast<uint32_t>(c) > 0xFF) return std::nullopt;
      bytes.push_back(static_cast<char>(c));
    }
    return bytes;
  }
};

bool SameAscii(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Latin1 ansi;
  if (size < 2) return 0;
  // The first two bytes pick the key and its value; the rest is the file.
  const std::wstring key = L"K" + std::wstring(1, static_cast<wchar_t>(L'a' + data[0] % 26));
  const std::wstring value = L"v" + std::to_wstring(data[1]);
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  const zv::SettingsText before(bytes, ansi);
  if (before.With({}, ansi) != bytes) __builtin_trap();

  const std::string written = before.With({{L"Option", key, value}}, ansi);
  const zv::SettingsText after(written, ansi);
  if (after.form() != before.form()) return 0;  // a UTF-16 guess that the new line tipped
  const auto read = after.Find(L"Option", key);
  if (!read || *read != value) __builtin_trap();
  // Every other key of the section as before.
  for (const auto& entry : before.Entries(L"Option")) {
    if (SameAscii(entry.key, key)) continue;
    if (after.Find(L"Option", entry.key) != before.Find(L"Option", entry.key)) __builtin_trap();
  }
  if (after.Entries(L"SYSTEM") != before.Entries(L"SYSTEM")) __builtin_trap();
  // In one-byte forms: what differs is one line's content, or lines put in at one place.
  if (before.form() == zv::TextForm::Ansi || before.form() == zv::TextForm::Utf8 || before.form() == zv::TextForm::Utf8Mark) {
    size_t same = 0;
    while (same < bytes.size() && same < written.size() && bytes[same] == written[same]) ++same;
    size_t tail = 0;
    while (tail < bytes.size() - same && tail < written.size() - same &&
           bytes[bytes.size() - 1 - tail] == written[written.size() - 1 - tail])
      ++tail;
    if (bytes.substr(same, bytes.size() - same - tail).find_first_of("\r\n") != std::string::npos) __builtin_trap();
  }
  return 0;
}
