#pragma once

#include <QCoreApplication>
#include <QString>

// Whether a scanned barcode can name a record folder: one folder level, no longer than the
// scanner's longest code, and copyable to a USB stick (no characters its file system refuses).
class BarcodeCheck
{
    Q_DECLARE_TR_FUNCTIONS(BarcodeCheck)

public:
    static const int MAX_LENGTH = 128;

    // Why the barcode cannot be a folder name, for the operator; empty when it can.
    static QString problem(const QString& barcode);
};
