#pragma once

#include <QByteArray>
#include <QTemporaryFile>

// Captures what the code under test writes to a C-level stream (standard output or standard
// error, printf/perror included) until text() or the destructor restores it.
class OutputCapture
{
public:
    explicit OutputCapture(int fd);
    ~OutputCapture();

    // Ends the capture (once) and returns everything written meanwhile.
    QByteArray text();

private:
    void restore();

    int m_fd;
    int m_saved;
    QTemporaryFile m_file;
    QByteArray m_text;
};
