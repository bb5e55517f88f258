#pragma once
// The window that edits the plan of the next searches: the address range,
// a fast search with its time per address, and the line settings to try in
// turn. It edits the plan only when the technician confirms.

#include "app/SearchPlan.h"

namespace zor {

class SearchOptionsDialog {
public:
    virtual ~SearchOptionsDialog() = default;
    // shortestProbeMs: the least time per address the bus settings allow.
    virtual bool edit(SearchPlan& plan, uint32_t shortestProbeMs) = 0;
};

} // namespace zor
