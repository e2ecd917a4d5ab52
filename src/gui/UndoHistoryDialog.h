#pragma once

#include "ui/UndoRuns.h"

#include <QDialog>

class QAction;
class QPushButton;
class QTreeWidget;

// Undo History: the kept runs that changed music files (date, operation, files, whether they can
// be undone now), newest first; Undo undoes the chosen one after the newer runs on the same
// files. It also carries out Undo Last Changes. It lives as long as the main window.
class UndoHistoryDialog : public QDialog {
    Q_OBJECT
public:
    UndoHistoryDialog(TMainWindowState& state, QWidget* parent);

    // Tools, Undo Last Changes and Undo History... run here.
    void Connect(QAction* undoLastChanges, QAction* undoHistory);
    // Reads the kept runs again and shows the dialog.
    void Execute();

    QTreeWidget* List() const { return FList; }
    QPushButton* UndoButton() const { return FUndo; }

private:
    void ShowRuns();
    void UndoChosen();

    TUndoRuns FUndoRuns;
    QList<TJournalRun> FRuns;
    QTreeWidget* FList = nullptr;
    QPushButton* FUndo = nullptr;
};
