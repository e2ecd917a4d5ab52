#include "gui/BarChart.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <map>

namespace {

// Room for the labels under the bars and a margin around the plot.
constexpr int LabelHeight = 18;
constexpr int Margin = 6;
// Years further apart than this are drawn without their gap, so that one odd year does not
// squeeze every bar to a line.
constexpr int MaximumYearSpan = 300;

} // namespace

BarChart::BarChart(QWidget* parent) : QWidget(parent) {
    setMinimumHeight(120);
}

void BarChart::SetBars(QList<Bar> bars) {
    FBars = std::move(bars);
    FMaximum = 0;
    for (const Bar& bar : FBars)
        FMaximum = std::max(FMaximum, bar.Value);
    update();
}

QRect BarChart::PlotArea() const {
    return rect().adjusted(Margin, Margin, -Margin, -Margin - LabelHeight);
}

QRect BarChart::BarRect(int index) const {
    if (index < 0 || index >= FBars.size() || FMaximum <= 0)
        return {};
    const QRect plot = PlotArea();
    const double slot = double(plot.width()) / double(FBars.size());
    const int height = int(double(plot.height()) * FBars[index].Value / FMaximum);
    const int left = plot.left() + int(slot * index);
    const int width = std::max(1, int(slot * 0.8));
    return {left + int(slot * 0.1), plot.bottom() - height + 1, width, height};
}

void BarChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect plot = PlotArea();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    const double slot = FBars.isEmpty() ? 0.0 : double(plot.width()) / double(FBars.size());
    // Labels as far apart as their text needs.
    const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8;
    const int labelEvery = slot > 0 ? std::max(1, int(labelWidth / slot) + 1) : 1;
    for (int i = 0; i < FBars.size(); ++i) {
        painter.fillRect(BarRect(i), palette().highlight());
        if (i % labelEvery != 0)
            continue;
        const QRect label(plot.left() + int(slot * i) - labelWidth / 2 + int(slot / 2),
                          plot.bottom() + 2, labelWidth, LabelHeight);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop,
                         fontMetrics().elidedText(FBars[i].Label, Qt::ElideRight, labelWidth));
    }
}

void BarChart::mousePressEvent(QMouseEvent* event) {
    const QRect plot = PlotArea();
    if (FBars.isEmpty() || !plot.contains(event->position().toPoint()))
        return;
    const int index = int((event->position().x() - plot.left()) * FBars.size() / plot.width());
    if (index >= 0 && index < FBars.size() && FBars[index].Entry >= 0)
        emit EntryClicked(FBars[index].Entry);
}

QList<BarChart::Bar> YearBars(const QList<std::pair<QString, int>>& entries) {
    std::map<int, std::pair<int, int>> years; // year: tracks, entry
    for (int i = 0; i < entries.size(); ++i) {
        bool isYear = false;
        const int year = entries[i].first.toInt(&isYear);
        if (isYear)
            years[year] = {entries[i].second, i};
    }
    QList<BarChart::Bar> bars;
    if (years.empty())
        return bars;
    const bool gaps = years.rbegin()->first - years.begin()->first <= MaximumYearSpan;
    int previous = years.begin()->first - 1;
    for (const auto& [year, value] : years) {
        for (int missing = previous + 1; gaps && missing < year; ++missing)
            bars.append({QString::number(missing), 0, -1});
        bars.append({QString::number(year), value.first, value.second});
        previous = year;
    }
    return bars;
}

QList<BarChart::Bar> BiggestFirstBars(const QList<std::pair<QString, int>>& entries) {
    QList<BarChart::Bar> bars;
    for (int i = 0; i < entries.size(); ++i)
        bars.append({entries[i].first, entries[i].second, i});
    std::stable_sort(bars.begin(), bars.end(), [](const BarChart::Bar& a, const BarChart::Bar& b) {
        return a.Value > b.Value;
    });
    return bars;
}
