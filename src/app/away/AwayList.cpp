#include "app/away/AwayList.h"

#include "platform/core/Exception.h"
#include "strings/TextRoutines.h"

TAwayMessage* TAwayMessageList::Add() {
    return items_.emplace_back(std::make_unique<TAwayMessage>()).get();
}

TAwayMessage* TAwayMessageList::Items(qsizetype index) const {
    if (index < 0 || index >= Count()) {
        plat::ThrowListIndexError(index);
    }
    return items_[static_cast<size_t>(index)].get();
}

TAwayCharacter* TAwayList::Add() {
    return items_.emplace_back(std::make_unique<TAwayCharacter>()).get();
}

TAwayCharacter* TAwayList::Items(qsizetype index) const {
    if (index < 0 || index >= Count()) {
        plat::ThrowListIndexError(index);
    }
    return items_[static_cast<size_t>(index)].get();
}

qsizetype TAwayList::IndexOf(QStringView name) const {
    for (qsizetype i = 0; i < Count(); ++i) {
        if (txt::SameTextAscii(items_[static_cast<size_t>(i)]->Name(), name)) {
            return i;
        }
    }
    return -1;
}
