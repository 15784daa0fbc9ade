#include "launcher.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

VersionTriple Parsed(const char* text) {
    VersionTriple v{-1, -1, -1};
    v.Parse(text);
    return v;
}

void ExpectVersion(const VersionTriple& v, int major, int minor, int release) {
    EXPECT_EQ(v.major, major);
    EXPECT_EQ(v.minor, minor);
    EXPECT_EQ(v.release, release);
}

TEST(VersionTripleTest, ParseFillsMissingPartsWithZero) {
    ExpectVersion(Parsed("1.2.0"), 1, 2, 0);
    ExpectVersion(Parsed("2.0.1 Vendor text 7.8"), 2, 0, 1);
    ExpectVersion(Parsed("1.2"), 1, 2, 0);
    ExpectVersion(Parsed("3"), 3, 0, 0);
    ExpectVersion(Parsed(""), 0, 0, 0);
    ExpectVersion(Parsed(nullptr), 0, 0, 0);
}

TEST(VersionTripleTest, LongTextIsReadWithinBounds) {
    // Vendors append free text; a long one must not run past the parse buffer.
    std::string text = "4.6.13 " + std::string(20000, 'V');
    ExpectVersion(Parsed(text.c_str()), 4, 6, 13);
    EXPECT_TRUE(IsGlVersionSupported(text.c_str()));
    // Cut at the buffer's end, a number is read only as far as it fits.
    std::string dots = std::string(126, '.') + "12345";
    ExpectVersion(Parsed(dots.c_str()), 1, 0, 0);
}

TEST(VersionTripleTest, IsLessAndGlRequirement) {
    EXPECT_TRUE(VersionTriple::IsLess(Parsed("1.1.0"), Parsed("1.2.0")));
    EXPECT_FALSE(VersionTriple::IsLess(Parsed("1.2.0"), Parsed("1.1.0")));
    EXPECT_FALSE(VersionTriple::IsLess(Parsed("1.2"), Parsed("1.2.0")));
    EXPECT_TRUE(VersionTriple::IsLess(Parsed("1.9.9"), Parsed("2.0.0")));
    EXPECT_TRUE(VersionTriple::IsLess(Parsed("1.2.3"), Parsed("1.2.4")));

    EXPECT_FALSE(IsGlVersionSupported("1.1.0"));
    EXPECT_TRUE(IsGlVersionSupported("1.2"));
    EXPECT_TRUE(IsGlVersionSupported("2.0.1 Vendor text"));
    EXPECT_TRUE(IsGlVersionSupported("1.10"));
    EXPECT_FALSE(IsGlVersionSupported(nullptr));
}

TEST(OverrideTest, WordsAreExactAndWhole) {
    EXPECT_STREQ(LibraryForOverrideWord("-opengl"), "Quorvane-GL");
    EXPECT_STREQ(LibraryForOverrideWord("-direct3d"), "Quorvane-D3D");
    EXPECT_STREQ(LibraryForOverrideWord("-directdraw"), "Quorvane-DDRAW");
    EXPECT_EQ(LibraryForOverrideWord("-OpenGL"), nullptr);
    EXPECT_EQ(LibraryForOverrideWord("-direct"), nullptr);
    EXPECT_EQ(LibraryForOverrideWord(nullptr), nullptr);
    EXPECT_EQ(LibraryForCommandLine("-direct3d extra"), nullptr);
    EXPECT_EQ(LibraryForCommandLine(" -direct3d"), nullptr);
}

TEST(OverrideTest, FileThenCommandLine) {
    std::string dir = MakeTempDir("launcher-override");
    std::string file = dir + "Quorvane.txt";
    ASSERT_TRUE(WriteWholeFile(file, "  -directdraw\nignored words\n"));
    EXPECT_STREQ(ReadOverrideFile(file.c_str()), "Quorvane-DDRAW");

    char name[kLibraryNameSize] = "Quorvane-GL";
    ApplyOverrides(name, sizeof(name), file.c_str(), "");
    EXPECT_STREQ(name, "Quorvane-DDRAW");

    // The command line is applied last and wins.
    lstrcpyA(name, "Quorvane-GL");
    ApplyOverrides(name, sizeof(name), file.c_str(), "-direct3d");
    EXPECT_STREQ(name, "Quorvane-D3D");

    // More than the one word overrides nothing; the file still does.
    lstrcpyA(name, "Quorvane-GL");
    ApplyOverrides(name, sizeof(name), file.c_str(), "-direct3d extra");
    EXPECT_STREQ(name, "Quorvane-DDRAW");

    // No file, an unknown word, an over-long word: the probe's choice stays.
    lstrcpyA(name, "Quorvane-GL");
    ApplyOverrides(name, sizeof(name), (dir + "missing.txt").c_str(), nullptr);
    EXPECT_STREQ(name, "Quorvane-GL");
    ASSERT_TRUE(WriteWholeFile(file, "-directdrawing"));
    ApplyOverrides(name, sizeof(name), file.c_str(), nullptr);
    EXPECT_STREQ(name, "Quorvane-GL");
    ASSERT_TRUE(WriteWholeFile(file, "-opengl" + std::string(1000, 'x')));
    EXPECT_EQ(ReadOverrideFile(file.c_str()), nullptr);
    ASSERT_TRUE(WriteWholeFile(file, ""));
    EXPECT_EQ(ReadOverrideFile(file.c_str()), nullptr);
}

bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SharedDataFolderTest, CreatesAndAcceptsExistingFolder) {
    std::string base = MakeTempDir("launcher-data");
    std::string expected = base + "Tarrowick\\Quorvane Vellumine\\";
    char out[kDataFolderSize];
    ASSERT_TRUE(CreateSharedDataFolderIn(base.c_str(), "Tarrowick", "Quorvane Vellumine", out));
    EXPECT_EQ(std::string(out), expected);
    EXPECT_TRUE(IsDirectory(expected));

    // Base without its trailing backslash, folders already there.
    std::string bare = base.substr(0, base.size() - 1);
    lstrcpyA(out, "stale");
    ASSERT_TRUE(CreateSharedDataFolderIn(bare.c_str(), "Tarrowick", "Quorvane Vellumine", out));
    EXPECT_EQ(std::string(out), expected);
}

TEST(SharedDataFolderTest, FailuresLeaveOutEmpty) {
    std::string base = MakeTempDir("launcher-data-fail");
    char out[kDataFolderSize];

    // A file where the publisher folder should be.
    ASSERT_TRUE(WriteWholeFile(base + "Tarrowick", "not a folder"));
    lstrcpyA(out, "stale");
    EXPECT_FALSE(CreateSharedDataFolderIn(base.c_str(), "Tarrowick", "Quorvane Vellumine", out));
    EXPECT_STREQ(out, "");

    // A file where the product folder should be.
    ASSERT_TRUE(CreateDirectoryA((base + "Other").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(base + "Other\\Quorvane Vellumine", "not a folder"));
    lstrcpyA(out, "stale");
    EXPECT_FALSE(CreateSharedDataFolderIn(base.c_str(), "Other", "Quorvane Vellumine", out));
    EXPECT_STREQ(out, "");

    // A base that does not exist.
    lstrcpyA(out, "stale");
    EXPECT_FALSE(CreateSharedDataFolderIn((base + "absent\\deeper").c_str(), "Tarrowick", "Q", out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(FileExists(base + "absent"));

    // A path too long for the buffer is refused before anything is made.
    std::string longName(250, 'p');
    lstrcpyA(out, "stale");
    EXPECT_FALSE(CreateSharedDataFolderIn(base.c_str(), "Long", longName.c_str(), out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(FileExists(base + "Long"));
}

TEST(SharedDataFolderTest, CommonApplicationDataFolder) {
    const char* product = "Quorvane Unit Test";
    char out[kDataFolderSize];
    ASSERT_TRUE(CreateSharedDataFolder("Tarrowick", product, out));
    std::string path = out;
    const std::string tail = "\\Tarrowick\\Quorvane Unit Test\\";
    ASSERT_GT(path.size(), tail.size());
    EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
    EXPECT_TRUE(IsDirectory(path));
    RemoveDirectoryA(path.c_str());
}

TEST(LauncherSystemTest, VistaCheckFindsTheTestSystemNewEnough) {
    // The test prefix runs as a Windows of version 6 or later, where the
    // launcher keeps the data in the shared folder: a check that fails to
    // read the version (a wrong structure size makes the call fail) would
    // send the saves to the working folder instead.
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(GetVersionExA(&info));
    ASSERT_GE(info.dwMajorVersion, 6u) << "the test prefix should be a newer Windows";
    EXPECT_TRUE(IsVistaOrLater());
}

TEST(LauncherSystemTest, ProbeWindowClassIsUnregistered) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // The probes must unload what they load (unless the test itself holds it).
    const char* runtimeLibraries[] = {"opengl32.dll", "d3d9.dll"};
    bool heldBefore[2];
    for (int i = 0; i < 2; ++i) heldBefore[i] = GetModuleHandleA(runtimeLibraries[i]) != nullptr;
    WNDCLASSA info;
    for (int round = 0; round < 2; ++round) {
        HWND window = CreateProbeWindow(instance);
        if (!window) GTEST_SKIP() << "no display for the probe window";
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_TRUE(GetClassInfoA(instance, "Quorvane Proxy", &info));
        // The first library the machine can run, in the order OpenGL,
        // Direct3D 9, DirectDraw, by its exact name.
        const char* chosen = ProbeRenderer(window);
        ASSERT_NE(chosen, nullptr);
        const char* gl = ProbeOpenGL(window);
        const char* d3d = gl ? nullptr : ProbeDirect3D9(window);
        const char* expected = gl ? kLibraryOpenGL : d3d ? kLibraryDirect3D : kLibraryDirectDraw;
        EXPECT_STREQ(expected, chosen);
        DestroyProbeWindow(window, instance);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(GetClassInfoA(instance, "Quorvane Proxy", &info));
    }
    for (int i = 0; i < 2; ++i) {
        if (!heldBefore[i]) {
            EXPECT_EQ(GetModuleHandleA(runtimeLibraries[i]), nullptr) << runtimeLibraries[i];
        }
    }
}

}  // namespace
