// vantrel-report's desktop on Windows, for --live: the snapshot of this desktop and the running
// program's own path.
#pragma once

#include "report/run/Ports.h"

namespace report {

class ThisDesktop : public Desktop {
public:
    LiveSnapshot Snapshot() override;
    std::string ProgramPath() override;
};

} // namespace report
