// Settings mapped to a dialog's controls by a table: check boxes to 0/1 settings, text
// boxes to text settings, copied in table order each way.
#pragma once
#include <span>
#include <string>

#include "core/Settings.h"
#include "ui/Form.h"

namespace zv::ui {

struct SettingBinding {
  const wchar_t* control;
  int Settings::*number = nullptr;        // a check box
  std::wstring Settings::*text = nullptr; // a text box, exactly as typed
};

constexpr SettingBinding CheckBox(const wchar_t* control, int Settings::*m) { return {control, m, nullptr}; }
constexpr SettingBinding TextBox(const wchar_t* control, std::wstring Settings::*m) { return {control, nullptr, m}; }

void LoadControls(Form& form, std::span<const SettingBinding> table, const Settings& settings);
void SaveControls(const Form& form, std::span<const SettingBinding> table, Settings& settings);

}  // namespace zv::ui
