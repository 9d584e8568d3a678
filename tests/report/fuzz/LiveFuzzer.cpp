// Any bytes decoded into a live snapshot, through the model and the page writer. Besides what
// AddressSanitizer and UBSan catch: no text of a window, a monitor or the system can make markup
// (the page of the same model with every text replaced by x has the very same tags), the page keeps
// to its stated size, has no raw control byte, every window has its row, and the map draws every
// window it does not mark as left out.
#include "report/page/LivePage.h"
#include "report/page/PageBounds.h"
#include "tests/report/fuzz/PageOracles.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Reads the input from the front; past its end every read gives zeros, so any bytes are a snapshot.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ == size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t Word()
    {
        std::uint32_t word = 0;
        for (int n = 0; n < 4; ++n) word = word << 8 | Byte();
        return word;
    }
    // Mostly small, so that windows meet monitors; the least 16-bit value brings a whole 32-bit one.
    std::int32_t Coordinate()
    {
        const auto small = static_cast<std::int16_t>(static_cast<std::uint16_t>(Byte() << 8 | Byte()));
        return small == INT16_MIN ? static_cast<std::int32_t>(Word()) : small;
    }
    report::Rect Rectangle()
    {
        report::Rect r;
        r.left = Coordinate();
        r.top = Coordinate();
        r.right = Coordinate();
        r.bottom = Coordinate();
        return r;
    }
    std::string Text()
    {
        std::string text;
        for (std::size_t length = Byte(); length > 0 && !Empty(); --length) text += static_cast<char>(Byte());
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_, at_ = 0;
};

report::LiveWindow DecodeWindow(Input& in)
{
    const std::uint32_t flags = in.Word();
    const auto bit = [&](int n) { return (flags >> n & 1) != 0; };
    report::LiveWindow w;
    w.shown = bit(0);
    w.rule = static_cast<report::TaskbarRule>((flags >> 1 & 0xF) % report::kTaskbarRules);
    if (bit(5)) w.cloak = in.Byte();
    w.onCurrentDesktop = static_cast<report::Known>((flags >> 6 & 3) % 3);
    w.hung = bit(8);
    if (bit(9)) w.monitor = in.Byte() % 5;
    if (bit(10)) w.frame = in.Rectangle();
    if (bit(11)) w.owner = in.Byte();
    w.ownerShown = bit(12);
    report::LoggedWindow& r = w.record;
    r.minimized = bit(13);
    r.maximized = bit(14);
    r.hwnd = in.Word();
    r.style = in.Word();
    r.exStyle = in.Word();
    r.owner = bit(15) ? in.Word() : 0;
    r.window = in.Rectangle();
    w.normal = in.Rectangle();
    r.title = in.Text();
    r.exe = in.Text();
    r.className = in.Text();
    return w;
}

report::LiveSnapshot Decode(Input& in)
{
    report::LiveSnapshot s;
    for (int monitors = in.Byte() % 4; monitors > 0; --monitors) {
        report::LiveMonitor m;
        const std::uint8_t flags = in.Byte();
        m.primary = flags & 1;
        if (flags & 2) m.dpi = in.Word();
        m.bounds = in.Rectangle();
        m.work = in.Rectangle();
        m.device = in.Text();
        s.monitors.push_back(m);
    }
    s.virtualScreen = in.Rectangle();
    s.windowsVersion = in.Text();
    s.taken = static_cast<std::int64_t>(std::uint64_t{in.Word()} << 32 | in.Word());
    // The taskbar's settings, each stored or not, a value past those known among them.
    const std::uint8_t stored = in.Byte();
    if (stored & 1) s.taskbar.virtualDesktopFilter = in.Byte() % 4;
    if (stored & 2) s.taskbar.multiMonitorEnabled = in.Byte() % 4;
    if (stored & 4) s.taskbar.multiMonitorMode = in.Byte() % 4;
    while (!in.Empty()) s.windows.push_back(DecodeWindow(in));
    // An owner is one of the windows, or none.
    for (report::LiveWindow& w : s.windows) {
        if (w.owner && *w.owner >= s.windows.size()) w.owner.reset();
    }
    return s;
}

std::string Page(const report::LiveReport& report)
{
    report::StringSink sink;
    report::WriteLiveReport(report, sink);
    return sink.text;
}

} // namespace

using namespace fuzzoracle;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    report::LiveSnapshot snapshot = Decode(in);
    const std::uint64_t most = report::MostLivePageBytes(snapshot);
    report::LiveReport report = report::MakeLiveReport(std::move(snapshot));
    const std::string page = Page(report);

    BlankPrograms(report.records);
    for (report::LoggedWindow& r : report.records) {
        Blank(r.title);
        BlankName(r.className);
    }
    for (report::LiveMonitor& m : report.snapshot.monitors) Blank(m.device);
    Blank(report.snapshot.windowsVersion);
    if (Tags(page) != Tags(Page(report))) std::abort();

    if (page.size() > most) std::abort();
    std::size_t drawn = 0;
    for (bool undrawn : report.undrawn) drawn += undrawn ? 0 : 1;
    if (HasControlBytes(page) || Count(page, "<tr id=\"w") != report.records.size() ||
        Count(page, "<a class=\"win\"") != drawn)
        std::abort();
    return 0;
}
