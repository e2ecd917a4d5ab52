#pragma once

#include "support/UiPort.h"

#include <QQueue>
#include <QStringList>
#include <QVector>
#include <functional>

// A UiPort for tests: records every message and question, answers questions and pickers from
// queues filled by the test, and counts progress. An unexpected question answers No and an
// unexpected picker cancels, both recorded, so a test sees what it did not plan for.
class ScriptedUiPort : public UiPort {
public:
    enum class Kind { Information, Warning, Error, Question };
    struct Message {
        ScriptedUiPort::Kind Kind;
        QString Text;
        QString Caption;
    };

    QVector<Message> Messages;
    QQueue<bool> Answers;
    QQueue<QStringList> PickerResults;
    QStringList PickerCaptions;
    QStringList PickerStartFolders;   // of folder and open-file pickers (with a proposed name)
    QList<QStringList> PickerFilters; // of open-file pickers
    QQueue<TSaveFileChoice> SaveChoices;
    QVector<TSaveFileRequest> SaveRequests;
    QString StatusText;
    Cursor CurrentCursor = Cursor::Normal;
    int ProgressMaximum = 0;
    int ProgressPosition = 0;
    int PendingEventCalls = 0;
    std::function<void()> OnPendingEvents; // lets a test act in the middle of a long operation

    void ShowMessage(MessageKind kind, const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    QString PickFolder(const QString& caption, const QString& startFolder) override;
    QStringList PickOpenFiles(const QString& caption, const QString& startFolder,
                              const QStringList& filters) override;
    // Answers from SaveChoices (cancel when empty) and records each request.
    TSaveFileChoice PickSaveFile(const TSaveFileRequest& request) override;
    void SetProgressMaximum(int maximum) override { ProgressMaximum = maximum; }
    void SetProgressPosition(int position) override { ProgressPosition = position; }
    void StepProgress() override { ++ProgressPosition; }
    void SetStatusText(const QString& text) override { StatusText = text; }
    void SetCursor(Cursor cursor) override { CurrentCursor = cursor; }
    void ProcessPendingEvents() override;

    // The texts of the recorded messages of one kind, in order.
    QStringList Texts(ScriptedUiPort::Kind kind) const;
};
