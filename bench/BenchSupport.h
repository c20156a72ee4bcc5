#pragma once

#include <QElapsedTimer>
#include <QFile>

namespace orvelan::bench {

// Resident and peak memory in kB (Linux /proc; zero elsewhere).
inline long procStatus(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return 0;
}

inline double ms(QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

}  // namespace orvelan::bench
