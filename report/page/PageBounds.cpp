#include "report/page/PageBounds.h"

#include "report/analysis/LiveFindings.h"
#include "report/page/FindingList.h"

#include <algorithm>

namespace report {

std::uint64_t MostLivePageBytes(const LiveSnapshot& snapshot)
{
    std::uint64_t longest = 0, own = 0;
    for (const LiveWindow& w : snapshot.windows) {
        const std::uint64_t texts = w.record.title.size() + w.record.exe.size() + w.record.className.size();
        longest = std::max(longest, texts);
        own += texts;
    }
    const std::uint64_t windows = snapshot.windows.size();
    std::uint64_t text = snapshot.windowsVersion.size() + own * kTimesShown + windows * 2 * longest;
    text += kLiveFindingKinds * kMostNamedPerFinding * longest;
    std::uint64_t bytes = kLivePageBytesBase + windows * kLivePageBytesPerWindow;
    for (const LiveMonitor& monitor : snapshot.monitors) {
        bytes += kLivePageBytesPerMonitor;
        text += monitor.device.size();
    }
    return bytes + text * kLivePageBytesPerTextByte;
}

} // namespace report
