#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: a platform root of their own (a temporary folder) with a stand-in
// "mount" that always succeeds, and the remount bracket held open for the life of the process,
// so that the stores write their files without starting a process per input.
namespace FuzzSupport {

// Creates the root (once) and points the platform at it; a QCoreApplication exists afterwards
// (a QApplication on the offscreen platform when widgets is true).
void setUp(bool widgets = false);
// <root> + boardPath.
QString path(const QString& boardPath);
// Replaces a file below the root (creating its folders).
void writeFile(const QString& boardPath, const QByteArray& content);
QByteArray bytes(const uint8_t* data, size_t size);

// A broken promise of the code under test: prints what and aborts, which the fuzzer reports
// as a crash and the replay as a failed test.
void check(bool condition, const char* what);

} // namespace FuzzSupport
