// The real program on a volume that runs out of room while it writes: it must not call a cut log
// written. ctest mounts the small volume (full-volume.sh) as root and says in a status file
// whether it could; where mounting is refused the case is skipped with that reason.
#include "tests/app/ProgramRun.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace apptest {

using testsupport::HelperProcess;
using testsupport::ReadBytes;

namespace {

constexpr int kWindows = 200;
constexpr ULONGLONG kSpareBytes = 16 * 1024;

// Records of about 450 bytes: the log needs some 90 KiB.
VANTREL_TEST_HELPER(OwnsManyWindows)
{
    std::vector<std::unique_ptr<testsupport::TestWindow>> windows;
    for (int i = 0; i < kWindows; ++i)
        windows.push_back(std::make_unique<testsupport::TestWindow>(
            testsupport::WindowOptions{L"many " + std::to_wstring(i) + L" " + std::wstring(250, L'm')}));
    return testsupport::SignalReadyAndServe();
}

ULONGLONG FreeBytes(const std::wstring& folder)
{
    ULARGE_INTEGER available{};
    ::GetDiskFreeSpaceExW((folder + L"\\").c_str(), &available, nullptr, nullptr);
    return available.QuadPart;
}

// Files put on the volume, removed however the case ends.
struct VolumeFiles {
    std::vector<std::wstring> paths;
    ~VolumeFiles()
    {
        for (const std::wstring& path : paths) ::DeleteFileW(path.c_str());
    }
};

} // namespace

TEST(FullVolume, ALogThatDoesNotFitIsReportedAndLeavesNothingBehind)
{
    const std::string status = ReadBytes(VANTREL_FULL_VOLUME_STATUS);
    if (status.rfind("mounted", 0) != 0)
        GTEST_SKIP() << "no small volume to fill: " << (status.empty() ? "run through ctest, as root" : status);
    std::wstring volume = VANTREL_FULL_VOLUME;
    std::replace(volume.begin(), volume.end(), L'/', L'\\');

    VolumeFiles files;
    const std::wstring exe = volume + L"\\vantrel.exe";
    const std::wstring log = volume + L"\\vantrel.txt";
    const std::wstring filler = volume + L"\\filler.bin";
    files.paths = {exe, log, filler};
    ASSERT_TRUE(::CopyFileW(VANTREL_TEST_EXE, exe.c_str(), FALSE)) << ::GetLastError();
    const ULONGLONG free = FreeBytes(volume);
    ASSERT_GT(free, kSpareBytes);
    testsupport::WriteBytes(filler, std::string(static_cast<std::size_t>(free - kSpareBytes), 'f'));
    const ULONGLONG spare = FreeBytes(volume);
    ASSERT_GE(spare, kSpareBytes - 4096);
    ASSERT_LE(spare, kSpareBytes + 4096);

    HelperProcess helper("OwnsManyWindows");
    const ProgramRun run = apptest::RunProgram(exe, log);

    ASSERT_TRUE(run.boxShown);
    EXPECT_EQ(L"Vantrel", run.box.caption);
    EXPECT_EQ(L"Failed to create log file " + log + L".", run.box.text);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(log.c_str())) << "a cut log was left behind";
    EXPECT_EQ(spare, FreeBytes(volume));
}

} // namespace apptest
