// The check that keeps the shipped program's import table to known system DLLs, on tables of the
// test's making: it must let the known ones through in any case and catch everything else.
#include "tests/app/ImportedLibraries.h"

#include <gtest/gtest.h>

#include <ostream>

namespace apptest {

namespace {

struct ImportTable {
    const char* name;
    std::set<std::string> imports;
    std::set<std::string> unknown;
};

void PrintTo(const ImportTable& table, std::ostream* out) { *out << table.name; }

const ImportTable kTables[] = {
    {"EveryKnownLibraryInAnyCase",
     {"KERNEL32.DLL!GetLastError", "user32.dll!MessageBoxW", "Advapi32.Dll!RegCloseKey", "SHELL32.DLL!#12",
      "msvcrt.DLL!malloc", "OLE32.DLL!CoInitializeEx"},
     {}},
    {"UnknownAmongKnown",
     {"KERNEL32.DLL!GetLastError", "VERSION.DLL!GetFileVersionInfoW", "EVIL.DLL!#1", "EVIL.DLL!Run"},
     {"VERSION.DLL", "EVIL.DLL"}},
    // A substring or prefix match would let these through; a path is followed wherever it points.
    {"NearMissesAndPaths",
     {"NOTKERNEL32.DLL!f", "KERNEL32.DLL.EVIL!f", "USER32.EXE!f", "C:\\Downloads\\KERNEL32.DLL!f", ".\\USER32.DLL!f"},
     {"NOTKERNEL32.DLL", "KERNEL32.DLL.EVIL", "USER32.EXE", "C:\\Downloads\\KERNEL32.DLL", ".\\USER32.DLL"}},
};

class ImportCheck : public ::testing::TestWithParam<ImportTable> {};

} // namespace

TEST_P(ImportCheck, NamesExactlyTheUnknownLibraries)
{
    EXPECT_EQ(GetParam().unknown, apptest::UnknownLibraries(GetParam().imports));
}

INSTANTIATE_TEST_SUITE_P(, ImportCheck, ::testing::ValuesIn(kTables),
                         [](const ::testing::TestParamInfo<ImportTable>& info) { return info.param.name; });

} // namespace apptest
