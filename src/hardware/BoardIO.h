#pragma once

// Board I/O: free functions over the board's sysfs files, every path through Platform::path.
// Missing files (a host without the hardware) make writes no-ops and reads return their
// fallback. For now this holds what the main window needs; the rest of the board's functions
// join it here.

// The start-up sequence of the board's lines, DACs and radio, run once by the main window.
void boardInit();

// Drives a GPIO line: writes "1" or "0" to its value file. True when the file could be opened.
bool gpioSetValue(int gpio, bool value);

// The fuel gauge's capacity in percent, as read; -1 when it cannot be read.
int batteryCapacity(int gauge);

// Backlight: percent clamped to 0..100, written as percent * 127 / 100 (hardware range 0..127).
bool setBrightness(int percent);
