// The state the whole process shares once start-up has run: the source record, the settings
// file in use, the help file and the in-memory settings.
#pragma once
#include <string>

#include "core/Common.h"
#include "core/Settings.h"

namespace zv {

struct ProcessState {
  SourceRecord Source;
  std::wstring IniPath;
  std::wstring HelpFile;
  Settings Opt;
};
ProcessState& Process();

}  // namespace zv
