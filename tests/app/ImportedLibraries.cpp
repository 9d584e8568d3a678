#include "tests/app/ImportedLibraries.h"

#include <cctype>

namespace apptest {
namespace {

const char* const kKnownSystemLibraries[] = {
    "KERNEL32.DLL", "USER32.DLL", "ADVAPI32.DLL", "SHELL32.DLL", "MSVCRT.DLL", "OLE32.DLL",
};

std::string UpperCase(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::set<std::string> UnknownLibraries(const std::set<std::string>& imports)
{
    const std::set<std::string> known(std::begin(kKnownSystemLibraries), std::end(kKnownSystemLibraries));
    std::set<std::string> unknown;
    for (const std::string& import : imports) {
        const std::string library = import.substr(0, import.find('!'));
        if (known.count(UpperCase(library)) == 0) unknown.insert(library);
    }
    return unknown;
}

} // namespace apptest
