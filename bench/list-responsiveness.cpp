// How quickly the desktop window shows a long list: the time from the end of the analysis (every
// record made) to the list drawn, and the time to sort one column and draw it again, for N rows.
// Prints the median of RUNS runs of each and the peak memory of the process.
//
//   list-responsiveness [ROWS] [RUNS]     (defaults: 100000 rows, 5 runs)
#include "gui/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
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

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

    QTemporaryDir home;
    TMainWindowPaths paths;
    paths.StoreFileName = home.filePath(QStringLiteral("settings.json"));
    paths.LogFileName = home.filePath(QStringLiteral("Quenlor.log"));
    paths.InstalledDataFolder = home.path();
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    MainWindow window(paths);
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
    std::printf("peak memory: %.1f MB\n", PeakKilobytes() / 1024.0);
    window.close();
    return 0;
}
