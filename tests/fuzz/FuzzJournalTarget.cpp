// Reads every input as an undo journal, as the history and undo read whatever a crash, a full
// disk or a damaged disk left of one: the records up to the first that is torn or does not hold
// together, and never more tag bytes than a record's sizes say.
#include "fixing/RunJournal.h"
#include "fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = FuzzFile::Write(data, size, QStringLiteral("input.journal"));
    if (const std::optional<TJournalRun> run = ReadJournalRun(path)) {
        for (const TJournalledFile& file : run->Files) {
            const TJournalFileState& before = file.Before;
            if (before.ID3v2.size() != before.ID3v2Size || before.ID3v1.size() != before.ID3v1Size)
                FuzzFile::Fail("a state's tag bytes disagree with its sizes");
            if (!before.SameAs(before))
                FuzzFile::Fail("a state differs from itself");
            if (file.After) {
                if (!file.After->ID3v2.isEmpty() || !file.After->ID3v1.isEmpty())
                    FuzzFile::Fail("an after-state holds tag bytes");
                // Digests of either kind compare without failing.
                (void)file.After->SameAs(before);
                (void)before.SameTagsAs(*file.After);
            }
        }
    }
    FuzzFile::CheckUnchanged(path, data, size);
    return 0;
}
