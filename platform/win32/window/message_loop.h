#pragma once

#include <windows.h>

namespace tambrel::platform::win32 {

// Dispatches one message the way the program's loop does: the top-level window it is for may take
// it first (its function keys), and an exception a handler threw comes out here.
void DispatchProgramMessage(MSG& message);

// Dispatches every message waiting for this thread, without waiting for more.
void DispatchWaitingMessages();

// Runs until WM_QUIT and answers its exit code.
int RunMessageLoop();

}  // namespace tambrel::platform::win32
