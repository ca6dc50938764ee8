// The settings file as text: its encoding found from the bytes, its lines read with the
// profile rules, and new bytes made for changed keys with every other line kept byte for byte.
// Portable: the ANSI code page is reached through IAnsiCodePage.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Settings.h"

namespace zv {

class IAnsiCodePage {
 public:
  virtual ~IAnsiCodePage() = default;
  virtual std::wstring Decode(std::string_view bytes) const = 0;
  // Nothing when a character has no exact form in the code page.
  virtual std::optional<std::string> Encode(std::wstring_view text) const = 0;
};

enum class TextForm { Ansi, Utf8, Utf8Mark, Utf16Le, Utf16LeMark, Utf16Be, Utf16BeMark };

// A mark; else NUL bytes in alternate places (UTF-16 without a mark); else valid UTF-8 with at
// least one multi-byte sequence; else the ANSI code page.
TextForm DetectTextForm(std::string_view bytes);

// A value as a profile read answers it: a pair of enclosing quotes removed, whole.
std::wstring ProfileText(std::wstring_view raw);
// A number as a profile read answers it: the text as its 30-character buffer holds it, the
// fallback when that is empty, else blanks, a sign, a 0b/0o/0x prefix and digits.
int ProfileNumber(std::optional<std::wstring_view> raw, int fallback);

class SettingsText {
 public:
  SettingsText() = default;  // a file that does not exist yet
  SettingsText(std::string bytes, const IAnsiCodePage& ansi);

  TextForm form() const { return form_; }
  const std::string& bytes() const { return bytes_; }
  // The value after "=" with the blanks around it gone, from the first line of the key in the
  // first section of the name (both without regard to case); nothing when missing or when
  // that line has no "=".
  std::optional<std::wstring_view> Find(std::wstring_view section, std::wstring_view key) const;
  // The section's lines as a profile section read lists them: "key=value" each ended by a NUL.
  std::wstring SectionLines(std::wstring_view section) const;
  // No NUL in the text and an [Option] or [SYSTEM] section line, or no text at all.
  bool IsSettingsFile() const;
  // The file with these values set, in order: a key's line is replaced in place, a new key
  // goes after the last line of its section, a new section at the end. The encoding and line
  // ends stay; ANSI turns UTF-16 LE with its mark only when a line does not fit.
  std::string With(const std::vector<ProfileValue>& values, const IAnsiCodePage& ansi) const;

 private:
  enum class Kind { Blank, Section, Comment, Key };
  struct Line {
    size_t byteBegin = 0, byteEnd = 0, byteNext = 0;  // content, then its line end
    size_t textBegin = 0, textEnd = 0, textNext = 0;
    Kind kind = Kind::Blank;
    size_t nameBegin = 0, nameEnd = 0;  // in text_
    size_t equals = std::wstring::npos;
    size_t valueBegin = 0, valueEnd = 0;
  };
  void ReadLines();
  size_t FindSection(std::wstring_view section) const;  // index of its line, or npos
  size_t FindKey(size_t sectionLine, std::wstring_view key) const;
  std::wstring_view Name(const Line& line) const { return std::wstring_view(text_).substr(line.nameBegin, line.nameEnd - line.nameBegin); }

  std::string bytes_;
  std::wstring text_;
  std::vector<Line> lines_;
  TextForm form_ = TextForm::Ansi;
  std::wstring lineEnd_ = L"\r\n";
};

// A settings file held in memory: reads and writes go to the text it was given.
class SettingsTextProfile : public IProfile {
 public:
  SettingsTextProfile(SettingsText text, const IAnsiCodePage& ansi) : text_(std::move(text)), ansi_(ansi) {}
  int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) override;
  std::wstring GetString(const wchar_t* section, const wchar_t* key) override;
  std::wstring GetSection(const wchar_t* section) override;
  bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) override;
  // Refuses, as a file service does, values holding a line break.
  bool WriteValues(const std::vector<ProfileValue>& values) override;
  const SettingsText& text() const { return text_; }

 private:
  SettingsText text_;
  const IAnsiCodePage& ansi_;
};

}  // namespace zv
