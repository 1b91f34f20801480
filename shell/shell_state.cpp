#include "shell/shell_state.h"

ShellState gShell;

// Registered at start-up as other programs may look for it; the identifier is
// not used further.
const UINT gTidewaterMessage = RegisterWindowMessageA("WM_TIDEWATER");
