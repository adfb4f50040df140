#include "testfiles.h"

#include "records/records.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace pelkorl::test {

TempFolder::TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = base / ("pelkorl-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            folder = candidate;
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code error;
    // Tests may lock files or folders away; give everything back before removing it.
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(folder, error);
}

std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string shiftText(const std::string& plain) {
    std::string stored = plain;
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = static_cast<char>(static_cast<std::uint8_t>(stored[i]) + i + TEXT_SHIFT);
    return stored;
}

void putText(PublisherRecord& record, std::size_t offset, std::size_t size, const std::string& text,
             bool shifted) {
    const std::string stored = shifted ? shiftText(text) : text;
    const std::size_t length = std::min(stored.size(), size);
    for (std::size_t i = 0; i < length; ++i)
        record.bytes[offset + i] = static_cast<std::uint8_t>(stored[i]);
    if (length < size)
        record.bytes[offset + length] = 0;
}

PublisherRecord publisherRecord(const Person& person, bool shifted) {
    PublisherRecord record;
    putText(record, field::FIRST_NAME, field::FIRST_NAME_SIZE, person.firstName, shifted);
    putText(record, field::LAST_NAME, field::LAST_NAME_SIZE, person.lastName, shifted);
    putText(record, field::ADDRESS, field::ADDRESS_SIZE, person.address, shifted);
    putText(record, field::HOME_PHONE, field::HOME_PHONE_SIZE, person.homePhone, shifted);
    putText(record, field::MOBILE_PHONE, field::MOBILE_PHONE_SIZE, person.mobilePhone, shifted);
    putText(record, field::SPARE_TEXT, field::SPARE_TEXT_SIZE, person.spareText, shifted);
    putText(record, field::BAPTISM_DATE, field::BAPTISM_DATE_SIZE, person.baptismDate, shifted);
    putText(record, field::BIRTH_DATE, field::BIRTH_DATE_SIZE, person.birthDate, shifted);
    record.bytes[field::ANOINTED_MARK] = static_cast<std::uint8_t>(person.anointedMark);
    record.setU16(field::PUBLISHER_ID, person.id);
    record.setExtensionIndex(person.extensionIndex);
    return record;
}

PublisherRecord headerRecord(const std::string& password, bool plain) {
    PublisherRecord record;
    putText(record, header::DATA_PASSWORD, header::DATA_PASSWORD_SIZE, password, !plain);
    record.bytes[header::PLAIN_TEXT_MARK] = plain ? header::PLAIN_TEXT : 0;
    return record;
}

std::string fileBytes(const std::vector<PublisherRecord>& records) {
    std::string bytes;
    for (const PublisherRecord& record : records)
        bytes.append(record.bytes.begin(), record.bytes.end());
    return bytes;
}

std::string publisherFile(const std::string& password, bool plain,
                          const std::vector<Person>& people) {
    std::vector<PublisherRecord> records{headerRecord(password, plain)};
    for (const Person& person : people)
        records.push_back(publisherRecord(person, !plain));
    return fileBytes(records);
}

std::string extensionRecordBytes(std::uint16_t publisherId, const std::string& longName,
                                 const std::string& text2, const std::string& text3) {
    std::string bytes(EXTENSION_RECORD_SIZE, '\0');
    bytes[0] = static_cast<char>(publisherId & 0xFF);
    bytes[1] = static_cast<char>(publisherId >> 8);
    auto put = [&](std::size_t offset, std::size_t size, const std::string& text) {
        const std::string stored = shiftText(text);
        bytes.replace(offset, std::min(stored.size(), size), stored, 0, size);
    };
    put(extension::LONG_NAME, extension::LONG_NAME_SIZE, longName);
    put(extension::TEXT2, extension::TEXT2_SIZE, text2);
    put(extension::TEXT3, extension::TEXT3_SIZE, text3);
    return bytes;
}

std::string remarkRecordBytes(const std::string& text, std::uint8_t month,
                              std::uint16_t publisherId) {
    std::string bytes(REMARK_RECORD_SIZE, '\0');
    bytes.replace(0, std::min<std::size_t>(text.size(), remark::TEXT_SIZE), text, 0,
                  remark::TEXT_SIZE);
    bytes[remark::MONTH] = static_cast<char>(month);
    bytes[remark::PUBLISHER_ID] = static_cast<char>(publisherId & 0xFF);
    bytes[remark::PUBLISHER_ID + 1] = static_cast<char>(publisherId >> 8);
    return bytes;
}

std::map<std::string, std::string> folderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> contents;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        // A link loop is no file; its error must not end the walk.
        std::error_code ignored;
        if (it->is_regular_file(ignored))
            contents[std::filesystem::relative(it->path(), folder).generic_string()] =
                readBytes(it->path());
        else if (it->is_directory(ignored))
            contents[std::filesystem::relative(it->path(), folder).generic_string() + "/"] = "";
    }
    return contents;
}

} // namespace pelkorl::test
