#include "testsupport/ScriptedUiPort.h"

void ScriptedUiPort::ShowMessage(MessageKind kind, const QString& text, const QString& caption) {
    static constexpr Kind kinds[] = {Kind::Information, Kind::Warning, Kind::Error};
    Messages.append({kinds[static_cast<int>(kind)], text, caption});
}

bool ScriptedUiPort::AskYesNo(const QString& text, const QString& caption) {
    Messages.append({Kind::Question, text, caption});
    return Answers.isEmpty() ? false : Answers.dequeue();
}

QString ScriptedUiPort::PickFolder(const QString& caption, const QString& startFolder) {
    PickerCaptions.append(caption);
    PickerStartFolders.append(startFolder);
    return PickerResults.isEmpty() ? QString() : PickerResults.dequeue().value(0);
}

QStringList ScriptedUiPort::PickOpenFiles(const QString& caption, const QString& startFolder,
                                          const QStringList& filters) {
    PickerCaptions.append(caption);
    PickerStartFolders.append(startFolder);
    PickerFilters.append(filters);
    return PickerResults.isEmpty() ? QStringList() : PickerResults.dequeue();
}

TSaveFileChoice ScriptedUiPort::PickSaveFile(const TSaveFileRequest& request) {
    PickerCaptions.append(request.Caption);
    SaveRequests.append(request);
    return SaveChoices.isEmpty() ? TSaveFileChoice() : SaveChoices.dequeue();
}

void ScriptedUiPort::ProcessPendingEvents() {
    ++PendingEventCalls;
    if (OnPendingEvents)
        OnPendingEvents();
}

QStringList ScriptedUiPort::Texts(ScriptedUiPort::Kind kind) const {
    QStringList texts;
    for (const Message& m : Messages)
        if (m.Kind == kind)
            texts.append(m.Text);
    return texts;
}
