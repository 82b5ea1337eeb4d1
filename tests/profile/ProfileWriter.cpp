// Writes count keys "<prefix><n>=<n>" into one section of a file, one write
// per key, so that two of these running at once interleave their writes.
#include "PrivateProfile.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: profile_writer file section prefix count\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString section = QString::fromLocal8Bit(argv[2]);
    const QString prefix = QString::fromLocal8Bit(argv[3]);
    const int count = std::atoi(argv[4]);
    for (int n = 0; n < count; ++n) {
        QString error;
        if (!PrivateProfile::writeString(section, prefix + QString::number(n), QString::number(n), file, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    return 0;
}
