// Conversions between the program's UTF-16 text and the system's ANSI code page.
#pragma once
#include <string>
#include <string_view>

namespace zv::win {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);

}  // namespace zv::win
