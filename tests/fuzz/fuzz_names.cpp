// Arbitrary formats, names and settings through the expansion and the name checks.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "copy/NameCheck.h"
#include "copy/NameFormat.h"
#include "core/PathText.h"

using namespace zv;

namespace {

// Pairs of bytes as UTF-16 code units, as the program's text is.
std::wstring WideText(FuzzedDataProvider& in) {
  const std::string bytes = in.ConsumeRandomLengthString(600);
  std::wstring text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<wchar_t>(static_cast<uint8_t>(bytes[i]) |
                                        (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  return text;
}

DateTime AnyDate(FuzzedDataProvider& in) {
  DateTime d;
  d.year = in.ConsumeIntegralInRange(0, 65535);
  d.month = in.ConsumeIntegralInRange(-100, 100);
  d.day = in.ConsumeIntegralInRange(-100, 100);
  d.hour = in.ConsumeIntegralInRange(-100, 100);
  d.minute = in.ConsumeIntegralInRange(-100, 100);
  d.second = in.ConsumeIntegralInRange(-100, 100);
  d.weekday = in.ConsumeIntegral<int>();
  return d;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int autoNo = in.ConsumeBool() ? in.ConsumeIntegral<int>() : in.ConsumeIntegralInRange(-3, 3);
  int32_t number = in.ConsumeBool() ? in.ConsumeIntegral<int32_t>() : INT32_MAX - in.ConsumeIntegralInRange(0, 2);
  const DateTime now = AnyDate(in);
  const bool stampReadable = in.ConsumeBool();
  const DateTime stamp = AnyDate(in);
  const bool folderMode = in.ConsumeBool();
  const int copyToFolder = in.ConsumeIntegralInRange(0, 1);
  const std::wstring format = WideText(in), base = WideText(in), ext = WideText(in);
  const std::wstring name = WideText(in), newExt = WideText(in), folder = WideText(in);
  std::wstring copyToFolderPath = WideText(in);

  int reads = 0;
  const int32_t before = number;
  const std::wstring expanded =
      ExpandNameFormat(format, base, ext, autoNo, number, now, [&]() -> std::optional<DateTime> {
        ++reads;
        if (!stampReadable) return std::nullopt;
        return stamp;
      });
  Check(reads <= 1);
  Check(number == before || (before != INT32_MAX && number == before + 1));
  // Text without "%" is all literal; the empty format stands for the base name.
  if (!format.empty() && format.find(L'%') == std::wstring::npos)
    Check(expanded == format || (expanded.empty() && format.find_first_not_of(L' ') == std::wstring::npos));

  const SourceRecord source{folder + base, base, folderMode ? L"" : ext, folder, folderMode};
  const std::wstring pathBefore = copyToFolderPath;
  const NameCheckInput check{name, newExt, folderMode, &source, copyToFolder};
  const auto result = CheckNewName(
      check, copyToFolderPath,
      [](const std::wstring& p) { return p.find(L'?') == std::wstring::npos ? ToUpperText(p) : std::wstring(); });
  Check(result.ok() == result.message.empty());
  Check(result.failedCheck >= 0 && result.failedCheck <= 9);
  Check(copyToFolderPath == pathBefore || copyToFolderPath == pathBefore + L"\\");
  Check(IsReservedDeviceName(expanded) == IsReservedDeviceName(ToLowerText(expanded)));
  (void)ComposeTargetPath(check, copyToFolderPath);
  return 0;
}
