// Floor of the options dialog (Zarvane.exe started without a source): its thirty-nine
// controls with their texts and its two drop-down lists' entries.
#include "floor.h"

namespace {

using dialogfloor::Kind;

constexpr const wchar_t* kScopes[] = {L"自動（このユーザー）", L"このユーザー", L"全ユーザー"};
constexpr const wchar_t* kPositions[] = {L"ﾏｳｽﾎﾟｲﾝﾀｰの近く", L"前回と同じ位置", L"ｽｸﾘｰﾝの中央", L"ｽｸﾘｰﾝの左上",
                                         L"背面ｳｨﾝﾄﾞｳの中央"};
constexpr dialogfloor::Control kControls[] = {
    {Kind::LabelMulti, L"次の拡張子のファイルは『コピー後 関連付けで開く』を初期値とする(&K)", 240, 345, 5280, 450},
    {Kind::Text, L"txt html htm", 240, 810, 5280, 300},
    {Kind::LabelMulti, L"次の拡張子のファイルは『コピー後アプリケーションで開く』を初期値とする(&W)", 240, 1245, 5280, 450},
    {Kind::Text, L"html htm bat vbs", 240, 1710, 5280, 300},
    {Kind::Button, L"参照(&B)...", 4320, 2130, 1200, 330},
    {Kind::Label, L"アプリケーション(&P)", 240, 2205, 2400, 240},
    {Kind::Text, L"", 240, 2490, 5280, 300},
    {Kind::Check, L"『コピー元を開く』を初期値とする(&O)", 240, 3180, 5280, 270},
    {Kind::Check, L"フォルダは『コピー後 フォルダを開く』を初期値とする(&F)", 240, 3525, 5280, 270},
    {Kind::Button, L"書式設定(&M)...", 240, 4200, 1620, 330},
    {Kind::Check, L"属性の初期値を指定する(&N)", 2160, 4110, 2880, 270},
    {Kind::Check, L"ｱｰｶｲﾌﾞ(&A)", 2160, 4515, 1500, 270, true},
    {Kind::Check, L"読み取り専用(&R)", 3720, 4515, 1740, 270, true},
    {Kind::Check, L"隠しﾌｧｲﾙ(&H)", 2160, 4935, 1500, 270, true},
    {Kind::Check, L"ｼｽﾃﾑﾌｧｲﾙ(&S)", 3720, 4935, 1740, 270, true},
    {Kind::Label, L"拡張子(&E)", 5880, 345, 1560, 240},
    {Kind::Text, L"", 5880, 600, 1560, 300},
    {Kind::Button, L"追加(&C)", 7560, 585, 1560, 330, true},
    {Kind::HiddenLabel, L"登録済み拡張子", 5880, 990, 1560, 1140},
    {Kind::List, L"", 5880, 990, 1560, 1140},
    {Kind::Button, L"削除(&D)", 7560, 990, 1560, 330, true},
    {Kind::Button, L"全削除(&Z)", 7560, 1380, 1560, 330, true},
    {Kind::Button, L"全ファイルに追加(&Q)", 5880, 2250, 3240, 330},
    {Kind::Button, L"フォルダに追加(&G)", 5880, 2640, 3240, 330},
    {Kind::Label, L"登録先(&I)", 5880, 3075, 840, 240},
    {Kind::Combo, L"", 6720, 3030, 2400, 300, false, kScopes},
    {Kind::Label, L"初期表示位置(&L)", 5880, 3870, 1440, 240},
    {Kind::Combo, L"", 7320, 3825, 1800, 300, false, kPositions},
    {Kind::Check, L"常に手前に表示(&T)", 5880, 4245, 3240, 270},
    {Kind::Check, L"IME自動起動(&J)", 5880, 4560, 3240, 270},
    {Kind::Check, L"上書き確認しない(&U)", 5880, 4875, 3240, 270},
    {Kind::Button, L"高度な設定(&V)...", 5880, 5220, 1800, 330},
    {Kind::Button, L"About...", 120, 5775, 1320, 375},
    {Kind::Default, L"OK", 6480, 5775, 1320, 375},
    {Kind::Button, L"キャンセル", 7920, 5775, 1320, 375},
    {Kind::Frame, L" ", 2040, 4185, 3480, 1230},
    {Kind::Frame, L"初期値設定", 120, 90, 5520, 5565},
    {Kind::Frame, L"右クリックメニュー", 5760, 90, 3480, 3420},
    {Kind::Frame, L"その他", 5760, 3585, 3480, 2070},
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return dialogfloor::RunFloor({L"Zarvane", 9360, 6270, kControls});
}
