// Reads every input as a tab-separated data file (genres, artist exceptions, the update list) and
// looks its entries up the ways the program does.
#include "fuzz/FuzzFile.h"
#include "refdata/FlatFile.h"
#include "support/Error.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

void CheckEntry(const TFlatFileData& entry) {
    const auto holdsBreak = [](const QString& s) { return s.contains(u'\r') || s.contains(u'\n'); };
    if (entry.Value.isEmpty() || entry.Value.contains(u'\t') || entry.ValueData.contains(u'\t') ||
        entry.ValueData.contains(u'#') || holdsBreak(entry.Value) || holdsBreak(entry.ValueData))
        FuzzFile::Fail("an entry breaks the file's rules");
}

// The lookups answer for an entry the first entry of the file that fits.
void CheckLookups(TKelmFlatFile& table, int index) {
    const TFlatFileData& entry = table.Entries()[size_t(index)];
    const int found = table.IndexOfValue(entry.Value);
    if (found < 0 || found > index)
        FuzzFile::Fail("IndexOfValue missed an entry");
    const auto& entries = table.Entries();
    const auto first = std::find_if(entries.begin(), entries.end(),
                                    [&](const TFlatFileData& e) { return e.Value == entry.Value; });
    if (table.GetValueData(entry.Value) != first->ValueData)
        FuzzFile::Fail("GetValueData gave another entry's data");
    if (table.GetValue(entry.ValueData).isEmpty())
        FuzzFile::Fail("GetValue missed an entry");
    if (table.GetValueDataByIndex(index) != entry.ValueData ||
        table.GetValueByIndex(index) != entry.Value)
        FuzzFile::Fail("the lookups by index disagree with the entries");
    (void)table.GetValueDataWildcard(entry.Value);
    // A pattern has a size limit of its own, broken UTF-16 is no pattern, and escape() turns a
    // NUL before a digit into an octal escape.
    if (entry.Value.size() > 1000 || !QStringView(entry.Value).isValidUtf16() ||
        entry.Value.contains(QChar(0)))
        return;
    if (table.SearchValue(QRegularExpression::escape(entry.Value), true) < 1 ||
        !table.SearchResults().contains(entry.ValueData))
        FuzzFile::Fail("searching for a value missed it");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = FuzzFile::Write(data, size, QStringLiteral("input.def"));
    TKelmFlatFile table;
    table.SetFileName(path);
    try {
        table.Initialize();
    } catch (const TError&) {
        FuzzFile::Fail("a readable file failed to load");
    }
    const auto& entries = table.Entries();
    if (table.Values().size() != qsizetype(entries.size()) || table.Count() != int(entries.size()))
        FuzzFile::Fail("Values and Entries differ in size");
    for (size_t i = 0; i < entries.size(); ++i) {
        CheckEntry(entries[i]);
        if (table.Values()[qsizetype(i)] != entries[i].Value)
            FuzzFile::Fail("Values and Entries disagree");
    }
    // The lookups scan the table, so only some entries are looked up: a large input stays fast.
    const int count = table.Count();
    for (int i = 0; i < count; i += std::max(1, count / 16))
        CheckLookups(table, i);
    if (count > 0)
        CheckLookups(table, count - 1);
    if (!table.GetValueByIndex(count).isEmpty() || !table.GetValueDataByIndex(-1).isEmpty())
        FuzzFile::Fail("an index outside the table gave a value");
    FuzzFile::CheckUnchanged(path, data, size);
    return 0;
}
