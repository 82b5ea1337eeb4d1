// Writes values into one key of a registry database from a process of its
// own, so tests can make two processes use the same key at once.
//   registry_writer <database> <key> <value-prefix> <count>
#include "RegistryStore.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    // The other writer may hold the file for a while on a loaded machine; a
    // writer waits for it as long as it takes instead of failing after 5 s.
    RegistryStore::Options options;
    options.busyTimeoutMs = 10 * 60 * 1000;
    RegistryStore store(args.at(1), options);
    const int count = args.at(4).toInt();
    for (int i = 0; i < count; ++i) {
        Registry::Key key;
        qint32 result = store.createKey(Registry::CurrentUser, args.at(2), Registry::AllAccess, &key);
        if (result != Registry::Success) {
            std::fprintf(stderr, "createKey %d failed: %d\n", i, int(result));
            return 1;
        }
        result = store.setValue(key, args.at(3) + QString::number(i), Registry::TypeDword, RegistryStore::dwordData(i));
        store.closeKey(key);
        if (result != Registry::Success) {
            std::fprintf(stderr, "setValue %d failed: %d\n", i, int(result));
            return 1;
        }
    }
    return 0;
}
