#include "core/VersionText.h"

namespace zv {

std::wstring VersionText(int major, int minor, int revision) {
  std::wstring minorText = std::to_wstring(minor);
  if (minorText.size() < 2) minorText.insert(0, 1, L'0');
  std::wstring text = std::to_wstring(major) + L"." + minorText;
  if (revision > 0) text += L"." + std::to_wstring(revision);
  return text;
}

}  // namespace zv
