// A helper process with one top-level window of every kind the taskbar test tells apart, for the
// tests that log windows of another process. Its argument, the tag, prefixes every title:
//   "<tag> visible"      visible, unowned: logged
//   "<tag> hidden"       hidden: not logged
//   "<tag> tool"         a tool window: not logged
//   "<tag> owned"        owned by "<tag> visible": not logged
//   "<tag> owned app"    owned, with WS_EX_APPWINDOW: logged
//   "<tag> no-activate"  WS_EX_NOACTIVATE: not logged
//   "<tag> café €"       visible, unowned: logged
// and a child window "<tag> child" of "<tag> visible".
#pragma once

namespace apptest {

constexpr char kWindowsOfEveryKindHelper[] = "OwnsWindowsOfEveryKind";

} // namespace apptest
