// Floor of the copy dialog: its twenty-one controls as they stand once it has opened on
// small.txt with the benchmark's settings (name format %F_copy).
#include "floor.h"

namespace {

using dialogfloor::Kind;

constexpr dialogfloor::Control kControls[] = {
    {Kind::HiddenLabel, L"新しいファイル名", 120, 135, 1590, 300},
    {Kind::Text, L"small_copy", 120, 135, 1590, 300},
    {Kind::HiddenLabel, L"拡張子", 2130, 135, 465, 300},
    {Kind::Text, L"txt", 2130, 135, 465, 300},
    {Kind::Check, L"関連付けで開く(&E)", 210, 795, 2355, 270},
    {Kind::Check, L"アプリケーションで開く(&B)", 210, 1110, 2355, 270},
    {Kind::Check, L"コピー元を開く(&O)", 210, 1425, 2355, 270},
    {Kind::Check, L"連続コピー(&C)", 210, 1740, 2355, 270},
    {Kind::Check, L"&A", 2820, 1185, 435, 315},
    {Kind::Check, L"&R", 3300, 1185, 435, 315},
    {Kind::Check, L"&H", 2820, 1560, 435, 315},
    {Kind::Check, L"&S", 3300, 1560, 435, 315},
    {Kind::Default, L"OK", 2700, 120, 1095, 330},
    {Kind::Button, L"キャンセル", 2700, 510, 1095, 330},
    {Kind::Label, L"．", 1965, 180, 150, 240},
    {Kind::Label, L"1.00", 825, 2115, 675, 210},
    {Kind::Label, L"Zarvane v", 120, 2115, 705, 210},
    {Kind::Frame, L"コピー後の処理", 120, 525, 2475, 1515},
    {Kind::Frame, L"属性", 2700, 915, 1095, 1095},
    {Kind::LabelRight, L"(C) 2026 Zarvane", 1500, 2115, 2295, 210},
    {Kind::Button, L"▼", 1725, 135, 225, 300},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return dialogfloor::RunFloor({L"新しいファイル名", 3900, 2355, kControls});
}
