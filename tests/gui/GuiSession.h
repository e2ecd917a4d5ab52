#pragma once

#include "gui/GuiUiPort.h"
#include "gui/MainWindow.h"
#include "testsupport/TempDir.h"

#include <QQueue>
#include <QStringList>
#include <functional>
#include <memory>

// The window's own UiPort with its message boxes and pickers answered from a script, so that
// the tests drive the real widgets without blocking on a modal dialog.
class ScriptedGuiUi : public GuiUiPort {
public:
    using GuiUiPort::GuiUiPort;
    QStringList Messages;
    QQueue<bool> Answers;
    QQueue<QString> Picks;
    QStringList PickStarts; // where each folder picker started
    std::function<void()> OnPendingEvents;

    void ShowMessage(MessageKind, const QString& text, const QString& caption) override {
        Messages << (caption.isEmpty() ? QString() : caption + ": ") + text;
    }
    bool AskYesNo(const QString& text, const QString&) override {
        Messages << text;
        return Answers.isEmpty() ? false : Answers.dequeue();
    }
    QString PickFolder(const QString&, const QString& startFolder) override {
        PickStarts << startFolder;
        return Picks.isEmpty() ? QString() : Picks.dequeue();
    }
    QStringList PickOpenFiles(const QString&, const QString&, const QStringList&) override {
        return Picks.isEmpty() ? QStringList() : QStringList{Picks.dequeue()};
    }
    void ProcessPendingEvents() override {
        GuiUiPort::ProcessPendingEvents();
        if (OnPendingEvents)
            OnPendingEvents();
    }
};

// One desktop session over a private settings store, log and data folder.
struct Session {
    TempDir home;
    ScriptedGuiUi* ui = nullptr;
    std::unique_ptr<MainWindow> window;

    Session() { Start(); }

    void Start() {
        qputenv("XDG_DATA_HOME", home.File("data").toUtf8());
        TMainWindowPaths paths;
        paths.StoreFileName = home.File("config/settings.json");
        paths.LogFileName = home.File("state/Quenlor.log");
        paths.InstalledDataFolder = QString::fromUtf8(VARNHOLM_SOURCE_DATA_DIR);
        paths.JournalFolder = home.File("data/journal");
        window =
            std::make_unique<MainWindow>(paths, [this](QWidget* w, QProgressBar* p, QLabel* l) {
                auto port = std::make_unique<ScriptedGuiUi>(w, p, l);
                ui = port.get();
                return port;
            });
    }
    void Restart() {
        window->close();
        window.reset();
        Start();
    }
    TMainWindowState& State() { return window->State(); }
    QStringList Column(int column) {
        QStringList cells;
        const TMainList& list = State().MainList();
        for (int r = 0; r < list.Count(); ++r)
            cells << list.Cell(r, column);
        return cells;
    }
    // A folder of files without tags: each is flagged, its track number from its name.
    QString Library(const QString& name, const QStringList& files) {
        for (const QString& file : files)
            home.Write(name + "/" + file, QByteArray(64, '\0'));
        return home.File(name);
    }
    void Browse(const QString& folder) {
        ui->Picks.enqueue(folder);
        window->Action(TCommand::Browse)->trigger();
    }
};
