#include "report/page/LogTexts.h"

namespace report {

namespace {

// clang-format off
constexpr FindingRow<LogFindingKind> kLogFindings[] = {
    {LogFindingKind::ManyButtons, {"One program shows more than one taskbar button:",
        "If it should show one button, give its other windows an owner or WS_EX_TOOLWINDOW."}},
    {LogFindingKind::AppWindowOwned, {"Owned windows with a button only because of WS_EX_APPWINDOW",
        "Drop WS_EX_APPWINDOW if the window should share its owner&#39;s button."}},
    {LogFindingKind::NoProgram, {"Windows with no program: the process had ended or could not be opened",
        "Run Vantrel again with the rights of the program (as administrator if it runs elevated)."}},
    {LogFindingKind::Minimized, {"Minimized windows, not on screen",
        "Ask the user to restore them before blaming a missing window."}},
    {LogFindingKind::ZeroSize, {"Windows of zero size: a button for nothing that can be seen",
        "Look for a helper window of the program that should be a tool window, owned, or hidden."}},
    {LogFindingKind::FarAway, {"Windows far from all others, perhaps on a monitor that is gone",
        "If the user cannot see it, move it back: Alt+Space, M, an arrow key, then the mouse."}},
    {LogFindingKind::StoreApp, {"Store apps, each hosted by a window of ApplicationFrameHost.exe",
        "The log names the frame host, not the app: find each app by its title."}},
    {LogFindingKind::LostCharacters, {"Titles with &#39;?&#39;: characters outside ISO 8859-1 may have been lost",
        "Compare these titles with what the user sees; a &#39;?&#39; may be a lost letter."}},
    {LogFindingKind::CutTitle, {"Titles cut at the most characters a record holds",
        "The rest of the title is not in the log; match the window by its start.", true}},
    {LogFindingKind::SameTitle, {"Several windows share one title:",
        "Tell these apart by handle and program, not by title."}},
};
// clang-format on
static_assert(InKindOrder(kLogFindings, kLogFindingKinds), "one row per kind, in the kinds' order");

} // namespace

const FindingWords& WordsOf(LogFindingKind kind) { return kLogFindings[static_cast<std::size_t>(kind)].words; }

Literal ButtonReason(std::optional<TaskbarRule> rule)
{
    if (rule == TaskbarRule::AppWindow) return "WS_EX_APPWINDOW";
    if (rule == TaskbarRule::Unowned) return "unowned";
    return "<em class=\"none\">none of these rules</em>";
}

} // namespace report
