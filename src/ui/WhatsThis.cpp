#include "ui/WhatsThis.h"

#include "core/HelpTopics.h"
#include "ui/HelpPopup.h"

namespace zv::ui {

namespace {

std::wstring g_helpFile;

void DefaultWhatsThis(HWND control, int helpId) {
  if (helpId == 0) return;
  if (!g_helpFile.empty()) {
    ::WinHelpW(control, g_helpFile.c_str(), HELP_CONTEXTPOPUP, static_cast<ULONG_PTR>(helpId));
    return;
  }
  if (const wchar_t* text = HelpTopicText(helpId)) ShowHelpPopup(control, text);
}

WhatsThisSink g_whatsThisSink = DefaultWhatsThis;

}  // namespace

void ShowWhatsThis(HWND control, int helpId) { g_whatsThisSink(control, helpId); }
void SetHelpFile(const std::wstring& path) { g_helpFile = path; }
void SetWhatsThisSink(WhatsThisSink sink) { g_whatsThisSink = sink ? sink : DefaultWhatsThis; }

}  // namespace zv::ui
