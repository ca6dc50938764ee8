// The What's-This texts built into the program, one per topic number the dialogs use: what
// the control does and how its setting acts. Shown when no help file stands beside the program.
#pragma once

namespace zv {

// The topic's text, or nullptr for a number that no control carries.
const wchar_t* HelpTopicText(int topic);

}  // namespace zv
