#include <gtest/gtest.h>

#include <vector>

#include "core/NamedFormats.h"
#include "TestProfile.h"

using namespace zv;

namespace {

using Lines = std::vector<std::wstring>;
using List = std::vector<NamedFormat>;

}  // namespace

// What a settings file yields, and what storing a changed list writes to it.
TEST(NamedFormats, ReadGapsAndWriteBack) {
  const NamedFormat date{L"日付", L"%F_%Y%M%D", L"", L""};
  const NamedFormat version{L"版", L"%F_v%R", L"bak", L"%F_v%R"};
  struct Case {
    const char* what;
    Lines stored;
    List read;
    List saved;  // what the dialog stores
    Lines writes;
  };
  const Case cases[] = {
      {"none stored, none saved: nothing written", {}, {}, {}, {}},
      {"first entries: only the keys with values",
       {}, {}, {date}, {L"Formats:Name1=日付", L"Formats:File1=%F_%Y%M%D"}},
      {"unchanged: nothing written, quotes and blanks as a profile read takes them",
       {L"Name1= \"日付\"", L"File1=%F_%Y%M%D ", L"Ext1=", L"name2=版", L"FILE2=%F_v%R", L"Ext2=bak", L"Folder2=%F_v%R"},
       {date, version}, {date, version}, {}},
      {"gaps close up; a tenth entry, a number with a zero and a name of blanks are no entries",
       {L"Name3=日付", L"File3=%F_%Y%M%D", L"Name10=十", L"Name01=零", L"Name0=零", L"Name5=  ", L"File5=x", L"Name7=版",
        L"File7=%F_v%R", L"Ext7=bak", L"Folder7=%F_v%R", L"Junk=1", L"Name3=後"},
       {date, version}, {date, version},
       // Moved up to 1 and 2; 3 and 7 are cleared; 5 (no name) and the others stay.
       {L"Formats:Name1=日付", L"Formats:File1=%F_%Y%M%D", L"Formats:Name2=版", L"Formats:File2=%F_v%R",
        L"Formats:Ext2=bak", L"Formats:Folder2=%F_v%R", L"Formats:Name3=", L"Formats:File3=", L"Formats:Name7=",
        L"Formats:File7=", L"Formats:Ext7=", L"Formats:Folder7="}},
      {"Name3 without File3 is usable; an added entry clears a key left without a name",
       {L"Name1=日付", L"File2=old", L"Ext2=old"}, {{L"日付", L"", L"", L""}}, {{L"日付", L"", L"", L""}, date},
       {L"Formats:Name2=日付", L"Formats:File2=%F_%Y%M%D", L"Formats:Ext2="}},
      {"reordered: each number rewritten with only what differs",
       {L"Name1=日付", L"File1=%F_%Y%M%D", L"Name2=版", L"File2=%F_v%R", L"Ext2=bak", L"Folder2=%F_v%R"},
       {date, version}, {version, date},
       {L"Formats:Name1=版", L"Formats:File1=%F_v%R", L"Formats:Ext1=bak", L"Formats:Folder1=%F_v%R",
        L"Formats:Name2=日付", L"Formats:File2=%F_%Y%M%D", L"Formats:Ext2=", L"Formats:Folder2="}},
      {"a line without \"=\" is passed over, and the next section's keys are no entries",
       {L"Junk", L"Name1=日付", L"File1=%F_%Y%M%D", L"[Other]", L"Name2=版"}, {date}, {date}, {}},
      {"the ninth is read and moves up", {L"Name9=九", L"File9=%F_9"}, {{L"九", L"%F_9", L"", L""}},
       {{L"九", L"%F_9", L"", L""}},
       {L"Formats:Name1=九", L"Formats:File1=%F_9", L"Formats:Name9=", L"Formats:File9="}},
      {"removed: the last number's keys emptied",
       {L"Name1=日付", L"File1=%F_%Y%M%D", L"Name2=版", L"File2=%F_v%R"},
       {date, {L"版", L"%F_v%R", L"", L""}}, {date}, {L"Formats:Name2=", L"Formats:File2="}},
      {"names and formats the dialog refuses are no entries; their keys stay",
       {L"Name1=a\tb", L"Name2=" + std::wstring(33, L'n'), L"Name3=x", L"File3=a:b", L"Name4=日付", L"File4=%F_%Y%M%D"},
       {date}, {date}, {L"Formats:Name1=日付", L"Formats:File1=%F_%Y%M%D", L"Formats:Name4=", L"Formats:File4="}},
  };
  for (const Case& c : cases) {
    std::wstring file = L"[Formats]\r\n";
    for (const auto& line : c.stored) file += line + L"\r\n";
    test::MemoryProfile profile(file);
    const StoredFormats stored = LoadNamedFormats(profile);
    EXPECT_EQ(stored.List(), c.read) << c.what;
    EXPECT_TRUE(SaveNamedFormats(profile, stored, c.saved)) << c.what;
    Lines writes;
    for (const auto& w : profile.writes) writes.push_back(w.section + L":" + w.key + L"=" + w.value);
    EXPECT_EQ(writes, c.writes) << c.what;
    EXPECT_EQ(profile.saves, c.writes.empty() ? 0 : 1) << c.what;  // one save, none for nothing
  }
}

TEST(NamedFormats, EmptyFormatsFallBackToTheMainOnes) {
  Settings main;
  main.FileNameFormat = L"%F_main";
  main.ExtNameFormat = L"txt";
  main.FolderNameFormat = L"%F_dir";
  const NamedFormat entry{L"版", L"", L"bak", L""};
  const EffectiveFormat f = Effective(&entry, main);
  EXPECT_EQ(f.File, L"%F_main");
  EXPECT_EQ(f.Ext, L"bak");
  EXPECT_EQ(f.Folder, L"%F_dir");
  EXPECT_EQ(Effective(nullptr, main).Ext, L"txt");
  const NamedFormat noExt{L"日付", L"%F_%Y", L"", L""};
  EXPECT_EQ(Effective(&noExt, main).Ext, L"txt");
  const NamedFormat own{L"x", L"a", L"b", L"c"};
  EXPECT_EQ(Effective(&own, main).Folder, L"c");
}

// The checks of the format dialog, and the menu line each entry shows.
TEST(NamedFormats, ChecksAndMenuText) {
  const List list{{L"日付", L"%F_%Y", L"", L""}, {L"Draft", L"%F_d", L"", L""}};
  struct Case {
    NamedFormat entry;
    int self;
    FormatField field;
    const wchar_t* message;
  };
  const Case cases[] = {
      {{L"確認用", L"%F_確認用", L"", L""}, -1, FormatField::None, L""},
      {{L"  ", L"%F", L"", L""}, -1, FormatField::Name, L"書式名を入力してください。"},
      {{L"a\tb", L"%F", L"", L""}, -1, FormatField::Name, L"書式名に不正な文字（改行コード等）が含まれています。"},
      {{L" draft ", L"%F", L"", L""}, -1, FormatField::Name, L"同じ書式名が既にあります。"},
      {{L"draft", L"%F", L"", L""}, 1, FormatField::None, L""},  // itself, being changed
      {{L"x", L"%F:%Y", L"", L""}, -1, FormatField::File, L"書式に \\ / : * ? \" < > | は使えません。"},
      {{L"x", L"%F", L"t?t", L""}, -1, FormatField::Ext, L"書式に \\ / : * ? \" < > | は使えません。"},
      {{L"x", L"%F", L"", L"a\r\nb"}, -1, FormatField::Folder, L"書式に不正な文字（改行コード等）が含まれています。"},
      {{std::wstring(32, L'n'), L"%F", L"", L""}, -1, FormatField::None, L""},
      {{std::wstring(33, L'n'), L"%F", L"", L""}, -1, FormatField::Name, L"書式名は 32 文字以内にしてください。"},
  };
  for (const Case& c : cases) {
    const FormatProblem problem = CheckNamedFormat(c.entry, list, c.self);
    EXPECT_EQ(problem.field, c.field) << c.entry.Name;
    EXPECT_EQ(problem.message, c.message) << c.entry.Name;
  }
  EXPECT_EQ(FormatMenuText(1, L"日付", L"報告書_20261208"), L"&1 日付 \u2014 報告書_20261208");
  EXPECT_EQ(FormatMenuText(0, L"R&D", L"a&b.txt"), L"&0 R&&D \u2014 a&&b.txt");
}

// One proposal per entry, in menu order, each marked only when it is the one in use.
TEST(NamedFormats, MenuEntries) {
  const List list{{L"日付", L"%F_%Y", L"", L""}, {L"版", L"%F_v%R", L"bak", L""}, {L"確認用", L"", L"", L""}};
  auto propose = [](const NamedFormat* f) { return f ? L"p-" + f->Name : std::wstring(L"main"); };
  struct Case {
    std::wstring inUse;
    std::vector<int> marked;
  };
  const Case cases[] = {{L"", {0}}, {L"版", {2}}, {L"消えた", {}}};
  for (const Case& c : cases) {
    const auto entries = FormatMenuEntries(list, c.inUse, propose);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].text, L"&0 標準 \u2014 main");
    EXPECT_EQ(entries[1].text, L"&1 日付 \u2014 p-日付");
    EXPECT_EQ(entries[3].text, L"&3 確認用 \u2014 p-確認用");
    std::vector<int> marked;
    for (size_t i = 0; i < entries.size(); ++i)
      if (entries[i].inUse) marked.push_back(static_cast<int>(i));
    EXPECT_EQ(marked, c.marked) << c.inUse;
  }
  // Never more than nine named ones, whatever the caller holds.
  const auto twelve = FormatMenuEntries(List(12, list[0]), L"", propose);
  ASSERT_EQ(twelve.size(), 10u);
  EXPECT_EQ(twelve[9].text, L"&9 日付 \u2014 p-日付");
}
