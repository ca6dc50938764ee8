#include "copy/NameFormat.h"

#include <limits>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "copy/Era.h"
#include "core/PathText.h"

namespace zv {

namespace {

// Everything a token may draw on during one expansion.
struct TokenValues {
  const std::wstring& baseName;
  const std::wstring& extension;
  const DateTime& now;
  Era era;
  DateTime stamp;      // filled only when a time-stamp token is present
  std::wstring number; // filled only when %R is present
};

enum class Needs { Nothing, TimeStamp, RunningNumber };

struct TokenRule {
  wchar_t letter;  // the character after "%"
  Needs needs;
  void (*append)(std::wstring& out, const TokenValues& v);
};

// Decimal, zero-padded to at least `width` digits; the sign stays in front of the padding.
std::wstring Digits(long long value, int width) {
  const bool negative = value < 0;
  unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                          : static_cast<unsigned long long>(value);
  std::wstring text = std::to_wstring(magnitude);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), L'0');
  if (negative) text.insert(0, 1, L'-');
  return text;
}

std::wstring LastTwoDigits(int year) { return Digits(year < 0 ? -(year % 100) : year % 100, 2); }

int WeekdayIndex(int weekday) { return ((weekday % 7) + 7) % 7; }

constexpr const wchar_t* kWeekdayAbbrev[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
constexpr const wchar_t* kWeekdayKanji[7] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};

// The one token table. Anything after "%" that is not a letter here is literal text.
constexpr TokenRule kTokens[] = {
    {L'F', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += v.baseName; }},
    // With no extension "%X" stays in the name as typed.
    {L'X', Needs::Nothing,
     [](std::wstring& o, const TokenValues& v) { o += v.extension.empty() ? L"%X" : v.extension; }},
    {L'Y', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.year, 4); }},
    {L'y', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += LastTwoDigits(v.now.year); }},
    {L'E', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.era.year, 2); }},
    {L'e', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.era.year, 0); }},
    {L'M', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.month, 2); }},
    {L'm', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.month, 0); }},
    {L'D', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.day, 2); }},
    {L'd', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.day, 0); }},
    {L'H', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.hour, 2); }},
    {L'h', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.hour, 0); }},
    {L'N', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.minute, 2); }},
    {L'n', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.minute, 0); }},
    {L'S', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.second, 2); }},
    {L's', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += Digits(v.now.second, 0); }},
    {L'G', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += v.era.entry->initial; }},
    {L'g', Needs::Nothing, [](std::wstring& o, const TokenValues& v) { o += v.era.entry->name; }},
    {L'W', Needs::Nothing,
     [](std::wstring& o, const TokenValues& v) { o += kWeekdayAbbrev[WeekdayIndex(v.now.weekday)]; }},
    {L'w', Needs::Nothing,
     [](std::wstring& o, const TokenValues& v) { o += kWeekdayKanji[WeekdayIndex(v.now.weekday)]; }},
    {L'T', Needs::TimeStamp,
     [](std::wstring& o, const TokenValues& v) {
       o += Digits(v.stamp.year, 4) + Digits(v.stamp.month, 2) + Digits(v.stamp.day, 2);
     }},
    {L'U', Needs::TimeStamp,
     [](std::wstring& o, const TokenValues& v) {
       o += LastTwoDigits(v.stamp.year) + Digits(v.stamp.month, 2) + Digits(v.stamp.day, 2);
     }},
    {L't', Needs::TimeStamp,
     [](std::wstring& o, const TokenValues& v) {
       o += Digits(v.stamp.hour, 2) + Digits(v.stamp.minute, 2) + Digits(v.stamp.second, 2);
     }},
    {L'R', Needs::RunningNumber, [](std::wstring& o, const TokenValues& v) { o += v.number; }},
};

const TokenRule* FindToken(wchar_t letter) {
  for (const auto& rule : kTokens)
    if (rule.letter == letter) return &rule;
  return nullptr;
}

// A run of literal format text, or one token.
struct Piece {
  std::wstring_view literal;
  const TokenRule* token = nullptr;
};

// Left to right, no overlaps: "%%Y" is a literal "%" and the token "%Y".
std::vector<Piece> ScanFormat(std::wstring_view format) {
  std::vector<Piece> pieces;
  size_t literalStart = 0;
  size_t i = 0;
  while (i < format.size()) {
    const TokenRule* token =
        format[i] == L'%' && i + 1 < format.size() ? FindToken(format[i + 1]) : nullptr;
    if (!token) {
      ++i;
      continue;
    }
    if (i > literalStart) pieces.push_back({format.substr(literalStart, i - literalStart)});
    pieces.push_back({{}, token});
    i += 2;
    literalStart = i;
  }
  if (literalStart < format.size()) pieces.push_back({format.substr(literalStart)});
  return pieces;
}

bool HasTokenNeeding(const std::vector<Piece>& pieces, Needs needs) {
  for (const auto& p : pieces)
    if (p.token && p.token->needs == needs) return true;
  return false;
}

std::wstring EmptyWhenBlank(std::wstring text) {
  if (text.find_first_not_of(L' ') == std::wstring::npos) text.clear();
  return text;
}

std::wstring Render(const std::vector<Piece>& pieces, const TokenValues& values) {
  std::wstring result;
  for (const auto& p : pieces) {
    if (p.token)
      p.token->append(result, values);
    else
      result += p.literal;
  }
  return EmptyWhenBlank(std::move(result));
}

// Two names the file system takes for one give the same key (as SameFileName compares them).
std::wstring NameKey(std::wstring_view name) { return FileSystemUpper(DropTrailingDotsAndBlanks(name)); }

// The first number from `next` on whose name is not in the folder, or `next` itself when none of
// the numbers tried is free; `values.number` is left holding the number returned.
int32_t FirstFreeNumber(const std::vector<Piece>& pieces, TokenValues& values, int32_t next, int width,
                        const FreeNameSearch& search) {
  if (!search.readFolderNames) return next;
  FreeNameSearch::Taken own;
  FreeNameSearch::Taken& names = search.taken ? *search.taken : own;
  if (!names.read) {
    for (const auto& name : search.readFolderNames()) names.keys.insert(NameKey(name));
    names.read = true;
  }
  const std::unordered_set<std::wstring>& taken = names.keys;
  if (taken.empty()) return next;
  const std::wstring suffix = search.extension.empty() ? std::wstring() : L"." + search.extension;
  for (long long number = next; number < static_cast<long long>(next) + kFreeNumberTries &&
                                number <= std::numeric_limits<int32_t>::max();
       ++number) {
    values.number = Digits(number, width);
    if (!taken.contains(NameKey(Render(pieces, values) + suffix))) return static_cast<int32_t>(number);
  }
  values.number = Digits(next, width);
  return next;
}

}  // namespace

std::wstring ExpandNameFormat(const std::wstring& format, const std::wstring& baseName,
                              const std::wstring& extension, int autoNo, int32_t& runningNumber,
                              const DateTime& now,
                              const std::function<std::optional<DateTime>()>& readSourceTimeStamp,
                              const FreeNameSearch* freeName) {
  if (format.empty()) return EmptyWhenBlank(baseName);

  const auto pieces = ScanFormat(format);
  TokenValues values{baseName, extension, now, EraOf(now), {}, {}};

  if (HasTokenNeeding(pieces, Needs::TimeStamp)) {
    const auto stamp = readSourceTimeStamp ? readSourceTimeStamp() : std::nullopt;
    if (!stamp) return baseName;
    values.stamp = *stamp;
  }

  if (HasTokenNeeding(pieces, Needs::RunningNumber)) {
    if (runningNumber == std::numeric_limits<int32_t>::max()) return baseName;
    ++runningNumber;  // stays advanced even when the digit count below fails
    // A hand-edited width outside the stored 0 to 2 loses only the padding, not the format.
    const int digits = autoNo >= 0 && autoNo <= kMaxAutoNo ? autoNo + 1 : 0;
    values.number = Digits(runningNumber, digits);
    if (freeName) runningNumber = FirstFreeNumber(pieces, values, runningNumber, digits, *freeName);
  }
  return Render(pieces, values);
}

}  // namespace zv
