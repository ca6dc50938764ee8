// Settings mapped to a dialog's controls by a table: check boxes to 0/1 settings, text
// boxes to text settings, copied in table order each way. The controls are the form's own
// Ctl values, so a table names only controls its form has.
#pragma once
#include <span>
#include <string>
#include <type_traits>

#include "core/Settings.h"
#include "ui/Form.h"

namespace zv::ui {

template <class Id>
struct SettingBinding {
  Id control;
  int Settings::*number = nullptr;         // a check box
  std::wstring Settings::*text = nullptr;  // a text box, exactly as typed
};

template <class Id>
constexpr SettingBinding<Id> CheckBox(Id control, int Settings::*m) {
  return {control, m, nullptr};
}
template <class Id>
constexpr SettingBinding<Id> TextBox(Id control, std::wstring Settings::*m) {
  return {control, nullptr, m};
}

template <class Derived, class Id>
void LoadControls(FormOf<Derived, Id>& form, std::type_identity_t<std::span<const SettingBinding<Id>>> table,
                  const Settings& settings) {
  for (const auto& b : table) {
    if (b.number) form.SetValue(b.control, settings.*b.number);
    else form.SetText(b.control, settings.*b.text);
  }
}

template <class Derived, class Id>
void SaveControls(const FormOf<Derived, Id>& form, std::type_identity_t<std::span<const SettingBinding<Id>>> table,
                  Settings& settings) {
  for (const auto& b : table) {
    if (b.number) settings.*b.number = form.Value(b.control);
    else settings.*b.text = FirstLine(form.Text(b.control));  // as a paste into the one-line box takes it
  }
}

}  // namespace zv::ui
