// Writes values into a settings store the way a second running instance would.
// Usage: settings_store_writer FILE PREFIX COUNT GOFILE single|batch
// Waits until GOFILE exists so that two writers start together, then writes COUNT values
// "Race\PREFIXn" = n, each also setting "Race\Last" to PREFIX. Exit 0 when every write was
// stored.
#include "settings/KelmRegistryEnhanced.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 6)
        return 2;
    const QString prefix = args[2];
    const int count = args[3].toInt();
    for (int waited = 0; !QFileInfo::exists(args[4]); waited += 2) {
        if (waited > 60000)
            return 3;
        QThread::msleep(2);
    }
    TKelmRegistryEnhanced store(args[1]);
    bool ok = true;
    std::optional<TKelmRegistryEnhanced::TBatch> batch;
    if (args[5] == QStringLiteral("batch"))
        batch.emplace(store);
    for (int i = 0; i < count; ++i) {
        ok = store.SetValue(QStringLiteral("Race\\") + prefix + QString::number(i), i) && ok;
        ok = store.SetValue(QStringLiteral("Race\\Last"), prefix) && ok;
    }
    if (batch)
        ok = batch->Commit() && ok;
    return ok ? 0 : 1;
}
