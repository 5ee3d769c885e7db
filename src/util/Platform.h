#pragma once

#include <QByteArray>
#include <QString>

// Where the board's files live. On the device the root is "/" and every path stays as written;
// on a desktop the board simulator's folder, in a test a temporary folder. Every absolute path
// of the board (sysfs, device nodes, /proc, /data, /etc, the language directory, /media and the
// board image's programs) goes through path(); nothing else in the program knows about roots.
class Platform
{
public:
    // Sets the root ("/" or an empty text for the device). Takes effect for every later path().
    static void setRoot(const QString& root);
    static QString root();
    // True when the root is not "/": commands of the board image must then come from the root.
    static bool isRooted();

    // Maps a path starting with one of the board prefixes (/sys, /dev, /proc, /data, /etc, /usr,
    // /bin, /sbin, /media) below the root; returns every other path unchanged, so a temporary
    // folder of a test, or a path already below the root, passes through.
    static QString path(const QString& absolutePath);
    // The same for the C file API: the local 8-bit encoding of path().
    static QByteArray nativePath(const char* absolutePath);

    // Maps a path below the root back to the board's view ("/data/x" for "<root>/data/x"); other
    // paths stay unchanged. Used where a path is shown to the operator or written into a record.
    static QString boardPath(const QString& path);
};
