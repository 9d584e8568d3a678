// Which DLLs a program may import statically. The loader takes a known system DLL from the system
// folder whatever lies beside the program; any other name is searched in the program's folder
// first, where a planted copy would run before the program's first instruction.
#pragma once

#include <set>
#include <string>

namespace apptest {

// The DLLs named by imports ("DLL!function", as PeFile::Imports gives them) that are not known
// system DLLs. Names are compared without regard to case, but otherwise exactly: a path or any
// other decoration makes a name unknown.
std::set<std::string> UnknownLibraries(const std::set<std::string>& imports);

} // namespace apptest
