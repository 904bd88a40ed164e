// Tests of the version details the file's properties show, read back with the version API.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// This test program carries the saver's own resource script.
std::vector<char> OwnVersionInfo()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoA(path, 0, size, data.data()))
        data.clear();
    return data;
}

std::string Value(std::vector<char>& data, const char* name)
{
    char* text = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) || text == nullptr)
        return "";
    return std::string(text);
}
} // namespace

TEST(Version, NameVersionDescriptionAndRights)
{
    std::vector<char> data = OwnVersionInfo();
    ASSERT_FALSE(data.empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(1u, HIWORD(fixed->dwFileVersionMS));
    EXPECT_EQ(0u, LOWORD(fixed->dwFileVersionMS));

    EXPECT_EQ("Needlecast", Value(data, "ProductName"));
    EXPECT_EQ("1.0", Value(data, "FileVersion"));
    EXPECT_EQ("1.0", Value(data, "ProductVersion"));
    EXPECT_EQ("Needlecast screen saver", Value(data, "FileDescription"));
    EXPECT_EQ("Free software under the MIT licence", Value(data, "LegalCopyright"));
}

TEST(Manifest, DeclaresPerMonitorDpiAwareness)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, found);
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const std::string manifest(text, SizeofResource(nullptr, found));
    EXPECT_NE(std::string::npos, manifest.find("PerMonitorV2"));
    EXPECT_NE(std::string::npos, manifest.find("true/pm"));
}
