#pragma once
// The saver's part in the machine's power: it asks to be told when the
// console display goes off, dims or comes back (RegisterPowerSettingNotification
// with GUID_CONSOLE_DISPLAY_STATE, on the saver window, where the platform
// has it), and answers those messages and suspend and resume: with the
// display off the frame loop stops and the wave device is closed; with it on
// again the whole scene is drawn anew and the loop and the sound go on. It
// never asks the machine to stay awake. Target only.

#include <cstdint>

#include "port/win32.h"
#include "scene/power_events.h"

// Registers the window for the display state; nothing where the platform
// lacks the function (the saver then runs as before). Logs either way.
void RegisterDisplayState(HWND window);
// Undoes the registration, if any.
void UnregisterDisplayState();

// What the frame loop and the sound do on one event.
void HandlePowerEvent(HWND window, PowerEvent event);
