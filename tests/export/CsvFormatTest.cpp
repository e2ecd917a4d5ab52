#include "export/CsvFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvFormat, QuotesEveryFieldAndEscapesNothing) {
    EXPECT_EQ(CsvFormat::Line({"a", "", "x,y", "say \"hi\""}),
              QStringLiteral("\"a\",\"\",\"x,y\",\"say \"hi\"\"\r\n"));
}

TEST(CsvFormat, DocumentIsHeaderThenRowsInUtf8) {
    const QByteArray doc = CsvFormat::Document(
        {"Name", "Title"}, {{"a.mp3", QString::fromUtf8("Zoë")}, {"b.mp3", ""}});
    EXPECT_EQ(doc,
              QByteArray("\"Name\",\"Title\"\r\n\"a.mp3\",\"Zo\xC3\xAB\"\r\n\"b.mp3\",\"\"\r\n"));
}

} // namespace
