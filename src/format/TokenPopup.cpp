#include "format/TokenPopup.h"

#include <span>

#include "format/TokenMenu.h"
#include "platform/Pickers.h"
#include "ui/FocusState.h"

namespace zv {

namespace {

// Appends the items of one level from pos on, each submenu with its own items.
bool AppendMenuLevel(HMENU menu, std::span<const TokenMenuItem> items, size_t& pos, int level) {
  while (pos < items.size() && items[pos].level == level) {
    const TokenMenuItem& item = items[pos++];
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof(mi);
    mi.fMask = MIIM_ID | MIIM_FTYPE;
    mi.wID = static_cast<UINT>(TokenMenuCommandId(item.id));
    if (item.kind == TokenItemKind::Separator) {
      mi.fType = MFT_SEPARATOR;
    } else {
      mi.fMask |= MIIM_STRING;
      mi.dwTypeData = const_cast<wchar_t*>(item.caption);
    }
    win::UniqueMenu sub;
    if (item.kind == TokenItemKind::Submenu) {
      sub.reset(::CreatePopupMenu());
      if (!sub || !AppendMenuLevel(sub.get(), items, pos, level + 1)) return false;
      mi.fMask |= MIIM_SUBMENU;
      mi.hSubMenu = sub.get();
    }
    if (!::InsertMenuItemW(menu, static_cast<UINT>(::GetMenuItemCount(menu)), TRUE, &mi)) return false;
    sub.release();  // the parent menu owns it now
  }
  return true;
}

void SetItemCaption(HMENU menu, TokenItem item, const wchar_t* caption) {
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof(mi);
  mi.fMask = MIIM_STRING;
  mi.dwTypeData = const_cast<wchar_t*>(caption);
  ::SetMenuItemInfoW(menu, static_cast<UINT>(TokenMenuCommandId(item)), FALSE, &mi);
}

}  // namespace

win::UniqueMenu BuildTokenMenu() {
  win::UniqueMenu menu(::CreatePopupMenu());
  size_t pos = 0;
  if (!menu || !AppendMenuLevel(menu.get(), TokenMenuItems(), pos, 0)) return {};
  return menu;
}

void ShowTokenMenu(HMENU menu, HWND owner, HWND button, int index) {
  if (!menu) return;
  const TokenMenuWording wording = TokenMenuWordingFor(index);
  SetItemCaption(menu, TokenItem::mnuFmt0, wording.fmtCaption);
  SetItemCaption(menu, TokenItem::mnuTimeStamp, wording.timeStampCaption);
  ::EnableMenuItem(menu, static_cast<UINT>(TokenMenuCommandId(TokenItem::mnuFmt1)),
                   MF_BYCOMMAND | (wording.extensionEnabled ? MF_ENABLED : MF_GRAYED));
  // Directly under the pressed button, its left edge at the button's left edge.
  RECT place{};
  if (!::GetWindowRect(button, &place)) return;
  ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, place.left, place.bottom, 0, owner, nullptr);
}

void InsertTokenIntoBox(HWND box, const std::wstring& token) {
  const int length = ::GetWindowTextLengthW(box);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(box, text.data(), length + 1)));
  const auto inserted = InsertTokenText(text, win::CaretPosition(box), token);
  if (!inserted) return;
  // The box's focus handler leaves the caret alone, behind the token.
  ui::Focus().SuppressSelectAll = true;
  ::SetWindowTextW(box, inserted->text.c_str());
  ::SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(inserted->caret), inserted->caret);
  ::SetFocus(box);
}

}  // namespace zv
