#include "ui/SettingBinding.h"

namespace zv::ui {

void LoadControls(Form& form, std::span<const SettingBinding> table, const Settings& settings) {
  for (const auto& b : table) {
    if (b.number) form.SetValue(b.control, settings.*b.number);
    else form.SetText(b.control, settings.*b.text);
  }
}

void SaveControls(const Form& form, std::span<const SettingBinding> table, Settings& settings) {
  for (const auto& b : table) {
    if (b.number) settings.*b.number = form.Value(b.control);
    else settings.*b.text = form.Text(b.control);
  }
}

}  // namespace zv::ui
