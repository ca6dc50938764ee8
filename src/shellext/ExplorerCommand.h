// ZarvaneShell.dll: the entry "ザルヴェイン" of Windows 11's own right-click menu, an
// IExplorerCommand that a sparse package declares. Which selection shows it and what it starts
// is decided in options/ContextMenuState; this is the COM glue around it.
#pragma once

// The handler's class, defined once: the DLL answers for it and scripts/package.sh writes it into
// the package's manifest from this line.
#define ZV_EXPLORER_COMMAND_CLSID "B535FCCB-E359-4481-AACB-D56A97EF2627"
