#pragma once

#include <QDateTime>
#include <QDomDocument>
#include <QDomElement>
#include <QPixmap>
#include <QPointF>
#include <QString>
#include <QVector>

#include "util/Configuration.h"

class OverridingPlotData;

// The measurement records: one XML document and one PNG picture per saved trace, side by side in
// the record folder, named after the screen and the moment of saving.

// Writes "<folder>/<name>_<yyyyMMdd_hhmmss>.xml" and, when the picture is not null, the ".png"
// beside it. The folder is used exactly as given (a full path); missing folders are created.
// Bracketed by the remount of the root file system: when that fails nothing is written. Each
// file is replaced atomically, so a power loss leaves either the old or the new file. Returns
// whether both files were written; on failure neither is left behind.
bool saveMeasurement(const QString& name, const QPixmap& picture, const QDomDocument& document,
                     const QString& folder);

// The picture of the main window (the whole screen when the window cannot be grabbed); null
// when there is no screen.
QPixmap grabScreen();

// An element holding one text child.
QDomElement createTextElement(QDomDocument& document, const QString& tag, const QString& text);
// A text element holding the y values of a sweep series in slot order ("%g" with 6 digits,
// separated by single blanks); the x values follow from the record's range and slot count.
QDomElement createSeriesElement(QDomDocument& document, const QString& tag, const OverridingPlotData& series);
QDomElement createSeriesElement(QDomDocument& document, const QString& tag, const QVector<QPointF>& points);
// The text of a series element.
QString seriesText(const QVector<QPointF>& points);

// The time stamp part of the record file names: "yyyyMMdd_hhmmss".
QString recordTimeStamp(const QDateTime& moment);
// "<folder>/<name>_<stamp>.<suffix>".
QString recordFilePath(const QString& folder, const QString& name, const QString& stamp, const QString& suffix);

// Starts a record: the root element named after the screen with its "version" attribute.
QDomElement createRecordRoot(QDomDocument& document, const QString& name, int version);
// The header every record starts with: system, software and FPGA versions, device name and
// serial, sweep rate, date and time of `moment`, and the relative record folder.
void appendCommonHeader(QDomDocument& document, QDomElement& root, quint32 fpgaVersion,
                        const QString& relativeFolder, const QDateTime& moment = QDateTime::currentDateTime());
// The receiver group of the spectrum, time-domain and level records.
void appendReceiverGroup(QDomDocument& document, QDomElement& root, Configuration::MeasMode measMode,
                         Configuration::Antenna antenna, int bandwidth, bool preamplifierOn, bool calibratorOn);
// "On" or "Off".
QString onOffText(bool on);

// The highest index in use among today's record folders named folderName below path: a folder
// "<yyyy-MM-dd>[_<folderName>][_<index>]" counts with its index (0 without one). -1 when there is
// no such folder. The main window uses the result + 1 as the next folder's index.
int findHighestFolderIndex(const QString& path, const QString& folderName);
