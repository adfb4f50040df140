// The writers of the record-keeping program's files and the sample congregation. Expected
// bytes are worked out by hand from the record layout, not from the writer.
#include "sampledata.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#ifdef _WIN32
#include "text/wide.h"
#else
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using namespace pelkorl::sample;

namespace {

class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = fs::temp_directory_path() / ("pelkorl-sampledata-" + std::to_string(::getpid()) +
                                             "-" + std::to_string(++counter));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::vector<std::uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads a text the way the program does: length up to the first NUL, then unshifted, with
// stored 204 kept among the first `kept` positions.
std::string readText(const std::uint8_t* field, std::size_t size, bool shifted, std::size_t kept) {
    std::string out;
    for (std::size_t i = 0; i < size && field[i] != 0; ++i) {
        unsigned byte = field[i];
        if (shifted && !(byte == 204 && i < kept)) {
            byte = (byte + 256 * 2 - i - 0x2A) % 256;
        }
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

struct Figures {
    bool placement;
    unsigned status, books, brochures, hours, subscriptions, magazines, returnVisits, bibleStudies,
        placements, videoShowings, quarters;
};

Figures readFigures(const RecordBytes& r, int m) {
    auto b = [&](int x) {
        return static_cast<unsigned>(r[static_cast<std::size_t>(x + m)]);
    };
    Figures f{};
    f.placement = ((r[196] | (r[197] << 8)) >> m) & 1;
    f.status = b(202) & 3;
    f.hours = b(240);
    f.quarters = b(300) & 3;
    if (f.placement) {
        f.placements = b(216) + ((b(288) >> 4) << 8);
        f.videoShowings = b(228) + ((b(288) & 0x0F) << 8);
        f.returnVisits = b(252) + ((b(276) >> 6) << 8);
        f.bibleStudies = b(264) & 0x3F;
    } else {
        f.books = b(216);
        f.brochures = b(228) + ((b(202) >> 4) << 8);
        f.subscriptions = b(252) & 0x3F;
        f.magazines = b(264) + ((b(288) >> 6) << 8) + (((b(202) >> 2) & 3) << 10);
        f.returnVisits = b(276) + ((b(252) >> 6) << 8);
        f.bibleStudies = b(288) & 0x3F;
    }
    return f;
}

// ---- Figure bytes ----

struct FigureCase {
    const char* name;
    int month;
    MonthSpec wanted;
    // Expected bytes at base + month for the bases 202, 216, 228, 240, 252, 264, 276, 288, 300.
    std::array<std::uint8_t, 9> bytes;
    std::uint16_t placementsMonths;
};

MonthSpec literature(unsigned status, unsigned books, unsigned brochures, unsigned hours,
                     unsigned subscriptions, unsigned magazines, unsigned returnVisits,
                     unsigned bibleStudies, unsigned quarters) {
    MonthSpec m;
    m.status = static_cast<std::uint8_t>(status);
    m.books = static_cast<std::uint16_t>(books);
    m.brochures = static_cast<std::uint16_t>(brochures);
    m.hours = static_cast<std::uint16_t>(hours);
    m.subscriptions = static_cast<std::uint16_t>(subscriptions);
    m.magazines = static_cast<std::uint16_t>(magazines);
    m.returnVisits = static_cast<std::uint16_t>(returnVisits);
    m.bibleStudies = static_cast<std::uint16_t>(bibleStudies);
    m.quarterHours = static_cast<std::uint8_t>(quarters);
    return m;
}

MonthSpec placement(unsigned status, unsigned placements, unsigned video, unsigned hours,
                    unsigned returnVisits, unsigned bibleStudies, unsigned quarters) {
    MonthSpec m;
    m.placementEncoding = true;
    m.status = static_cast<std::uint8_t>(status);
    m.placements = static_cast<std::uint16_t>(placements);
    m.videoShowings = static_cast<std::uint16_t>(video);
    m.hours = static_cast<std::uint16_t>(hours);
    m.returnVisits = static_cast<std::uint16_t>(returnVisits);
    m.bibleStudies = static_cast<std::uint16_t>(bibleStudies);
    m.quarterHours = static_cast<std::uint8_t>(quarters);
    return m;
}

MonthSpec withForeignFigures(MonthSpec m) {
    // Figures of the other encoding must leave no trace.
    if (m.placementEncoding) {
        m.books = 9;
        m.brochures = 0xFFF;
        m.subscriptions = 7;
        m.magazines = 0xFFF;
    } else {
        m.placements = 0xFFF;
        m.videoShowings = 0xFFF;
    }
    return m;
}

const FigureCase FIGURE_CASES[] = {
    {"literature",
     3,
     literature(1, 0x12, 0xABC, 0x34, 0x2A, 0xDEF, 0x3A5, 0x15, 2),
     {0xAD, 0x12, 0xBC, 0x34, 0xEA, 0xEF, 0xA5, 0x55, 0x02},
     0x0000},
    {"placement",
     10,
     placement(2, 0x9AB, 0x5CD, 200, 0x2F1, 0x3F, 3),
     {0x02, 0xAB, 0xCD, 0xC8, 0xF1, 0x3F, 0x80, 0x95, 0x03},
     0x0400},
    {"literatureAllHighBits",
     0,
     literature(3, 255, 4095, 255, 63, 4095, 1023, 63, 3),
     {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x03},
     0x0000},
    {"placementAllHighBits",
     11,
     placement(3, 4095, 4095, 255, 1023, 63, 0),
     {0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F, 0xC0, 0xFF, 0x00},
     0x0800},
    {"literatureTooWideIsCut",
     5,
     literature(6, 0x1FF, 0x1001, 0x101, 0x41, 0x1000, 0x400, 0x7F, 0),
     {0x02, 0xFF, 0x01, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00},
     0x0000},
    {"placementTooWideIsCut",
     1,
     placement(0, 0x1234, 0x1001, 0x1FF, 0x7FF, 0x41, 0),
     {0x00, 0x34, 0x01, 0xFF, 0xFF, 0x01, 0xC0, 0x20, 0x00},
     0x0002},
    {"literatureIgnoresPlacements",
     6,
     withForeignFigures(literature(0, 1, 2, 3, 4, 5, 6, 7, 1)),
     {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x01},
     0x0000},
    {"placementIgnoresLiterature",
     7,
     withForeignFigures(placement(1, 1, 2, 3, 4, 5, 0)),
     {0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 0x00, 0x00},
     0x0080},
};

void PrintTo(const FigureCase& c, std::ostream* os) {
    *os << c.name;
}

class FigureBytes : public testing::TestWithParam<FigureCase> {};

TEST_P(FigureBytes, LandAtTheirOffsetsAndNowhereElse) {
    const FigureCase& c = GetParam();
    PublisherSpec wanted;
    wanted.months[static_cast<std::size_t>(c.month)] = c.wanted;
    const RecordBytes r = encodePublisher(wanted, true);

    const int bases[] = {202, 216, 228, 240, 252, 264, 276, 288, 300};
    std::map<int, std::uint8_t> expected;
    for (int k = 0; k < 9; ++k) {
        expected[bases[k] + c.month] = c.bytes[static_cast<std::size_t>(k)];
    }
    expected[196] = static_cast<std::uint8_t>(c.placementsMonths & 0xFF);
    expected[197] = static_cast<std::uint8_t>(c.placementsMonths >> 8);
    for (int offset = 0; offset < 336; ++offset) {
        const auto it = expected.find(offset);
        const std::uint8_t want = it == expected.end() ? 0 : it->second;
        EXPECT_EQ(r[static_cast<std::size_t>(offset)], want) << "offset " << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, FigureBytes, testing::ValuesIn(FIGURE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FigureBytes, EveryValueOfEveryWidthReadsBack) {
    // Sweep each figure over its whole range in both encodings, other figures held at
    // values whose bits overlap in the shared bytes.
    for (unsigned v = 0; v < 4096; v += 7) {
        PublisherSpec wanted;
        wanted.months[2] = literature(v & 3, v & 0xFF, v, (v * 3) & 0xFF, v & 0x3F, 4095 - v,
                                      v & 0x3FF, (v >> 3) & 0x3F, v & 3);
        wanted.months[9] = placement(v & 3, v, 4095 - v, v & 0xFF, (1023 - v) & 0x3FF, v & 0x3F, 0);
        const RecordBytes r = encodePublisher(wanted, false);
        const Figures lit = readFigures(r, 2);
        const MonthSpec& l = wanted.months[2];
        EXPECT_FALSE(lit.placement);
        EXPECT_EQ(lit.status, l.status);
        EXPECT_EQ(lit.books, l.books);
        EXPECT_EQ(lit.brochures, l.brochures);
        EXPECT_EQ(lit.hours, l.hours);
        EXPECT_EQ(lit.subscriptions, l.subscriptions);
        EXPECT_EQ(lit.magazines, l.magazines);
        EXPECT_EQ(lit.returnVisits, l.returnVisits);
        EXPECT_EQ(lit.bibleStudies, l.bibleStudies);
        EXPECT_EQ(lit.quarters, l.quarterHours);
        const Figures plc = readFigures(r, 9);
        const MonthSpec& p = wanted.months[9];
        EXPECT_TRUE(plc.placement);
        EXPECT_EQ(plc.placements, p.placements);
        EXPECT_EQ(plc.videoShowings, p.videoShowings);
        EXPECT_EQ(plc.hours, p.hours);
        EXPECT_EQ(plc.returnVisits, p.returnVisits);
        EXPECT_EQ(plc.bibleStudies, p.bibleStudies);
        ASSERT_FALSE(testing::Test::HasFailure()) << "value " << v;
    }
}

// ---- Texts, identity and flags ----

TEST(PublisherBytes, ShiftedTextsAndIdentity) {
    PublisherSpec wanted;
    wanted.firstName = "Ab";
    wanted.lastName = "\xDE\xEB"; // Žė
    wanted.address = "x";
    wanted.mobilePhone = "+3";
    wanted.baptismDate = "01312002";
    wanted.anointed = true;
    wanted.publisherId = 0x1234;
    wanted.extensionIndex = 0x0507;
    wanted.storedPreviousLink = 0x0102;
    wanted.appointment = ELDER;
    wanted.male = true;
    wanted.months[4].remarkSlot = 9;
    const RecordBytes r = encodePublisher(wanted, true);

    EXPECT_EQ(r[2], 65 + 42);
    EXPECT_EQ(r[3], 98 + 1 + 42);
    EXPECT_EQ(r[4], 0);
    EXPECT_EQ(r[23], (0xDE + 42) % 256); // wraps round
    EXPECT_EQ(r[24], (0xEB + 1 + 42) % 256);
    EXPECT_EQ(r[44], 120 + 42);
    EXPECT_EQ(r[122], '+' + 42);
    EXPECT_EQ(r[123], '3' + 1 + 42);
    const std::uint8_t date[] = {90, 92, 95, 94, 96, 95, 96, 99, 0};
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(r[152 + i], date[i]) << i;
    }
    EXPECT_EQ(r[180], 'A');
    EXPECT_EQ(r[182], 0x34);
    EXPECT_EQ(r[183], 0x12);
    EXPECT_EQ(r[184], 0x07);
    EXPECT_EQ(r[185], 0x05);
    EXPECT_EQ(r[192], 0x02);
    EXPECT_EQ(r[193], 0x01);
    EXPECT_EQ(r[215], 0x22);
    EXPECT_EQ(r[316], 9);

    const RecordBytes plain = encodePublisher(wanted, false);
    EXPECT_EQ(plain[2], 'A');
    EXPECT_EQ(plain[23], 0xDE);
    EXPECT_EQ(plain[152], '0');
}

TEST(PublisherBytes, PersonFlags) {
    struct Case {
        std::uint8_t appointment;
        bool male, female;
        std::uint8_t extra, expected;
    };
    const Case cases[] = {{MINISTERIAL_SERVANT, false, true, 0, 0x41},
                          {0, true, false, 0, 0x20},
                          {3, false, false, 0x80, 0x83},
                          {ELDER, true, true, 0, 0x62}};
    for (const Case& c : cases) {
        PublisherSpec wanted;
        wanted.appointment = c.appointment;
        wanted.male = c.male;
        wanted.female = c.female;
        wanted.extraPersonFlags = c.extra;
        EXPECT_EQ(encodePublisher(wanted, true)[215], c.expected);
    }
}

TEST(PublisherBytes, TextsFillTheirFieldAtMostAndAreCutThere) {
    PublisherSpec wanted;
    wanted.homePhone = "123456789012345"; // whole field, no NUL
    wanted.mobilePhone = "9";
    wanted.firstName = std::string(30, 'a');
    wanted.lastName = "B";
    const RecordBytes r = encodePublisher(wanted, false);
    for (std::size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(r[107 + i], wanted.homePhone[i]);
    }
    EXPECT_EQ(r[122], '9');
    EXPECT_EQ(r[22], 'a');
    EXPECT_EQ(r[23], 'B');
}

TEST(Shift, WhatSurvivesTheReader) {
    EXPECT_EQ(shiftText("\xA2"), "\xCC");          // 162 + 42 = 204
    EXPECT_FALSE(shiftSurvivesReader("\xA2", 21)); // a name keeps it: reads back wrong
    EXPECT_TRUE(shiftSurvivesReader("\xA2", 0));
    EXPECT_FALSE(shiftSurvivesReader("\xD6", 0));   // 214 + 42 = 256: stored NUL ends the text
    EXPECT_FALSE(shiftSurvivesReader("ab\xD4", 0)); // 212 + 2 + 42
    const std::string address = std::string(30, 'a') + "\x84"; // 132 + 30 + 42 = 204
    EXPECT_TRUE(shiftSurvivesReader(address, 30));
    EXPECT_FALSE(shiftSurvivesReader(address, 31));
}

TEST(HeaderBytes, PasswordMarkAndYearStamps) {
    YearStamps stamps{};
    for (std::size_t m = 0; m < 12; ++m) {
        stamps[m] = yearStamp(m >= 8 ? 2024 : 2025);
    }
    const RecordBytes shifted = encodeHeader(" ", true, stamps);
    EXPECT_EQ(shifted[2], 0x4A);
    EXPECT_EQ(shifted[3], 0);
    EXPECT_NE(shifted[23], 'A');
    EXPECT_EQ(shifted[312], 25);
    EXPECT_EQ(shifted[319], 25);
    EXPECT_EQ(shifted[320], 24);
    EXPECT_EQ(shifted[323], 24);

    const RecordBytes plain = encodeHeader("Slaptas", false);
    EXPECT_EQ(std::string(plain.begin() + 2, plain.begin() + 9), "Slaptas");
    EXPECT_EQ(plain[9], 0);
    EXPECT_EQ(plain[23], 'A');
    EXPECT_EQ(plain[312], 0);

    EXPECT_EQ(yearStamp(2000), 0);
    EXPECT_EQ(yearStamp(2255), 255);
    EXPECT_EQ(yearStamp(2256), 0);
}

TEST(ExtensionBytes, AlwaysShiftedAtTheirOffsets) {
    const std::string longName(65, 'L'); // whole field, no NUL
    const ExtensionBytes r = encodeExtension(0x0203, longName + "cut", "t2", "t3");
    EXPECT_EQ(r[0], 0x03);
    EXPECT_EQ(r[1], 0x02);
    EXPECT_EQ(r[2], 'L' + 42);
    EXPECT_EQ(r[66], ('L' + 64 + 42) % 256);
    EXPECT_EQ(r[67], 't' + 42);
    EXPECT_EQ(r[68], '2' + 1 + 42);
    EXPECT_EQ(r[69], 0);
    EXPECT_EQ(r[118], 't' + 42);
    EXPECT_EQ(r[119], '3' + 1 + 42);
    EXPECT_EQ(r[190], 0);
}

TEST(RemarkBytes, TextMonthAndId) {
    const RemarkBytes r = encodeRemark({std::string(40, 'r'), 11, 0x0102});
    for (std::size_t i = 0; i < 37; ++i) {
        EXPECT_EQ(r[i], 'r') << i;
    }
    EXPECT_EQ(r[37], 11);
    EXPECT_EQ(r[38], 0x02);
    EXPECT_EQ(r[39], 0x01);
    const RemarkBytes shortText = encodeRemark({"Ok", 1, 12});
    EXPECT_EQ(shortText[2], 0);
    EXPECT_EQ(shortText[36], 0);
}

TEST(Cp1257, LithuanianLettersAndOthers) {
    EXPECT_EQ(toCp1257("ąčęėįšųūž"), "\xE0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE");
    EXPECT_EQ(toCp1257("ĄČĘĖĮŠŲŪŽ"), "\xC0\xC8\xC6\xCB\xC1\xD0\xD8\xDB\xDE");
    bool complete = false;
    EXPECT_EQ(toCp1257("Kaunas 12-4", &complete), "Kaunas 12-4");
    EXPECT_TRUE(complete);
    EXPECT_EQ(toCp1257("café", &complete), "caf?");
    EXPECT_FALSE(complete);
    EXPECT_EQ(toCp1257("a\xC5", &complete), "a?"); // cut sequence
    EXPECT_FALSE(complete);
}

// ---- Files ----

TEST(Files, SizesAndRecordOrder) {
    TempDir dir;
    PublisherSpec a;
    a.publisherId = 11;
    PublisherSpec b;
    b.publisherId = 12;
    const RecordBytes header = encodeHeader(" ", true);
    ASSERT_TRUE(writePublisherFile(
        dir.path() / "tdat7.bin", header,
        {encodePublisher(a, true), encodePublisher(b, true), encodePublisher(a, true)}));
    const auto publishers = readAll(dir.path() / "tdat7.bin");
    ASSERT_EQ(publishers.size(), 336u * 4);
    EXPECT_EQ(publishers[2], 0x4A);
    EXPECT_EQ(publishers[336 * 2 + 182], 12);

    ASSERT_TRUE(writeExtensionFile(dir.path() / "xten7.dat",
                                   {encodeExtension(11, "A"), encodeExtension(12, "B")}));
    const auto extensions = readAll(dir.path() / "xten7.dat");
    ASSERT_EQ(extensions.size(), 192u * 3);
    for (std::size_t i = 0; i < 192; ++i) {
        ASSERT_EQ(extensions[i], 0) << "record 0 is unused";
    }
    EXPECT_EQ(extensions[192 * 2], 12);

    ASSERT_TRUE(
        writeRemarksFile(dir.path() / "remark7.dat",
                         {{"a", 1, 11}, {"b", 2, 12}, {"c", 3, 13}, {"d", 4, 14}, {"e", 5, 15}}));
    const auto remarks = readAll(dir.path() / "remark7.dat");
    ASSERT_EQ(remarks.size(), 40u * 5);
    EXPECT_EQ(remarks[40 * 4], 'e');
    EXPECT_EQ(remarks[40 * 4 + 37], 5);

    ASSERT_TRUE(writeRemarksFile(dir.path() / "empty.dat", {}));
    EXPECT_EQ(fs::file_size(dir.path() / "empty.dat"), 0u);
}

TEST(Files, FailureIsReported) {
    TempDir dir;
    EXPECT_FALSE(writeRemarksFile(dir.path() / "missing" / "remark7.dat", {{"a", 1, 11}}));
    fs::create_directory(dir.path() / "remark7.dat");
    EXPECT_FALSE(writeRemarksFile(dir.path() / "remark7.dat", {{"a", 1, 11}}));
}

TEST(Files, ALinkIsReplacedNotWrittenThrough) {
    TempDir dir;
    const fs::path outside = dir.path() / "outside.dat";
    std::ofstream(outside) << "keep";
    fs::create_directory(dir.path() / "data");
    std::error_code error;
    fs::create_symlink(outside, dir.path() / "data" / "remark7.dat", error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    ASSERT_TRUE(writeRemarksFile(dir.path() / "data" / "remark7.dat", {{"a", 1, 11}}));
    EXPECT_FALSE(fs::is_symlink(dir.path() / "data" / "remark7.dat"));
    EXPECT_EQ(readAll(outside).size(), 4u);
}

// ---- The sample congregation ----

const PublisherSpec* byId(const std::vector<PublisherSpec>& list, std::uint16_t id) {
    for (const PublisherSpec& p : list) {
        if (p.publisherId == id) {
            return &p;
        }
    }
    return nullptr;
}

void expectReadsBack(const std::vector<std::uint8_t>& file, const std::vector<PublisherSpec>& specs,
                     bool shifted) {
    ASSERT_EQ(file.size(), 336 * (specs.size() + 1));
    for (std::size_t j = 0; j < specs.size(); ++j) {
        RecordBytes r{};
        std::copy_n(file.begin() + static_cast<long>(336 * (j + 1)), 336, r.begin());
        for (std::size_t t : {22, 43, 106, 121, 160, 169}) {
            r[t] = 0;
        }
        const PublisherSpec& p = specs[j];
        EXPECT_EQ(readText(&r[2], 21, shifted, 21), p.firstName) << j;
        EXPECT_EQ(readText(&r[23], 21, shifted, 21), p.lastName) << j;
        EXPECT_EQ(readText(&r[44], 63, shifted, 30), p.address) << j;
        EXPECT_EQ(readText(&r[107], 15, shifted, 0), p.homePhone) << j;
        EXPECT_EQ(readText(&r[122], 15, shifted, 0), p.mobilePhone) << j;
        EXPECT_EQ(readText(&r[137], 15, shifted, 0), p.spareText) << j;
        EXPECT_EQ(readText(&r[152], 9, shifted, 0), p.baptismDate) << j;
        EXPECT_EQ(readText(&r[161], 9, shifted, 0), p.birthDate) << j;
        EXPECT_EQ(r[182] | (r[183] << 8), p.publisherId);
        for (int m = 0; m < 12; ++m) {
            const Figures f = readFigures(r, m);
            const MonthSpec& s = p.months[static_cast<std::size_t>(m)];
            EXPECT_EQ(f.placement, s.placementEncoding);
            EXPECT_EQ(f.hours, s.hours);
            EXPECT_EQ(f.quarters, s.quarterHours);
            EXPECT_EQ(f.returnVisits, s.returnVisits);
            EXPECT_EQ(f.bibleStudies, s.bibleStudies);
            if (s.placementEncoding) {
                EXPECT_EQ(f.placements, s.placements);
                EXPECT_EQ(f.videoShowings, s.videoShowings);
            } else {
                EXPECT_EQ(f.books, s.books);
                EXPECT_EQ(f.brochures, s.brochures);
                EXPECT_EQ(f.magazines, s.magazines);
                EXPECT_EQ(f.subscriptions, s.subscriptions);
            }
        }
    }
}

TEST(SampleCongregation, FilesReadBackAsBuilt) {
    for (const bool plain : {false, true}) {
        TempDir dir;
        ASSERT_TRUE(writeSampleCongregation(dir.path(), 2027, {plain, " "}));
        const SampleCongregation c = buildSampleCongregation(2027);
        const auto current = readAll(dir.path() / "tdat7.bin");
        const auto previous = readAll(dir.path() / "Roll/Rv7_8/tdat7.bin");
        ASSERT_GE(current.size(), 336u);
        EXPECT_EQ(current[23] == 'A', plain);
        EXPECT_EQ(readText(&current[2], 21, !plain, 21), " ");
        expectReadsBack(current, c.current, !plain);
        expectReadsBack(previous, c.previous, !plain);
        for (std::size_t m = 0; m < 12; ++m) {
            EXPECT_EQ(previous[312 + m], c.previousYearStamps[m]);
        }

        const auto extensions = readAll(dir.path() / "xten7.dat");
        ASSERT_EQ(extensions.size(), 192 * (c.extensions.size() + 1));
        for (std::size_t k = 0; k < c.extensions.size(); ++k) {
            const std::uint8_t* r = &extensions[192 * (k + 1)];
            EXPECT_EQ(r[0] | (r[1] << 8), c.extensions[k].publisherId);
            EXPECT_EQ(readText(r + 2, 64, true, 0), c.extensions[k].longName) << k;
            EXPECT_EQ(readText(r + 67, 50, true, 0), c.extensions[k].text2) << k;
        }
        EXPECT_EQ(fs::file_size(dir.path() / "remark7.dat"), 40 * c.currentRemarks.size());
        EXPECT_EQ(fs::file_size(dir.path() / "Roll/Rv7_8/remark7.dat"),
                  40 * c.previousRemarks.size());
        EXPECT_TRUE(holdsSampleMark(dir.path() / "tdat7.bin"));
    }
}

TEST(SampleCongregation, Deterministic) {
    TempDir a, b, c;
    ASSERT_TRUE(writeSampleCongregation(a.path(), 2027));
    ASSERT_TRUE(writeSampleCongregation(b.path(), 2027));
    ASSERT_TRUE(writeSampleCongregation(c.path(), 2030));
    for (std::string_view name : SAMPLE_FILES) {
        EXPECT_EQ(readAll(a.path() / name), readAll(b.path() / name)) << name;
    }
    EXPECT_NE(readAll(a.path() / "tdat7.bin"), readAll(c.path() / "tdat7.bin"));
}

TEST(SampleCongregation, PasswordVariant) {
    TempDir dir;
    ASSERT_TRUE(writeSampleCongregation(dir.path(), 2027, {false, "Slapta\xF0odis"}));
    const auto bytes = readAll(dir.path() / "tdat7.bin");
    EXPECT_EQ(readText(&bytes[2], 21, true, 21), "Slapta\xF0odis");
}

TEST(SampleCongregation, RefusesWhatCannotBeWrittenFaithfully) {
    TempDir dir;
    EXPECT_FALSE(writeSampleCongregation(dir.path(), SAMPLE_YEAR_MIN - 1));
    EXPECT_FALSE(writeSampleCongregation(dir.path(), SAMPLE_YEAR_MAX + 1));
    EXPECT_FALSE(writeSampleCongregation(dir.path(), 2027, {false, ""}));
    EXPECT_FALSE(writeSampleCongregation(dir.path(), 2027, {false, std::string(21, 'x')}));
    EXPECT_FALSE(writeSampleCongregation(dir.path(), 2027, {false, "\xA2"}));
    EXPECT_TRUE(writeSampleCongregation(dir.path(), 2027, {true, "\xA2"}));

    TempDir linked;
    TempDir elsewhere;
    std::error_code error;
    fs::create_directory_symlink(elsewhere.path(), linked.path() / "Roll", error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_FALSE(writeSampleCongregation(linked.path(), 2027));
    EXPECT_TRUE(fs::is_empty(elsewhere.path()));
}

TEST(SampleCongregation, CoversTheCasesItNames) {
    using namespace sampleid;
    const int year = 2027;
    const SampleCongregation c = buildSampleCongregation(year);
    EXPECT_GE(c.current.size(), 35u);
    EXPECT_LE(c.current.size(), 45u);

    // Renamed: same id, first name kept, surname changed.
    const PublisherSpec* now = byId(c.current, RENAMED);
    const PublisherSpec* before = byId(c.previous, RENAMED);
    ASSERT_TRUE(now && before);
    EXPECT_EQ(now->firstName, before->firstName);
    EXPECT_NE(now->lastName, before->lastName);
    now = byId(c.current, BOTH_NAMES_CHANGED);
    before = byId(c.previous, BOTH_NAMES_CHANGED);
    ASSERT_TRUE(now && before);
    EXPECT_NE(now->firstName, before->firstName);
    EXPECT_NE(now->lastName, before->lastName);
    EXPECT_TRUE(byId(c.current, NO_PREVIOUS_RECORD));
    EXPECT_FALSE(byId(c.previous, NO_PREVIOUS_RECORD));
    EXPECT_FALSE(byId(c.current, MOVED_AWAY));
    EXPECT_TRUE(byId(c.previous, MOVED_AWAY));
    EXPECT_TRUE(byId(c.current, ZERO_ID) && byId(c.previous, ZERO_ID));
    std::vector<std::size_t> duplicates;
    for (std::size_t l = 0; l < c.previous.size(); ++l) {
        if (c.previous[l].publisherId == DUPLICATE_PREVIOUS) {
            duplicates.push_back(l);
            EXPECT_EQ(c.previous[l].firstName, byId(c.current, DUPLICATE_PREVIOUS)->firstName);
        }
    }
    EXPECT_EQ(duplicates.size(), 2u);

    // Dates.
    EXPECT_EQ(byId(c.current, SHORT_YEAR_DATE)->baptismDate.substr(4), "99  ");
    EXPECT_EQ(byId(c.current, YEAR_ONLY_BAPTISM)->baptismDate, "2000    ");
    EXPECT_EQ(byId(c.current, BLANK_BAPTISM)->baptismDate, "        ");
    EXPECT_TRUE(byId(c.current, NO_PREVIOUS_RECORD)->baptismDate.empty());
    EXPECT_EQ(byId(c.current, FULL_LENGTH_NAME)->lastName.size(), 20u);

    // Long names: one over 40, one of 64, one empty with text2, one of digits only; the
    // mismatching record belongs to another id.
    std::map<std::uint16_t, ExtensionSpec> ext;
    for (std::size_t k = 0; k < c.extensions.size(); ++k) {
        ext[c.extensions[k].publisherId] = c.extensions[k];
    }
    EXPECT_GT(ext[ANOINTED_ELDER].longName.size(), 40u);
    EXPECT_EQ(ext[HIGH_FIGURES].longName.size(), 64u);
    EXPECT_TRUE(ext[EMPTY_LONG_NAME].longName.empty());
    EXPECT_FALSE(ext[EMPTY_LONG_NAME].text2.empty());
    EXPECT_EQ(ext[DIGITS_LONG_NAME].longName.find_first_not_of("0123456789"), std::string::npos);
    const PublisherSpec* mismatch = byId(c.current, EXTENSION_MISMATCH);
    ASSERT_NE(mismatch->extensionIndex, 0);
    EXPECT_NE(c.extensions[mismatch->extensionIndex - 1u].publisherId, EXTENSION_MISMATCH);

    // Remarks: one of 36 characters, two for one publisher and month, ids below 11 and unknown.
    std::size_t longest = 0;
    std::map<std::pair<int, int>, int> perMonth;
    for (const RemarkSpec& r : c.currentRemarks) {
        longest = std::max(longest, r.text.size());
        ++perMonth[{r.publisherId, r.month}];
    }
    EXPECT_EQ(longest, 36u);
    EXPECT_EQ((perMonth[{PIONEER_UNTIL_DECEMBER, 1}]), 2);
    EXPECT_EQ((perMonth[{LOW_ID, 2}]), 1);
    EXPECT_EQ((perMonth[{UNKNOWN_REMARK_ID, 5}]), 1);
    bool previousRemarkOfNewcomer = false;
    for (const RemarkSpec& r : c.previousRemarks) {
        previousRemarkOfNewcomer = previousRemarkOfNewcomer || r.publisherId == NO_PREVIOUS_RECORD;
    }
    EXPECT_TRUE(previousRemarkOfNewcomer);

    // Months: both encodings, all quarter counts, both pioneer kinds, the special months.
    std::set<unsigned> quarters, statuses, encodings;
    for (const auto* list : {&c.current, &c.previous}) {
        for (const PublisherSpec& p : *list) {
            for (const MonthSpec& m : p.months) {
                quarters.insert(m.quarterHours);
                statuses.insert(m.status);
                encodings.insert(m.placementEncoding);
            }
        }
    }
    EXPECT_EQ(quarters, (std::set<unsigned>{0, 1, 2, 3}));
    EXPECT_EQ(statuses, (std::set<unsigned>{0, 1, 2, 3}));
    EXPECT_EQ(encodings.size(), 2u);
    const MonthSpec& quarterOnly = byId(c.current, QUARTER_ONLY)->months[2];
    EXPECT_EQ(quarterOnly.hours, 0);
    EXPECT_EQ(quarterOnly.quarterHours, 1);
    const MonthSpec& twelve = byId(c.current, TWELVE_THREE_QUARTERS)->months[9];
    EXPECT_EQ(twelve.hours, 12);
    EXPECT_EQ(twelve.quarterHours, 3);
    const MonthSpec& high = byId(c.current, HIGH_FIGURES)->months[8];
    EXPECT_GT(high.magazines, 1023);
    EXPECT_GT(high.brochures, 255);
    EXPECT_GT(high.returnVisits, 255);
    EXPECT_EQ(byId(c.current, NO_REPORT_MONTH)->months[10].hours, 0);

    // A stored 204 late in an address, where the reader unshifts it.
    const std::string stored = shiftText(byId(c.current, ADDRESS_LATE_204)->address);
    const auto at = stored.find('\xCC');
    ASSERT_NE(at, std::string::npos);
    EXPECT_GE(at, 30u);

    // Previous-year stamps name the calendar year of each month of that service year.
    EXPECT_EQ(c.previousYearStamps[8], yearStamp(year - 2));
    EXPECT_EQ(c.previousYearStamps[7], yearStamp(year - 1));
}

// ---- The tool ----

int runTool(const std::string& arguments) {
    const char* dir = std::getenv("PELKORL_TEST_BINARY_DIR");
    if (!dir) {
        return -1;
    }
#ifdef _WIN32
    // cmd.exe strips the first and last quote of the whole line, so the line is quoted once
    // more; _wsystem gives the exit code itself, and passes Lithuanian letters as they are
    // (std::system would pass the UTF-8 bytes through the ANSI code page).
    const std::string command =
        "\"\"" + std::string(dir) + "/pelkorl-sample.exe\" " + arguments + " >NUL 2>&1\"";
    return _wsystem(pelkorl::wideFromUtf8(command).c_str());
#else
    const std::string command =
        "\"" + std::string(dir) + "/pelkorl-sample\" " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

TEST(Tool, ExitCodes) {
    if (!std::getenv("PELKORL_TEST_BINARY_DIR")) {
        GTEST_SKIP() << "PELKORL_TEST_BINARY_DIR is not set";
    }
    TempDir dir;
    const std::string folder = "\"" + (dir.path() / "sample").string() + "\"";
    struct Case {
        std::string arguments;
        int exit;
    };
    const Case cases[] = {
        {"--help", 0},
        {folder + " --bogus", 2},
        {"", 2},
        {folder + " " + folder + "2", 2},
        {folder + " --year", 2},
        {folder + " --year 2001", 2},
        {folder + " --year 20x7", 2},
        {folder + " --password", 2},
        {folder + " --password " + std::string(21, 'p'), 2},
        {folder + " --password caf\xC3\xA9", 2},
        {folder + " --password \xC2\xA2", 2}, // not a Lithuanian letter
        {folder + " --password \" \"", 2},    // the file's "no password" mark
        {folder + " --password \" x\"", 2},
        {folder + " --password \"x \"", 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runTool(c.arguments), c.exit) << c.arguments;
    }
    EXPECT_FALSE(fs::exists(dir.path() / "sample"));

    ASSERT_EQ(runTool(folder + " --year 2030 --password sl\xC4\x85ptas"), 0);
    EXPECT_EQ(fs::file_size(dir.path() / "sample" / "tdat7.bin") % 336, 0u);
    EXPECT_EQ(runTool(folder + " --plain"), 0); // its own files are overwritten
    EXPECT_EQ(readAll(dir.path() / "sample" / "tdat7.bin")[23], 'A');
}

TEST(Tool, KeepsForeignDataUnlessForced) {
    if (!std::getenv("PELKORL_TEST_BINARY_DIR")) {
        GTEST_SKIP() << "PELKORL_TEST_BINARY_DIR is not set";
    }
    TempDir dir;
    std::ofstream(dir.path() / "remark7.dat") << "real remarks";
    const std::string folder = "\"" + dir.path().string() + "\"";
    EXPECT_EQ(runTool(folder), 1);
    EXPECT_EQ(readAll(dir.path() / "remark7.dat").size(), 12u);
    EXPECT_FALSE(fs::exists(dir.path() / "tdat7.bin"));
    EXPECT_EQ(runTool(folder + " --force"), 0);
    EXPECT_TRUE(holdsSampleMark(dir.path() / "tdat7.bin"));
}

} // namespace
