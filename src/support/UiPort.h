#pragma once

#include <QString>
#include <QStringList>

// What a save dialog asks for, and what the person chose in it.
struct TSaveFileRequest {
    QString Caption;
    QString StartFolder;
    QStringList Filters; // "Description (*.ext)" entries, as Qt file dialogs take them
    int FilterIndex = 0; // the filter shown first
    // Added to a name typed without extension when the chosen filter names none of its own.
    QString DefaultExtension;
    bool ConfirmOverwrite = true; // ask before an existing file is replaced
};
struct TSaveFileChoice {
    QString FileName; // empty when the person cancelled
    int FilterIndex = 0;
};

// The only way the core reaches the person in front of the program. The desktop program
// implements it with widgets, the command-line tool with stderr and --yes/--no, the tests
// with a script that records every call.
class UiPort {
public:
    enum class MessageKind { Information, Warning, Error };
    enum class Cursor { Normal, Busy, Background };

    virtual ~UiPort() = default;

    // A modal message with an OK button. An empty caption means the application title.
    virtual void ShowMessage(MessageKind kind, const QString& text,
                             const QString& caption = {}) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption = {}) = 0;

    // Pickers return an empty result when the person cancels.
    virtual QString PickFolder(const QString& caption, const QString& startFolder) = 0;
    // filters: "Description (*.ext *.ext2)" entries, as Qt file dialogs take them.
    virtual QStringList PickOpenFiles(const QString& caption, const QString& startFolder,
                                      const QStringList& filters) = 0;
    virtual TSaveFileChoice PickSaveFile(const TSaveFileRequest& request) = 0;

    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void StepProgress() = 0;

    virtual void SetStatusText(const QString& text) = 0;
    virtual void SetCursor(Cursor cursor) = 0;

    // Lets the window repaint and deliver clicks in the middle of a long operation.
    virtual void ProcessPendingEvents() = 0;
};
