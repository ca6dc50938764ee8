// The start-up messages, written out here rather than taken from the program, so that a
// changed text shows in the portable and the Windows tests alike.
#pragma once
#include <string>

namespace zv::test {

inline const std::wstring kIniWarning =
    L"指定されたINIファイルがみつからなかったため、\r\n標準のINIファイルとして処理します。";
inline const std::wstring kNotSettingsWarning =
    L"指定されたファイルはINIファイルではないため、\r\n標準のINIファイルとして処理します。";
inline const std::wstring kPathError =
    L"指定されたファイル（フォルダ）が見つからないか、使用できません。\r\nパスを確認してください。\r\n\r\n"
    L"Readme.txt で使用方法を確認してください。";

}  // namespace zv::test
