#pragma once

#include "catalogue/MP3FileData.h"
#include "settings/OptionSet.h"
#include "support/UiPort.h"
#include "ui/Commands.h"
#include "ui/MainList.h"

#include <QObject>
#include <array>

// The main window without pixels: the catalogue, the main list, the mismatch count, the busy
// flag and stop request, the status text and every command's enabled state. The desktop
// program shows this state and forwards gestures to it; the command-line tool and the tests
// drive the very same handlers.
class TMainWindowState : public QObject {
    Q_OBJECT
public:
    explicit TMainWindowState(UiPort& ui);
    ~TMainWindowState() override;

    UiPort& Ui() { return FUi; }
    TOptionSet& Options() { return FOptions; }
    const TOptionSet& Options() const { return FOptions; }
    TMP3FileDataList& Catalogue() { return FCatalogue; }
    TMainList& MainList() { return FMainList; }
    const TMainList& MainList() const { return FMainList; }

    int MismatchCount() const { return FMismatchCount; }
    void AddToMismatchCount(int delta) { FMismatchCount += delta; }
    bool Busy() const { return FBusy; }
    bool StopRequested() const { return FStopRequest; }
    bool StatisticsValid() const { return FStatisticsValid; }
    void SetStatisticsValid(bool valid) { FStatisticsValid = valid; }

    bool CommandEnabled(TCommand c) const { return FEnabled[std::size_t(c)]; }
    const QString& StatusText() const { return FStatusText; }
    const QString& ListToolTip() const { return FListToolTip; }

    // Recomputes the status text and the enabled state of the commands that depend on the list.
    void UpdateStatusBar();

    // A click on the list (or Up/Down released in it): while busy, offers to stop the running
    // operation; otherwise shows the suggested genre of the selected row as the tooltip.
    void ListClick();

    // Empties the main list (the catalogue keeps its records).
    void ClearMainList();

signals:
    void CommandStatesChanged();
    void StatusTextChanged(const QString& text);
    void ListToolTipChanged(const QString& text);

private:
    friend class TLongOperation;
    void SetEnabled(TCommand c, bool enabled);
    void UpdateCommandStates();
    void SetStatusText(const QString& text);

    UiPort& FUi;
    TOptionSet FOptions;
    TMP3FileDataList FCatalogue;
    TMainList FMainList;
    int FMismatchCount = 0;
    bool FBusy = false;
    bool FStopRequest = false;
    bool FStatisticsValid = false;
    std::array<bool, std::size_t(TCommand::Count)> FEnabled{};
    QString FStatusText;
    QString FListToolTip;
};

// One long operation over files or rows: sets the cursor, disables its commands, shows its
// status text and progress and raises the busy flag; Step() before each item lets the window
// handle events and honours a stop request. Whatever ends the operation, leaving the scope puts
// the busy flag, the commands and the cursor back.
class TLongOperation {
public:
    TLongOperation(TMainWindowState& state, UiPort::Cursor cursor,
                   std::initializer_list<TCommand> disabled, const QString& statusText, int steps);
    ~TLongOperation();
    TLongOperation(const TLongOperation&) = delete;
    TLongOperation& operator=(const TLongOperation&) = delete;

    // False when the person asked to stop: the busy flag and the stop request are then cleared.
    bool Step();
    bool Stopped() const { return FStopped; }

private:
    TMainWindowState& FState;
    std::vector<TCommand> FDisabled;
    bool FStopped = false;
};
