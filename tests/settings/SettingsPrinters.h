#pragma once

#include "settings/OptionSet.h"

#include <ostream>

// Readable failure messages for check lists: «Rock=1, Pop=0».
inline void PrintTo(const TCheckListItem& item, std::ostream* os) {
    *os << item.Text.toStdString() << '=' << item.Checked;
}
inline void PrintTo(const TCheckList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i ? ", " : "");
        PrintTo(list[i], os);
    }
    *os << '}';
}
