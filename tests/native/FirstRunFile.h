// A new settings file exactly as the first start leaves it, byte for byte: the one copy the
// portable and the Windows tests hold the program to.
#pragma once
#include <string>

namespace zv::test {

inline const std::string kFirstRunFile =
    "[Option]\r\n"
    "OpenFileExt1=txt html htm\r\n"
    "OpenFileExt2=html htm bat vbs\r\n"
    "OpenAplPath=\r\n"
    "OpenOriginalCheck=0\r\n"
    "OpenFolderCheck=1\r\n"
    "DispExt=1\r\n"
    "IMEMode=0\r\n"
    "TopMost=1\r\n"
    "StartUpPos=0\r\n"
    "NotConfirmReplaceFile=0\r\n"
    "ShellExecOpen=0\r\n"
    "FolderOnly=0\r\n"
    "FileNameFormat=\r\n"
    "ExtNameFormat=\r\n"
    "FolderNameFormat=\r\n"
    "CopyToFolder=0\r\n"
    "CopyToFolderPath=\r\n"
    "Attribute=0\r\n"
    "AttrArchive=0\r\n"
    "AttrReadOnly=0\r\n"
    "AttrHidden=0\r\n"
    "AttrSystem=0\r\n"
    "[SYSTEM]\r\n"
    "HkcrExt=\r\n";

}  // namespace zv::test
