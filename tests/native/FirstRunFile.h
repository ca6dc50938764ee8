// A new settings file exactly as the first start leaves it, byte for byte: the one copy the
// portable and the Windows tests hold the program to.
#pragma once
#include <string>

namespace zv::test {

inline const std::string kFirstRunFile =
    "[Option]\r\nOpenFileExt1=txt html htm\r\nOpenFileExt2=html htm bat vbs\r\nOpenAplPath=\r\n"
    "OpenOriginalCheck=0\r\nOpenFolderCheck=1\r\nDispExt=1\r\nIMEMode=0\r\nTopMost=1\r\nStartUpPos=0\r\n"
    "NotConfirmReplaceFile=0\r\nShellExecOpen=0\r\nFolderOnly=0\r\nFileNameFormat=\r\nExtNameFormat=\r\n"
    "FolderNameFormat=\r\nCopyToFolder=0\r\nCopyToFolderPath=\r\nAttribute=0\r\nAttrArchive=0\r\n"
    "AttrReadOnly=0\r\nAttrHidden=0\r\nAttrSystem=0\r\n[SYSTEM]\r\nHkcrExt=\r\n";

}  // namespace zv::test
