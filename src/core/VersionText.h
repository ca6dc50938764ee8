#pragma once
#include <string>

namespace zv {
// Major, ".", minor with at least two digits, and ".revision" only when the revision is above 0.
std::wstring VersionText(int major, int minor, int revision);
}  // namespace zv
