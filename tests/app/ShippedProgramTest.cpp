// Reads the shipped 32-bit program as a file: what it asks of Windows before any of its code runs.
#include "tests/app/ImportedLibraries.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

namespace apptest {

namespace {

// A 32-bit PE image read from disk, with its sections to turn addresses into file offsets.
class PeFile {
public:
    explicit PeFile(const std::wstring& path) : bytes_(testsupport::ReadBytes(path))
    {
        if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) return;
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
        nt_ = At<IMAGE_NT_HEADERS32>(static_cast<std::size_t>(dos->e_lfanew));
        if (nt_ == nullptr || nt_->Signature != IMAGE_NT_SIGNATURE) nt_ = nullptr;
    }

    const IMAGE_NT_HEADERS32* Headers() const { return nt_; }

    // Every statically imported function as "DLL!name", the DLL in upper case.
    std::set<std::string> Imports() const
    {
        std::set<std::string> imports;
        const auto& directory = nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(Offset(directory.VirtualAddress)); d != nullptr && d->Name != 0;
             ++d) {
            std::string dll = String(d->Name);
            for (char& c : dll) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            const DWORD thunks = d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk;
            for (auto* t = At<IMAGE_THUNK_DATA32>(Offset(thunks)); t != nullptr && t->u1.AddressOfData != 0; ++t) {
                if (IMAGE_SNAP_BY_ORDINAL32(t->u1.Ordinal)) {
                    imports.insert(dll + "!#" + std::to_string(IMAGE_ORDINAL32(t->u1.Ordinal)));
                } else {
                    imports.insert(dll + "!" + String(t->u1.AddressOfData + 2)); // past the hint
                }
            }
        }
        return imports;
    }

private:
    template <class T>
    const T* At(std::size_t offset) const
    {
        if (offset == kNowhere || offset + sizeof(T) > bytes_.size()) return nullptr;
        return reinterpret_cast<const T*>(bytes_.data() + offset);
    }

    std::size_t Offset(DWORD rva) const
    {
        const auto* section = IMAGE_FIRST_SECTION(nt_);
        for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->SizeOfRawData)
                return rva - section->VirtualAddress + section->PointerToRawData;
        }
        return kNowhere;
    }

    std::string String(DWORD rva) const
    {
        const std::size_t offset = Offset(rva);
        if (offset == kNowhere || offset >= bytes_.size()) return {};
        return std::string(bytes_.c_str() + offset);
    }

    static constexpr std::size_t kNowhere = ~static_cast<std::size_t>(0);
    std::string bytes_;
    const IMAGE_NT_HEADERS32* nt_ = nullptr;
};

std::set<std::string> ReadAllowlist()
{
    std::set<std::string> allowed;
    std::string text = testsupport::ReadBytes(VANTREL_IMPORT_ALLOWLIST);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] != '#') allowed.insert(line);
        start = end + 1;
    }
    return allowed;
}

std::string ResourceText(HMODULE image, LPCWSTR type, LPCWSTR name)
{
    HRSRC found = ::FindResourceW(image, name, type);
    if (found == nullptr) return {};
    const void* data = ::LockResource(::LoadResource(image, found));
    return std::string(static_cast<const char*>(data), ::SizeofResource(image, found));
}

// A string of a version resource's StringFileInfo: the value follows its key, aligned to four bytes.
std::wstring VersionString(const std::string& version, const std::wstring& key)
{
    const std::string keyBytes(reinterpret_cast<const char*>(key.c_str()), (key.size() + 1) * sizeof(wchar_t));
    const std::size_t at = version.find(keyBytes);
    if (at == std::string::npos) return {};
    return reinterpret_cast<const wchar_t*>(version.data() + ((at + keyBytes.size() + 3) & ~std::size_t{3}));
}

// The dotted form of a version resource's fixed file or product version numbers.
std::string DottedVersion(DWORD most, DWORD least)
{
    return std::to_string(HIWORD(most)) + "." + std::to_string(LOWORD(most)) + "." + std::to_string(HIWORD(least)) +
           "." + std::to_string(LOWORD(least));
}

} // namespace

// Both programs of the release zip, each with an import it must have, so that an empty or
// misread import table cannot pass.
const struct ShippedExe {
    const wchar_t* path;
    WORD subsystem;
    const char* sureImport;
} kShippedExes[] = {
    {VANTREL_SHIPPED_EXE, IMAGE_SUBSYSTEM_WINDOWS_GUI, "KERNEL32.DLL!GetModuleFileNameW"},
    {VANTREL_SHIPPED_REPORT_EXE, IMAGE_SUBSYSTEM_WINDOWS_CUI, "SHELL32.DLL!ShellExecuteW"},
};

TEST(ShippedProgram, IsA32BitProgramForWindows2000AndLater)
{
    for (const ShippedExe& exe : kShippedExes) {
        SCOPED_TRACE(exe.sureImport);
        PeFile pe(exe.path);
        ASSERT_NE(nullptr, pe.Headers()) << "make the release first: scripts/test.sh unpacks it for the tests";
        const auto& header = *pe.Headers();
        EXPECT_EQ(IMAGE_FILE_MACHINE_I386, header.FileHeader.Machine);
        EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, header.OptionalHeader.Magic);
        EXPECT_EQ(exe.subsystem, header.OptionalHeader.Subsystem);
        EXPECT_EQ(5, header.OptionalHeader.MajorSubsystemVersion);
        EXPECT_EQ(0, header.OptionalHeader.MinorSubsystemVersion);
        EXPECT_EQ(5, header.OptionalHeader.MajorOperatingSystemVersion);
    }
}

TEST(ShippedProgram, ImportsOnlyWhatWindows2000Has)
{
    const std::set<std::string> allowed = ReadAllowlist();
    ASSERT_FALSE(allowed.empty());
    for (const ShippedExe& exe : kShippedExes) {
        SCOPED_TRACE(exe.sureImport);
        PeFile pe(exe.path);
        ASSERT_NE(nullptr, pe.Headers());
        const std::set<std::string> imports = pe.Imports();
        EXPECT_GT(imports.size(), 20u);
        EXPECT_EQ(1u, imports.count(exe.sureImport));
        for (const std::string& import : imports) EXPECT_EQ(1u, allowed.count(import)) << import;
        // The newer image-name query must be looked up at run time, never imported.
        EXPECT_EQ(0u, imports.count("KERNEL32.DLL!QueryFullProcessImageNameW"));
        EXPECT_EQ(0u, imports.count("KERNEL32.DLL!GetTickCount64"));
    }
}

TEST(ShippedProgram, ImportsOnlyFromKnownSystemLibraries)
{
    for (const ShippedExe& exe : kShippedExes) {
        SCOPED_TRACE(exe.sureImport);
        PeFile pe(exe.path);
        ASSERT_NE(nullptr, pe.Headers());
        const std::set<std::string> imports = pe.Imports();
        ASSERT_FALSE(imports.empty());
        EXPECT_EQ(std::set<std::string>{}, apptest::UnknownLibraries(imports));
        // A delay-loaded DLL is loaded by bare name too, later, where the search may reach it.
        EXPECT_EQ(0u, pe.Headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size);
        // The library search is restricted through functions looked up at run time, never imported.
        EXPECT_EQ(0u, imports.count("KERNEL32.DLL!SetDefaultDllDirectories"));
        EXPECT_EQ(0u, imports.count("KERNEL32.DLL!SetDllDirectoryW"));
    }
}

TEST(ShippedProgram, CarriesItsManifestAndVersion)
{
    const struct {
        const wchar_t* path;
        const char* identity;
        bool perMonitorAware;
    } programs[] = {
        {VANTREL_SHIPPED_EXE, "Vantrel.LogTool", true},
        {VANTREL_SHIPPED_REPORT_EXE, "Vantrel.Report", true},
    };
    for (const auto& program : programs) {
        SCOPED_TRACE(program.identity);
        HMODULE image = ::LoadLibraryExW(program.path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, image);
        const std::string manifest = ResourceText(image, RT_MANIFEST, MAKEINTRESOURCEW(1));
        EXPECT_NE(std::string::npos, manifest.find("requestedExecutionLevel level=\"asInvoker\""));
        EXPECT_NE(std::string::npos, manifest.find("supportedOS Id="));
        EXPECT_EQ(program.perMonitorAware, manifest.find("PerMonitorV2") != std::string::npos);
        EXPECT_EQ(program.perMonitorAware, manifest.find("true/pm") != std::string::npos);

        const std::string version = ResourceText(image, RT_VERSION, MAKEINTRESOURCEW(1));
        EXPECT_EQ(L"Vantrel", VersionString(version, L"ProductName"));

        // The project's version, everywhere the program states it.
        const std::string expected = VANTREL_VERSION;
        const std::wstring expectedWide(expected.begin(), expected.end());
        EXPECT_NE(std::string::npos,
                  manifest.find("name=\"" + std::string(program.identity) + "\" version=\"" + expected + "\""));
        EXPECT_EQ(expectedWide, VersionString(version, L"FileVersion"));
        EXPECT_EQ(expectedWide, VersionString(version, L"ProductVersion"));
        const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'}; // VS_FIXEDFILEINFO's, little-endian
        const std::size_t fixedAt = version.find(std::string(signature, sizeof(signature)));
        ASSERT_NE(std::string::npos, fixedAt);
        ASSERT_LE(fixedAt + sizeof(VS_FIXEDFILEINFO), version.size());
        VS_FIXEDFILEINFO fixed;
        std::memcpy(&fixed, version.data() + fixedAt, sizeof(fixed));
        EXPECT_EQ(expected, DottedVersion(fixed.dwFileVersionMS, fixed.dwFileVersionLS));
        EXPECT_EQ(expected, DottedVersion(fixed.dwProductVersionMS, fixed.dwProductVersionLS));
        ::FreeLibrary(image);
    }
}

} // namespace apptest
