#pragma once

#include "util/Configuration.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QPixmap>
#include <QString>

// The steps every measurement screen takes to save a record, in the operator's order: ask for
// the phase (when the phase prompt is on), show "Saving data..." while the record and its picture
// are written into the current record folder, then tell where they went, or that they could not
// be written. GUI thread only.
class RecordSaving {
    Q_DECLARE_TR_FUNCTIONS(RecordSaving)

public:
    // Asks for the phase when the "system" phase prompt is on, showing the record folder in the
    // status line meanwhile; *phase is PHASE_Unspecified otherwise. False when the operator
    // cancelled: nothing is to be saved then.
    static bool askPhase(Configuration::Phase* phase);

    // Writes the record named after the screen ("spectrum", "time", "level", "algorithm") and
    // reports the outcome: "Data saved in folder:" with the folder for a second, or a failure
    // notice. Returns whether the record was written.
    static bool saveAndReport(const QString& name, const QPixmap& picture, const QDomDocument& document);

    // The record folder of the main window, relative (for the record and the notices) or as a
    // full path. Without a main window (a screen on its own) the data folder itself.
    static QString recordFolder(bool fullPath);
    // The main window's status text, when there is a main window.
    static void setStatusText(const QString& text);
};
