#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "binary_file.h"
#include "indexed_list.h"
#include "strings.h"
#include "test_support.h"

TEST(IndexedList, AppendRemoveAndRenumber) {
    IndexedList<int> list;
    list.Append(10);
    list.Append(20);
    list.Append(30);
    ASSERT_EQ(3u, list.Count());
    list.RemoveAt(1);
    EXPECT_EQ(list.Sentinel(), list.Cursor()) << "removal resets the cursor";
    ASSERT_EQ(2u, list.Count());
    EXPECT_EQ(10, *list.At(0));
    EXPECT_EQ(30, *list.At(1));
    EXPECT_EQ(1, list.Tail()->index);

    // Removing the tail makes its predecessor the tail; the next append
    // continues the numbering from there.
    list.RemoveAt(1);
    EXPECT_EQ(0, list.Tail()->index);
    int* p = list.Append(40);
    EXPECT_EQ(40, *p);
    EXPECT_EQ(1, list.Tail()->index);
    list.RemoveAt(0);
    list.RemoveAt(0);
    EXPECT_EQ(list.Sentinel(), list.Tail());
    EXPECT_EQ(0u, list.Count());
    list.Append(5);
    EXPECT_EQ(0, list.Tail()->index);
}

TEST(IndexedList, CursorWalksForwardAndRestarts) {
    IndexedList<int> list;
    for (int i = 0; i < 5; ++i) list.Append(i * 100);
    EXPECT_EQ(200, *list.At(2));
    EXPECT_EQ(2, list.Cursor()->index);
    EXPECT_EQ(0, *list.At(0)) << "a lower index restarts at the first node";
    EXPECT_EQ(400, *list.At(4));
    EXPECT_EQ(4, list.Cursor()->index);
    int sum = 0;
    for (unsigned i = 0; i < list.Count(); ++i) sum += *list.At(i);
    EXPECT_EQ(1000, sum);
}

TEST(IndexedList, ClearAndTwentyBytePayload) {
    struct Record {
        int words[5];
    };
    IndexedList<Record> list;
    list.Clear();
    EXPECT_EQ(0u, list.Count());
    Record r = {{1, 2, 3, 4, 5}};
    list.Append(r);
    Record* z = list.AppendNew();
    for (int w : z->words) EXPECT_EQ(0, w);
    EXPECT_EQ(5, list.At(0)->words[4]);
    list.Clear();
    EXPECT_EQ(0u, list.Count());
    EXPECT_EQ(0, list.Append(r) ? list.Tail()->index : -1);
}

TEST(ListArray, AllocatesEmptyLists) {
    ListArray a;
    a.Allocate(27);
    ASSERT_EQ(27u, a.count);
    for (unsigned i = 0; i < a.count; ++i) EXPECT_EQ(0u, a.lists[i].Count());
    a.lists[3].Append(reinterpret_cast<void*>(7));
    EXPECT_EQ(1u, a.lists[3].Count());
}

TEST(Strings, SetStringOwnsCopiesAndClearsOnEmpty) {
    char* slot = nullptr;
    char source[] = "wheel";
    SetString(slot, source);
    ASSERT_NE(nullptr, slot);
    source[0] = 'W';
    EXPECT_STREQ("wheel", slot);
    SetString(slot, "");
    EXPECT_EQ(nullptr, slot);
    SetString(slot, "x");
    SetString(slot, nullptr);
    EXPECT_EQ(nullptr, slot);
}

TEST(Strings, EqualsAndIndexOf) {
    EXPECT_TRUE(StringEquals("a", "a"));
    EXPECT_FALSE(StringEquals("a", "A"));
    EXPECT_FALSE(StringEquals(nullptr, nullptr));
    EXPECT_FALSE(StringEquals("a", nullptr));
    const char* const list[] = {"left", "center", "right", nullptr};
    EXPECT_EQ(2, IndexOfString("center", list));
    EXPECT_EQ(0, IndexOfString("Center", list));
    EXPECT_EQ(0, IndexOfString("middle", list));
    EXPECT_EQ(0, IndexOfString(nullptr, list));
    const char* const empty[] = {nullptr};
    EXPECT_EQ(0, IndexOfString("left", empty));
}

TEST(Strings, JoinSkipsNullsAndIsBounded) {
    std::string first = JoinStrings(nullptr, "a", "b");
    EXPECT_EQ("ab", first);
    const char* shared = JoinStrings("x", "y");
    EXPECT_STREQ("xy", shared);
    EXPECT_EQ(shared, JoinStrings("z")) << "one shared buffer, overwritten by each call";
    std::string big(1500, 'q');
    const char* cut = JoinStrings(big.c_str(), big.c_str(), big.c_str());
    EXPECT_EQ(1023u, std::strlen(cut));
    EXPECT_EQ(0u, StringLength(nullptr));
}

TEST(Strings, ParseIntList) {
    int out[8] = {};
    int count = -1;
    ParseIntList("", out, &count, 8);
    EXPECT_EQ(1, count);
    EXPECT_EQ(0, out[0]);
    char text[] = "10,20,30";
    ParseIntList(text, out, &count, 8);
    EXPECT_EQ(3, count);
    EXPECT_EQ(10, out[0]);
    EXPECT_EQ(30, out[2]);
    EXPECT_STREQ("10,20,30", text) << "the text is left as it was";
    // More values than room: only the room is filled and reported.
    int small[2] = {};
    int guard = 12345;
    ParseIntList("1,2,3,4", small, &count, 2);
    EXPECT_EQ(2, count);
    EXPECT_EQ(2, small[1]);
    EXPECT_EQ(12345, guard);
}

TEST(Strings, BitSets) {
    unsigned char bits[4] = {};
    SetBit(bits, 0);
    SetBit(bits, 9);
    SetBit(bits, 31);
    EXPECT_EQ(0x01, bits[0]);
    EXPECT_EQ(0x02, bits[1]);
    EXPECT_EQ(0x80, bits[3]);
    EXPECT_TRUE(TestBit(bits, 9));
    EXPECT_FALSE(TestBit(bits, 10));
    ClearBit(bits, 9);
    EXPECT_FALSE(TestBit(bits, 9));
    SetBit(bits, -1);
    EXPECT_FALSE(TestBit(bits, -1));
    EXPECT_EQ(0x01, bits[0]);
}

TEST(BinaryFile, AllOrNothingReads) {
    std::string dir = MakeTempDir("bin");
    std::string path = dir + "nine.bin";
    ASSERT_TRUE(WriteWholeFile(path, std::string(9, 'x')));
    BinaryFile f(path.c_str(), BinaryFile::Reading);
    ASSERT_EQ(BinaryFile::Reading, f.GetMode());
    char buf[16];
    EXPECT_FALSE(f.Read(buf, 1, 10)) << "a short read is a failure";
    BinaryFile odd;
    odd.Open(path.c_str(), 3);
    EXPECT_EQ(BinaryFile::Closed, odd.GetMode());
    BinaryFile none(nullptr, BinaryFile::Reading);
    EXPECT_FALSE(none.IsOpen());
    BinaryFile missing((dir + "absent.bin").c_str(), BinaryFile::Reading);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(0, missing.Close());
}

TEST(BinaryFile, WritesReplaceTheOldFileOnlyWhenComplete) {
    std::string dir = MakeTempDir("bin");
    std::string path = dir + "save.dat";
    ASSERT_TRUE(WriteWholeFile(path, "old contents"));

    {
        BinaryFile f(path.c_str(), BinaryFile::Writing);
        ASSERT_TRUE(f.Write("new", 1, 3));
        EXPECT_EQ("old contents", ReadWholeFile(path)) << "nothing changes until the file is complete";
        EXPECT_EQ(0, f.Close());
    }
    EXPECT_EQ("new", ReadWholeFile(path));
    EXPECT_FALSE(FileExists(path + ".tmp"));

    {
        BinaryFile f(path.c_str(), BinaryFile::Writing);
        f.Write("half", 1, 4);
        f.Discard();  // as a save that failed halfway would
    }
    EXPECT_EQ("new", ReadWholeFile(path));
    EXPECT_FALSE(FileExists(path + ".tmp"));

    {
        // Abandoned without Close: the destructor commits, as a complete
        // write should.
        BinaryFile f(path.c_str(), BinaryFile::Writing);
        f.Write("done", 1, 4);
    }
    EXPECT_EQ("done", ReadWholeFile(path));

    // A target that cannot be replaced (a folder in its place) keeps what
    // it was, the close reports the failure and no temporary file remains.
    std::string blocked = dir + "blocked";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    {
        BinaryFile f(blocked.c_str(), BinaryFile::Writing);
        ASSERT_TRUE(f.IsOpen());
        f.Write("blocked", 1, 7);
        EXPECT_NE(0, f.Close());
    }
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(FileExists(blocked + ".tmp"));
}

TEST(BinaryFile, WriteIntoMissingFolderFails) {
    std::string dir = MakeTempDir("bin");
    BinaryFile f((dir + "no\\such\\folder.dat").c_str(), BinaryFile::Writing);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_FALSE(f.Write("x", 1, 1));
}
