#include "fixing/BulkTagEdits.h"

#include "catalogue/FileAnalysis.h"
#include "fixing/CoverArt.h"
#include "fixing/FileTimes.h"
#include "fixing/FileWriter.h"
#include "fixing/FixEngine.h"
#include "fixing/MP3FileTags.h"
#include "fixing/TagEditing.h"
#include "settings/OptionSet.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QFileInfo>
#include <functional>

namespace {

// One edit: what it does to the open tags (and whether the ID3v1 tag takes part), then what it
// does to the row and the record once the file is written.
struct TRowEdit {
    bool ID3v1 = true;
    std::function<void(TMP3FileTags&)> ChangeTags;
    std::function<void(TFixRow&, TMP3TagData&, TMP3FileTags&)> ChangeRow;
};

TRowResult EditRow(TFixRow& item, TFixContext& context, const TRowEdit& edit) {
    TRowResult result;
    const QString fileName = RowFilePath(item);
    context.Files.PrepareFolder(RowFolder(item));
    const TPreservedFileTime time(fileName, context.Options.PreserveFileDateTime);
    TFixRow row = item;
    TMP3TagData values = item.Data ? item.Data->MP3TagData : TMP3TagData();
    try {
        TMP3FileTags tags(fileName, context.ID3v2Tag1, context.ID3v1Tag1, context.Files);
        edit.ChangeTags(tags);
        tags.Commit(edit.ID3v1);
        edit.ChangeRow(row, values, tags);
    } catch (const std::exception& e) {
        if (!QFileInfo(fileName).isFile())
            return result; // gone: skipped without a word
        context.Files.RestoreTime(time, fileName);
        result.Outcome = TRowOutcome::Failed;
        result.Error = QString::fromUtf8(e.what());
        LogFileNotWritten(context, QStringLiteral("File not changed"), fileName, result.Error);
        return result;
    }
    context.Files.RestoreTime(time, fileName);
    if (item.Data)
        item.Data->MP3TagData = values;
    item = row;
    result.Outcome = TRowOutcome::Done;
    return result;
}

// The title edits: the same change to the ID3v1 title, the TIT2 text and the Title cell.
TRowResult EditTitle(TFixRow& row, TFixContext& context,
                     const std::function<QString(const QString&)>& change) {
    TRowEdit edit;
    edit.ChangeTags = [&change](TMP3FileTags& tags) {
        tags.ID3v1().SongName = change(tags.ID3v1().SongName);
        tags.ID3v2().Texts().SetTitle(change(tags.ID3v2().Texts().Title()));
    };
    edit.ChangeRow = [&change](TFixRow& r, TMP3TagData& values, TMP3FileTags&) {
        r.Title = change(r.Title);
        values.Title = r.Title;
    };
    return EditRow(row, context, edit);
}

TRowResult EditGenre(TFixRow& row, TFixContext& context, const QString& genre) {
    TRowEdit edit;
    edit.ChangeTags = [&genre](TMP3FileTags& tags) {
        tags.ID3v1().SetGenreAsString(genre);
        SetFirstOfList(tags.ID3v2().Texts().ContentType(), genre);
    };
    edit.ChangeRow = [&genre](TFixRow& r, TMP3TagData& values, TMP3FileTags&) {
        r.Genre = genre;
        values.Genre = genre;
    };
    return EditRow(row, context, edit);
}

void ShowCoverArt(TFixRow& row, TMP3TagData& values, const QString& cell) {
    row.CoverArt = cell;
    values.CoverArt = cell;
}

} // namespace

TRowResult ReplaceBracketsInTitle(TFixRow& row, TFixContext& context) {
    return EditTitle(row, context, [](const QString& title) {
        QString s = title;
        s.replace(u'[', u'(');
        s.replace(u']', u')');
        return s;
    });
}

TRowResult AddSuffixToTitle(TFixRow& row, TFixContext& context, const QString& suffix) {
    return EditTitle(row, context,
                     [&suffix](const QString& title) { return title + u' ' + suffix; });
}

TRowResult LowercaseTitle(TFixRow& row, TFixContext& context) {
    return EditTitle(row, context, LowerCaseWithAccents);
}

TRowResult SetGenreTo(TFixRow& row, TFixContext& context, const QString& genre) {
    return EditGenre(row, context, genre);
}

TRowResult ClearGenre(TFixRow& row, TFixContext& context) {
    return EditGenre(row, context, QString());
}

TRowResult EmbedCoverArt(TFixRow& row, TFixContext& context) {
    QString picture;
    TRowEdit edit;
    edit.ID3v1 = false;
    edit.ChangeTags = [&](TMP3FileTags& tags) {
        tags.ID3v2().Frames().RemoveEmptyFrames();
        picture = GetPictureFileName(RowFilePath(row), context.Log);
        if (!picture.isEmpty())
            EmbedFrontCover(tags.ID3v2(), picture);
    };
    edit.ChangeRow = [&picture](TFixRow& r, TMP3TagData& values, TMP3FileTags& tags) {
        if (!picture.isEmpty())
            ShowCoverArt(r, values, CoverArtCell(tags.ID3v2(), picture));
    };
    return EditRow(row, context, edit);
}

TRowResult ClearComments(TFixRow& row, TFixContext& context) {
    TRowEdit edit;
    edit.ChangeTags = [](TMP3FileTags& tags) {
        tags.ID3v1().Comment.clear();
        RemoveAllFramesByID(tags.ID3v2(), fiComment);
    };
    edit.ChangeRow = [](TFixRow& r, TMP3TagData& values, TMP3FileTags&) {
        r.Comments.clear();
        values.Comment.clear();
    };
    return EditRow(row, context, edit);
}

TRowResult ClearCoverArt(TFixRow& row, TFixContext& context) {
    TRowEdit edit;
    edit.ID3v1 = false;
    edit.ChangeTags = [](TMP3FileTags& tags) { RemoveFrontCovers(tags.ID3v2()); };
    edit.ChangeRow = [](TFixRow& r, TMP3TagData& values, TMP3FileTags& tags) {
        ShowCoverArt(r, values, CoverArtCell(tags.ID3v2(), QString()));
    };
    return EditRow(row, context, edit);
}

TRowResult ClearTrackNumber(TFixRow& row, TFixContext& context) {
    TRowEdit edit;
    edit.ChangeTags = [](TMP3FileTags& tags) {
        tags.ID3v1().AlbumTrack = 0;
        tags.ID3v2().Texts().SetTrackNum(QStringLiteral("0"));
    };
    edit.ChangeRow = [](TFixRow& r, TMP3TagData& values, TMP3FileTags&) {
        r.TrackNumber.clear();
        values.TrackNumber.clear();
    };
    return EditRow(row, context, edit);
}

QString TitleWithoutSuffixes(const QString& title, const TFixContext& context) {
    QString t = title;
    for (const TCheckListItem& suffix : context.Options.Suffixes) {
        if (!suffix.Checked || suffix.Text.isEmpty())
            continue;
        const qsizetype at = t.indexOf(u' ' + suffix.Text);
        if (at >= 0)
            t.truncate(at);
    }
    return t;
}

TRowResult ClearTitleSuffix(TFixRow& row, TFixContext& context) {
    const QString title = TitleWithoutSuffixes(row.Title, context);
    if (title == row.Title)
        return {};
    return EditTitle(row, context, [&title](const QString&) { return title; });
}
