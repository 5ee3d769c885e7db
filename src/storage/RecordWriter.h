#pragma once

#include <QString>

// Record files of the measurement screens.

// The highest index in use among today's record folders named folderName below path: a folder
// "<yyyy-MM-dd>[_<folderName>][_<index>]" counts with its index (0 without one). -1 when there is
// no such folder. The main window uses the result + 1 as the next folder's index.
int findHighestFolderIndex(const QString& path, const QString& folderName);
