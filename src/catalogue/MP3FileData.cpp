#include "catalogue/MP3FileData.h"

TMP3FileData* GetMP3FileDataFromFileName(const TMP3FileDataList& AMP3FileDataList,
                                         const QString& AFileName) {
    for (const std::unique_ptr<TMP3FileData>& record : AMP3FileDataList) {
        if (record && record->FileName == AFileName) {
            return record.get();
        }
    }
    return nullptr;
}

void ClearMP3FileDataList(TMP3FileDataList& AMP3FileDataList) {
    AMP3FileDataList.clear();
}

TMP3TagData* CopyMP3TagData(const TMP3TagData* FromMP3TagData, TMP3TagData& ToMP3TagData) {
    if (FromMP3TagData == nullptr) {
        return nullptr;
    }
    ToMP3TagData = *FromMP3TagData;
    return &ToMP3TagData;
}

std::unique_ptr<TMP3TagData> CopyMP3TagData(const TMP3TagData* FromMP3TagData) {
    if (FromMP3TagData == nullptr) {
        return nullptr;
    }
    return std::make_unique<TMP3TagData>(*FromMP3TagData);
}
