#pragma once
// The program's busy state: while anything is busy the mouse shows the wait
// cursor. Begin and end nest by count; the first begin pushes the wait cursor
// onto Qt's override cursor stack and the last end takes it off again, so
// the cursor changes once however deep the nesting. An end with nothing busy
// does nothing.

namespace plat {

void BeginBusy();
void EndBusy();
int BusyCount();

// Busy for the lifetime of the object.
class BusyScope {
public:
    BusyScope() { BeginBusy(); }
    ~BusyScope() { EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

} // namespace plat
