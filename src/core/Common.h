// What every layer shares: the source record, attribute bits, message-box styles and results.
#pragma once
#include <cstdint>
#include <string>

namespace zv {

// What is being copied; written once at start-up.
struct SourceRecord {
  std::wstring SourcePath;
  std::wstring SourceName;
  std::wstring SourceExt;
  std::wstring SourceFolder;  // ends with a backslash
  bool SourceIsFolder = false;
};

inline constexpr uint32_t kAttrReadOnly = 1;
inline constexpr uint32_t kAttrHidden = 2;
inline constexpr uint32_t kAttrSystem = 4;
inline constexpr uint32_t kAttrDirectory = 16;
inline constexpr uint32_t kAttrArchive = 32;

// Message-box styles and results used throughout.
inline constexpr int kMbStop = 16, kMbQuestionYesNo = 36, kMbWarning = 48, kMbInfo = 64,
                     kMbQuestionYesNoCancel = 291;
inline constexpr int kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7;

inline constexpr wchar_t kAppTitle[] = L"Zarvane";

// What the start shows after the welcome dialog, which tells the user so.
enum class NextScreen { Options, CopyDialog, Nothing };

}  // namespace zv
