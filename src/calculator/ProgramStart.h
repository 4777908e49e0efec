#pragma once

// The program's names, which its answers without windows give too.
void nameApplication();

// What the program sets up before its main window: its names, its desktop
// entry and icon, and its style.
void prepareApplication();
