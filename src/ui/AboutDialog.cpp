#include "ui/AboutDialog.h"

#include <commctrl.h>

#include <utility>

#include "platform/AppInfo.h"
#include "platform/Handles.h"
#include "platform/OpenByAssociationWin.h"
#include "ui/Contrast.h"
#include "ui/WindowPlacement.h"

namespace zv::ui {

namespace {

using Ctl = AboutDialogCtl;
using Topic = HelpTopic;

struct Texts {
  const wchar_t* caption = L"Zarvane バージョン情報";
  const wchar_t* name = L"Zarvane";
  const wchar_t* ver = L"Ver";
  const wchar_t* ok = L"OK";
  // The manual that ships beside the program: the program has no home page of its own.
  const wchar_t* manual = L"Readme.txt（説明書）";
  const wchar_t* manualFile = L"Readme.txt";
  const wchar_t* maker = L"Zarvane developers";
  const wchar_t* license = L"MIT ライセンス（LICENSE.txt）";
  const wchar_t* nameFace = L"Comic Sans MS";
  const wchar_t* linkFace = L"ＭＳ Ｐゴシック";
};
constexpr Texts kText;

constexpr COLORREF kShadowColour = RGB(0, 0, 0);
constexpr COLORREF kNameColour = RGB(0, 255, 0);
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

// lblName (black) lies above lblNameShadow (green) and is painted first, so the green name stays in
// front with its shadow 30 twips to the right.
constexpr ControlDef kControls[] = {
    {Ctl::imgIcon, -1, Kind::Label, L"", 240, 225, 480, 480, Topic::None, 0, kText.maker},
    {Ctl::lblName, -1, Kind::Label, kText.name, 975, 105, 1245, 450, Topic::None, 0},
    {Ctl::lblNameShadow, -1, Kind::Label, kText.name, 945, 105, 1245, 450, Topic::None, 0},
    {Ctl::lblVersion, -1, Kind::Label, kText.ver, 2280, 285, 270, 180, Topic::None, 0},
    {Ctl::lblMyVer, -1, Kind::Label, L"", 2595, 285, 0, 180, Topic::None, 0},
    {Ctl::lblCopyRight, -1, Kind::Label, L"", 810, 630, 0, 180, Topic::None, 0},
    {Ctl::lblLicense, -1, Kind::Label, kText.license, 810, 855, 0, 180, Topic::None, 0},
    {Ctl::lblHP, -1, Kind::Label, kText.manual, 863, 1080, 2565, 180, Topic::None, 0, kText.maker},
    {Ctl::btnOK, -1, Kind::Button, kText.ok, 3338, 195, 735, 375, Topic::None, kDefault | kCancel},
};
static_assert(ListsEachControlOnce<Ctl>(kControls));

constexpr FormDef kForm{kText.caption, 4290, 1575, false};

constexpr int kProgramIcon = 1;

win::UniqueFont MakeFont(int dpi, const wchar_t* face, int hundredthsOfPoints, bool bold, bool italic, bool underline,
                         BYTE charset) {
  LOGFONTW lf{};
  lf.lfHeight = -::MulDiv(hundredthsOfPoints, dpi, 7200);
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfCharSet = charset;
  ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  return win::UniqueFont(::CreateFontIndirectW(&lf));
}

}  // namespace

const AboutDialog::Handler AboutDialog::kHandlers[] = {
    {Ctl::btnOK, Event::Click, &AboutDialog::Command1_Click},
};

AboutDialog::AboutDialog(LinkOpener open) : FormOf(kForm, kControls), open_(std::move(open)) {
  if (!open_) {
    open_ = [](const std::wstring& address) {
      std::wstring path = address;
      OpenByAssociation(path, 0);  // a failed start leaves nothing for the user to fix here
    };
  }
}
AboutDialog::~AboutDialog() = default;

void AboutDialog::Form_Load() {
  CentreOverOwner(hwnd());

  HWND image = Item(Ctl::imgIcon);
  const LONG_PTR style = ::GetWindowLongPtrW(image, GWL_STYLE);
  ::SetWindowLongPtrW(image, GWL_STYLE, (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_ICON);

  const win::VersionInfo version = win::ProgramVersion();
  SetText(Ctl::lblMyVer, win::VersionText(version));
  SetText(Ctl::lblCopyRight, version.legalCopyright);
  Form_DpiChanged();
  FollowContrast();
}

// Its own fonts, the icon and the labels sized to their text, at the form's DPI.
void AboutDialog::Form_DpiChanged() {
  // Its own copy at each size: a shared one keeps the size it was first loaded at.
  const int side = ToPixelsX(480);  // 32 pixels at 96 dpi
  win::UniqueIcon icon(static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, side, side, 0)));
  ::SendMessageW(Item(Ctl::imgIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
  icon_ = std::move(icon);

  // The labels take the new fonts before the old ones go.
  win::UniqueFont name = MakeFont(Dpi(), kText.nameFace, 1425, true, true, false, DEFAULT_CHARSET);
  win::UniqueFont link = MakeFont(Dpi(), kText.linkFace, 900, false, false, true, SHIFTJIS_CHARSET);
  for (const Ctl label : {Ctl::lblName, Ctl::lblNameShadow})
    ::SendMessageW(Item(label), WM_SETFONT, reinterpret_cast<WPARAM>(name.get()), TRUE);
  ::SendMessageW(Item(Ctl::lblHP), WM_SETFONT, reinterpret_cast<WPARAM>(link.get()), TRUE);
  nameFont_ = std::move(name);
  linkFont_ = std::move(link);
  AutoSize(Ctl::lblMyVer);
  AutoSize(Ctl::lblCopyRight);
  AutoSize(Ctl::lblLicense);
}

// Under high contrast the name and the link take the theme's colours and the name loses its
// shadow, which would only blur it; a theme changed while the dialog is open is followed.
void AboutDialog::FollowContrast() {
  highContrast_ = HighContrastOn();
  ::ShowWindow(Item(Ctl::lblName), highContrast_ ? SW_HIDE : SW_SHOW);
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void AboutDialog::AutoSize(Ctl control) {
  HWND label = Item(control);
  const win::WindowDc dc(label);
  if (!dc) return;
  const HGDIOBJ old = ::SelectObject(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
  const std::wstring text = Text(control);
  SIZE size{};
  ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc.get(), old);
  ::SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutDialog::Command1_Click(int) { Unload(); }

bool AboutDialog::IsLink(HWND control) const { return control && (control == Item(Ctl::lblHP) || control == Item(Ctl::imgIcon)); }

INT_PTR AboutDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  if (msg == WM_SETCURSOR && IsLink(reinterpret_cast<HWND>(wp))) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    handled = true;
    return TRUE;
  }
  if (msg == WM_THEMECHANGED || msg == WM_SYSCOLORCHANGE || msg == WM_SETTINGCHANGE) {
    FollowContrast();
    return 0;
  }
  if (msg == WM_CTLCOLORSTATIC) {
    const auto control = reinterpret_cast<HWND>(lp);
    HDC dc = reinterpret_cast<HDC>(wp);
    if (control == Item(Ctl::lblName) || control == Item(Ctl::lblNameShadow)) {
      // Transparent: the two names overlap.
      const COLORREF name = highContrast_ ? ::GetSysColor(COLOR_BTNTEXT) : kNameColour;
      ::SetTextColor(dc, control == Item(Ctl::lblName) ? kShadowColour : name);
      ::SetBkMode(dc, TRANSPARENT);
      handled = true;
      return reinterpret_cast<INT_PTR>(::GetStockObject(NULL_BRUSH));
    }
    if (control == Item(Ctl::lblHP)) {
      ::SetTextColor(dc, highContrast_ ? ::GetSysColor(COLOR_HOTLIGHT) : kLinkColour);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      handled = true;
      return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    return 0;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == STN_CLICKED && IsLink(reinterpret_cast<HWND>(lp))) {
    open_(win::ExeFolder() + L"\\" + kText.manualFile);
    handled = true;
  }
  return 0;
}

void ShowAboutDialog(HWND owner) {
  ShowModalForm<AboutDialog>(owner);
}

}  // namespace zv::ui
