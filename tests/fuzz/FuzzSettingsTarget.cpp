// Reads every input as the settings file: first through the parser alone, then as the program
// starts (every option, window placement, column widths, history menus) and makes one change.
#include "fuzz/FuzzFile.h"
#include "settings/KelmRegistryEnhanced.h"
#include "settings/OptionPersistence.h"
#include "settings/StoreNames.h"
#include "settings/StoreTree.h"

#include <QDir>
#include <QFile>

namespace {

// What the parser accepts is written back as a file that reads as the same tree.
bool CheckParser(const QByteArray& input) {
    QString error;
    const std::optional<TStoreKey> parsed = ParseStore(input, &error);
    if (!parsed) {
        if (error.isEmpty())
            FuzzFile::Fail("a refused file has no reason");
        return false;
    }
    const std::optional<TStoreKey> again = ParseStore(SerializeStore(*parsed), &error);
    if (!again || !(*again == *parsed))
        FuzzFile::Fail("a parsed store reads back differently after it is written");
    return true;
}

void CheckOptions(const TOptionSet& options) {
    for (const TOptionDescriptor& option : OptionDescriptors())
        if (const auto* member = std::get_if<int TOptionSet::*>(&option.Member))
            if (options.**member < option.Minimum || options.**member > option.Maximum)
                FuzzFile::Fail("an option is outside its range");
}

void ReadAsAtStart(TKelmRegistryEnhanced& store) {
    CheckOptions(LoadOptionsFromRegistry(store, TOptionDefaults{}, {QStringLiteral("Rock")},
                                         {QStringLiteral("MP3Genres.def")}));
    TFormPlacement placement{400, 0, 0, 600, TFormState::Normal};
    store.GetFormInfo(StoreNames::MainWindowFormInfo, placement, true, QSize(1920, 1080));
    QList<int> widths(12, 100);
    store.GetListViewInfo(StoreNames::MainWindowListViewInfo, widths);
    if (widths.size() != 12)
        FuzzFile::Fail("restoring column widths changed the column count");
    for (const QString& name : {StoreNames::BrowseHistory, StoreNames::OpenHistory}) {
        QStringList menu;
        store.GetMenu(name, menu);
        if (menu.size() > TKelmRegistryEnhanced::MaxMenuEntries)
            FuzzFile::Fail("a menu holds more than its limit");
    }
    (void)store.GetValueDefault(StoreNames::DefFilesPath, QString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const bool readable = CheckParser(input) || input.trimmed().isEmpty();

    // A damaged file is set aside: the one of the previous input goes first.
    QDir folder(FuzzFile::Folder());
    for (const QString& aside : folder.entryList({QStringLiteral("settings.json.bad*")}))
        folder.remove(aside);
    const QString path = FuzzFile::Write(data, size, QStringLiteral("settings.json"));
    TKelmRegistryEnhanced store(path);
    ReadAsAtStart(store);
    if (readable) {
        FuzzFile::CheckUnchanged(path, data, size);
    } else {
        if (QFile::exists(path))
            FuzzFile::Fail("a damaged file was not set aside");
        FuzzFile::CheckUnchanged(path + QStringLiteral(".bad"), data, size);
    }

    // A change keeps what was stored and reads back.
    const QString value = QStringLiteral("Fuzz\\Value");
    if (!store.SetValue(value, QStringLiteral("written")) ||
        store.GetValueDefault(value, QString()).toString() != QStringLiteral("written"))
        FuzzFile::Fail("a change did not read back");
    const std::optional<TStoreKey> stored = ParseStore(FuzzFile::Read(path));
    if (!stored)
        FuzzFile::Fail("the changed file does not parse");
    if (readable && !input.trimmed().isEmpty()) {
        TStoreKey expected = *ParseStore(input);
        const QStringList keys =
            TKelmRegistryEnhanced::DefaultKey.split(u'\\') + QStringList{QStringLiteral("Fuzz")};
        expected.CreatePath(keys).SetValue(QStringLiteral("Value"), QStringLiteral("written"));
        if (!(*stored == expected))
            FuzzFile::Fail("a change lost or altered other values");
    }
    return 0;
}
