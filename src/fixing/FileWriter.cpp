#include "fixing/FileWriter.h"

#include "fixing/FileTimes.h"
#include "fixing/MP3FileTags.h"

void TDiskWriter::CommitTags(TMP3FileTags& tags, bool writeID3v1) {
    tags.WriteToFile(writeID3v1);
}

TMoveResult TDiskWriter::Move(const QString& from, const QString& to) {
    return MoveFileNoReplace(from, to);
}

void TDiskWriter::RestoreTime(const TPreservedFileTime& time, const QString& fileName) {
    time.Restore(fileName);
}
