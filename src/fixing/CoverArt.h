#pragma once

#include <QString>

class TID3PictureFrame;
class TID3v2Tag;

// The front cover picture frames of an ID3v2 tag, as the fix and the edits handle them.

// The last picture frame of type front cover, or nullptr.
TID3PictureFrame* LastFrontCover(const TID3v2Tag& tag);

// Puts the picture file into the tag as its front cover: into the last front cover frame, or a
// new one, with an empty description and the MIME type of the file's extension. Earlier front
// covers with an empty description go, as writing the tag would otherwise keep the first of
// them and drop the picture just loaded. Throws TError when the picture cannot be read (the tag
// then still holds the frames it had).
TID3PictureFrame* EmbedFrontCover(TID3v2Tag& tag, const QString& pictureFileName);

// The picture becomes the tag's one front cover: the last front cover frame (or a new one)
// takes the bytes, the MIME type and an empty description, and every other front cover goes.
// Pictures of other types stay.
TID3PictureFrame* SetOnlyFrontCover(TID3v2Tag& tag, const QByteArray& data,
                                    const QString& mimeType);

// Removes every front cover frame.
void RemoveFrontCovers(TID3v2Tag& tag);

// The Cover Art cell for the tag as it stands: "Yes (" + the MIME type of its last front cover
// + ")", or "No". A front cover without a MIME type takes the type of pictureFileName's
// extension when a picture file was found.
QString CoverArtCell(const TID3v2Tag& tag, const QString& pictureFileName);

// The MIME type of a picture file, from its extension.
QString PictureFileMIMEType(const QString& pictureFileName);
