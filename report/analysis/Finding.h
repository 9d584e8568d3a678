// What a person should look at first on a page, each with the windows it is about, whatever the
// page is made from; and the one way such a finding is gathered.
#pragma once

#include <string>
#include <vector>

namespace report {

template <class Kind>
struct Finding {
    Kind kind;
    std::string subject;              // ISO 8859-1, from the input; empty where the kind needs none
    std::vector<std::size_t> windows; // indices into the input's windows, in their order

    friend bool operator==(const Finding& a, const Finding& b)
    {
        return a.kind == b.kind && a.subject == b.subject && a.windows == b.windows;
    }
};

// A finding of `kind` about every window that `holds`, in their order; none when no window does.
template <class Kind, class Window, class Holds>
void AddFinding(std::vector<Finding<Kind>>& findings, Kind kind, const std::vector<Window>& windows, Holds holds)
{
    Finding<Kind> finding{kind, {}, {}};
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (holds(windows[i])) finding.windows.push_back(i);
    }
    if (!finding.windows.empty()) findings.push_back(std::move(finding));
}

} // namespace report
