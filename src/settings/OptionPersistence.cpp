#include "settings/OptionPersistence.h"

#include "settings/IntegerText.h"
#include "settings/StoreNames.h"
#include "support/Error.h"
#include "support/TextFile.h"

#include <QFileInfo>
#include <algorithm>

namespace {

// An integer as the store gives it back, also from a string holding a decimal number.
std::optional<qint32> StoredInteger(const QVariant& stored) {
    if (stored.typeId() == QMetaType::Int)
        return stored.toInt();
    if (stored.typeId() == QMetaType::QString)
        return ParseInt32(stored.toString());
    return std::nullopt;
}

template <class... F> struct TOverloaded : F... { using F::operator()...; };
// Aggregate deduction is C++20 but not in every compiler yet (clang 14 lacks it).
template <class... F> TOverloaded(F...) -> TOverloaded<F...>;

// A comment line or an empty line of a data file: it explains the file and is never a value.
bool IsDataFileNote(const QString& line) {
    return line.isEmpty() || line.startsWith(u'#');
}

// An earlier version took every line of the genre file as a genre, its comments and empty
// lines included, and stored that list on first start. Such a list is recognised by its comment
// items and cleaned; an empty item the user typed into a list without comments stays.
void DropGenreFileNotes(TCheckList& genres) {
    const auto isComment = [](const TCheckListItem& item) { return item.Text.startsWith(u'#'); };
    if (std::any_of(genres.cbegin(), genres.cend(), isComment))
        genres.removeIf([](const TCheckListItem& item) { return IsDataFileNote(item.Text); });
}

} // namespace

QString OptionValuePath(const QString& optionName) {
    return StoreNames::OptionsKey + u'\\' + optionName;
}

void ReadOption(const TKelmRegistryEnhanced& store, const TOptionDescriptor& option,
                TOptionSet& options) {
    const QVariant stored =
        store.GetValueDefault(OptionValuePath(QString::fromLatin1(option.Name)), QVariant());
    if (!stored.isValid())
        return;
    std::visit(TOverloaded{
                   [&](bool TOptionSet::*member) {
                       if (const std::optional<qint32> n = StoredInteger(stored))
                           options.*member = *n != 0;
                   },
                   [&](int TOptionSet::*member) {
                       const std::optional<qint32> n = StoredInteger(stored);
                       if (n && *n >= option.Minimum && *n <= option.Maximum)
                           options.*member = *n;
                   },
                   [&](QString TOptionSet::*member) {
                       if (stored.typeId() == QMetaType::QString)
                           options.*member = stored.toString();
                       else if (stored.typeId() == QMetaType::Int)
                           options.*member = QString::number(stored.toInt());
                   },
               },
               option.Member);
}

bool WriteOption(TKelmRegistryEnhanced& store, const TOptionDescriptor& option,
                 const TOptionSet& options) {
    const QString path = OptionValuePath(QString::fromLatin1(option.Name));
    return std::visit([&](auto member) { return store.SetValue(path, options.*member); },
                      option.Member);
}

QStringList ReadGenreFileLines(const QString& dataFolder) {
    const QString path = dataFolder + QStringLiteral("/MP3Genres.def");
    if (!QFileInfo(path).isFile())
        return {};
    QStringList lines;
    try {
        lines = TextFile::SplitLines(TextFile::Read(path));
    } catch (const TError&) {
        return {};
    }
    lines.removeIf(IsDataFileNote);
    return lines;
}

TOptionSet LoadOptionsFromRegistry(TKelmRegistryEnhanced& store, const TOptionDefaults& platform,
                                   const QStringList& genreFileLines,
                                   const QStringList& updateListEntryNames) {
    // Every value comes from the same state of the file.
    TKelmRegistryEnhanced::TBatch snapshot(store, TKelmRegistryEnhanced::TBatch::Mode::ReadOnly);
    TOptionSet options = TOptionSet::Defaults(platform);
    for (const TOptionDescriptor& option : OptionDescriptors())
        ReadOption(store, option, options);

    if (store.KeyExists(GenresListName)) {
        store.GetCheckListBox(GenresListName, options.Genres, true);
        DropGenreFileNotes(options.Genres);
    } else {
        options.Genres.clear();
        for (const QString& line : genreFileLines)
            options.Genres.append({line, true});
    }
    // Without a stored list the built-in suffixes apply, all checked; a dialog cancelled after
    // editing the list must not keep the edits.
    options.Suffixes = TOptionSet::DefaultSuffixes();
    store.GetCheckListBox(SuffixesListName, options.Suffixes, true);
    options.UpdateDataFiles.clear();
    for (const QString& name : updateListEntryNames)
        options.UpdateDataFiles.append({name, true});
    store.GetCheckListBox(UpdateDataFilesListName, options.UpdateDataFiles, true);

    for (const TCheckListDescriptor& list : CheckListDescriptors())
        SortCheckList(options.*list.Member);
    return options;
}

bool SaveOptionsToRegistry(TKelmRegistryEnhanced& store, const TOptionSet& options) {
    TKelmRegistryEnhanced::TBatch batch(store);
    const auto writeLists = [&] {
        for (const TCheckListDescriptor& list : CheckListDescriptors())
            store.SetCheckListBox(list.Name, options.*list.Member);
    };
    bool listsWritten = false;
    for (const TOptionDescriptor& option : OptionDescriptors()) {
        // The check lists are written between the single values and the proxy values.
        if (!listsWritten && qstrcmp(option.Name, "UseProxyServer") == 0) {
            writeLists();
            listsWritten = true;
        }
        WriteOption(store, option, options);
    }
    if (!listsWritten)
        writeLists();
    return batch.Commit();
}

void ActivateOptions(const TOptionSet& options, TKelmRegistryEnhanced& store,
                     const TOptionTargets& targets) {
    if (targets.SetFileSearchRecursive)
        targets.SetFileSearchRecursive(options.Recursive);
    if (options.RememberColumnsSize) {
        if (targets.MainListColumnWidths && targets.SetMainListColumnWidths) {
            QList<int> widths = targets.MainListColumnWidths();
            const QList<int> before = widths;
            store.GetListViewInfo(StoreNames::MainWindowListViewInfo, widths);
            if (widths != before)
                targets.SetMainListColumnWidths(widths);
        }
    } else {
        store.DeleteKey(StoreNames::ListViewInfoKey);
    }
    if (targets.SetMP3valFolder)
        targets.SetMP3valFolder(options.MP3valPath);
    if (targets.SetMP3GainFolder)
        targets.SetMP3GainFolder(options.MP3GainPath);
    if (targets.SetMP3GainDefaultVolumeEnabled)
        targets.SetMP3GainDefaultVolumeEnabled(!options.UseMP3GainUserInterface);
    if (targets.SetMp3tagFolder)
        targets.SetMp3tagFolder(options.Mp3tagPath);
    if (targets.SetUpdateCheckerProxy) {
        if (options.UseProxyServer)
            targets.SetUpdateCheckerProxy(options.ProxyAddress, options.ProxyPort);
        else
            targets.SetUpdateCheckerProxy(QString(), QStringLiteral("80"));
    }
}
