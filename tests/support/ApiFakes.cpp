#include "tests/support/ApiFakes.h"

namespace testsupport {
namespace {

vantrel::platform::Win32Api MakeSystemTable()
{
    vantrel::platform::Win32Api table{};
#define VANTREL_FILL_ENTRY(name) table.name = &::name;
    VANTREL_WIN32_OPERATIONS(VANTREL_FILL_ENTRY)
#undef VANTREL_FILL_ENTRY
    return table;
}

// Filled at start-up: a local static's first-use guard may take a lock, whose handle the leak
// counts would see as the code's own.
const vantrel::platform::Win32Api systemTable = MakeSystemTable();

} // namespace

const vantrel::platform::Win32Api& SystemApi() { return systemTable; }

} // namespace testsupport
