// The settings file engine on bytes: every encoding an editor saves, every line end, values
// in and beyond the code page; the lines it does not change stay byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "FirstRunFile.h"
#include "TestProfile.h"

using namespace zv;
using zv::test::kAnsi;
using zv::test::Utf8;

namespace {

std::string Utf16(std::wstring_view text, bool bigEndian) {
  std::string out;
  auto unit = [&](uint32_t u) {
    const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
    out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  };
  for (wchar_t w : text) {
    const auto c = static_cast<uint32_t>(w);
    if (c >= 0x10000) unit(0xD800 + ((c - 0x10000) >> 10)), unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    else unit(c);
  }
  return out;
}

std::string Bytes(TextForm form, std::wstring_view text) {
  switch (form) {
    case TextForm::Ansi: return kAnsi.Encode(text).value_or("<does not fit>");
    case TextForm::Utf8: return Utf8(text);
    case TextForm::Utf8Mark: return "\xEF\xBB\xBF" + Utf8(text);
    case TextForm::Utf16Le: return Utf16(text, false);
    case TextForm::Utf16LeMark: return "\xFF\xFE" + Utf16(text, false);
    case TextForm::Utf16Be: return Utf16(text, true);
    case TextForm::Utf16BeMark: return "\xFE\xFF" + Utf16(text, true);
  }
  return {};
}

// A file kept by hand: a comment, a key the program never writes, two sections.
std::wstring File(const std::wstring& eol, const std::wstring& value, const std::wstring& added = L"") {
  return L"; コピー" + eol + L"[Option]" + eol + L"PrevInstance=1" + eol + L"FileNameFormat=" + value + eol + added +
         eol + L"[SYSTEM]" + eol + L"HkcrExt=TXT" + eol;
}

}  // namespace

TEST(SettingsFile, EncodingsLineEndsAndValues) {
  const TextForm forms[] = {TextForm::Ansi,    TextForm::Utf8,        TextForm::Utf8Mark,   TextForm::Utf16Le,
                            TextForm::Utf16LeMark, TextForm::Utf16Be, TextForm::Utf16BeMark};
  const std::wstring eols[] = {L"\r\n", L"\n", L"\r"};
  const std::wstring values[] = {L"%F_コピー", L"한국어_%Y", L"😀_%N", std::wstring(700, L'x') + L"報告"};
  for (const TextForm form : forms) {
    for (const auto& eol : eols) {
      for (const auto& value : values) {
        SCOPED_TRACE(testing::Message() << "form " << static_cast<int>(form) << " eol " << static_cast<int>(eol.back())
                                        << " value " << value.size());
        const bool fits = form != TextForm::Ansi || kAnsi.Encode(value);
        // Read as written, whole.
        if (fits) {
          const SettingsText text(Bytes(form, File(eol, value)), kAnsi);
          EXPECT_EQ(text.form(), form);
          SettingsTextProfile profile(text, kAnsi);
          Settings s;
          LoadSettings(profile, s);
          EXPECT_EQ(s.FileNameFormat, value);
          EXPECT_EQ(s.HkcrExtList, std::vector<std::wstring>{L"TXT"});
          EXPECT_EQ(ReadPrevInstance(profile), 1);
        }
        // Written back: only the changed line differs and the new key follows the section's
        // last line; an ANSI file that cannot hold the value turns UTF-16 LE with its mark.
        const SettingsText old(Bytes(form, File(eol, L"old")), kAnsi);
        const std::string after =
            old.With({{L"Option", L"FileNameFormat", value}, {L"option", L"AutoNo", L"2"}}, kAnsi);
        EXPECT_EQ(after, Bytes(fits ? form : TextForm::Utf16LeMark, File(eol, value, L"AutoNo=2" + eol)));
      }
    }
  }
}

// A last line without its end gets one before what follows it.
TEST(SettingsFile, AddsAfterALastLineWithoutItsEnd) {
  const SettingsText text("[Option]\nA=1", kAnsi);
  EXPECT_EQ(text.With({{L"Option", L"B", L"2"}, {L"SYSTEM", L"C", L"3"}}, kAnsi), "[Option]\nA=1\nB=2\n[SYSTEM]\nC=3\n");
  EXPECT_EQ(text.With({{L"SYSTEM", L"C", L"3"}}, kAnsi), "[Option]\nA=1\n[SYSTEM]\nC=3\n");
  // A file that is only its mark (an editor's empty file) keeps the one mark.
  EXPECT_EQ(SettingsText("\xEF\xBB\xBF", kAnsi).With({{L"Option", L"A", L"1"}}, kAnsi), "\xEF\xBB\xBF[Option]\r\nA=1\r\n");
  // A section ends at the next one: its key there is another's, and a new one goes before it.
  const SettingsText two("[Option]\r\nA=1\r\n[SYSTEM]\r\nB=9\n", kAnsi);
  EXPECT_EQ(two.With({{L"Option", L"B", L"2"}}, kAnsi), "[Option]\r\nA=1\r\nB=2\r\n[SYSTEM]\r\nB=9\n");
  // A changed line keeps its own line end, not the file's first one.
  const SettingsText mixed("[Option]\r\nA=1\r\nB=2\rC=3\nD=4\r\n", kAnsi);
  EXPECT_EQ(mixed.With({{L"Option", L"B", L"7"}, {L"Option", L"C", L"8"}}, kAnsi), "[Option]\r\nA=1\r\nB=7\rC=8\nD=4\r\n");
  // A key line without "=" answers nothing and is the line a write replaces.
  SettingsTextProfile profile(SettingsText("[Option]\nPrevInstance\nPrevInstance=1\n", kAnsi), kAnsi);
  EXPECT_EQ(ReadPrevInstance(profile), 0);
  // No writer puts a line break into the file, whatever the value holds.
  Settings injected;
  injected.OpenAplPath = L"a\r\n[Option]\r\nPrevInstance=1";
  EXPECT_FALSE(SaveSettings(profile, injected));
  EXPECT_FALSE(profile.WriteString(L"Option", L"X\r[Option]", L"1"));
  EXPECT_EQ(profile.text().bytes(), "[Option]\nPrevInstance\nPrevInstance=1\n");
}

// Rows kept from the profile calls' rules, and where the old reads went wrong.
TEST(SettingsFile, ReadingRules) {
  struct Case {
    const char* what;
    std::string file;
    int Settings::*number;
    int expected;
    std::wstring text;  // FileNameFormat, when number is null
  };
  const std::string a511(511, 'a');
  const Case cases[] = {
      {"quoted number after a tab", "[Option]\r\nAutoNo=\"\t5\"\r\n", &Settings::AutoNo, 5, L""},
      {"number forms", "[Option]\r\nAutoNo=0x1F\r\n", &Settings::AutoNo, 31, L""},
      {"empty keeps the default", "[Option]\r\nTopMost=\r\n", &Settings::TopMost, 1, L""},
      {"empty quotes keep the default", "[Option]\r\nDispExt=\"\"\r\n", &Settings::DispExt, 1, L""},
      {"first line wins, any case", "[option]\nautono=3\nAUTONO=4\n", &Settings::AutoNo, 3, L""},
      {"first section wins", "[Option]\nAutoNo=3\n[OPTION]\nAutoNo=4\n", &Settings::AutoNo, 3, L""},
      {"a line without = hides later ones", "[Option]\nAutoNo\nAutoNo=4\n", &Settings::AutoNo, 0, L""},
      {"comment", "[Option]\n;AutoNo=4\n", &Settings::AutoNo, 0, L""},
      {"the next section's key", "[Option]\nTopMost=0\n[SYSTEM]\nAutoNo=4\n", &Settings::AutoNo, 0, L""},
      {"blanks around", "  [ Option ]  \n  AutoNo  =  6  \n", &Settings::AutoNo, 6, L""},
      {"quoted value exactly filling the old limit", "[Option]\r\nFileNameFormat=\"" + a511 + "\"\r\n", nullptr, 0,
       std::wstring(511, L'a')},
      {"quotes kept when unmatched", "[Option]\r\nFileNameFormat=\"%F\r\n", nullptr, 0, L"\"%F"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SettingsTextProfile profile(SettingsText(c.file, kAnsi), kAnsi);
    Settings s;
    LoadSettings(profile, s);
    if (c.number) EXPECT_EQ(s.*c.number, c.expected);
    else EXPECT_EQ(s.FileNameFormat, c.text);
  }
}

TEST(SettingsFile, DetectsTheEncoding) {
  using namespace std::string_literals;
  struct Case {
    std::string bytes;
    TextForm form;
  };
  const Case cases[] = {
      {"[Option]\r\n", TextForm::Ansi},
      {"[Option]\r\nA=\x83\x52\r\n", TextForm::Ansi},           // Shift_JIS is no valid UTF-8
      {"[Option]\r\nA=\xE3\x82\xB3\r\n", TextForm::Utf8},       // コ
      {"[Option]\r\nA=\xE3\x82\r\n", TextForm::Ansi},           // cut short
      {"[Option]\r\nA=\xC0\xAF\r\n", TextForm::Ansi},           // overlong
      {"[\0O\0]\0"s, TextForm::Utf16Le},
      {"\0[\0O\0]"s, TextForm::Utf16Be},
      {"PK\x03\x04\0\0\0\0"s, TextForm::Ansi},                  // NULs in both places: binary
  };
  for (const auto& c : cases) EXPECT_EQ(DetectTextForm(c.bytes), c.form) << testing::PrintToString(c.bytes);
}

// Every key goes out and comes back through its row; a new file is exactly today's.
TEST(SettingsFile, TableRoundTripsEveryKeyAndWritesTodaysFirstRunFile) {
  SettingsTextProfile profile(SettingsText(), kAnsi);
  ASSERT_TRUE(WriteFirstRunDefaults(profile));
  EXPECT_EQ(profile.text().bytes(), test::kFirstRunFile);

  Settings changed;  // every value away from its default
  changed.OpenOriginalCheck = 1, changed.OpenFolderCheck = 0, changed.DispExt = 0, changed.AutoNo = 2;
  changed.StartUpPos = 4, changed.StartUpLeft = -15, changed.StartUpTop = 3000, changed.IMEMode = 1;
  changed.TopMost = 0, changed.NotConfirmReplaceFile = 1, changed.ShellExecOpen = 1, changed.FolderOnly = 1;
  changed.Attribute = 1, changed.AttrArchive = 1, changed.AttrReadOnly = 1, changed.AttrHidden = 1;
  changed.AttrSystem = 1, changed.OpenFileExt1 = L"a", changed.OpenFileExt2 = L"b", changed.OpenAplPath = L"c";
  changed.ExtNameFormat = L"d", changed.FileNameFormat = L"e", changed.FolderNameFormat = L"f";
  changed.CopyToFolder = 1, changed.CopyToFolderPath = L"g", changed.RegisterFor = 2, changed.SkipUsedNo = 0;
  changed.HkcrExtList = {L"TXT", L"DOC"}, changed.HkcrExtEmpty = false;
  ASSERT_TRUE(SaveSettings(profile, changed));
  ASSERT_TRUE(SaveStartUpPosition(profile, changed.StartUpLeft, changed.StartUpTop));
  ASSERT_TRUE(SaveHkcrExt(profile, changed));
  Settings loaded;
  LoadSettings(profile, loaded);
  EXPECT_TRUE(loaded == changed);
}
