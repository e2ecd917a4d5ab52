#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

// Answers the first modal window of type W that opens from now on. The look goes on while the
// program handles events, so a window that comes only after a transfer or an outside tool has
// run is still found; owner ends the look should no such window ever open.
template <class W> void WhenModal(QObject* owner, std::function<void(W*)> answer) {
    auto* timer = new QTimer(owner);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!window)
            return;
        timer->stop();
        timer->deleteLater();
        answer(window);
    });
    timer->start();
}
