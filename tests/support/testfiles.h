#pragma once
// Builders for the record-keeping program's files, temporary folders and a check that
// tests leave every file as they found it.
#include "records/publisherrecord.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace pelkorl::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return folder; }

private:
    std::filesystem::path folder;
};

std::string readBytes(const std::filesystem::path& file);
// Creates missing parent folders.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

// The stored form of a text: byte i becomes plain + i + TEXT_SHIFT.
std::string shiftText(const std::string& plain);

struct Person {
    std::uint16_t id = 0;
    std::string firstName;
    std::string lastName;
    std::string address;
    std::string homePhone;
    std::string mobilePhone;
    std::string spareText;
    std::string baptismDate;
    std::string birthDate;
    char anointedMark = 0;
    std::uint16_t extensionIndex = 0;
};

// Writes `text` (at most `size` bytes, shifted or not) at `offset`, with a NUL after it
// when there is room.
void putText(PublisherRecord& record, std::size_t offset, std::size_t size, const std::string& text,
             bool shifted);
PublisherRecord publisherRecord(const Person& person, bool shifted);
PublisherRecord headerRecord(const std::string& password, bool plain);
std::string fileBytes(const std::vector<PublisherRecord>& records);
// A header and one record per person, texts plain or shifted as the header says.
std::string publisherFile(const std::string& password, bool plain,
                          const std::vector<Person>& people);

// One 192-byte extension record with its three texts stored shifted.
std::string extensionRecordBytes(std::uint16_t publisherId, const std::string& longName,
                                 const std::string& text2 = {}, const std::string& text3 = {});

// One 40-byte remark record; `text` fills at most the 37 bytes before the month.
std::string remarkRecordBytes(const std::string& text, std::uint8_t month,
                              std::uint16_t publisherId);

// The bytes of every regular file below a folder, to compare before and after.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder);

} // namespace pelkorl::test
