#include "app/LogPath.h"

#include <gtest/gtest.h>

#include <string>

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
        std::size_t folderLength;  // "C:\" + folder + "\a.exe"
        bool fits;
    };
    // "C:\" (3) + folder + "\a." (3) + "txt" (3) + terminator: 259 characters is the most.
    const Case cases[] = {{250, true}, {251, false}, {252, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folderLength);
        const std::wstring module = L"C:\\" + std::wstring(c.folderLength, L'f') + L"\\a.exe";
        wchar_t path[kLogPathChars] = {};
        ASSERT_LT(module.size(), kLogPathChars);
        wcscpy(path, module.c_str());
        EXPECT_EQ(c.fits, MakeLogPath(path));
        const std::wstring result(path);
        EXPECT_LT(result.size(), kLogPathChars);
        if (c.fits) {
            EXPECT_EQ(module.substr(0, module.size() - 3) + L"txt", result);
        }
    }
}
