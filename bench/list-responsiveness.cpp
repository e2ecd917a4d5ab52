// How quickly the desktop window shows a long list: the time from the end of the analysis (every
// record made) to the list drawn, and the time to sort one column and draw it again, for N rows.
// Prints the median of RUNS runs of each and the peak memory of the process.
//
// With FOLDER, also browses it RUNS times in the window while a 2 ms timer notes the longest
// time the event loop went without handling events (the longest wait a click or a repaint
// sees), then browses it three more times with a stop asked for at a quarter, half and three
// quarters of the median browse time, and notes how long the browse took from the stop to its
// end (the rows so far shown).
//
//   list-responsiveness [ROWS] [RUNS] [FOLDER]     (defaults: 100000 rows, 5 runs, no folder)
//   (bench/make-corpus makes a library: build-bench/bin/make-corpus /tmp/lib 100000)
#include "gui/GuiUiPort.h"
#include "gui/MainWindow.h"
#include "support/LargePages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

long PeakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Records as the analysis leaves them: realistic lengths, a few hundred artists and albums.
void MakeRecords(TMP3FileDataList& catalogue, int rows) {
    ClearMP3FileDataList(catalogue);
    for (int i = 0; i < rows; ++i) {
        auto record = std::make_unique<TMP3FileData>();
        const QString artist = QStringLiteral("Artist %1").arg(i % 400);
        const QString album = QStringLiteral("Album %1").arg(i % 4000);
        const QString title = QStringLiteral("Song number %1 of the bench").arg(i);
        const QString track = QString::number(i % 14 + 1);
        record->FileName =
            QStringLiteral("/music/%1/%2/%3 - %4.mp3").arg(artist, album, track, title);
        TMP3TagData& tag = record->MP3TagData;
        tag = {artist,
               title,
               track,
               album,
               QString::number(1960 + i % 60),
               QStringLiteral("Rock"),
               QString(),
               QStringLiteral("No")};
        record->MP3Mismatch = i % 7 == 0;
        catalogue.push_back(std::move(record));
    }
}

// The window's port, with the stop question answered Yes at once.
class StoppingUi : public GuiUiPort {
public:
    using GuiUiPort::GuiUiPort;
    bool AskYesNo(const QString&, const QString&) override { return true; }
};

struct BrowseRun {
    double Seconds = 0;
    double LongestWaitMs = 0;
    double StopToEndMs = -1;
    int Rows = 0;
};

// One browse of the folder in the window; with stopAfterMs >= 0 a click on the list asks to
// stop after that time.
BrowseRun Browse(MainWindow& window, const QString& folder, int stopAfterMs) {
    TMainWindowState& state = window.State();
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longest = 0;
    qint64 stopAt = -1;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [&] {
        stopAt = clock.nsecsElapsed();
        state.ListClick();
    });
    clock.start();
    tick.start();
    if (stopAfterMs >= 0)
        stop.start(stopAfterMs);
    state.BrowseMP3Folder(folder);
    const qint64 end = clock.nsecsElapsed();
    longest = std::max(longest, end - lastTick);
    BrowseRun run;
    run.Seconds = end / 1e9;
    run.LongestWaitMs = longest / 1e6;
    run.StopToEndMs = stopAt >= 0 ? (end - stopAt) / 1e6 : -1;
    run.Rows = state.MainList().Count();
    return run;
}

void MeasureBrowse(MainWindow& window, const QString& folder, int runs) {
    std::vector<double> seconds, waits;
    int rows = 0;
    for (int run = 0; run < runs; ++run) {
        const BrowseRun r = Browse(window, folder, -1);
        seconds.push_back(r.Seconds);
        waits.push_back(r.LongestWaitMs);
        rows = r.Rows;
    }
    std::printf("browse of %d files: median %.3f s; longest event-loop wait per run (ms):", rows,
                Median(seconds));
    for (double w : waits)
        std::printf(" %.1f", w);
    std::printf(" (median %.1f)\n", Median(waits));
    for (double fraction : {0.25, 0.5, 0.75}) {
        const BrowseRun r = Browse(window, folder, int(Median(seconds) * 1000 * fraction));
        std::printf(
            "stop at %.0f%%: %d rows, stop to end of browse %.1f ms, longest wait %.1f ms\n",
            fraction * 100, r.Rows, r.StopToEndMs, r.LongestWaitMs);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    // As the program's own start does.
    PreferLargePagesForHeap();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();

    QTemporaryDir home;
    TMainWindowPaths paths;
    paths.StoreFileName = home.filePath(QStringLiteral("settings.json"));
    paths.LogFileName = home.filePath(QStringLiteral("Quenlor.log"));
    paths.InstalledDataFolder = home.path();
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    MainWindow window(paths, [](QWidget* w, QProgressBar* p, QLabel* l) {
        return std::make_unique<StoppingUi>(w, p, l);
    });
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    TMainWindowState& state = window.State();

    std::vector<double> show, sort;
    for (int run = 0; run < runs; ++run) {
        state.ClearMainList();
        MakeRecords(state.Catalogue(), rows);
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        state.MainList().BeginUpdate();
        for (const auto& record : state.Catalogue())
            state.DisplayMP3FileData(record.get(), false);
        state.MainList().EndUpdate();
        state.MainList().SelectOnly(0);
        state.UpdateStatusBar();
        window.ListView()->viewport()->repaint();
        QApplication::processEvents();
        show.push_back(timer.nsecsElapsed() / 1e9);

        timer.restart();
        window.ListView()->horizontalHeader()->sectionClicked(mcTitle);
        window.ListView()->viewport()->repaint();
        QApplication::processEvents();
        sort.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::printf("rows %d runs %d\n", rows, runs);
    std::printf("list shown after analysis: median %.3f s\n", Median(show));
    std::printf("sort by Title and redraw:  median %.3f s\n", Median(sort));
    if (!folder.isEmpty())
        MeasureBrowse(window, folder, runs);
    std::printf("peak memory: %.1f MB\n", PeakKilobytes() / 1024.0);
    window.close();
    return 0;
}
