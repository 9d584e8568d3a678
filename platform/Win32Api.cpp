#include "Win32Api.h"

namespace vantrel::platform {
namespace {

Win32Api MakeSystemTable()
{
    Win32Api table{};
#define VANTREL_FILL_ENTRY(name) table.name = &::name;
    VANTREL_WIN32_OPERATIONS(VANTREL_FILL_ENTRY)
#undef VANTREL_FILL_ENTRY
    return table;
}

Win32Api& Table()
{
    static Win32Api table = MakeSystemTable();
    return table;
}

} // namespace

const Win32Api& Api() { return Table(); }

ScopedApiOverride::ScopedApiOverride() : saved_(Table()) {}

ScopedApiOverride::~ScopedApiOverride() { Table() = saved_; }

Win32Api* ScopedApiOverride::operator->() { return &Table(); }

} // namespace vantrel::platform
