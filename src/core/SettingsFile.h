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

// The text as UTF-16 bytes, a surrogate pair for a character past the basic plane.
std::string EncodeUtf16(std::wstring_view text, bool bigEndian);

enum class TextForm { Ansi, Utf8, Utf8Mark, Utf16Le, Utf16LeMark, Utf16Be, Utf16BeMark };

// A mark; else NUL bytes in alternate places (UTF-16 without a mark); else valid UTF-8 with at
// least one multi-byte sequence; else the ANSI code page.
TextForm DetectTextForm(std::string_view bytes);

// A value as a profile read answers it: a pair of enclosing quotes removed, whole.
std::wstring ProfileText(std::wstring_view raw);
// A number as a profile read answers it: the text as its 30-character buffer holds it, the
// fallback when that is empty, else blanks, a sign, a 0b/0o/0x prefix and digits.
int ProfileNumber(std::optional<std::wstring_view> raw, int fallback);

// A key line of a section as a read answers it: the name, and the value after "=" with the
// blanks around it gone (nothing on a line without "=").
struct SettingsEntry {
  std::wstring_view key;
  std::optional<std::wstring_view> value;
  bool operator==(const SettingsEntry&) const = default;
};

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
  // The key lines of the first section of the name, in order; none when it is missing.
  std::vector<SettingsEntry> Entries(std::wstring_view section) const;
  // A key read as text (a pair of enclosing quotes gone) or as a number; "" or the fallback
  // when missing.
  std::wstring String(std::wstring_view section, std::wstring_view key) const;
  int Number(std::wstring_view section, std::wstring_view key, int fallback) const;
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

// Section and key names are the same without regard to case, as the profile calls compare them.
bool SameSettingsName(std::wstring_view a, std::wstring_view b);

// The settings file: every read answers from its parsed text; only where that text comes from
// and how a save reaches the file differ between a file on disk and one in memory.
class IProfile {
 public:
  virtual ~IProfile() = default;
  // The file as this process reads it now; empty when the file is missing.
  virtual const SettingsText& Text() = 0;
  int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) { return Text().Number(section, key, defaultValue); }
  std::wstring GetString(const wchar_t* section, const wchar_t* key) { return Text().String(section, key); }
  // False when the file could not be written.
  virtual bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) = 0;
  // One save of several keys, written all or none.
  virtual bool WriteValues(const std::vector<ProfileValue>& values) = 0;
  // Why the last save failed.
  virtual SaveProblem LastProblem() const { return SaveProblem::CannotWrite; }
};

// A settings file held in memory: reads and writes go to the text it was given.
class SettingsTextProfile : public IProfile {
 public:
  SettingsTextProfile(SettingsText text, const IAnsiCodePage& ansi) : text_(std::move(text)), ansi_(ansi) {}
  const SettingsText& Text() override { return text_; }
  bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) override;
  // Refuses, as a file service does, values holding a line break.
  bool WriteValues(const std::vector<ProfileValue>& values) override;
  const SettingsText& text() const { return text_; }

 private:
  SettingsText text_;
  const IAnsiCodePage& ansi_;
};

}  // namespace zv
