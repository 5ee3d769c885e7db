#pragma once

#include <QMap>
#include <QString>

// The browsable index of the record tree: an "index.html" in every folder below the data folder
// (device, breadcrumb, subfolders, autodetection records, traces with picture and settings), and
// the pages' style sheet and icons in "res" at the top. Built from one template before the
// records are copied to a USB stick. GUI thread only.
class HtmlIndex {
public:
    // Rebuilds every page below rootPath (a full path, normally "<data>/corvane_data"), inside
    // the remount of the root file system. False when nothing could be generated (the remount
    // failed).
    static bool generateIndex(const QString& rootPath);
};
