#include "format/TokenMenu.h"

#include <algorithm>
#include <iterator>

namespace zv {

namespace {

using K = TokenItemKind;
using T = TokenItem;

// Every text of the menu.
struct Texts {
  const wchar_t* fmtFile = L"%&F  コピー元ファイル名（拡張子を除く）";
  const wchar_t* fmtFolder = L"%&F  コピー元フォルダ名";
  const wchar_t* timeStamp = L"     コピー元のタイムスタンプ(&U)";
  const wchar_t* timeStampFile = L"     コピー元ファイルのタイムスタンプ(&U)";
  const wchar_t* timeStampFolder = L"     コピー元フォルダのタイムスタンプ(&U)";
};
constexpr Texts kText;

constexpr TokenMenuItem kItems[] = {
    {T::mnuFmt0, 0, K::Token, kText.fmtFile, L"%F"},
    {T::mnuFmt1, 0, K::Token, L"%&X  コピー元ファイルの拡張子", L"%X"},
    {T::mnuSysDate, 0, K::Submenu, L"     現在の日付(&D)", L""},
    {T::mnuYear, 1, K::Submenu, L"年(&Y)", L""},
    {T::mnuYY0, 2, K::Token, L"%&Y  西暦４桁", L"%Y"},
    {T::mnuYY1, 2, K::Token, L"%&y  西暦下２桁", L"%y"},
    {T::mnuYY2, 2, K::Token, L"%&E  和暦２桁(01 ～ 99)", L"%E"},
    {T::mnuYY3, 2, K::Token, L"%&e  和暦１桁(1 ～ 99)", L"%e"},
    {T::mnuNengo, 2, K::Submenu, L"     年号(&G)", L""},
    {T::mnuNG0, 3, K::Token, L"%&G  英字１桁(M、T、S、H、R)", L"%G"},
    {T::mnuNG1, 3, K::Token, L"%&g  漢字２桁(明治、大正、昭和、平成、令和)", L"%g"},
    {T::mnuMonth, 1, K::Submenu, L"月(&M)", L""},
    {T::mnuMM0, 2, K::Token, L"%&M  ２桁(01 ～ 12)", L"%M"},
    {T::mnuMM1, 2, K::Token, L"%&m  １桁(1 ～ 12)", L"%m"},
    {T::mnuDay, 1, K::Submenu, L"日(&D)", L""},
    {T::mnuDD0, 2, K::Token, L"%&D  ２桁(01 ～ 31)", L"%D"},
    {T::mnuDD1, 2, K::Token, L"%&d  １桁(1 ～ 31)", L"%d"},
    {T::mnuWeekDay, 1, K::Submenu, L"曜日(&W)", L""},
    {T::mnuWW0, 2, K::Token, L"%&W  英字省略形(Sun ～ Sat)", L"%W"},
    {T::mnuWW1, 2, K::Token, L"%&w  漢字省略形(日 ～ 土)", L"%w"},
    {T::mnuSysTime, 0, K::Submenu, L"     現在の時刻(&T)", L""},
    {T::mnuHour, 1, K::Submenu, L"時(&H)", L""},
    {T::mnuHH0, 2, K::Token, L"%&H  ２桁(00 ～ 23)", L"%H"},
    {T::mnuHH1, 2, K::Token, L"%&h  １桁(0 ～ 23)", L"%h"},
    {T::mnuMinute, 1, K::Submenu, L"分(&N)", L""},
    {T::mnuNN0, 2, K::Token, L"%&N  ２桁(00 ～ 59)", L"%N"},
    {T::mnuNN1, 2, K::Token, L"%&n  １桁(0 ～ 59)", L"%n"},
    {T::mnuSecond, 1, K::Submenu, L"秒(&S)", L""},
    {T::mnuSS0, 2, K::Token, L"%&S  ２桁(00 ～ 59)", L"%S"},
    {T::mnuSS1, 2, K::Token, L"%&s  １桁(0 ～ 59)", L"%s"},
    {T::mnuTimeStamp, 0, K::Submenu, kText.timeStamp, L""},
    {T::mnuTS0, 1, K::Token, L"%&T  日付８桁", L"%T"},
    {T::mnuTS1, 1, K::Token, L"%&U  日付６桁", L"%U"},
    {T::mnuTS2, 1, K::Token, L"%&t  時刻６桁", L"%t"},
    {T::mnuAutoNo, 0, K::Token, L"%&R  連番", L"%R"},
    {T::mnuSeparator, 0, K::Separator, L"", L""},
    {T::mnuCancel, 0, K::Cancel, L"     キャンセル(&C)", L""},
};

// An item's command id is its place in the table, so the table keeps the enum's order.
constexpr bool InItemOrder() {
  for (size_t i = 0; i < std::size(kItems); ++i)
    if (static_cast<size_t>(kItems[i].id) != i) return false;
  return std::size(kItems) == static_cast<size_t>(T::mnuCancel) + 1;
}
static_assert(InItemOrder(), "kItems lists every TokenItem, in order");

}  // namespace

std::span<const TokenMenuItem> TokenMenuItems() { return kItems; }

const TokenMenuItem* TokenMenuItemOfCommand(int commandId) {
  const int pos = commandId - kTokenCommandBase;
  if (pos < 0 || pos >= static_cast<int>(std::size(kItems))) return nullptr;
  return &kItems[pos];
}

TokenMenuWording TokenMenuWordingFor(int menuTargetIndex) {
  if (menuTargetIndex != 0) return {kText.fmtFolder, kText.timeStampFolder, false};
  return {kText.fmtFile, kText.timeStampFile, true};
}

std::optional<TokenInsertion> InsertTokenText(std::wstring_view text, int caretPos, std::wstring_view token) {
  if (caretPos < 0) return std::nullopt;
  const size_t pos = std::min(static_cast<size_t>(caretPos), text.size());
  std::wstring out;
  out.reserve(text.size() + token.size());
  out.append(text.substr(0, pos)).append(token).append(text.substr(pos));
  return TokenInsertion{std::move(out), static_cast<int>(pos + token.size())};
}

}  // namespace zv
