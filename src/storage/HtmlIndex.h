#pragma once

#include "storage/HtmlTemplate.h"

#include <QCoreApplication>
#include <QFileInfoList>
#include <QString>
#include <QStringList>

// The browsable index of the record tree: an "index.html" in every folder below the device's
// folder (device, breadcrumb, subfolders, autodetection records, traces with picture and
// settings), and the pages' style sheet and icons in "res" at the top. Built from one template
// before the records are copied to a USB stick. GUI thread only.
//
// Every name and record value goes into the pages escaped (links percent-encoded), so a folder
// called "<a&b>" or "#1" neither breaks the markup nor is read as a template marker.
class HtmlIndex
{
    Q_DECLARE_TR_FUNCTIONS(HtmlIndex)

public:
    // Rebuilds every page below rootPath (normally "<data>/corvane_data"; the device's own folder
    // in it is named after its product identification), inside the remount of the root file
    // system. False when the remount failed (nothing is written) or a page or resource file
    // could not be written.
    static bool generateIndex(const QString& rootPath);

    // The same without the remount, for a record tree on a desktop: the pages of the folder
    // deviceId below rootPath and everything under it, and the resources in rootPath/res.
    static bool writeIndex(const QString& rootPath, const QString& deviceId);

    // Writes the page of basePath/segments and, first, those of its subfolders.
    static bool processFolder(const QString& basePath, const QStringList& segments, const QString& pageTemplate,
                              const HtmlTemplate::Values& pageValues);

    // The subfolders of dir in page order: undated folders first, then the dated record folders
    // ("yyyy-MM-dd" in the name), each group by name descending (so the newest day comes first).
    static QFileInfoList orderedSubfolders(const QString& dir);

    // The short settings table of a trace record (markup, values escaped); empty when the record
    // cannot be read or is no well-formed XML.
    static QString traceInfo(const QString& recordFile);

    // Copies the pages' style sheet and icons into rootPath/res; files already there are kept.
    static bool copyResources(const QString& rootPath);
};
