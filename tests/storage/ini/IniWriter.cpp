// Writes count fields "<prefix><n>=<n>" through KSINIFileHandler, one
// SetValue per field, so that two of these running at once interleave.
#include "AutomationError.h"
#include "KSINIFileHandler.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: ini_writer file section prefix count\n");
        return 2;
    }
    KSINIFileHandler ini;
    ini.setPath(QString::fromLocal8Bit(argv[1]));
    ini.setSection(QString::fromLocal8Bit(argv[2]));
    const QString prefix = QString::fromLocal8Bit(argv[3]);
    const int count = std::atoi(argv[4]);
    try {
        for (int n = 0; n < count; ++n)
            ini.SetValue(prefix + QString::number(n), n);
    } catch (const AutomationError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
