#pragma once

#include <QString>

// The program's version text: major, minor and release with at least two digits for the last
// two ("1.05.03"); with build number it reads "1.05.03b120".
QString VersionText();
QString VersionTextWithBuild();
QString FormatVersionText(int major, int minor, int release);
