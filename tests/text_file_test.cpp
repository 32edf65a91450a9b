#include "text/Cp1251.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <QString>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using tonvik::DecodeTextBytes;
using tonvik::LoadTextFile;
using tonvik::TextEncoding;

namespace fs = std::filesystem;

namespace {

std::string Cp(const char* utf8) {
    return tonvik::Utf8ToCp1251(utf8);
}

std::string Utf16(const char* utf8, bool bigEndian, bool mark = true) {
    std::string bytes = !mark ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : QString::fromUtf8(utf8).toStdU16String()) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// A fresh folder per test, removed afterwards.
class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        Folder = fs::temp_directory_path() /
                 ("tonvik_text_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (Folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string Load(const std::string& bytes, TextEncoding encoding = TextEncoding::Auto) {
        const tonvik::LoadedText loaded = LoadTextFile(Write("t.txt", bytes), encoding);
        EXPECT_TRUE(loaded.Ok) << loaded.Error;
        EXPECT_EQ(loaded.Error, "");
        return loaded.Text;
    }

    fs::path Folder;
};

const char* const Sample = "Привет, мир! Ёж № 5 «ок»";

} // namespace

TEST_F(TextFileTest, Utf8WithAndWithoutMark) {
    EXPECT_EQ(Load(Sample), Cp(Sample));
    EXPECT_EQ(Load(std::string("\xEF\xBB\xBF") + Sample), Cp(Sample));
    EXPECT_EQ(Load("\xEF\xBB\xBF"
                   "plain"),
              "plain");
    EXPECT_EQ(Load("\xEF\xBB\xBF"), "");
}

TEST_F(TextFileTest, Utf16WithMark) {
    EXPECT_EQ(Load(Utf16(Sample, false)), Cp(Sample));
    EXPECT_EQ(Load(Utf16(Sample, true)), Cp(Sample));
    EXPECT_EQ(Load(Utf16("中文 и 😀 ok", false)), Cp(" и  ok"));
}

TEST_F(TextFileTest, Utf16WithoutMarkIsRecognisedInBothByteOrders) {
    for (const bool bigEndian : {false, true}) {
        EXPECT_EQ(Load(Utf16(Sample, bigEndian, false)), Cp(Sample)) << bigEndian;
        EXPECT_EQ(Load(Utf16("CQ CQ DE UA3ABC", bigEndian, false)), "CQ CQ DE UA3ABC");
        // Letters only, not a single space: the high bytes are all 0x04.
        EXPECT_EQ(Load(Utf16("ПРИВЕТМИР", bigEndian, false)), Cp("ПРИВЕТМИР"));
        EXPECT_EQ(Load(Utf16("Ж", bigEndian, false)), Cp("Ж"));
    }
    // Never keyed as NUL word gaps.
    EXPECT_EQ(Load(Utf16("Мир\r\n", false, false)).find('\0'), std::string::npos);
}

TEST_F(TextFileTest, BytesThatOnlyResembleUtf16StayCp1251) {
    // Zero bytes at both parities: binary, not text.
    const std::string binary("a\0\0b\0c\0\0", 8);
    EXPECT_EQ(Load(binary), binary);
    // CP1251 text holds no zero bytes.
    EXPECT_EQ(Load(Cp("Ж Ж Ж")), Cp("Ж Ж Ж"));
    // A lone surrogate does not decode: taken byte for byte.
    const std::string surrogate("a\0\x00\xD8"
                                "b\0",
                                6);
    EXPECT_EQ(Load(surrogate), surrogate);
}

TEST_F(TextFileTest, ChosenUtf16TakesTheMarkOrTheLikelierOrder) {
    EXPECT_EQ(Load(Utf16(Sample, true, false), TextEncoding::Utf16), Cp(Sample));
    EXPECT_EQ(Load(Utf16(Sample, false, false), TextEncoding::Utf16), Cp(Sample));
    EXPECT_EQ(Load(Utf16(Sample, true), TextEncoding::Utf16), Cp(Sample));
    EXPECT_EQ(Load("", TextEncoding::Utf16), "");
}

TEST_F(TextFileTest, Utf32WithMark) {
    const std::string le("\xFF\xFE\0\0\x1F\x04\0\0a\0\0\0", 12); // "Пa"
    const std::string be("\0\0\xFE\xFF\0\0\x04\x1F\0\0\0a", 12);
    EXPECT_EQ(Load(le), "\xCF"
                        "a");
    EXPECT_EQ(Load(be), "\xCF"
                        "a");
}

TEST_F(TextFileTest, Cp1251AndAsciiAreTakenByteForByte) {
    EXPECT_EQ(Load(Cp(Sample)), Cp(Sample));
    EXPECT_EQ(Load("Hello, world!\r\n"), "Hello, world!\r\n");
}

TEST_F(TextFileTest, CharactersOutsideTheCodePageAreDropped) {
    EXPECT_EQ(Load("Мир 😀 中文 ok"), Cp("Мир   ok"));
}

TEST_F(TextFileTest, ChosenEncodingOverridesDetection) {
    EXPECT_EQ(Load(Sample, TextEncoding::Cp1251), std::string(Sample));
    EXPECT_EQ(Load(std::string("\xEF\xBB\xBF") + Sample, TextEncoding::Utf8), Cp(Sample));
    // CP1251 bytes read as UTF-8 are mostly invalid and dropped.
    EXPECT_EQ(Load(Cp("Ok мир"), TextEncoding::Utf8), "Ok ");
}

TEST_F(TextFileTest, BinaryBytesArriveWhole) {
    const std::string binary("a\0b\xFF\x01\0\x80z", 8);
    EXPECT_EQ(Load(binary), binary);
}

TEST_F(TextFileTest, EmptyFileGivesEmptyText) {
    EXPECT_EQ(Load(""), "");
}

TEST_F(TextFileTest, MissingFileIsNamed) {
    const std::string path = (Folder / "нет.txt").string();
    const tonvik::LoadedText loaded = LoadTextFile(path);
    EXPECT_FALSE(loaded.Ok);
    EXPECT_EQ(loaded.Text, "");
    EXPECT_NE(loaded.Error.find("не найден"), std::string::npos) << loaded.Error;
    EXPECT_NE(loaded.Error.find(path), std::string::npos) << loaded.Error;
}

TEST_F(TextFileTest, DirectoryIsRefused) {
    const tonvik::LoadedText loaded = LoadTextFile(Folder.string());
    EXPECT_FALSE(loaded.Ok);
    EXPECT_NE(loaded.Error.find("папка"), std::string::npos) << loaded.Error;
    EXPECT_NE(loaded.Error.find(Folder.string()), std::string::npos) << loaded.Error;
}

TEST_F(TextFileTest, PipeIsRefusedWithoutWaiting) {
    const std::string path = (Folder / "pipe").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const tonvik::LoadedText loaded = LoadTextFile(path);
    EXPECT_FALSE(loaded.Ok);
    EXPECT_NE(loaded.Error.find(path), std::string::npos) << loaded.Error;
}

TEST_F(TextFileTest, UnreadableFileIsRefused) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const std::string path = Write("locked.txt", "text");
    fs::permissions(path, fs::perms::none);
    const tonvik::LoadedText loaded = LoadTextFile(path);
    EXPECT_FALSE(loaded.Ok);
    EXPECT_NE(loaded.Error.find("Нет доступа"), std::string::npos) << loaded.Error;
}

TEST_F(TextFileTest, FileOverTheLimitIsRefused) {
    const std::string path = Write("big.txt", "");
    fs::resize_file(path, tonvik::MaxTextFileBytes + 1); // sparse: costs no disk
    const tonvik::LoadedText loaded = LoadTextFile(path);
    EXPECT_FALSE(loaded.Ok);
    EXPECT_EQ(loaded.Text, "");
    EXPECT_NE(loaded.Error.find("слишком большой"), std::string::npos) << loaded.Error;
    EXPECT_NE(loaded.Error.find(path), std::string::npos) << loaded.Error;
}

TEST_F(TextFileTest, FileAtTheLimitIsReadWhole) {
    const std::string path = Write("limit.txt", "x");
    fs::resize_file(path, tonvik::MaxTextFileBytes); // one x, then NUL bytes
    const tonvik::LoadedText loaded = LoadTextFile(path);
    ASSERT_TRUE(loaded.Ok) << loaded.Error;
    ASSERT_EQ(loaded.Text.size(), tonvik::MaxTextFileBytes);
    EXPECT_EQ(loaded.Text.front(), 'x');
    EXPECT_EQ(loaded.Text.back(), '\0');
}

TEST(DecodeTextBytes, InvalidUtf8IsTakenAsCp1251) {
    const std::string mixed = "\xD0\x9F" + Cp("ривет"); // UTF-8 П, then CP1251
    EXPECT_EQ(DecodeTextBytes(mixed, TextEncoding::Auto), mixed);
}

TEST(DecodeTextBytes, Utf8MarkWinsOverStrayBytes) {
    const std::string marked = "\xEF\xBB\xBF\xD0\x9F" + Cp("р") + "ok"; // П, a CP1251 р, ok
    EXPECT_EQ(DecodeTextBytes(marked, TextEncoding::Auto), Cp("Пok"));
}

TEST(DecodeTextBytes, TruncatedUtf8IsTakenAsCp1251) {
    const std::string cut = std::string(Sample).substr(0, 1); // half of П
    EXPECT_EQ(DecodeTextBytes(cut, TextEncoding::Auto), cut);
}

TEST(DecodeTextBytes, Utf16WithOddByteCountLosesOnlyTheStrayByte) {
    EXPECT_EQ(DecodeTextBytes(std::string("\xFF\xFE"
                                          "a\0b",
                                          5),
                              TextEncoding::Auto),
              "a");
}
