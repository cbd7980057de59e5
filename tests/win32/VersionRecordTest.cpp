// The version record of the built program, read back through the Windows API under Wine.
#include <algorithm>
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

// The program file's icon, as Explorer shows it: the first icon group holds the icon file's three
// images (32 x 32 in 2 and 16 colours, 16 x 16 in 16 colours), not any of the larger ones.
TEST(VersionRecord, TheProgramIconKeepsItsThreeImages) {
    HMODULE program = LoadLibraryExW(wide(HALVERN_PROGRAM).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    HRSRC found = FindResourceW(program, L"IDI_ICON1", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const BYTE*>(LockResource(LoadResource(program, found)));
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    std::vector<std::string> images;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + 14 * i; // width, height, colours, reserved, planes, bits
        const WORD bits = *reinterpret_cast<const WORD*>(entry + 6);
        const WORD id = *reinterpret_cast<const WORD*>(entry + 12);
        // The image the entry names must be the same size as the entry says.
        HRSRC image = FindResourceW(program, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)); // RT_ICON
        ASSERT_NE(image, nullptr);
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(program, image)));
        ASSERT_EQ(header->biSize, sizeof(BITMAPINFOHEADER)) << "image " << id << " is no bitmap";
        EXPECT_EQ(header->biWidth, entry[0]);
        EXPECT_EQ(header->biBitCount, bits);
        images.push_back(std::to_string(entry[0]) + "x" + std::to_string(entry[1]) + "x" +
                         std::to_string(bits));
    }
    std::sort(images.begin(), images.end());
    EXPECT_EQ(images, (std::vector<std::string>{"16x16x4", "32x32x1", "32x32x4"}));
    FreeLibrary(program);
}

} // namespace
