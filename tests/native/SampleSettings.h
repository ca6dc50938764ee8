// One settings record for the portable and the Windows tests: every saved value set, and
// each differing from the values saved beside it, so a key written from the wrong variable
// shows. A test that needs other values sets just those over it.
#pragma once
#include "core/Settings.h"

namespace zv::test {

inline Settings SampleSettings() {
  Settings s;
  s.OpenFileExt1 = L"txt";
  s.OpenFileExt2 = L"html htm";
  s.OpenAplPath = L"C:\\Tools\\edit.exe";
  s.ExtNameFormat = L"bak";
  s.FileNameFormat = L"%F_%Y%M%D";
  s.FolderNameFormat = L"%F_%R";
  s.OpenOriginalCheck = 1;
  s.OpenFolderCheck = 0;
  s.DispExt = 1;
  s.AutoNo = 2;
  s.StartUpPos = 4;
  s.IMEMode = 0;
  s.TopMost = 1;
  s.NotConfirmReplaceFile = 0;
  s.ShellExecOpen = 1;
  s.FolderOnly = 0;
  s.CopyToFolder = 1;
  s.CopyToFolderPath = L"D:\\コピー";
  s.Attribute = 1;
  s.AttrArchive = 0;
  s.AttrReadOnly = 1;
  s.AttrHidden = 0;
  s.AttrSystem = 1;
  s.RegisterFor = 2;
  s.SkipUsedNo = 0;
  s.StartUpLeft = 111;
  s.StartUpTop = 222;
  s.HkcrExtList = {L"TXT"};
  return s;
}

}  // namespace zv::test
