#pragma once

#include "settings/OptionSet.h"

#include <QString>

// Normalises quotes, dashes, tabs and spaces of a tag value. Acts only while
// CleanAttributesDuringReadingProcess is set; otherwise returns AString unchanged.
QString CleanMP3Attribute(const QString& AString, const TOptionSet& Options);

// Normalises quotes and ellipses of a title and gives it title capitalisation. Acts only while
// FormatTitleDuringFixingProcess is set; otherwise returns AString unchanged.
QString FormatTitle(const QString& AString, const TOptionSet& Options);

// A year of at most four digits, or an empty string when the value holds anything else.
QString FormatYear(const QString& AString);

// AString, or "<Undefined>" when it is empty, so that a missing value shows as something.
QString FormatCaption(const QString& AString);
