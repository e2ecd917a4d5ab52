// Reads every input as a Windows shortcut lying beside a music file and a folder of them, so that
// the targets the seeds name (relative, or absolute below "/") exist and resolve.
#include "fuzz/FuzzFile.h"
#include "support/Error.h"
#include "support/ShellLink.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool prepared = [] {
        FuzzFile::Put(QStringLiteral("Song.mp3"), "x");
        FuzzFile::Put(QStringLiteral("Album/01 - Song.mp3"), "x");
        return true;
    }();
    (void)prepared;

    const QString path = FuzzFile::Write(data, size, QStringLiteral("input.lnk"));
    TKelmShellLink link;
    link.SetFileName(path);
    if (link.FileName() != path)
        FuzzFile::Fail("a .lnk name was changed");
    try {
        link.Read();
    } catch (const TError& e) {
        if (e.Message() != QStringLiteral("Read error."))
            FuzzFile::Fail("an existing shortcut failed with another message");
        if (!link.Target().isEmpty())
            FuzzFile::Fail("a failed read left a target");
        FuzzFile::CheckUnchanged(path, data, size);
        return 0;
    }
    const QString& target = link.Target();
    if (target.isEmpty() || target.size() > 260 || target.contains(u'\\') ||
        !QFileInfo::exists(target))
        FuzzFile::Fail("the target is not an existing path of at most 260 characters");
    FuzzFile::CheckUnchanged(path, data, size);
    return 0;
}
