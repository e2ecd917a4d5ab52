// The fields a tag change lists: named as a plan names them, compared as they would be written,
// for a short tag and for one of many frames alike.
#include "fixing/TagChanges.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/Mp3Fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace {

using Change = std::tuple<QString, QString, QString>; // name, old, new

// The n-th frame named PRIV (from 1), or nullptr.
TID3SkipFrame* NthPrivate(TID3v2Tag& tag, int n) {
    for (const auto& frame : tag.Frames())
        if (frame->Format().Name == "PRIV" && --n == 0)
            return frame->As<TID3SkipFrame>();
    return nullptr;
}

TID3PictureFrame* Picture(TID3v2Tag& tag) {
    TID3Frame* frame = nullptr;
    return tag.FindFirstFrame(fiPicture, frame) ? frame->As<TID3PictureFrame>() : nullptr;
}

const QByteArray PictureBytes("\xFF\xD8\xFF\xE0picture", 11);

struct ChangeCase {
    const char* name;
    std::function<void(TID3v2Tag&)> change;
    // The changes listed when the tag holds the given number of PRIV frames.
    std::function<std::vector<Change>(int)> expected;
};

std::function<std::vector<Change>(int)> Listed(std::vector<Change> changes) {
    return [changes](int) { return changes; };
}

const ChangeCase Cases[] = {
    {"nothing", [](TID3v2Tag&) {}, Listed({})},
    {"title", [](TID3v2Tag& tag) { tag.Texts().SetTitle("Two"); },
     Listed({{"TIT2", "One", "Two"}})},
    {"second comment",
     [](TID3v2Tag& tag) {
         TID3Frame* frame = nullptr;
         ASSERT_TRUE(tag.FindFirstFrame(fiComment, frame));
         ASSERT_TRUE(tag.FindNextFrame(fiComment, frame));
         frame->As<TID3ContentFrame>()->SetText("changed");
     },
     Listed({{"COMM 2", "[eng] b: second", "[eng] b: changed"}})},
    {"picture bytes of the same size",
     [](TID3v2Tag& tag) {
         QByteArray bytes = PictureBytes;
         bytes[10] = 'X';
         Picture(tag)->SetPictureData(bytes);
     },
     Listed({{"APIC", "front cover, image/jpeg, 11 bytes", "front cover, image/jpeg, 11 bytes"}})},
    {"picture bytes equal but not shared",
     [](TID3v2Tag& tag) { Picture(tag)->SetPictureData(QByteArray(PictureBytes.constData(), 11)); },
     Listed({})},
    {"picture description", [](TID3v2Tag& tag) { Picture(tag)->SetDescription("x"); },
     Listed({{"APIC", "front cover, image/jpeg, 11 bytes", "front cover, image/jpeg, 11 bytes"}})},
    {"picture type", [](TID3v2Tag& tag) { Picture(tag)->SetPictureType(ptOther); },
     Listed(
         {{"APIC", "front cover, image/jpeg, 11 bytes", "picture type 0, image/jpeg, 11 bytes"}})},
    {"last private frame",
     [](TID3v2Tag& tag) {
         int count = 0;
         while (NthPrivate(tag, count + 1))
             ++count;
         ASSERT_GT(count, 0);
         NthPrivate(tag, count)->SetData("other");
     },
     [](int count) {
         const QString name = count > 1 ? QStringLiteral("PRIV %1").arg(count) : "PRIV";
         const qsizetype size = QByteArray("owner" + QByteArray::number(count - 1)).size();
         return std::vector<Change>{{name, QStringLiteral("%1 bytes").arg(size), "5 bytes"}};
     }},
    {"first comment removed: the second takes its name",
     [](TID3v2Tag& tag) {
         TID3Frame* frame = nullptr;
         ASSERT_TRUE(tag.FindFirstFrame(fiComment, frame));
         tag.Frames().Remove(frame);
     },
     Listed({{"COMM", "[eng] a: first", "[eng] b: second"}, {"COMM 2", "[eng] b: second", ""}})},
    {"comment language corrected",
     [](TID3v2Tag& tag) {
         TID3Frame* frame = nullptr;
         ASSERT_TRUE(tag.FindFirstFrame(fiComment, frame));
         frame->As<TID3ContentFrame>()->SetLanguage("ENG");
     },
     Listed({{"COMM", "[eng] a: first", "[ENG] a: first"}})},
    {"frame added and frame removed",
     [](TID3v2Tag& tag) {
         tag.Texts().SetAlbum("New");
         tag.Frames().RemoveAllByID(fiTitle);
     },
     Listed({{"TIT2", "One", ""}, {"TALB", "", "New"}})},
};

class TagChangesTest : public testing::TestWithParam<std::tuple<ChangeCase, int>> {};

TEST_P(TagChangesTest, ListsTheChangedFieldsByName) {
    const auto& [c, privateFrames] = GetParam();
    Mp3Fixture fixture(3);
    fixture.Text("TIT2", "One").Comment("first", "a").Comment("second", "b");
    for (int i = 0; i < privateFrames; ++i)
        fixture.Raw("PRIV", "owner" + QByteArray::number(i));
    fixture.Picture(3, "image/jpeg", PictureBytes);
    TID3v2Tag tag;
    tag.SetFileName("a.mp3");
    tag.OpenFromFileStart(fixture.TagBytes());

    TTagFields before;
    SetTagFields(before, tag, ive2_3, nullptr);
    c.change(tag);
    TTagFields after;
    SetTagFields(after, tag, ive2_3, nullptr);
    // Fields that take the contents of unchanged frames from the earlier ones hold the same,
    // and the contents kept on the way are the frames' own.
    TTagFields reused;
    TFrameContents contents;
    SetTagFields(reused, tag, ive2_3, nullptr, false, &contents, &before);
    ASSERT_EQ(reused.size(), after.size());
    for (qsizetype i = 0; i < after.size(); ++i)
        EXPECT_EQ(reused[i].Content, after[i].Content) << c.name << " " << after[i].Name.data();
    ASSERT_EQ(contents.size(), tag.Frames().Count());
    for (int i = 0; i < tag.Frames().Count(); ++i)
        if (!contents[i].isNull())
            EXPECT_EQ(contents[i], tag.Frames().At(i)->BuildContent(ive2_3)) << c.name;

    std::vector<Change> changes;
    for (const TFieldChange& change : ChangedFields(before, after))
        changes.push_back({change.Name, change.Old, change.New});
    EXPECT_EQ(changes, c.expected(privateFrames))
        << c.name << " with " << privateFrames << " PRIV frames";
}

// One and forty extra frames: a long tag is looked up by another way than a short one.
INSTANTIATE_TEST_SUITE_P(Fields, TagChangesTest,
                         testing::Combine(testing::ValuesIn(Cases), testing::Values(1, 40)));

// A list filled for one tag and then for a shorter one holds the second tag's fields alone.
TEST(TagChanges, AReusedListHoldsTheNewTagOnly) {
    TID3v2Tag tag;
    tag.SetFileName("a.mp3");
    Mp3Fixture many(4);
    for (const char* id : {"TIT2", "TALB", "TPE1", "TCON"})
        many.Text(id, "x");
    tag.OpenFromFileStart(many.TagBytes());
    TTagFields fields;
    SetTagFields(fields, tag, ive2_4, nullptr);
    ASSERT_EQ(fields.size(), 4);

    tag.OpenFromFileStart(Mp3Fixture(4).Text("TIT2", "y").TagBytes());
    SetTagFields(fields, tag, ive2_4, nullptr);
    TTagFields fresh;
    SetTagFields(fresh, tag, ive2_4, nullptr);
    EXPECT_TRUE(ChangedFields(fields, fresh).isEmpty());
    ASSERT_EQ(fields.size(), 1);
    EXPECT_EQ(FieldName(fields[0]), "TIT2");
    EXPECT_EQ(FieldText(fields[0]), "y");
}

} // namespace
