#include "app/LogPath.h"

#include <gtest/gtest.h>

#include <string>

namespace apptest {

using app::MakeLogPath;
using app::kLogPathChars;

TEST(MakeLogPath, PutsTxtInPlaceOfTheFileNamesExtensionOnly)
{
    struct Case {
        const wchar_t* module;
        const wchar_t* log;
    };
    const Case cases[] = {
        {L"C:\\Tools\\prog.exe", L"C:\\Tools\\prog.txt"},
        {L"C:\\Tools\\prog.v2.exe", L"C:\\Tools\\prog.v2.txt"},
        // A dot in a folder name must not send the log out of the program's folder.
        {L"C:\\my.tools\\prog", L"C:\\my.tools\\prog.txt"},
        {L"C:\\my.tools\\prog.", L"C:\\my.tools\\prog.txt"},
        {L"\\\\server\\share.x\\dir\\tool.EXE", L"\\\\server\\share.x\\dir\\tool.txt"},
        {L"prog.exe", L"prog.txt"},
    };
    for (const Case& c : cases) {
        wchar_t path[kLogPathChars] = {};
        wcscpy(path, c.module);
        EXPECT_TRUE(MakeLogPath(path)) << std::wstring(c.module).size();
        EXPECT_STREQ(c.log, path);
    }
}

TEST(MakeLogPath, ReportsAPathThatNoLongerFits)
{
    struct Case {
        const wchar_t* fileName;
        std::size_t folderLength; // "C:\" + folder + "\" + file name
        bool fits;
    };
    // The log path may take 259 characters: a one-letter extension grows by two, none by four.
    const Case cases[] = {
        {L"a.x", 250, true}, {L"a.x", 251, false}, {L"a.x", 252, false},
        {L"a", 250, true},   {L"a", 251, false},   {L"a.exe", 250, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folderLength);
        SCOPED_TRACE(c.fileName);
        const std::wstring folder = L"C:\\" + std::wstring(c.folderLength, L'f') + L"\\";
        const std::wstring module = folder + c.fileName;
        wchar_t path[kLogPathChars] = {};
        ASSERT_LT(module.size(), kLogPathChars);
        wcscpy(path, module.c_str());
        EXPECT_EQ(c.fits, MakeLogPath(path));
        const std::wstring result(path);
        EXPECT_LT(result.size(), kLogPathChars);
        EXPECT_EQ(0u, result.find(folder));
        if (c.fits) {
            EXPECT_EQ(L"txt", result.substr(result.size() - 3));
        }
    }
}

} // namespace apptest
