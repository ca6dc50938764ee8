// The format-token menu of the format dialog as data: its item tree, the wording that
// follows the field it was opened for, and the text arithmetic of inserting a token.
#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zv {

enum class TokenItemKind { Token, Submenu, Separator, Cancel };

// The items in menu order, named after the menu's item arrays (mnuYY2 is the third of mnuYY).
enum class TokenItem {
  mnuFmt0, mnuFmt1,
  mnuSysDate,
  mnuYear, mnuYY0, mnuYY1, mnuYY2, mnuYY3, mnuNengo, mnuNG0, mnuNG1,
  mnuMonth, mnuMM0, mnuMM1,
  mnuDay, mnuDD0, mnuDD1,
  mnuWeekDay, mnuWW0, mnuWW1,
  mnuSysTime,
  mnuHour, mnuHH0, mnuHH1,
  mnuMinute, mnuNN0, mnuNN1,
  mnuSecond, mnuSS0, mnuSS1,
  mnuTimeStamp, mnuTS0, mnuTS1, mnuTS2,
  mnuAutoNo, mnuSeparator, mnuCancel,
};

struct TokenMenuItem {
  TokenItem id;
  int level;  // 0 for the items of the popup itself, 1 for their submenus' items, ...
  TokenItemKind kind;
  const wchar_t* caption;  // as shown, "&" marking the accelerator; empty for the separator
  const wchar_t* token;    // what a token item inserts; empty for the others
};

// mnuFormat in menu order; a submenu item is followed by its own items, one level deeper.
std::span<const TokenMenuItem> TokenMenuItems();

// Command ids of the items: a base above every control id plus the item's place in the menu.
inline constexpr int kTokenCommandBase = 1000;
constexpr int TokenMenuCommandId(TokenItem item) { return kTokenCommandBase + static_cast<int>(item); }
const TokenMenuItem* TokenMenuItemOfCommand(int commandId);  // nullptr for other ids

// The wording of the items that name the source, for the field the menu opens for
// (0 the file-name field, anything else the folder-name field).
struct TokenMenuWording {
  const wchar_t* fmtCaption;        // mnuFmt(0)
  const wchar_t* timeStampCaption;  // mnuTimeStamp
  bool extensionEnabled;            // mnuFmt(1): a folder name has no extension to insert
};
TokenMenuWording TokenMenuWordingFor(int menuTargetIndex);

// The token goes in front of the caret (a selection stays and follows the token); the caret
// then stands just behind it. A caret past the end counts as the end; a negative one (a
// position beyond what the 16-bit caret reading can give) inserts nothing.
struct TokenInsertion {
  std::wstring text;
  int caret;
};
std::optional<TokenInsertion> InsertTokenText(std::wstring_view text, int caretPos, std::wstring_view token);

}  // namespace zv
