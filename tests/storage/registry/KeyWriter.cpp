// Writes values through KSRegistryKey from a process of its own, for the test
// of two processes writing the same key.
//   ledgerix_key_writer <key path> <value prefix> <count>
#include "AutomationError.h"
#include "KSRegistryKey.h"
#include "RegistryStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    // The other writer may hold the store for a while on a loaded machine;
    // wait for it as long as it takes instead of failing after 5 s.
    RegistryStore::forCurrentUser().setBusyTimeout(10 * 60 * 1000);
    try {
        KSRegistryKey key;
        LedgerixStdInterface &store = key;
        store.setPath(args.at(1));
        const int count = args.at(3).toInt();
        for (int i = 0; i < count; ++i) {
            if (!key.SetValue(args.at(2) + QString::number(i), i))
                return 1;
        }
    } catch (const AutomationError &error) {
        std::printf("%d\n", int(error.number()));
        return 3;
    }
    return 0;
}
