#include "core/HelpTopics.h"

namespace zv {

namespace {

struct Topic {
  HelpTopic topic;
  const wchar_t* text;
};

constexpr Topic kTopics[] = {
    // Options
    {HelpTopic::OpenFileExt1, L"ここに書いた拡張子のファイルをコピーするとき、コピー画面の「関連付けで開く」に最初からチェックが入ります。"
        L"拡張子はドットを付けずに、スペースで区切って書きます（例: txt html htm）。"},
    {HelpTopic::OpenFileExt2, L"ここに書いた拡張子のファイルをコピーするとき、コピー画面の「アプリケーションで開く」に最初からチェックが入ります。"
        L"拡張子はドットを付けずに、スペースで区切って書きます（例: html htm bat vbs）。"},
    {HelpTopic::AplPath, L"「アプリケーションで開く」で使うプログラムをフルパスで指定します。［参照］で選ぶこともできます。"
        L"空欄のときはメモ帳（Notepad.exe）で開きます。"},
    {HelpTopic::OpenFolderCheck, L"フォルダをコピーするとき、コピー画面の「フォルダを開く」に最初からチェックを入れます。"
        L"コピーしたフォルダがコピーの後に開きます。"},
    {HelpTopic::StartUpPos, L"コピー画面を開く位置を選びます。マウスポインターの近く、前回と同じ位置、スクリーンの中央、"
        L"スクリーンの左上、背面ウィンドウ（Zarvane を起動したウィンドウ）の中央のどれかです。"},
    {HelpTopic::About, L"Zarvane のバージョン、著作権とライセンスを表示します。"},
    {HelpTopic::OptionsOK, L"設定を設定ファイル（Zarvane.ini）に保存して、オプションを閉じます。"},
    {HelpTopic::OptionsCancel, L"変更した設定を保存せずにオプションを閉じます。右クリックメニューへの追加と削除は、"
        L"ボタンを押したときにすでに済んでいて、取り消されません。"},
    // Copy dialog
    {HelpTopic::NewFile, L"コピーの新しい名前（拡張子を除く）です。書式設定の書式から作った名前が入っています。"
         L"自由に書き換えられます。\\ / : * ? \" < > | は使えません。"},
    {HelpTopic::NewExt, L"コピーの拡張子です。ドットは付けません。空欄にすると拡張子のない名前でコピーします。"},
    {HelpTopic::OpenByAssociation, L"コピーが終わったら、コピーしたファイルを関連付けられたアプリケーションで開きます。"
         L"拡張子が空欄のときは何も開きません。"},
    {HelpTopic::OpenCopiedFolder, L"コピーが終わったら、コピーしたフォルダを開きます。"},
    {HelpTopic::OpenWithApplication, L"コピーが終わったら、コピーしたファイルをオプションで指定したアプリケーション"
         L"（指定がなければメモ帳）で開きます。"},
    {HelpTopic::CopyAgain, L"コピーの後も画面を閉じずに、同じコピー元から続けて別の名前のコピーを作ります。"
         L"書式に連番（%R）があれば、次の番号の名前が入ります。"},
    {HelpTopic::CopyOK, L"入力した名前でコピーします。同じ名前のファイルがあるときは上書きしてよいか確かめます"
         L"（オプションで「上書き確認しない」のときは確かめずに上書きします）。同じ名前のフォルダがあるときも確かめますが、"
         L"「サブフォルダとファイルのコピーはしない」のときはコピーしません。ファイルとフォルダのように種類が違うものが"
         L"同じ名前であるときは、何も変えずに知らせます。"},
    {HelpTopic::CopyCancel, L"コピーせずに画面を閉じます（Esc キーと同じ）。"},
    {HelpTopic::Attributes, L"コピーに付ける属性です。A: アーカイブ、R: 読み取り専用、H: 隠しファイル、S: システムファイル。"
         L"チェックしない属性は付きません。"},
    // Options
    {HelpTopic::IMEMode, L"コピー画面の名前の欄で、日本語入力（IME）を自動的にオンにします。"},
    {HelpTopic::TopMost, L"コピー画面を、ほかのウィンドウより常に手前に表示します。"},
    {HelpTopic::OpenOriginalCheck, L"コピー画面の「コピー元を開く」に最初からチェックを入れます。"},
    // Copy dialog
    {HelpTopic::OpenOriginal, L"「関連付けで開く」「アプリケーションで開く」「フォルダを開く」で、コピーではなくコピー元を開きます。"
         L"このチェックだけでは何も開きません。"},
    // Options: right-click menu
    {HelpTopic::ExtEntry, L"右クリックメニューに「ザルヴェイン」を追加する拡張子を入力して、［追加］を押します（ドットは不要）。"},
    {HelpTopic::ExtList, L"右クリックメニューに「ザルヴェイン」を追加した拡張子の一覧です。選んで［削除］を押すと外せます。"},
    {HelpTopic::ExtAdd, L"入力した拡張子のファイルの右クリックメニューに「ザルヴェイン」を追加します。すぐにレジストリに書き込みます。"},
    {HelpTopic::ExtDelete, L"一覧で選んだ拡張子のファイルの右クリックメニューから「ザルヴェイン」を削除します。"},
    {HelpTopic::ExtDeleteAll, L"一覧のすべての拡張子のファイルの右クリックメニューから「ザルヴェイン」を削除します。"},
    {HelpTopic::FolderAdd, L"フォルダの右クリックメニューに「ザルヴェイン」を追加します。すぐにレジストリに書き込みます。"},
    {HelpTopic::FolderRemove, L"フォルダの右クリックメニューから「ザルヴェイン」を削除します。"},
    // Format dialog
    {HelpTopic::NameFormat, L"コピーの名前の書式です。%F（元の名前）、%Y（西暦）などの書式記号が、コピー画面を開いたときに置き換わって名前の欄に入ります。"
         L"記号は右の［>］から入れられます。空欄なら元の名前のままです。"},
    {HelpTopic::DispExt, L"チェックすると、コピー画面の拡張子の欄に最初から拡張子を入れます。右の欄に書いた拡張子、"
         L"空欄なら元の拡張子です。チェックしないと拡張子の欄は空で始まります。"},
    // Options
    {HelpTopic::NotConfirmReplaceFile, L"同じ名前のファイルがあっても、確かめずに上書きします。"},
    // Advanced
    {HelpTopic::ShellExecOpen, L"関連付けで開くとき、ファイルの種類の既定の動作ではなく、常に「開く」で開きます。"
         L"関連付けでうまく開かないときに使います。"},
    {HelpTopic::CopyToFolder, L"コピーを、元と同じフォルダではなく、ここで指定したフォルダに作ります。"},
    // Format dialog
    {HelpTopic::FormatMenu, L"書式記号のメニューを開きます。選んだ記号が、カーソルの位置に入ります。"},
    {HelpTopic::AutoNo, L"連番（%R）の桁数です。1〜3 桁から選びます。足りない桁は 0 で埋めます（2 桁なら 01, 02, ...）。"},
    // Advanced
    {HelpTopic::FolderOnly, L"フォルダをコピーするとき、同じ名前の空のフォルダだけを作り、中のサブフォルダとファイルはコピーしません。"},
    // Options: right-click menu
    {HelpTopic::AllFilesAdd, L"すべてのファイルの右クリックメニューに「ザルヴェイン」を追加します。すぐにレジストリに書き込みます。"},
    {HelpTopic::AllFilesRemove, L"すべてのファイルの右クリックメニューから「ザルヴェイン」を削除します。"},
    // Options
    {HelpTopic::FormatDialog, L"コピーの名前の書式、拡張子、連番の桁数を設定する［書式設定］を開きます。"},
    {HelpTopic::Attribute, L"チェックすると、コピー画面の属性を下の 4 つの指定で始めます。"
         L"チェックしないときは、コピー元の属性で始めます。"},
    {HelpTopic::RegisterFor, L"右クリックメニューをだれのために登録するかです。このユーザー: 管理者権限は要りません。"
         L"全ユーザー: 管理者として実行する必要があります。自動: 管理者として実行しているときは全ユーザー、"
         L"そうでなければこのユーザー。選んだ登録先は次に押すボタンから使われます。"},
    // Format dialog
    {HelpTopic::SkipUsedNo, L"チェックすると、連番（%R）は、コピー先に同じ名前のファイルやフォルダが既にある番号を飛ばして、"
         L"空いている次の番号になります。チェックしないと、起動のたびに 1 から数えます。"},
    // Copy dialog
    {HelpTopic::FormatChoice, L"書式のメニューを開きます（名前の欄で Alt+↓ か F4 でも開きます）。書式設定の書式（0）と"
         L"名前付き書式（1〜9）が、それぞれで作る名前と並びます。選ぶと、その書式で名前と拡張子を作り直します。"},
    // Format dialog: the named formats
    {HelpTopic::NamedList, L"名前付き書式の一覧です。この順に、コピー画面の［▼］のメニューに並びます。"
         L"ダブルクリックで変更できます。"},
    {HelpTopic::NamedAdd, L"名前付き書式を新しく登録します（9 個まで）。"},
    {HelpTopic::NamedEdit, L"一覧で選んだ名前付き書式の名前と書式を変更します。"},
    {HelpTopic::NamedDelete, L"一覧で選んだ名前付き書式を削除します。"},
    {HelpTopic::NamedMove, L"一覧で選んだ名前付き書式を、メニューの中で上（または下）に移します。"},
    {HelpTopic::NamedName, L"コピー画面のメニューに表示する書式の名前です（例: 日付、版、確認用）。ほかの書式と同じ名前は使えません。"},
    {HelpTopic::NamedExt, L"この書式で作るコピーの拡張子です（例: bak）。空欄なら書式設定の拡張子の指定と同じです。"},
    // Options
    {HelpTopic::AdvancedDialog, L"関連付けで開く方式、フォルダの中身をコピーするかどうか、決まったコピー先フォルダを設定する"
         L"［高度な設定］を開きます。設定ファイルの場所もそこに表示されます。"},
    {HelpTopic::AplBrowse, L"「アプリケーションで開く」で使うプログラムを選びます。選んだプログラムのパスが上の欄に入ります。"},
    {HelpTopic::DefaultAttributes, L"「属性を指定する」にチェックしたとき、コピー画面の属性（アーカイブ、読み取り専用、"
         L"隠しファイル、システムファイル）をこの指定で始めます。"},
    // Advanced
    {HelpTopic::FolderBrowse, L"コピー先フォルダを選びます。選んだフォルダのパスが左の欄に入ります。"},
    {HelpTopic::SettingsFilePath, L"いま使っている設定ファイル（Zarvane.ini）の場所です。選んでコピーできますが、"
         L"ここでは変えられません。ほかの設定ファイルを使うときは /INI を付けて起動します。"},
    {HelpTopic::AdvancedOK, L"指定を受け取って高度な設定を閉じます。設定ファイルに保存するのは、オプションを［OK］で閉じたときです。"},
    {HelpTopic::AdvancedCancel, L"変更した指定を捨てて高度な設定を閉じます。"},
    // Format dialog and the named-format editor
    {HelpTopic::FormatOK, L"書式の指定を受け取って書式設定を閉じます。書式と拡張子、連番の指定は、オプションを［OK］で閉じたときに"
         L"保存します。名前付き書式は、このボタンを押したときに設定ファイルに保存します。"},
    {HelpTopic::FormatCancel, L"変更した書式と名前付き書式を捨てて書式設定を閉じます。"},
    {HelpTopic::NamedFile, L"この書式で作るコピーのファイル名の書式です。書式記号は右の［>］から入れられます。"
         L"空欄なら書式設定のファイル名の書式と同じです。"},
    {HelpTopic::NamedFolder, L"この書式で作るコピーのフォルダ名の書式です。書式記号は右の［>］から入れられます。"
         L"空欄なら書式設定のフォルダ名の書式と同じです。"},
    {HelpTopic::NamedOK, L"名前と書式を確かめて一覧に入れます。設定ファイルに保存するのは、書式設定を［OK］で閉じたときです。"},
    {HelpTopic::NamedCancel, L"名前付き書式を変えずに閉じます。"},
    // Copy dialog
    {HelpTopic::AfterCopy, L"コピーが終わった後に行うことです。開くものを選び、「連続コピー」で画面を閉じずに続けてコピーできます。"
         L"チェックしなければ、コピーして画面を閉じるだけです。"},
    // Options: Windows 11's own right-click menu
    {HelpTopic::Win11Menu, L"Windows 11 では、チェックすると「ザルヴェイン」が新しい右クリックメニューの最初の一覧にも"
         L"出ます（Zarvane.msix をこのユーザーに登録します）。表示されるのは上で登録したファイルとフォルダだけです。"
         L"チェックを外すと登録を削除します。"},
};

// Every named topic has its text once: the rows run without a gap from the first topic to
// the last, as the list in the header does.
consteval bool EachTopicOnce() {
  int expected = TopicNumber(HelpTopic::OpenFileExt1);
  for (const Topic& t : kTopics)
    if (TopicNumber(t.topic) != expected++ || !t.text) return false;
  return expected - 1 == TopicNumber(HelpTopic::Win11Menu);
}
static_assert(EachTopicOnce(), "a help topic without its text, or listed twice");

}  // namespace

const wchar_t* HelpTopicText(int topic) {
  for (const Topic& t : kTopics)
    if (TopicNumber(t.topic) == topic) return t.text;
  return nullptr;
}

}  // namespace zv
