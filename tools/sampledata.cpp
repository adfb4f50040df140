#include "sampledata.h"

#include "records/records.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

namespace pelkorl::sample {

namespace fs = std::filesystem;

namespace {

// Publisher record fields: offset and whole size (terminator included).
struct Field {
    std::size_t offset;
    std::size_t size;
};
constexpr Field FIRST_NAME{2, 21};
constexpr Field LAST_NAME{23, 21};
constexpr Field ADDRESS{44, 63};
constexpr Field HOME_PHONE{107, 15};
constexpr Field MOBILE_PHONE{122, 15};
constexpr Field SPARE_TEXT{137, 15};
constexpr Field BAPTISM_DATE{152, 9};
constexpr Field BIRTH_DATE{161, 9};
constexpr Field PASSWORD{2, 21};
constexpr Field LONG_NAME{2, 65};
constexpr Field TEXT2{67, 51};
constexpr Field TEXT3{118, 72};
constexpr std::size_t REMARK_TEXT_SIZE = 37;

constexpr std::size_t PLAIN_MARK = 23;
constexpr std::size_t YEAR_STAMPS = 312;
constexpr std::size_t MAX_PASSWORD = 20;
constexpr std::size_t NAME_KEPT_POSITIONS = 21;

template <std::size_t N>
void putText(std::array<std::uint8_t, N>& bytes, Field field, std::string_view text, bool shifted) {
    const std::string stored = shifted ? shiftText(text) : std::string(text);
    const std::size_t n = std::min(stored.size(), field.size);
    std::memcpy(bytes.data() + field.offset, stored.data(), n);
}

template <std::size_t N>
void putU16(std::array<std::uint8_t, N>& bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint8_t low8(unsigned value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

bool writeBytes(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    fs::path temp = path;
    temp += ".part";
    std::error_code ec;
    // Remove first: opening an existing link would write through it.
    fs::remove(temp, ec);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        if (!out) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, path, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

template <std::size_t N>
bool writeRecords(const fs::path& path, const std::vector<std::array<std::uint8_t, N>>& records) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(records.size() * N);
    for (const auto& record : records) {
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return writeBytes(path, bytes.data(), bytes.size());
}

} // namespace

std::string shiftText(std::string_view plain) {
    std::string out(plain);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const unsigned byte = static_cast<unsigned char>(out[i]);
        out[i] = static_cast<char>(low8(byte + static_cast<unsigned>(i) + TEXT_SHIFT));
    }
    return out;
}

bool shiftSurvivesReader(std::string_view plain, std::size_t keptPositions) {
    const std::string stored = shiftText(plain);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(stored[i]);
        if (byte == 0 || (byte == 204 && i < keptPositions)) {
            return false;
        }
    }
    return true;
}

std::uint8_t yearStamp(int year) {
    return static_cast<std::uint8_t>(((year - 2000) % 256 + 256) % 256);
}

RecordBytes encodePublisher(const PublisherSpec& wanted, bool shifted) {
    RecordBytes r{};
    putText(r, FIRST_NAME, wanted.firstName, shifted);
    putText(r, LAST_NAME, wanted.lastName, shifted);
    putText(r, ADDRESS, wanted.address, shifted);
    putText(r, HOME_PHONE, wanted.homePhone, shifted);
    putText(r, MOBILE_PHONE, wanted.mobilePhone, shifted);
    putText(r, SPARE_TEXT, wanted.spareText, shifted);
    putText(r, BAPTISM_DATE, wanted.baptismDate, shifted);
    putText(r, BIRTH_DATE, wanted.birthDate, shifted);

    r[180] = wanted.anointed ? 'A' : 0;
    putU16(r, 182, wanted.publisherId);
    putU16(r, 184, wanted.extensionIndex);
    putU16(r, 192, wanted.storedPreviousLink);
    r[215] = static_cast<std::uint8_t>((wanted.appointment & 0x03) | (wanted.male ? 0x20 : 0) |
                                       (wanted.female ? 0x40 : 0) | wanted.extraPersonFlags);

    std::uint16_t placementsMonths = 0;
    for (std::size_t m = 0; m < 12; ++m) {
        const MonthSpec& f = wanted.months[m];
        unsigned status = f.status & 0x03u;
        r[240 + m] = low8(f.hours);
        if (f.placementEncoding) {
            placementsMonths = static_cast<std::uint16_t>(placementsMonths | (1u << m));
            r[216 + m] = low8(f.placements);
            r[228 + m] = low8(f.videoShowings);
            r[252 + m] = low8(f.returnVisits);
            r[264 + m] = low8(f.bibleStudies & 0x3Fu);
            r[276 + m] = low8(((f.returnVisits >> 8) & 0x03u) << 6);
            r[288 + m] =
                low8((((f.placements >> 8) & 0x0Fu) << 4) | ((f.videoShowings >> 8) & 0x0Fu));
        } else {
            r[216 + m] = low8(f.books);
            r[228 + m] = low8(f.brochures);
            r[252 + m] = low8((f.subscriptions & 0x3Fu) | (((f.returnVisits >> 8) & 0x03u) << 6));
            r[264 + m] = low8(f.magazines);
            r[276 + m] = low8(f.returnVisits);
            r[288 + m] = low8((f.bibleStudies & 0x3Fu) | (((f.magazines >> 8) & 0x03u) << 6));
            status |= ((f.brochures >> 8) & 0x0Fu) << 4;
            status |= ((f.magazines >> 10) & 0x03u) << 2;
        }
        r[202 + m] = low8(status);
        r[300 + m] = f.quarterHours;
        r[312 + m] = f.remarkSlot;
    }
    putU16(r, 196, placementsMonths);
    return r;
}

RecordBytes encodeHeader(std::string_view password, bool shifted, const YearStamps& yearStamps) {
    RecordBytes r{};
    putText(r, PASSWORD, password, shifted);
    // Byte 23 ends a 21-byte password anyway; a shifted file must not carry "A" there.
    r[PLAIN_MARK] = shifted ? 0 : 'A';
    std::copy(yearStamps.begin(), yearStamps.end(), r.begin() + YEAR_STAMPS);
    return r;
}

ExtensionBytes encodeExtension(std::uint16_t publisherId, std::string_view longName,
                               std::string_view text2, std::string_view text3) {
    ExtensionBytes r{};
    putU16(r, 0, publisherId);
    putText(r, LONG_NAME, longName, true);
    putText(r, TEXT2, text2, true);
    putText(r, TEXT3, text3, true);
    return r;
}

RemarkBytes encodeRemark(const RemarkSpec& remark) {
    RemarkBytes r{};
    std::memcpy(r.data(), remark.text.data(), std::min(remark.text.size(), REMARK_TEXT_SIZE));
    r[37] = remark.month;
    putU16(r, 38, remark.publisherId);
    return r;
}

bool writePublisherFile(const fs::path& path, const RecordBytes& header,
                        const std::vector<RecordBytes>& records) {
    std::vector<RecordBytes> all;
    all.reserve(records.size() + 1);
    all.push_back(header);
    all.insert(all.end(), records.begin(), records.end());
    return writeRecords(path, all);
}

bool writeExtensionFile(const fs::path& path, const std::vector<ExtensionBytes>& records) {
    std::vector<ExtensionBytes> all;
    all.reserve(records.size() + 1);
    all.push_back(ExtensionBytes{});
    all.insert(all.end(), records.begin(), records.end());
    return writeRecords(path, all);
}

bool writeRemarksFile(const fs::path& path, const std::vector<RemarkSpec>& remarks) {
    std::vector<RemarkBytes> all;
    all.reserve(remarks.size());
    for (const RemarkSpec& remark : remarks) {
        all.push_back(encodeRemark(remark));
    }
    return writeRecords(path, all);
}

std::string toCp1257(std::string_view utf8, bool* complete) {
    struct Letter {
        char32_t code;
        unsigned char byte;
    };
    static constexpr Letter LETTERS[] = {
        {U'Ą', 0xC0}, {U'Č', 0xC8}, {U'Ę', 0xC6}, {U'Ė', 0xCB}, {U'Į', 0xC1}, {U'Š', 0xD0},
        {U'Ų', 0xD8}, {U'Ū', 0xDB}, {U'Ž', 0xDE}, {U'ą', 0xE0}, {U'č', 0xE8}, {U'ę', 0xE6},
        {U'ė', 0xEB}, {U'į', 0xE1}, {U'š', 0xF0}, {U'ų', 0xF8}, {U'ū', 0xFB}, {U'ž', 0xFE},
    };
    if (complete) {
        *complete = true;
    }
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t code = length == 4 ? lead & 0x07u : length == 3 ? lead & 0x0Fu : lead & 0x1Fu;
        bool valid = length > 1 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0u) == 0x80u;
            code = (code << 6) | (next & 0x3Fu);
        }
        unsigned char byte = '?';
        if (valid) {
            for (const Letter& letter : LETTERS) {
                if (letter.code == code) {
                    byte = letter.byte;
                }
            }
        }
        if (byte == '?' && complete) {
            *complete = false;
        }
        out.push_back(static_cast<char>(byte));
        i += valid ? length : 1;
    }
    return out;
}

// ---- The sample congregation ----

namespace {

// Small fixed-seed generator: the same figures on every platform and standard library.
class Dice {
public:
    explicit Dice(std::uint64_t seed)
        : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    int below(int n) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(n));
    }
    int between(int low, int high) { return low + below(high - low + 1); }

private:
    std::uint64_t state_;
};

struct Member {
    std::uint16_t id;
    const char* first; // UTF-8
    const char* last;
    bool male;
    std::uint8_t appointment;
    bool anointed;
    bool regularPioneer;
    int birthAge;         // years before the end of the service year
    const char* birthDay; // "MMDD"
    int baptismAgo;       // years before the end of the service year; -1: not baptized
    const char* baptismDay;
    const char* address;
    const char* homePhone;
    const char* mobilePhone;
    std::uint16_t extensionIndex;
};

// File order of the current year; the list shows publishers in this order, unsorted.
constexpr Member MEMBERS[] = {
    {101, "Jonas", "Petrauskas", true, ELDER, true, false, 76, "0702", 48, "0315",
     "Vytauto pr. 12-4, Kaunas", "8 37 201145", "+370 612 40110", 1},
    {102, "Ona", "Petrauskienė", false, 0, false, true, 71, "1119", 45, "0315",
     "Vytauto pr. 12-4, Kaunas", "8 37 201145", "+370 612 40111", 0},
    {103, "Tomas", "Žukauskas", true, MINISTERIAL_SERVANT, false, false, 34, "0409", 16, "0722",
     "Partizanų g. 88-17, Kaunas", "", "+370 686 12003", 5},
    {104, "Rūta", "Žukauskienė", false, 0, false, false, 32, "0130", 14, "0722",
     "Partizanų g. 88-17, Kaunas", "", "+370 686 12004", 0},
    {105, "Mindaugas", "Kazlauskas", true, ELDER, false, true, 52, "0921", 30, "0805",
     "Ąžuolų g. 3, Garliava", "8 37 390105", "+370 655 10105", 2},
    {106, "Eglė", "Kazlauskienė", false, 0, false, false, 27, "0612", 9, "0805",
     "Ąžuolų g. 3, Garliava", "", "+370 655 10106", 0},
    {107, "Šarūnas", "Vaitkus", true, 0, false, false, 19, "1003", -1, "", "Baltų pr. 47-9, Kaunas",
     "", "+370 699 00107", 0},
    {108, "Gintarė", "Balčiūnaitė", false, 0, false, false, 44, "0227", -1, "",
     "Šilainių pl. 14-52, Kaunas", "8 37 311108", "", 0},
    {109, "Darius", "Stankevičius", true, MINISTERIAL_SERVANT, false, false, 41, "0516", 28, "0615",
     "Taikos pr. 101-33, Kaunas", "8 37 450109", "+370 614 00109", 0},
    {110, "Laima", "Urbonienė", false, 0, false, false, 58, "0808", 33, "1010",
     "Kovo 11-osios g. 5, Kaunas", "8 37 330110", "", 3},
    {111, "Vytautas", "Urbonas", true, ELDER, false, false, 61, "1225", 35, "1010",
     "Kovo 11-osios g. 5, Kaunas", "8 37 330110", "+370 618 00111", 4},
    {112, "Aušra", "Jonaitienė", false, 0, false, false, 38, "0304", 20, "0418",
     "Pramonės pr. 6-71, Kaunas", "", "+370 622 00112", 0},
    {113, "Kęstutis", "Jonaitis", true, ELDER, false, false, 40, "0719", 22, "0418",
     "Pramonės pr. 6-71, Kaunas", "", "+370 622 00113", 0},
    {114, "Dalia", "Paulauskienė", false, 0, false, false, 49, "1105", 25, "0909",
     "Jonavos g. 254-8, Kaunas", "8 37 260114", "", 0},
    {115, "Antanas", "Mockus", true, 0, false, false, 67, "0101", 40, "0702",
     "Ateities pl. 30, Kaunas", "8 37 370115", "", 0},
    {7, "Algirdas", "Vasiliauskas", true, 0, false, false, 55, "0630", 31, "0520",
     "Raudondvario pl. 160-2, Kaunas", "", "+370 600 00007", 0},
    {0, "Irena", "Kavaliauskienė", false, 0, false, false, 63, "0918", 37, "0520",
     "Veiverių g. 121-40, Kaunas", "8 37 420000", "", 0},
    {116, "Giedrius", "Ramanauskas", true, 0, false, false, 29, "0211", -1, "",
     "Žemaičių pl. 19-3, Kaunas", "", "+370 677 00116", 0},
    {117, "Rasa", "Ramanauskienė", false, 0, false, false, 30, "0523", 11, "0808",
     "Žemaičių pl. 19-3, Kaunas", "", "+370 677 00117", 7},
    {118, "Paulius", "Šimkus", true, MINISTERIAL_SERVANT, false, false, 36, "0914", 18, "0303",
     "Sąjungos a. 2-15, Kaunas", "8 37 220118", "+370 640 00118", 0},
    {119, "Jūratė", "Šimkienė", false, 0, false, false, 35, "0126", 17, "0303",
     "Sąjungos a. 2-15, Kaunas", "8 37 220118", "+370 640 00119", 0},
    {120, "Marius", "Butkus", true, 0, false, false, 45, "0417", 26, "1112",
     "Draugystės g. 9-1, Kaunas", "", "+370 611 00120", 6},
    {121, "Vilma", "Butkienė", false, 0, false, false, 43, "1002", 24, "1112",
     "Draugystės g. 9-1, Kaunas", "", "+370 611 00121", 0},
    {122, "Edvardas", "Navickas", true, ELDER, false, false, 57, "0725", 34, "0610",
     "Savanorių pr. 112-4, Kaunas, LT-44298, įėjimas iš kiemo pusės", "8 37 340122",
     "+370 633 00122", 0},
    {123, "Živilė", "Navickienė", false, 0, false, true, 54, "0822", 32, "0610",
     "Savanorių pr. 112-4, Kaunas", "8 37 340122", "+370 633 00123", 0},
    {124, "Saulius", "Žilinskas", true, 3, false, false, 47, "0105", 21, "0412",
     "Kalniečių g. 77-10, Kaunas", "", "+370 652 00124", 0},
    {125, "Birutė", "Žilinskienė", false, 0, true, false, 81, "0310", 58, "0412",
     "Kalniečių g. 77-11, Kaunas", "8 37 480125", "", 0},
    {126, "Justinas", "Lukoševičius", true, 0, false, false, 14, "1208", -1, "",
     "Varnių g. 40-6, Kaunas", "", "", 0},
    {127, "Ugnė", "Lukoševičiūtė", false, 0, false, false, 12, "0619", -1, "",
     "Varnių g. 40-6, Kaunas", "", "", 0},
    {128, "Arūnas", "Kairys", true, MINISTERIAL_SERVANT, false, false, 39, "1030", 19, "0929",
     "Europos pr. 33-5, Kaunas", "", "+370 685 00128", 0},
    {129, "Danguolė", "Kairienė", false, 0, false, false, 37, "0402", 15, "0929",
     "Europos pr. 33-5, Kaunas", "", "+370 685 00129", 0},
    {130, "Rimantas", "Savickas", true, 0, false, false, 59, "0813", 36, "0101",
     "Krėvės pr. 58-20, Kaunas", "8 37 470130", "", 0},
    {131, "Nijolė", "Savickienė", false, 0, false, false, 60, "0321", 36, "0101",
     "Krėvės pr. 58-20, Kaunas", "8 37 470130", "", 0},
    {132, "Gediminas", "Žemaitis", true, 0, false, false, 24, "1111", 7, "0707",
     "Pašilės g. 12-88, Kaunas", "", "+370 615 00132", 0},
    {133, "Austėja", "Žemaitytė", false, 0, false, false, 22, "0505", 6, "0707",
     "Pašilės g. 12-88, Kaunas", "", "+370 615 00133", 0},
    {134, "Povilas", "Grigas", true, 0, false, false, 50, "0228", 29, "0520",
     "Aukštaičių g. 21, Kaunas", "8 37 200134", "+370 624 00134", 0},
    {135, "Lina", "Grigienė", false, 0, false, false, 48, "0712", 27, "0520",
     "Aukštaičių g. 21, Kaunas", "8 37 200134", "+370 624 00135", 0},
    {136, "Ignas", "Bernotas", true, 0, false, false, 26, "0916", 8, "0818",
     "Birštono g. 4-2, Kaunas", "", "+370 648 00136", 0},
    {137, "Milda", "Budrytė-Rimkevičienė", false, 0, false, false, 33, "1221", 13, "0818",
     "Birštono g. 4-2, Kaunas", "", "+370 648 00137", 0},
    {138, "Aleksandras", "Černiauskas", true, 0, false, false, 69, "0606", 43, "1003",
     "Kuršių g. 8, Kaunas", "8 37 310138", "", 0},
};

// Publishers of the previous year who are no longer in the congregation.
constexpr Member FORMER_MEMBERS[] = {
    {sampleid::MOVED_AWAY, "Petras", "Rimkus", true, MINISTERIAL_SERVANT, false, false, 44, "0820",
     20, "0601", "Laisvės al. 90-3, Kaunas", "", "+370 601 00090", 0},
    {91, "Zita", "Rimkienė", false, 0, false, false, 42, "0114", 18, "0601",
     "Laisvės al. 90-3, Kaunas", "", "+370 601 00091", 0},
};

std::string digits(int value, int width) {
    std::string s = std::to_string(value);
    while (static_cast<int>(s.size()) < width) {
        s.insert(s.begin(), '0');
    }
    return s;
}

PublisherSpec personOf(const Member& m, int serviceYearEnd) {
    PublisherSpec p;
    p.firstName = toCp1257(m.first);
    p.lastName = toCp1257(m.last);
    p.address = toCp1257(m.address);
    p.homePhone = m.homePhone;
    p.mobilePhone = m.mobilePhone;
    p.birthDate = std::string(m.birthDay) + digits(serviceYearEnd - m.birthAge, 4);
    if (m.baptismAgo >= 0) {
        p.baptismDate = std::string(m.baptismDay) + digits(serviceYearEnd - m.baptismAgo, 4);
    }
    p.spareText = "Grup\xEB " + std::to_string(m.id % 4 + 1); // "Grupė N"
    p.anointed = m.anointed;
    p.publisherId = m.id;
    p.extensionIndex = m.extensionIndex;
    p.appointment = m.appointment;
    p.male = m.male;
    p.female = !m.male;
    return p;
}

// Ordinary figures of one month; the status and the encoding are set before.
void fillMonth(MonthSpec& f, Dice& dice) {
    const bool pioneer = f.status == REGULAR_PIONEER || f.status == AUXILIARY_PIONEER;
    if (f.status == REGULAR_PIONEER) {
        f.hours = static_cast<std::uint16_t>(dice.between(50, 78));
    } else if (f.status == AUXILIARY_PIONEER) {
        f.hours = static_cast<std::uint16_t>(dice.between(30, 52));
    } else {
        f.hours = static_cast<std::uint16_t>(dice.between(2, 18));
    }
    f.quarterHours = static_cast<std::uint8_t>(dice.below(2) == 0 ? dice.between(1, 3) : 0);
    f.returnVisits = static_cast<std::uint16_t>(pioneer ? dice.between(8, 35) : dice.between(0, 9));
    f.bibleStudies = static_cast<std::uint16_t>(pioneer ? dice.between(1, 5) : dice.below(3));
    if (f.placementEncoding) {
        f.placements = static_cast<std::uint16_t>(dice.between(1, pioneer ? 45 : 16));
        f.videoShowings = static_cast<std::uint16_t>(dice.below(5));
    } else {
        f.books = static_cast<std::uint16_t>(dice.below(4));
        f.brochures = static_cast<std::uint16_t>(dice.below(9));
        f.subscriptions = static_cast<std::uint16_t>(dice.below(3));
        f.magazines = static_cast<std::uint16_t>(dice.between(2, pioneer ? 70 : 24));
    }
}

void fillYear(PublisherSpec& p, bool regularPioneer, std::uint16_t placementMask,
              std::uint64_t seed) {
    Dice dice(seed);
    for (int m = 0; m < 12; ++m) {
        MonthSpec& f = p.months[static_cast<std::size_t>(m)];
        f = MonthSpec{};
        f.status = regularPioneer ? REGULAR_PIONEER : 0;
        f.placementEncoding = (placementMask >> m) & 1u;
        fillMonth(f, dice);
    }
}

// Re-draw one month after its status changed.
void setStatus(PublisherSpec& p, int m, std::uint8_t status, std::uint64_t seed) {
    MonthSpec& f = p.months[static_cast<std::size_t>(m)];
    const bool placement = f.placementEncoding;
    f = MonthSpec{};
    f.status = status;
    f.placementEncoding = placement;
    Dice dice(seed);
    fillMonth(f, dice);
}

PublisherSpec* findById(std::vector<PublisherSpec>& list, std::uint16_t id) {
    for (PublisherSpec& p : list) {
        if (p.publisherId == id) {
            return &p;
        }
    }
    return nullptr;
}

constexpr std::uint16_t JAN_TO_AUG = 0x00FF;
constexpr std::uint16_t JUN_TO_AUG = 0x00E0;
constexpr std::uint16_t ALL_MONTHS = 0x0FFF;
constexpr int JAN = 0, FEB = 1, MAR = 2, APR = 3, SEP = 8, OCT = 9, NOV = 10;

void shapeCurrentYear(std::vector<PublisherSpec>& list, int year) {
    using namespace sampleid;
    const auto seed = [year](int id, int salt) {
        return static_cast<std::uint64_t>(year) * 100000u + static_cast<std::uint64_t>(id) * 100u +
               static_cast<std::uint64_t>(salt);
    };
    PublisherSpec* p = findById(list, SERVANT_AUXILIARY);
    setStatus(*p, APR, AUXILIARY_PIONEER, seed(p->publisherId, 1));

    p = findById(list, AUXILIARY_REMARKS);
    setStatus(*p, MAR, AUXILIARY_PIONEER, seed(p->publisherId, 1));
    setStatus(*p, APR, AUXILIARY_PIONEER, seed(p->publisherId, 2));

    // Figures wide enough to need the high bits of both encodings.
    p = findById(list, HIGH_FIGURES);
    MonthSpec& sep = p->months[SEP];
    sep.books = 200;
    sep.brochures = 300;    // 0x12C
    sep.magazines = 3500;   // 0xDAC: bits 8-9 and 10-11 set
    sep.returnVisits = 700; // 0x2BC
    sep.subscriptions = 45;
    sep.bibleStudies = 40;
    MonthSpec& feb = p->months[FEB];
    feb.placements = 2600;    // 0xA28
    feb.videoShowings = 1300; // 0x514
    feb.returnVisits = 900;   // 0x384
    feb.bibleStudies = 50;
    feb.hours = 250;
    feb.quarterHours = 3;
    p->storedPreviousLink = 300;

    p = findById(list, PIONEER_FROM_MARCH);
    setStatus(*p, FEB, AUXILIARY_PIONEER, seed(p->publisherId, 1));
    for (int m = MAR; m <= 7; ++m) {
        setStatus(*p, m, REGULAR_PIONEER, seed(p->publisherId, 10 + m));
    }

    p = findById(list, PIONEER_UNTIL_DECEMBER);
    for (int m = SEP; m <= 11; ++m) {
        setStatus(*p, m, REGULAR_PIONEER, seed(p->publisherId, 10 + m));
    }

    p = findById(list, AUXILIARY_SEPTEMBER);
    setStatus(*p, SEP, AUXILIARY_PIONEER, seed(p->publisherId, 1));
    setStatus(*p, MAR, AUXILIARY_PIONEER, seed(p->publisherId, 2));

    findById(list, STATUS_THREE)->months[JAN].status = 3;

    p = findById(list, NO_REPORT_MONTH);
    p->months[NOV] = MonthSpec{};
    p->months[NOV].placementEncoding = false;

    p = findById(list, QUARTER_ONLY);
    const bool marchPlacement = p->months[MAR].placementEncoding;
    p->months[MAR] = MonthSpec{};
    p->months[MAR].placementEncoding = marchPlacement;
    p->months[MAR].quarterHours = 1;

    p = findById(list, TWELVE_THREE_QUARTERS);
    p->months[OCT].hours = 12;
    p->months[OCT].quarterHours = 3;
}

// Membership and order of the previous year: reversed, without the newcomer, with the
// former members first and an earlier duplicate of one record.
std::vector<PublisherSpec> previousYear(const std::vector<PublisherSpec>& current, int year) {
    using namespace sampleid;
    const int previousEnd = year - 1;
    std::vector<PublisherSpec> list;
    for (const Member& m : FORMER_MEMBERS) {
        list.push_back(personOf(m, year));
    }
    for (auto it = current.rbegin(); it != current.rend(); ++it) {
        if (it->publisherId == NO_PREVIOUS_RECORD) {
            continue;
        }
        list.push_back(*it);
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        PublisherSpec& p = list[i];
        p.storedPreviousLink = 0;
        const bool regular = p.publisherId == PIONEER_ALL_YEAR || p.publisherId == HIGH_FIGURES ||
                             p.publisherId == REGULAR_PIONEER_SISTER ||
                             p.publisherId == PIONEER_UNTIL_DECEMBER;
        const std::uint16_t mask = p.publisherId == ALL_PLACEMENT ? JUN_TO_AUG : 0;
        fillYear(p, regular, mask,
                 static_cast<std::uint64_t>(previousEnd) * 100000u + p.publisherId * 100u + 50u +
                     i);
    }
    findById(list, RENAMED)->lastName = toCp1257("Jankauskaitė");
    PublisherSpec* changed = findById(list, BOTH_NAMES_CHANGED);
    changed->firstName = toCp1257("Danutė");
    changed->lastName = toCp1257("Mockutė");

    // An earlier copy of a record with the same id and names, with other figures: the
    // later one is his.
    PublisherSpec duplicate = *findById(list, DUPLICATE_PREVIOUS);
    fillYear(duplicate, false, 0, static_cast<std::uint64_t>(previousEnd) * 100000u + 99u);
    for (MonthSpec& f : duplicate.months) {
        f.hours = 1;
    }
    list.insert(list.begin() + 1, duplicate);
    return list;
}

std::vector<ExtensionSpec> extensionsOf() {
    return {
        {sampleid::ANOINTED_ELDER, toCp1257("Jonas Antanas Petrauskas-Žemaitis, vyresnysis"), "",
         ""},
        {sampleid::HIGH_FIGURES,
         toCp1257("Mindaugas Kazimieras Kazlauskas iš Ramygalos krašto bendruomenės"), "", ""},
        {sampleid::EMPTY_LONG_NAME, "", "Mokytoja", ""},
        {sampleid::DIGITS_LONG_NAME, "12345678", "", ""},
        {sampleid::SERVANT_AUXILIARY, toCp1257("Tomas Žukauskas jaunesnysis"), "Vairuotojas",
         toCp1257("Grupė 4")},
        {sampleid::UNKNOWN_REMARK_ID, toCp1257("Svetimas įrašas"), "", ""},
        {sampleid::LONG_NAME_PARENTHESES, toCp1257("Rasa Ramanauskienė (Petraitytė)"), "", ""},
    };
}

std::vector<RemarkSpec> currentRemarksOf() {
    using namespace sampleid;
    return {
        {toCp1257("Sirgo dvi savaites"), 3, AUXILIARY_REMARKS},
        {toCp1257("Lankė pionierių mokyklą Kaune 2 sav."), 11, PIONEER_ALL_YEAR},
        {toCp1257("Pirmasis įrašas"), 1, PIONEER_UNTIL_DECEMBER},
        {toCp1257("Nematoma pastaba"), 2, LOW_ID},
        {toCp1257("Išsikėlęs skelbėjas"), 5, UNKNOWN_REMARK_ID},
        {toCp1257("Naujas skelbėjas"), 12, NO_PREVIOUS_RECORD},
        {toCp1257("Su vaikais"), 9, AUXILIARY_SEPTEMBER},
        {toCp1257("Nepranešė"), 11, NO_REPORT_MONTH},
        {toCp1257("Kongrese Vilniuje"), 7, ANOINTED_ELDER},
        {toCp1257("Pataisytas įrašas"), 1, PIONEER_UNTIL_DECEMBER},
    };
}

std::vector<RemarkSpec> previousRemarksOf() {
    using namespace sampleid;
    return {
        {toCp1257("Pradėjo skelbti"), 6, NO_PREVIOUS_RECORD},
        {toCp1257("Ištekėjo"), 5, RENAMED},
        {toCp1257("Ligoninėje"), 11, ANOINTED_ELDER},
        {toCp1257("Išsikėlė į Vilnių"), 3, MOVED_AWAY},
    };
}

// Stamps of the months of the service year ending in August of `end`, by calendar month.
YearStamps stampsOf(int end) {
    YearStamps s{};
    for (int m = 0; m < 12; ++m) {
        s[static_cast<std::size_t>(m)] = yearStamp(m >= SEP ? end - 1 : end);
    }
    return s;
}

bool passwordUsable(const std::string& password, bool shifted) {
    if (password.empty() || password.size() > MAX_PASSWORD) {
        return false;
    }
    return !shifted || shiftSurvivesReader(password, NAME_KEPT_POSITIONS);
}

RecordBytes markedHeader(const std::string& password, bool shifted, const YearStamps& stamps) {
    RecordBytes header = encodeHeader(password, shifted, stamps);
    std::copy(SAMPLE_MARK.begin(), SAMPLE_MARK.end(), header.begin() + SAMPLE_MARK_OFFSET);
    return header;
}

bool usableFolder(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(dir, ec))) {
        return false;
    }
    if (fs::exists(dir, ec)) {
        return fs::is_directory(dir, ec);
    }
    return fs::create_directory(dir, ec) && !ec;
}

} // namespace

SampleCongregation buildSampleCongregation(int serviceYearEnd) {
    SampleCongregation c;
    c.currentYearStamps = stampsOf(serviceYearEnd);
    c.previousYearStamps = stampsOf(serviceYearEnd - 1);
    for (const Member& m : MEMBERS) {
        PublisherSpec p = personOf(m, serviceYearEnd);
        std::uint16_t mask = JAN_TO_AUG;
        if (m.id == sampleid::ALL_PLACEMENT) {
            mask = ALL_MONTHS;
        } else if (m.id == sampleid::ALL_LITERATURE) {
            mask = 0;
        }
        fillYear(p, m.regularPioneer, mask,
                 static_cast<std::uint64_t>(serviceYearEnd) * 100000u + m.id * 100u);
        c.current.push_back(std::move(p));
    }
    PublisherSpec* odd = findById(c.current, sampleid::YEAR_ONLY_BAPTISM);
    odd->baptismDate = digits(serviceYearEnd - 27, 4) + "    ";
    odd = findById(c.current, sampleid::SHORT_YEAR_DATE);
    odd->baptismDate = odd->baptismDate.substr(0, 4) + odd->baptismDate.substr(6, 2) + "  ";
    findById(c.current, sampleid::BLANK_BAPTISM)->baptismDate = "        ";
    shapeCurrentYear(c.current, serviceYearEnd);

    c.previous = previousYear(c.current, serviceYearEnd);
    c.extensions = extensionsOf();
    c.currentRemarks = currentRemarksOf();
    c.previousRemarks = previousRemarksOf();
    return c;
}

bool writeSampleCongregation(const fs::path& folder, int serviceYearEnd,
                             const SampleOptions& options) {
    const bool shifted = !options.plainText;
    if (serviceYearEnd < SAMPLE_YEAR_MIN || serviceYearEnd > SAMPLE_YEAR_MAX ||
        !passwordUsable(options.password, shifted)) {
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    const fs::path previousDir = folder / "Roll" / "Rv7_8";
    if (!fs::is_directory(folder, ec) || !usableFolder(folder / "Roll") ||
        !usableFolder(previousDir)) {
        return false;
    }

    const SampleCongregation c = buildSampleCongregation(serviceYearEnd);
    std::vector<RecordBytes> current;
    for (const PublisherSpec& p : c.current) {
        current.push_back(encodePublisher(p, shifted));
    }
    std::vector<RecordBytes> previous;
    for (const PublisherSpec& p : c.previous) {
        previous.push_back(encodePublisher(p, shifted));
    }
    std::vector<ExtensionBytes> extensions;
    for (const ExtensionSpec& e : c.extensions) {
        extensions.push_back(encodeExtension(e.publisherId, e.longName, e.text2, e.text3));
    }
    return writePublisherFile(folder / "tdat7.bin",
                              markedHeader(options.password, shifted, c.currentYearStamps),
                              current) &&
           writeExtensionFile(folder / "xten7.dat", extensions) &&
           writeRemarksFile(folder / "remark7.dat", c.currentRemarks) &&
           writePublisherFile(previousDir / "tdat7.bin",
                              markedHeader(options.password, shifted, c.previousYearStamps),
                              previous) &&
           writeRemarksFile(previousDir / "remark7.dat", c.previousRemarks);
}

bool holdsSampleMark(const fs::path& publisherFile) {
    std::ifstream in(publisherFile, std::ios::binary);
    RecordBytes header{};
    if (!in.read(reinterpret_cast<char*>(header.data()),
                 static_cast<std::streamsize>(header.size()))) {
        return false;
    }
    return std::equal(SAMPLE_MARK.begin(), SAMPLE_MARK.end(), header.begin() + SAMPLE_MARK_OFFSET);
}

} // namespace pelkorl::sample
