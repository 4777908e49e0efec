#pragma once

#include "StartupPreload.h"

// The program's names, which its answers without windows give too.
void nameApplication();

// What the program sets up before its main window: its names, its desktop
// entry and icon, and its style.
void prepareApplication();

// Starts reading the system's font configuration, the larger part of start-up's own work,
// while QApplication waits on the display. Made before QApplication and waited for right
// after it, before any text would read the configuration a second time beside it.
platform::StartupPreload preloadFontConfiguration();
