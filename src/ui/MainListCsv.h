#pragma once

#include <QByteArray>
#include <functional>

class TMainList;

// Receives one CSV line (UTF-8, CR LF included); false when it could not be written.
using TCsvLineSink = std::function<bool(const QByteArray& line)>;

// The main list in the CSV export's layout, line by line: the captions, then every row in
// display order. The Export command and quenlor-cli's list both write through it, so that their
// bytes agree. beforeRow runs before each row and ends the table early when it answers false.
// Answers the number of rows written, or -1 when the sink failed.
int WriteMainListCsv(const TMainList& list, const TCsvLineSink& sink,
                     const std::function<bool()>& beforeRow = {});
