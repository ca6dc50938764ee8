#include "format/TokenMenu.h"

#include <algorithm>
#include <iterator>

namespace zv {

namespace {

using K = TokenItemKind;

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
    {0, K::Token, L"mnuFmt", 0, kText.fmtFile, L"%F"},
    {0, K::Token, L"mnuFmt", 1, L"%&X  コピー元ファイルの拡張子", L"%X"},
    {0, K::Submenu, L"mnuSysDate", -1, L"     現在の日付(&D)", L""},
    {1, K::Submenu, L"mnuYear", -1, L"年(&Y)", L""},
    {2, K::Token, L"mnuYY", 0, L"%&Y  西暦４桁", L"%Y"},
    {2, K::Token, L"mnuYY", 1, L"%&y  西暦下２桁", L"%y"},
    {2, K::Token, L"mnuYY", 2, L"%&E  和暦２桁(01 ～ 99)", L"%E"},
    {2, K::Token, L"mnuYY", 3, L"%&e  和暦１桁(1 ～ 99)", L"%e"},
    {2, K::Submenu, L"mnuNengo", -1, L"     年号(&G)", L""},
    {3, K::Token, L"mnuNG", 0, L"%&G  英字１桁(M、T、S、H、R)", L"%G"},
    {3, K::Token, L"mnuNG", 1, L"%&g  漢字２桁(明治、大正、昭和、平成、令和)", L"%g"},
    {1, K::Submenu, L"mnuMonth", -1, L"月(&M)", L""},
    {2, K::Token, L"mnuMM", 0, L"%&M  ２桁(01 ～ 12)", L"%M"},
    {2, K::Token, L"mnuMM", 1, L"%&m  １桁(1 ～ 12)", L"%m"},
    {1, K::Submenu, L"mnuDay", -1, L"日(&D)", L""},
    {2, K::Token, L"mnuDD", 0, L"%&D  ２桁(01 ～ 31)", L"%D"},
    {2, K::Token, L"mnuDD", 1, L"%&d  １桁(1 ～ 31)", L"%d"},
    {1, K::Submenu, L"mnuWeekDay", -1, L"曜日(&W)", L""},
    {2, K::Token, L"mnuWW", 0, L"%&W  英字省略形(Sun ～ Sat)", L"%W"},
    {2, K::Token, L"mnuWW", 1, L"%&w  漢字省略形(日 ～ 土)", L"%w"},
    {0, K::Submenu, L"mnuSysTime", -1, L"     現在の時刻(&T)", L""},
    {1, K::Submenu, L"mnuHour", -1, L"時(&H)", L""},
    {2, K::Token, L"mnuHH", 0, L"%&H  ２桁(00 ～ 23)", L"%H"},
    {2, K::Token, L"mnuHH", 1, L"%&h  １桁(0 ～ 23)", L"%h"},
    {1, K::Submenu, L"mnuMinute", -1, L"分(&N)", L""},
    {2, K::Token, L"mnuNN", 0, L"%&N  ２桁(00 ～ 59)", L"%N"},
    {2, K::Token, L"mnuNN", 1, L"%&n  １桁(0 ～ 59)", L"%n"},
    {1, K::Submenu, L"mnuSecond", -1, L"秒(&S)", L""},
    {2, K::Token, L"mnuSS", 0, L"%&S  ２桁(00 ～ 59)", L"%S"},
    {2, K::Token, L"mnuSS", 1, L"%&s  １桁(0 ～ 59)", L"%s"},
    {0, K::Submenu, L"mnuTimeStamp", -1, kText.timeStamp, L""},
    {1, K::Token, L"mnuTS", 0, L"%&T  日付８桁", L"%T"},
    {1, K::Token, L"mnuTS", 1, L"%&U  日付６桁", L"%U"},
    {1, K::Token, L"mnuTS", 2, L"%&t  時刻６桁", L"%t"},
    {0, K::Token, L"mnuAutoNo", -1, L"%&R  連番", L"%R"},
    {0, K::Separator, L"mnuSeparator", -1, L"", L""},
    {0, K::Cancel, L"mnuCancel", -1, L"     キャンセル(&C)", L""},
};

}  // namespace

std::span<const TokenMenuItem> TokenMenuItems() { return kItems; }

int TokenMenuCommandId(std::wstring_view name, int index) {
  for (size_t i = 0; i < std::size(kItems); ++i)
    if (kItems[i].index == index && name == kItems[i].name) return kTokenCommandBase + static_cast<int>(i);
  return -1;
}

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
