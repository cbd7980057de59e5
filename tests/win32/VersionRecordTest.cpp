// The version record of the built program, read back through the Windows API under Wine.
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::wstring wide(const char* text) {
    return {text, text + std::char_traits<char>::length(text)};
}

TEST(VersionRecord, ReadsBackFromTheProgram) {
    const std::wstring program = wide(HALVERN_PROGRAM);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &handle);
    ASSERT_GT(size, 0U) << "no version record in " << HALVERN_PROGRAM;
    std::vector<BYTE> record(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000U); // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0U);          // .0.0
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000U);
    EXPECT_EQ(fixed->dwProductVersionLS, 0U);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0U);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    struct Translation {
        WORD language, codePage;
    };
    Translation* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(translation->language, 0x0409);
    EXPECT_EQ(translation->codePage, 0x04B0);

    // The strings a user sees in the file's properties, from the list the tests share.
    std::ifstream list(HALVERN_VERSION_RECORD);
    ASSERT_TRUE(list) << HALVERN_VERSION_RECORD;
    int checked = 0;
    for (std::string line; std::getline(list, line); ++checked) {
        const std::size_t equals = line.find('=');
        ASSERT_NE(equals, std::string::npos) << line;
        const std::wstring path =
            L"\\StringFileInfo\\040904B0\\" + wide(line.substr(0, equals).c_str());
        wchar_t* value = nullptr;
        ASSERT_TRUE(
            VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            << line;
        const std::wstring expected = wide(line.substr(equals + 1).c_str());
        EXPECT_EQ(std::wstring(value), expected);
    }
    EXPECT_EQ(checked, 5);
}

} // namespace
