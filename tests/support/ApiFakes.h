// How a test puts fakes in the platform table, the one way every test does it:
//
//     vantrel::platform::ScopedApiOverride api;     // the whole table comes back when it dies
//     api->CreateEventW = &FailingCreateEventW;
//
// (or, where a SeamRecorder watches, through its Override()). A fake is a plain function, since the
// table holds pointers; its state lives in variables of its file that the fixture resets. A fake
// that passes a call on calls the system's own operation through SystemApi(), never a copy of the
// table kept by the test, nor the function by its global name.
#pragma once

#include "platform/Win32Api.h"

namespace testsupport {

// The table as the system fills it, whatever fakes are in place: run-time functions are looked up.
const vantrel::platform::Win32Api& SystemApi();

} // namespace testsupport
