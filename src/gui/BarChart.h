#pragma once

#include <QList>
#include <QString>
#include <QWidget>

// Bars painted from a statistics table: one bar per entry with its label under it, scaled to
// the largest value, in the palette's highlight colour. A click on a bar reports its entry.
class BarChart : public QWidget {
    Q_OBJECT
public:
    struct Bar {
        QString Label;
        int Value = 0;
        int Entry = -1; // the table row it stands for; -1 for a gap (a year without tracks)
    };

    explicit BarChart(QWidget* parent = nullptr);

    void SetBars(QList<Bar> bars);
    const QList<Bar>& Bars() const { return FBars; }
    // Where a bar is drawn, for clicks and tests; empty when it is not shown.
    QRect BarRect(int index) const;

    QSize sizeHint() const override { return {480, 160}; }

signals:
    void EntryClicked(int entry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect PlotArea() const;

    QList<Bar> FBars;
    int FMaximum = 0;
};

// The tracks per year, oldest first, with an empty slot for every year between that has none;
// entries whose caption is no year (such as "<Undefined>") stay out.
QList<BarChart::Bar> YearBars(const QList<std::pair<QString, int>>& entries);
// The entries as bars, biggest first (ties in their table order).
QList<BarChart::Bar> BiggestFirstBars(const QList<std::pair<QString, int>>& entries);
