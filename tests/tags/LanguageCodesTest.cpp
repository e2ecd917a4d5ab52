#include "tags/LanguageCodes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

TEST(LanguageCodes, AcceptsThreeLetterCodesIgnoringCase) {
    for (const char* code :
         {"eng", "ENG", "Deu", "ger", "fra", "fre", "und", "mul", "zxx", "qaa", "qtz", "QMM"})
        EXPECT_TRUE(IsISO6392Code(code)) << code;
}

TEST(LanguageCodes, RejectsEverythingElse) {
    for (const QString& code :
         {QString("xxx"), QString("XXX"), QString("abc"), QString("qua"), QString("en"),
          QString("engl"), QString(""), QString("en "), QString(" en"), QString("e1g"),
          QString::fromUtf8("ëng"), QString::fromLatin1("e\0g", 3), QString::fromUtf8("ｅｎｇ")})
        EXPECT_FALSE(IsISO6392Code(code)) << code.toStdString();
}

// The committed table is made from the package; a regenerated or changed package shows here.
TEST(LanguageCodes, AgreesWithTheInstalledIsoCodesPackage) {
    QFile file("/usr/share/iso-codes/json/iso_639-2.json");
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "iso-codes is not installed";
    const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).object()["639-2"].toArray();
    ASSERT_GT(entries.size(), 400);
    for (const QJsonValue& entry : entries) {
        for (const char* key : {"alpha_3", "bibliographic"}) {
            const QString code = entry.toObject()[key].toString();
            if (code.size() == 3) {
                EXPECT_TRUE(IsISO6392Code(code)) << code.toStdString();
            }
        }
    }
}

} // namespace
