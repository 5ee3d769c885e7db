#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// One of the files the instrument writes, written and judged the way the instrument does it.
// Every write stores a new version number in the file, so that after a power cut the file tells
// which write it holds. The platform root is set before any of these is used.
class FileKind
{
public:
    virtual ~FileKind() = default;
    virtual QString name() const = 0;
    virtual bool needsGui() const { return false; }
    // Lays down what a write must keep (other settings, other stanzas, the boot loader's own
    // variables) and writes version 0.
    virtual bool seed() = 0;
    // One write of version v through the instrument's own writer; false when it reports failure.
    virtual bool write(int version) = 0;
    // The version the file holds, or -1 with the problem when it is damaged, mixed or unreadable.
    // Notes (leftovers that do no harm) are added to notes.
    virtual int inspect(QString* problem, QStringList* notes) const = 0;

    static QStringList names();
    static std::unique_ptr<FileKind> create(const QString& name);
};
