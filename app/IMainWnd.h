// What the application object asks of its main window, the tray controller.
#pragma once

#include "tray/CallHistoryStore.h"

#include <list>
#include <string>

class IMainWnd {
public:
    virtual ~IMainWnd() = default;
    // Adds a call to the history; false when the number is empty.
    virtual bool AddRecord(const std::u16string& strNumber, const std::u16string& strName,
                           uint16_t nMode) = 0;
    // The call history, oldest first.
    virtual const std::list<CdrRecord>& GetCdrList() const = 0;
    // The listener is told of every record added to the history until it is removed.
    virtual void AddHistoryListener(ICallHistoryListener& listener) = 0;
    virtual void RemoveHistoryListener(ICallHistoryListener& listener) = 0;
};
