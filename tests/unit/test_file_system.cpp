// The file system, the data archive and the JPEG data source.
#include "file_system.h"
#include "jpeg_source.h"
#include "test_support.h"
#include "zip_archive.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jerror.h>
#include <tinyxml.h>

namespace {

// ---- A zip writer for the tests, able to make damaged archives too ----

std::string Le16(unsigned v) { return std::string{(char)(v & 0xFF), (char)((v >> 8) & 0xFF)}; }
std::string Le32(unsigned v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

unsigned Crc32(const std::string& data) {
    unsigned crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

struct ZipItem {
    std::string name;
    std::string data;
    bool deflated = false; // claims compression: the sizes differ
    bool zero_crc = false;
};

const char kPk[] = "PK\5\6";
const char kDm[] = "DM.A";

// Stored entries; each local header carries a 4-byte extra field that the
// central directory does not, so the data offset must come from the local header.
std::string BuildZip(const std::vector<ZipItem>& items, const char* signature = kPk) {
    std::string body, dir;
    for (const ZipItem& it : items) {
        unsigned crc = it.zero_crc ? 0 : Crc32(it.data);
        unsigned packed = (unsigned)it.data.size();
        unsigned size = it.deflated ? packed + 7 : packed;
        unsigned method = it.deflated ? 8 : 0;
        unsigned offset = (unsigned)body.size();
        std::string extra = "EXTR";
        body += "PK\3\4" + Le16(10) + Le16(0) + Le16(method) + Le16(0) + Le16(0x21) + Le32(crc) +
                Le32(packed) + Le32(size) + Le16((unsigned)it.name.size()) + Le16((unsigned)extra.size()) +
                it.name + extra + it.data;
        dir += "PK\1\2" + Le16(20) + Le16(10) + Le16(0) + Le16(method) + Le16(0) + Le16(0x21) + Le32(crc) +
               Le32(packed) + Le32(size) + Le16((unsigned)it.name.size()) + Le16(0) + Le16(0) + Le16(0) +
               Le16(0) + Le32(0) + Le32(offset) + it.name;
    }
    return body + dir + std::string(signature, 4) + Le16(0) + Le16(0) + Le16((unsigned)items.size()) +
           Le16((unsigned)items.size()) + Le32((unsigned)dir.size()) + Le32((unsigned)body.size()) + Le16(0);
}

// Field offsets inside the end record (the last 22 bytes).
const size_t kEndDirSize = 12;
const size_t kEndDirOffset = 16;

void Patch32(std::string& zip, size_t at, unsigned v) { zip.replace(at, 4, Le32(v)); }

// ---- Fixture: a temporary game folder with its manifest ----

struct ManifestFile {
    std::string label;
    std::string path;
};

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempDir("fs");
        archive = dir + "data.zip";
    }
    void TearDown() override { g_fileSystem.Shutdown(); }

    // One group without a folder of its own: file paths are dir + path.
    bool Load(const std::vector<ManifestFile>& files, bool with_archive = true) {
        std::string xml = "<manifest res_path=\"" + dir + "\"";
        if (with_archive) xml += " dat_path=\"" + archive + "\"";
        xml += ">\n<group path=\"\">\n";
        for (const ManifestFile& f : files)
            xml += "<file label=\"" + f.label + "\" path=\"" + f.path + "\"/>\n";
        xml += "</group>\n</manifest>\n";
        return LoadText(xml);
    }
    bool LoadText(const std::string& xml) {
        manifest = dir + "Quorvane.xml";
        EXPECT_TRUE(WriteWholeFile(manifest, xml));
        return g_fileSystem.Load(manifest.c_str());
    }
    void WriteArchive(const std::vector<ZipItem>& items, const char* signature = kPk) {
        ASSERT_TRUE(WriteWholeFile(archive, BuildZip(items, signature)));
    }
    // The whole file through the FileSystem as text; "<none>" when not found.
    std::string ReadText(const char* label) {
        unsigned size = 99;
        unsigned char* data = g_fileSystem.ReadAll(g_fileSystem.GetFileId(label), nullptr, &size);
        if (!data) return "<none>";
        std::string text(reinterpret_cast<char*>(data), size);
        std::free(data);
        return text;
    }
    std::string Error() { return g_fileSystem.GetError(); }

    std::string dir, archive, manifest;
};

// ---- Manifest ----

TEST_F(FileSystemTest, FullPathsAreResourceFolderGroupAndFileInDocumentOrder) {
    ASSERT_TRUE(LoadText("<m res_path=\"res/\">"
                         "<group path=\"gui/\"><file label=\"GUI\" path=\"a.xml\"/><file label=\"B\" path=\"b.xml\"/></group>"
                         "<other/>"
                         "<group path=\"snd/\"><file label=\"AUDIO\" path=\"s.xml\"/><file path=\"nolabel.xml\"/></group>"
                         "<group><file label=\"NOGROUP\" path=\"top.xml\"/></group>"
                         "</m>"));
    EXPECT_EQ(5, g_fileSystem.GetFileCount());
    EXPECT_STREQ("res/gui/a.xml", g_fileSystem.GetPath(1));
    EXPECT_STREQ("res/gui/b.xml", g_fileSystem.GetPath(2));
    EXPECT_STREQ("res/snd/s.xml", g_fileSystem.GetPath(3));
    EXPECT_STREQ("res/snd/nolabel.xml", g_fileSystem.GetPath(4));
    EXPECT_EQ(nullptr, g_fileSystem.GetLabel(4));
    EXPECT_STREQ("res/top.xml", g_fileSystem.GetPath(5));
    EXPECT_EQ(3, g_fileSystem.GetFileId("AUDIO"));
    EXPECT_EQ(nullptr, g_fileSystem.GetPath(0));
    EXPECT_EQ(nullptr, g_fileSystem.GetPath(10000));
    EXPECT_EQ(nullptr, g_fileSystem.GetArchive()); // no dat_path, no archive

    ASSERT_TRUE(LoadText("<m><group path=\"gui/\"><file label=\"GUI\" path=\"a.xml\"/></group></m>"));
    EXPECT_EQ(1, g_fileSystem.GetFileCount()); // a second Load replaces the first
    EXPECT_STREQ("gui/a.xml", g_fileSystem.GetPath(1));
}

TEST_F(FileSystemTest, ManifestWithoutGroupsStillOpensArchive) {
    WriteArchive({{"x", "data"}});
    ASSERT_TRUE(LoadText("<m dat_path=\"" + archive + "\"/>"));
    EXPECT_EQ(0, g_fileSystem.GetFileCount());
    ASSERT_NE(nullptr, g_fileSystem.GetArchive());
    EXPECT_TRUE(g_fileSystem.GetArchive()->IsOpen());
}

TEST_F(FileSystemTest, FilesPastTheLimitAreNotEntered) {
    std::string xml = "<m><group path=\"g/\">";
    for (int i = 1; i <= 10000; ++i)
        xml += "<file label=\"L" + std::to_string(i) + "\" path=\"" + std::to_string(i) + "\"/>";
    ASSERT_TRUE(LoadText(xml + "</group></m>"));
    EXPECT_EQ(9999, g_fileSystem.GetFileCount());
    EXPECT_EQ(9999, g_fileSystem.GetFileId("L9999"));
    EXPECT_EQ(0, g_fileSystem.GetFileId("L10000"));
}

TEST_F(FileSystemTest, ParseErrorsReportPathRowAndColumnAsTinyXmlGivesThem) {
    // The broken tag is on line 3, column 1.
    EXPECT_FALSE(LoadText("<m>\n<group path=\"a/\">\n</grup>\n</m>\n"));
    TiXmlDocument probe;
    probe.Parse("<m>\n<group path=\"a/\">\n</grup>\n</m>\n");
    ASSERT_TRUE(probe.Error());
    EXPECT_EQ(manifest + "(" + std::to_string(probe.ErrorRow()) + "," + std::to_string(probe.ErrorCol()) +
                  "): " + probe.ErrorDesc(),
              Error());
    EXPECT_EQ(3, probe.ErrorRow()); // counts from 1 already
    EXPECT_EQ(0, g_fileSystem.GetFileCount());

    std::string missing = dir + "absent.xml";
    EXPECT_FALSE(g_fileSystem.Load(missing.c_str()));
    EXPECT_EQ(0u, Error().find(missing + "("));
    EXPECT_FALSE(g_fileSystem.Load(nullptr));
}

// ---- Labels and IDs ----

TEST_F(FileSystemTest, LabelsAreCaseSensitiveAndMissesAreReported) {
    ASSERT_TRUE(Load({{"GUI", "gui.xml"}, {"TEXT", "text.xml"}}, false));
    EXPECT_EQ(1, g_fileSystem.GetFileId("GUI"));
    EXPECT_EQ(2, g_fileSystem.GetFileId("TEXT"));
    EXPECT_EQ(0, g_fileSystem.GetFileId("Gui"));
    EXPECT_EQ("File <Gui> not found", Error());
    EXPECT_EQ(0, g_fileSystem.GetFileId(""));
    EXPECT_EQ("File <> not found", Error());
    EXPECT_EQ(0, g_fileSystem.GetFileId(nullptr));

    // Error texts are cut at 1023 characters.
    std::string longLabel(3000, 'x');
    EXPECT_EQ(0, g_fileSystem.GetFileId(longLabel.c_str()));
    EXPECT_EQ(1023u, Error().size());
    EXPECT_EQ(0u, Error().find("File <xxx"));
}

TEST_F(FileSystemTest, MissingFilesGiveAnEmptyHandleAndTheMessage) {
    ASSERT_TRUE(Load({{"A", "a.txt"}, {"B", "b.txt"}}, false));
    FileHandle* h = g_fileSystem.Open(2);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(nullptr, h->loose);
    EXPECT_EQ(0u, h->entry);
    EXPECT_EQ("File <" + dir + "b.txt> not found, file ID = 2.", Error());
    char buf[4];
    EXPECT_EQ(0u, g_fileSystem.Read(buf, sizeof(buf), h));
    EXPECT_EQ(-1, g_fileSystem.Seek(0, 0, h));
    EXPECT_EQ(-1, g_fileSystem.Tell(h));
    g_fileSystem.Close(h);

    for (int id : {0, -1, 3, 9999, 10000, 123456}) {
        h = g_fileSystem.Open(id);
        ASSERT_NE(nullptr, h);
        EXPECT_TRUE(h->loose == nullptr && h->entry == 0);
        EXPECT_EQ("File <> not found, file ID = " + std::to_string(id) + ".", Error());
        g_fileSystem.Close(h);
    }
    EXPECT_EQ(nullptr, g_fileSystem.ReadAll(2));
}

TEST_F(FileSystemTest, WithoutACurrentHandleOperationsAskToOpenFirst) {
    ASSERT_TRUE(Load({{"A", "a.txt"}}, false));
    ASSERT_TRUE(WriteWholeFile(dir + "a.txt", "abc"));
    char buf[4];
    EXPECT_EQ(0u, g_fileSystem.Read(buf, 3));
    EXPECT_EQ("Open file first.", Error());
    g_fileSystem.GetFileId("nothing");
    EXPECT_EQ(-1, g_fileSystem.Seek(0, 0));
    EXPECT_EQ("Open file first.", Error());
    g_fileSystem.GetFileId("nothing");
    EXPECT_EQ(-1, g_fileSystem.Tell());
    EXPECT_EQ("Open file first.", Error());
    g_fileSystem.GetFileId("nothing");
    g_fileSystem.Close();
    EXPECT_EQ("Open file first.", Error());

    // The current handle serves null, until it is closed.
    g_fileSystem.Open(1);
    EXPECT_EQ(3u, g_fileSystem.Read(buf, 3));
    EXPECT_EQ(0, std::memcmp(buf, "abc", 3));
    g_fileSystem.Close();
    EXPECT_EQ(0u, g_fileSystem.Read(buf, 3));
    EXPECT_EQ("Open file first.", Error());
}

// ---- Loose files and the archive ----

TEST_F(FileSystemTest, LooseFileWinsOverArchiveEntry) {
    WriteArchive({{dir + "a.txt", "from archive"}, {dir + "b.txt", "archived b"}});
    ASSERT_TRUE(WriteWholeFile(dir + "a.txt", "loose"));
    ASSERT_TRUE(Load({{"A", "a.txt"}, {"B", "b.txt"}}));
    EXPECT_EQ("loose", ReadText("A"));
    EXPECT_EQ("archived b", ReadText("B"));
}

TEST_F(FileSystemTest, BothEndSignaturesAreAcceptedAndTheStandardOneBecomesDmA) {
    WriteArchive({{dir + "a.txt", "alpha"}});
    ASSERT_TRUE(Load({{"A", "a.txt"}}));
    EXPECT_EQ("alpha", ReadText("A"));
    g_fileSystem.Shutdown();
    std::string bytes = ReadWholeFile(archive);
    EXPECT_EQ(kDm, bytes.substr(bytes.size() - 22, 4));
    EXPECT_EQ(BuildZip({{dir + "a.txt", "alpha"}}).substr(0, bytes.size() - 22),
              bytes.substr(0, bytes.size() - 22)); // nothing else changed

    // The next run reads the marked archive and leaves it as it is.
    ASSERT_TRUE(Load({{"A", "a.txt"}}));
    EXPECT_EQ("alpha", ReadText("A"));
    g_fileSystem.Shutdown();
    EXPECT_EQ(bytes, ReadWholeFile(archive));
}

TEST_F(FileSystemTest, UnrecognisedArchiveServesOnlyLooseFiles) {
    WriteArchive({{dir + "a.txt", "alpha"}, {dir + "b.txt", "beta"}}, "PK\1\2");
    ASSERT_TRUE(WriteWholeFile(dir + "b.txt", "loose beta"));
    ASSERT_TRUE(Load({{"A", "a.txt"}, {"B", "b.txt"}}));
    ASSERT_NE(nullptr, g_fileSystem.GetArchive());
    EXPECT_FALSE(g_fileSystem.GetArchive()->IsOpen());
    EXPECT_EQ("File <" + archive + "> is an unrecognized zip.",
              std::string(g_fileSystem.GetArchive()->GetError()));
    EXPECT_EQ("<none>", ReadText("A"));
    EXPECT_EQ("loose beta", ReadText("B"));
    g_fileSystem.Shutdown();
    EXPECT_EQ("PK\1\2", ReadWholeFile(archive).substr(ReadWholeFile(archive).size() - 22, 4));

    // A missing archive is not a failure of Load either.
    std::remove(archive.c_str());
    ASSERT_TRUE(Load({{"A", "a.txt"}}));
    EXPECT_EQ("File <" + archive + "> not found.", std::string(g_fileSystem.GetArchive()->GetError()));
}

TEST_F(FileSystemTest, OnlyStoredEntriesWithACrcAreServed) {
    ZipItem deflated{dir + "d.txt", "squeezed"};
    deflated.deflated = true;
    ZipItem zero{dir + "z.txt", "zero"};
    zero.zero_crc = true;
    WriteArchive({deflated, zero, {dir + "s.txt", "stored"}, {dir + "sub/", ""}});
    ASSERT_TRUE(Load({{"D", "d.txt"}, {"Z", "z.txt"}, {"S", "s.txt"}, {"DIR", "sub/"}, {"s", "S.TXT"}}));
    EXPECT_EQ("<none>", ReadText("D"));
    EXPECT_EQ("<none>", ReadText("Z"));
    EXPECT_EQ("<none>", ReadText("DIR"));
    EXPECT_EQ("stored", ReadText("S"));
    EXPECT_EQ("<none>", ReadText("s")); // entry names match case-sensitively

    // Deflated data is not read even when a loose copy is absent; a loose one is.
    ASSERT_TRUE(WriteWholeFile(dir + "d.txt", "plain"));
    EXPECT_EQ("plain", ReadText("D"));
}

TEST_F(FileSystemTest, SeekTellAndReadStayInsideTheEntry) {
    WriteArchive({{dir + "pad.txt", "padding"}, {dir + "a.txt", "0123456789"}});
    ASSERT_TRUE(Load({{"A", "a.txt"}}));
    FileHandle* h = g_fileSystem.Open(1);
    ASSERT_NE(0u, h->entry);
    char buf[32] = {};

    EXPECT_EQ(0, g_fileSystem.Seek(10, 0, h)); // exactly the size
    EXPECT_EQ(10, g_fileSystem.Tell(h));
    EXPECT_EQ(0u, g_fileSystem.Read(buf, 4, h));
    EXPECT_EQ(-1, g_fileSystem.Seek(11, 0, h)); // one beyond
    EXPECT_EQ(-1, g_fileSystem.Seek(-1, 0, h));
    EXPECT_EQ(-1, g_fileSystem.Seek(0, 3, h));
    EXPECT_EQ(10, g_fileSystem.Tell(h)); // failures leave the position
    EXPECT_EQ(0, g_fileSystem.Seek(-4, 2, h));
    EXPECT_EQ(0, g_fileSystem.Seek(-2, 1, h));
    EXPECT_EQ(4, g_fileSystem.Tell(h));
    EXPECT_EQ(-1, g_fileSystem.Seek(7, 1, h));

    // A read past the end returns the rest only.
    EXPECT_EQ(6u, g_fileSystem.Read(buf, sizeof(buf), h));
    EXPECT_EQ("456789", std::string(buf, 6));
    EXPECT_EQ(10, g_fileSystem.Tell(h));
    EXPECT_EQ(0, g_fileSystem.Seek(1, 0, h));
    EXPECT_EQ(3u, g_fileSystem.Read(buf, 3, h));
    EXPECT_EQ("123", std::string(buf, 3));
    g_fileSystem.Close(h);
}

TEST_F(FileSystemTest, OneFileOpenedTwiceReadsIndependently) {
    WriteArchive({{dir + "a.txt", "abcdefghij"}, {dir + "b.txt", "KLMNOPQRST"}});
    ASSERT_TRUE(WriteWholeFile(dir + "l.txt", "0123456789"));
    ASSERT_TRUE(Load({{"A", "a.txt"}, {"B", "b.txt"}, {"L", "l.txt"}}));

    for (int id : {1, 3}) {
        FileHandle* first = g_fileSystem.Open(id);
        FileHandle* second = g_fileSystem.Open(id);
        FileHandle* other = g_fileSystem.Open(2);
        char a[4] = {}, b[4] = {}, c[4] = {};
        ASSERT_EQ(3u, g_fileSystem.Read(a, 3, first));
        ASSERT_EQ(2u, g_fileSystem.Read(b, 2, second));
        ASSERT_EQ(2u, g_fileSystem.Read(c, 2, other));
        EXPECT_EQ(3, g_fileSystem.Tell(first));
        EXPECT_EQ(2, g_fileSystem.Tell(second));
        ASSERT_EQ(3u, g_fileSystem.Read(a, 3, first));
        ASSERT_EQ(3u, g_fileSystem.Read(b, 3, second));
        ASSERT_EQ(3u, g_fileSystem.Read(c, 3, other));
        const char* expect_first = id == 1 ? "def" : "345";
        const char* expect_second = id == 1 ? "cde" : "234";
        EXPECT_EQ(expect_first, std::string(a, 3));
        EXPECT_EQ(expect_second, std::string(b, 3));
        EXPECT_EQ("MNO", std::string(c, 3));
        // Closing one leaves the other where it was.
        g_fileSystem.Close(first);
        EXPECT_EQ(5, g_fileSystem.Tell(second));
        g_fileSystem.Close(second);
        g_fileSystem.Close(other);
    }
}

TEST_F(FileSystemTest, ReadAllSizesBuffersAndTerminates) {
    WriteArchive({{dir + "a.txt", "archived"}});
    ASSERT_TRUE(WriteWholeFile(dir + "empty.txt", ""));
    ASSERT_TRUE(WriteWholeFile(dir + "l.txt", "loose text"));
    ASSERT_TRUE(Load({{"A", "a.txt"}, {"E", "empty.txt"}, {"L", "l.txt"}}));

    unsigned size = 99;
    unsigned char* data = g_fileSystem.ReadAll(2, nullptr, &size);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(0u, size);
    EXPECT_EQ(0, data[0]);
    std::free(data);

    data = g_fileSystem.ReadAll(3, nullptr, &size);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(10u, size);
    EXPECT_STREQ("loose text", reinterpret_cast<char*>(data));
    std::free(data);

    // A given buffer gets the data and nothing after it.
    unsigned char own[12];
    std::memset(own, '#', sizeof(own));
    EXPECT_EQ(own, g_fileSystem.ReadAll(1, own, &size));
    EXPECT_EQ(8u, size);
    EXPECT_EQ("archived##", std::string(reinterpret_cast<char*>(own), 10));
}

TEST_F(FileSystemTest, LoadXmlParsesOrReportsTheFile) {
    WriteArchive({{dir + "ok.xml", "<GUI><screen name=\"a\"/></GUI>"}});
    ASSERT_TRUE(WriteWholeFile(dir + "bad.xml", "<GUI>\n  <screen name=\"a\">\n</GUI>"));
    ASSERT_TRUE(Load({{"OK", "ok.xml"}, {"BAD", "bad.xml"}, {"GONE", "gone.xml"}}));

    TiXmlDocument doc;
    ASSERT_TRUE(g_fileSystem.LoadXml(1, &doc));
    ASSERT_NE(nullptr, doc.RootElement());
    EXPECT_STREQ("GUI", doc.RootElement()->Value());
    ASSERT_TRUE(g_fileSystem.LoadXml(1, &doc)); // a reused document holds one copy
    EXPECT_EQ(nullptr, doc.RootElement()->NextSiblingElement());

    EXPECT_FALSE(g_fileSystem.LoadXml(2, &doc));
    TiXmlDocument probe;
    probe.Parse("<GUI>\n  <screen name=\"a\">\n</GUI>");
    EXPECT_EQ(dir + "bad.xml(" + std::to_string(probe.ErrorRow()) + "," + std::to_string(probe.ErrorCol()) +
                  "): " + probe.ErrorDesc(),
              Error());

    EXPECT_FALSE(g_fileSystem.LoadXml(3, &doc));
    EXPECT_EQ("File <" + dir + "gone.xml> not found, file ID = 3.", Error());
    EXPECT_FALSE(g_fileSystem.LoadXml(1, nullptr));
}

// ---- Damaged archives: never read outside the file, never crash ----

TEST_F(FileSystemTest, TruncatedArchivesServeNothingAndDoNotCrash) {
    const std::string whole = BuildZip({{dir + "a.txt", "alpha"}, {dir + "b.txt", "beta"}});
    ASSERT_TRUE(Load({{"A", "a.txt"}, {"B", "b.txt"}}, false));
    for (size_t cut : {size_t(0), size_t(1), size_t(21), size_t(22), whole.size() / 2, whole.size() - 23,
                       whole.size() - 1}) {
        SCOPED_TRACE(cut);
        ASSERT_TRUE(WriteWholeFile(archive, whole.substr(0, cut)));
        ASSERT_TRUE(Load({{"A", "a.txt"}, {"B", "b.txt"}}));
        EXPECT_EQ("<none>", ReadText("A"));
        EXPECT_EQ("<none>", ReadText("B"));
        g_fileSystem.Shutdown();
    }
    // An end record alone (only the signature at the right place) is an empty archive.
    ASSERT_TRUE(WriteWholeFile(archive, whole.substr(whole.size() - 22)));
    ASSERT_TRUE(Load({{"A", "a.txt"}}));
    EXPECT_TRUE(g_fileSystem.GetArchive()->IsOpen());
    EXPECT_EQ("<none>", ReadText("A"));
}

TEST_F(FileSystemTest, DirectoryAndEntriesPointingPastTheEndAreSkipped) {
    const std::vector<ZipItem> items = {{dir + "a.txt", "alpha"}, {dir + "b.txt", "beta"}};
    const std::string whole = BuildZip(items);
    const size_t end = whole.size() - 22;

    struct Case {
        const char* what;
        std::string bytes;
        const char* a;
        const char* b;
    };
    std::vector<Case> cases;
    std::string z = whole;
    Patch32(z, end + kEndDirOffset, 0x7FFFFFF0u);
    cases.push_back({"directory offset past the end", z, "<none>", "<none>"});
    z = whole;
    Patch32(z, end + kEndDirOffset, 0xFFFFFFFFu);
    Patch32(z, end + kEndDirSize, 0xFFFFFFFFu);
    cases.push_back({"directory offset and size wrap", z, "<none>", "<none>"});
    z = whole;
    Patch32(z, end + kEndDirSize, 0x7FFFFFFFu);
    cases.push_back({"directory size past the end: what is there counts", z, "alpha", "beta"});
    z = whole;
    z.replace(end + 8, 4, Le16(60000) + Le16(60000));
    cases.push_back({"more entries claimed than present", z, "alpha", "beta"});

    // The second record: its name runs past the directory.
    size_t dir_offset = whole.find("PK\1\2");
    size_t second = whole.find("PK\1\2", dir_offset + 4);
    z = whole;
    z.replace(second + 28, 2, Le16(0xFFFF));
    cases.push_back({"name past the end", z, "alpha", "<none>"});
    z = whole;
    Patch32(z, second + 42, 0x7FFFFFF0u);
    cases.push_back({"local header past the end", z, "alpha", "<none>"});
    z = whole;
    Patch32(z, second + 20, 0x00100000u);
    Patch32(z, second + 24, 0x00100000u);
    cases.push_back({"data past the end", z, "alpha", "<none>"});
    z = whole;
    z.replace(second, 4, "XXXX");
    cases.push_back({"bad record signature", z, "alpha", "<none>"});
    z = whole;
    z.replace(0, 4, "XXXX");
    cases.push_back({"bad local header", z, "<none>", "beta"});
    // Noise with a valid end record pointing into it.
    std::string noise(4096, '\0');
    unsigned seed = 12345;
    for (char& c : noise) c = (char)((seed = seed * 214013 + 2531011) >> 16);
    for (size_t at = 0; at + 4 < noise.size(); at += 97) noise.replace(at, 4, "PK\1\2");
    cases.push_back({"noise", noise + kPk + Le16(0) + Le16(0) + Le16(500) + Le16(500) + Le32(4096) + Le32(0) + Le16(0),
                     "<none>", "<none>"});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(archive, c.bytes));
        ASSERT_TRUE(Load({{"A", "a.txt"}, {"B", "b.txt"}}));
        EXPECT_EQ(c.a, ReadText("A"));
        EXPECT_EQ(c.b, ReadText("B"));
        g_fileSystem.Shutdown();
    }
}

// ---- JPEG data source ----

struct JpegErrors {
    jpeg_error_mgr pub;
    jmp_buf jump;
    int error_code;
    std::vector<int>* warnings;
};

void ExitWithLongjmp(j_common_ptr cinfo) {
    JpegErrors* e = reinterpret_cast<JpegErrors*>(cinfo->err);
    e->error_code = cinfo->err->msg_code;
    longjmp(e->jump, 1);
}

void RecordMessage(j_common_ptr cinfo, int level) {
    JpegErrors* e = reinterpret_cast<JpegErrors*>(cinfo->err);
    if (level < 0) {
        e->warnings->push_back(cinfo->err->msg_code);
        cinfo->err->num_warnings++;
    }
}

struct DecodeResult {
    bool ok = false;
    int error_code = 0;
    std::vector<int> warnings;
    unsigned width = 0, height = 0, rows = 0;
};

// Kept free of objects with destructors between setjmp and longjmp.
void Decode(void* handle, DecodeResult* r) {
    jpeg_decompress_struct cinfo;
    JpegErrors err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ExitWithLongjmp;
    err.pub.emit_message = RecordMessage;
    err.error_code = 0;
    err.warnings = &r->warnings;
    jpeg_create_decompress(&cinfo);
    if (setjmp(err.jump)) {
        r->error_code = err.error_code;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    SetJpegSource(&cinfo, handle);
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height) r->rows += jpeg_read_scanlines(&cinfo, row, 1);
    r->width = cinfo.output_width;
    r->height = cinfo.output_height;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    r->ok = true;
}

// A 96 x 96 colour picture with enough detail to pass several 4096-byte reads.
void WriteJpeg(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = 96;
    cinfo.image_height = 96;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> line(96 * 3);
    unsigned seed = 7;
    while (cinfo.next_scanline < cinfo.image_height) {
        for (size_t i = 0; i < line.size(); ++i)
            line[i] = (JSAMPLE)((i * 5 + cinfo.next_scanline * 3) ^ ((seed = seed * 214013 + 2531011) >> 20));
        JSAMPROW rows[1] = {line.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
}

DecodeResult DecodeFile(const std::string& path) {
    DecodeResult r;
    FILE* f = std::fopen(path.c_str(), "rb");
    EXPECT_NE(nullptr, f);
    if (!f) return r;
    Decode(f, &r);
    std::fclose(f);
    return r;
}

bool Has(const std::vector<int>& codes, int code) {
    for (int c : codes)
        if (c == code) return true;
    return false;
}

size_t ReadThroughFileSystem(void* buffer, size_t n, void* handle) {
    return g_fileSystem.Read(buffer, (unsigned)n, static_cast<FileHandle*>(handle));
}

TEST_F(FileSystemTest, JpegSourceDecodesWholeTruncatedAndEmptyFiles) {
    ASSERT_EQ(JpegReadStdio, JpegReadHook);
    const std::string whole = dir + "whole.jpg";
    WriteJpeg(whole);
    const std::string bytes = ReadWholeFile(whole);
    ASSERT_GT(bytes.size(), 2 * 4096u);

    DecodeResult r = DecodeFile(whole);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(96u, r.rows);
    EXPECT_TRUE(r.warnings.empty());

    // Ending early: the missing tail is taken as the end of the image.
    ASSERT_TRUE(WriteWholeFile(dir + "short.jpg", bytes.substr(0, bytes.size() / 2)));
    r = DecodeFile(dir + "short.jpg");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(96u, r.rows);
    EXPECT_TRUE(Has(r.warnings, JWRN_JPEG_EOF));

    ASSERT_TRUE(WriteWholeFile(dir + "empty.jpg", ""));
    r = DecodeFile(dir + "empty.jpg");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(JERR_INPUT_EMPTY, r.error_code);
}

TEST_F(FileSystemTest, JpegSourceReadsArchiveEntriesThroughTheHook) {
    WriteJpeg(dir + "tmp.jpg");
    WriteArchive({{dir + "pic.jpg", ReadWholeFile(dir + "tmp.jpg")}});
    ASSERT_TRUE(Load({{"PIC", "pic.jpg"}}));
    FileHandle* h = g_fileSystem.Open(1);
    ASSERT_NE(0u, h->entry);
    JpegReadHook = ReadThroughFileSystem;
    DecodeResult r;
    Decode(h, &r);
    JpegReadHook = JpegReadStdio;
    g_fileSystem.Close(h);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(96u, r.width);
    EXPECT_EQ(96u, r.rows);
    EXPECT_TRUE(r.warnings.empty());
}

} // namespace
