#pragma once

#include <QByteArray>

class TMainList;

// The main list in the CSV export's layout: the captions, then every row in display order.
QByteArray MainListCsv(const TMainList& list);
