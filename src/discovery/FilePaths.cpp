#include "discovery/FilePaths.h"

#include <QFile>
#include <sys/stat.h>

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

int PathDepth(const QString& folder) {
    int depth = 0;
    bool inName = false;
    for (QChar c : folder) {
        if (c == u'/') {
            inName = false;
        } else if (!inName) {
            inName = true;
            ++depth;
        }
    }
    return depth;
}

int FileDepth(const QString& filePath) {
    const qsizetype slash = filePath.lastIndexOf(u'/');
    return slash < 0 ? 0 : PathDepth(filePath.left(slash));
}

bool IsRegularFile(const QString& path) {
    if (path.isEmpty())
        return false;
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}
