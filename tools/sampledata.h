#pragma once
// Writers of the record-keeping program's files (publisher file, extension file, remarks
// file) and a fictitious congregation built with them. Pelkorl itself never writes these
// files; the sample tool and the tests do, to have something to read.
//
// Texts are raw Windows-1257 bytes. Figures wider than their field are cut to the field's
// bits (value modulo 2^width), so a writer never spills into a neighbouring figure.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelkorl::sample {

using RecordBytes = std::array<std::uint8_t, 336>;
using ExtensionBytes = std::array<std::uint8_t, 192>;
using RemarkBytes = std::array<std::uint8_t, 40>;
using YearStamps = std::array<std::uint8_t, 12>;

// Service status of a month (bits 0-1 of the month's status byte).
inline constexpr std::uint8_t AUXILIARY_PIONEER = 1;
inline constexpr std::uint8_t REGULAR_PIONEER = 2;

// Appointment (bits 0-1 of the person flags).
inline constexpr std::uint8_t MINISTERIAL_SERVANT = 1;
inline constexpr std::uint8_t ELDER = 2;

// One calendar month of a publisher record. Which figures are stored depends on the
// encoding: books, brochures, subscriptions and magazines only in the literature encoding,
// placements and video showings only in the placement encoding; hours, return visits and
// Bible studies in both.
struct MonthSpec {
    std::uint8_t status = 0; // bits 0-1 stored
    bool placementEncoding = false;
    std::uint16_t books = 0;         // 8 bits
    std::uint16_t brochures = 0;     // 12 bits
    std::uint16_t hours = 0;         // 8 bits
    std::uint16_t subscriptions = 0; // 6 bits
    std::uint16_t magazines = 0;     // 12 bits
    std::uint16_t returnVisits = 0;  // 10 bits
    std::uint16_t bibleStudies = 0;  // 6 bits
    std::uint16_t placements = 0;    // 12 bits
    std::uint16_t videoShowings = 0; // 12 bits
    std::uint8_t quarterHours = 0;   // whole byte stored; bits 0-1 are the quarters
    std::uint8_t remarkSlot = 0;     // byte as it lies in the file (normally 0)
};

struct PublisherSpec {
    // Texts: raw Windows-1257 bytes. A text as long as its field is stored without NUL;
    // longer texts are cut at the field's size.
    std::string firstName;   // field 21
    std::string lastName;    // field 21
    std::string address;     // field 63
    std::string homePhone;   // field 15
    std::string mobilePhone; // field 15
    std::string spareText;   // field 15
    std::string baptismDate; // field 9: "MMDDYYYY" or "MMDDYY  "
    std::string birthDate;   // field 9
    bool anointed = false;
    std::uint16_t publisherId = 0;
    std::uint16_t extensionIndex = 0;
    std::uint16_t storedPreviousLink = 0; // the reader computes its own link
    std::uint8_t appointment = 0;         // 0 none, 1 ministerial servant, 2 elder, 3 none
    bool male = false;
    bool female = false;
    std::uint8_t extraPersonFlags = 0;  // OR-ed into the person flags as it is
    std::array<MonthSpec, 12> months{}; // calendar months, 0 = January
};

struct RemarkSpec {
    std::string text;       // at most 36 characters shown; up to 37 bytes are stored
    std::uint8_t month = 0; // calendar month 1-12 (stored as given)
    std::uint16_t publisherId = 0;
};

struct ExtensionSpec {
    std::uint16_t publisherId = 0;
    std::string longName; // field 65
    std::string text2;    // field 51
    std::string text3;    // field 72
};

// Byte i of a text stored shifted: (plain + i + TEXT_SHIFT) mod 256.
std::string shiftText(std::string_view plain);

// Whether the shifted form of plain reads back as plain: no byte is stored as NUL (it would
// end the text early) and no byte among the first keptPositions is stored as 204 (those the
// reader leaves unchanged; 21 for names and the password, 30 for the address, 0 elsewhere).
bool shiftSurvivesReader(std::string_view plain, std::size_t keptPositions);

// Year stamp byte of a year: year - 2000 modulo 256.
std::uint8_t yearStamp(int year);

RecordBytes encodePublisher(const PublisherSpec& wanted, bool shifted);
// Header record: the password (" " = none), the plain-text mark "A" when not shifted, the
// twelve year stamps at 312.
RecordBytes encodeHeader(std::string_view password, bool shifted,
                         const YearStamps& yearStamps = {});
// Extension record; its texts are always stored shifted.
ExtensionBytes encodeExtension(std::uint16_t publisherId, std::string_view longName,
                               std::string_view text2 = {}, std::string_view text3 = {});
RemarkBytes encodeRemark(const RemarkSpec& remark);

// Writers. Each writes the whole file through a temporary file in the same folder and a
// rename; false when the file could not be written.
// The header is record 0, records[i] becomes record i + 1.
bool writePublisherFile(const std::filesystem::path& path, const RecordBytes& header,
                        const std::vector<RecordBytes>& records);
// Record 0 is written as zeros (record number 0 means "none"); records[i] becomes record i + 1.
bool writeExtensionFile(const std::filesystem::path& path,
                        const std::vector<ExtensionBytes>& records);
bool writeRemarksFile(const std::filesystem::path& path, const std::vector<RemarkSpec>& remarks);

// UTF-8 to Windows-1257 for ASCII and the Lithuanian letters ąčęėįšųūž (both cases).
// Other characters become '?', and *complete (when given) is set to false.
std::string toCp1257(std::string_view utf8, bool* complete = nullptr);

// ---- The sample congregation ----

// serviceYearEnd: calendar year in which the current service year ends (August).
inline constexpr int SAMPLE_YEAR_MIN = 2002;
inline constexpr int SAMPLE_YEAR_MAX = 2255;
inline constexpr int SAMPLE_YEAR_DEFAULT = 2027;

struct SampleOptions {
    bool plainText = false;     // plain-text mark "A" in both publisher files
    std::string password = " "; // raw bytes, 1-20; " " = no password
};

struct SampleCongregation {
    YearStamps currentYearStamps{};
    YearStamps previousYearStamps{};
    std::vector<PublisherSpec> current;    // current[i] is record i + 1 of tdat7.bin
    std::vector<PublisherSpec> previous;   // previous[i] is record i + 1 of Roll/Rv7_8/tdat7.bin
    std::vector<ExtensionSpec> extensions; // extensions[i] is record number i + 1
    std::vector<RemarkSpec> currentRemarks;
    std::vector<RemarkSpec> previousRemarks;
};

// The congregation's data, without writing anything. Deterministic in serviceYearEnd.
SampleCongregation buildSampleCongregation(int serviceYearEnd);

// Writes tdat7.bin, xten7.dat, remark7.dat and Roll/Rv7_8/{tdat7.bin,remark7.dat} under
// folder (created when missing). False for a year outside SAMPLE_YEAR_MIN..MAX, a password
// that is empty, longer than 20 bytes or not stored faithfully when shifted, a Roll or
// Rv7_8 that is a symbolic link, or a failed write.
bool writeSampleCongregation(const std::filesystem::path& folder, int serviceYearEnd,
                             const SampleOptions& options = {});

// Files of a sample folder, relative to it.
inline constexpr std::array<std::string_view, 5> SAMPLE_FILES = {
    "tdat7.bin", "xten7.dat", "remark7.dat", "Roll/Rv7_8/tdat7.bin", "Roll/Rv7_8/remark7.dat"};

// The sample's publisher files carry this mark in header bytes the reader ignores, so the
// tool can tell its own files from real data before overwriting.
inline constexpr std::string_view SAMPLE_MARK = "PELKORL-SAMPLE";
inline constexpr std::size_t SAMPLE_MARK_OFFSET = 200;
bool holdsSampleMark(const std::filesystem::path& publisherFile);

// Publisher ids of the sample, by the case each one covers.
namespace sampleid {
inline constexpr std::uint16_t ANOINTED_ELDER = 101;     // Jonas Petrauskas; long name > 40
inline constexpr std::uint16_t PIONEER_ALL_YEAR = 102;   // Ona Petrauskienė; 36-char remark
inline constexpr std::uint16_t SERVANT_AUXILIARY = 103;  // Tomas Žukauskas; short long name
inline constexpr std::uint16_t AUXILIARY_REMARKS = 104;  // Rūta Žukauskienė; aux Mar+Apr
inline constexpr std::uint16_t HIGH_FIGURES = 105;       // Mindaugas Kazlauskas; 64-char long name
inline constexpr std::uint16_t RENAMED = 106;            // Eglė Kazlauskienė, was Jankauskaitė
inline constexpr std::uint16_t NO_PREVIOUS_RECORD = 107; // Šarūnas Vaitkus; unbaptized
inline constexpr std::uint16_t YEAR_ONLY_BAPTISM = 108;  // Gintarė Balčiūnaitė; "YYYY    "
inline constexpr std::uint16_t SHORT_YEAR_DATE = 109;    // Darius Stankevičius; "MMDDYY  "
inline constexpr std::uint16_t EMPTY_LONG_NAME = 110;    // Laima Urbonienė; text2 only
inline constexpr std::uint16_t DIGITS_LONG_NAME = 111;   // Vytautas Urbonas
inline constexpr std::uint16_t PIONEER_FROM_MARCH = 112; // Aušra Jonaitienė
inline constexpr std::uint16_t PIONEER_UNTIL_DECEMBER = 113; // Kęstutis Jonaitis; 2 Jan remarks
inline constexpr std::uint16_t BOTH_NAMES_CHANGED = 114;     // Dalia Paulauskienė; no link
inline constexpr std::uint16_t DUPLICATE_PREVIOUS = 115;     // Antanas Mockus; 2 previous records
inline constexpr std::uint16_t LOW_ID = 7;                  // Algirdas Vasiliauskas; remark ignored
inline constexpr std::uint16_t ZERO_ID = 0;                 // Irena Kavaliauskienė; never linked
inline constexpr std::uint16_t BLANK_BAPTISM = 116;         // Giedrius Ramanauskas; 8 blanks
inline constexpr std::uint16_t LONG_NAME_PARENTHESES = 117; // Rasa Ramanauskienė
inline constexpr std::uint16_t AUXILIARY_SEPTEMBER = 119;   // Jūratė Šimkienė; aux Sep+Mar
inline constexpr std::uint16_t EXTENSION_MISMATCH = 120;    // Marius Butkus; xten id differs
inline constexpr std::uint16_t STATUS_THREE = 121;          // Vilma Butkienė; status 3 in January
inline constexpr std::uint16_t ADDRESS_LATE_204 = 122;      // Edvardas Navickas; stored 204 at 53
inline constexpr std::uint16_t REGULAR_PIONEER_SISTER = 123; // Živilė Navickienė
inline constexpr std::uint16_t NO_REPORT_MONTH = 124;        // Saulius Žilinskas; November empty
inline constexpr std::uint16_t QUARTER_ONLY = 126; // Justinas Lukoševičius; March 0 h + ¼
inline constexpr std::uint16_t TWELVE_THREE_QUARTERS = 130; // Rimantas Savickas; October 12¾ h
inline constexpr std::uint16_t ALL_PLACEMENT = 134;         // Povilas Grigas
inline constexpr std::uint16_t ALL_LITERATURE = 135;        // Lina Grigienė
inline constexpr std::uint16_t FULL_LENGTH_NAME = 137;      // Milda Budrytė-Rimkevičienė (20)
inline constexpr std::uint16_t MOVED_AWAY = 90;             // previous year only
inline constexpr std::uint16_t UNKNOWN_REMARK_ID = 999;     // remark of no publisher
} // namespace sampleid

} // namespace pelkorl::sample
