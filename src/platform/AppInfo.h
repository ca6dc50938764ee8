// The running program: its path and its version record.
#pragma once
#include <string>

namespace zv::win {

std::wstring ExePath();
std::wstring ExeFolder();    // without a trailing backslash (unless a drive root)
std::wstring ExeBaseName();  // file name without extension

struct VersionInfo {
  int major = 0, minor = 0, revision = 0;
  std::wstring legalCopyright;
};
// The numbers the version resource is made from, compiled in: no file to open at start.
VersionInfo ProgramVersion();
// "1.05", "1.05.3": the minor with two digits, the revision only when above 0.
std::wstring VersionText(const VersionInfo& v);

}  // namespace zv::win
