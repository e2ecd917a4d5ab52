#include "ui/ToolExecutables.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace ToolExecutables {

namespace {

// The first of the names that exists as a file in the folder.
QString FindIn(const QString& folder, std::initializer_list<const char*> names) {
    if (folder.isEmpty())
        return {};
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    for (const char* name : names) {
        const QString path = prefix + QString::fromLatin1(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

} // namespace

QString MP3val(const TOptionSet& options) {
    return FindIn(options.MP3valPath, {"mp3val", "mp3val.exe"});
}

QString MP3Gain(const TOptionSet& options) {
    if (options.UseMP3GainUserInterface)
        return FindIn(options.MP3GainPath, {"MP3GainGUI.exe"});
    return FindIn(options.MP3GainPath, {"mp3gain", "mp3gain.exe"});
}

QString Mp3tag(const TOptionSet& options) {
    if (QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty())
        return {};
    return FindIn(options.Mp3tagPath, {"Mp3tag.exe"});
}

} // namespace ToolExecutables
