#pragma once

#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

// Captures what the code under test writes to a C-level stream (standard output or standard
// error, printf/perror included) until text() or the destructor restores it.
class OutputCapture
{
public:
    explicit OutputCapture(int fd)
        : m_fd(fd)
    {
        flush();
        if (m_file.open()) {
            m_saved = ::dup(m_fd);
            ::dup2(m_file.handle(), m_fd);
        }
    }
    ~OutputCapture() { text(); }

    // Ends the capture (on the first call) and returns everything written meanwhile.
    QByteArray text()
    {
        if (m_saved >= 0) {
            flush();
            ::dup2(m_saved, m_fd);
            ::close(m_saved);
            m_saved = -1;
        }
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    static void flush()
    {
        fflush(stdout);
        fflush(stderr);
    }

    int m_fd;
    int m_saved = -1;
    QTemporaryFile m_file;
};
