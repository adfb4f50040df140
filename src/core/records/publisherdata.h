#pragma once
// The publisher data of both service years as the main dialog holds them, and the load
// that fills them: current publisher file, password, extension count, remarks, previous
// year and its matching. The record-keeping program's files are only ever read.
#include "records/extension.h"
#include "records/fileio.h"
#include "records/publisherrecord.h"
#include "records/remarks.h"

#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace pelkorl {

struct RecordStore {
    std::vector<PublisherRecord> currentRecords;
    std::vector<PublisherRecord> previousRecords;
    // Records held, header included; publishers are 1 .. count - 1.
    int currentCount = 0;
    int previousCount = 0;
};

// Where the files are. Folder-relative names resolve against currentFolder, never against
// the process's working folder. Data drive 1 stands for drive A:, the removable folder here;
// only the current-year publisher file is read from it.
struct DataLocation {
    std::filesystem::path currentFolder;
    std::filesystem::path removableFolder;
    int dataDrive = 0;
    // Drive current at start-up (1 = A:); 0 where the platform has no drives.
    int startDrive = 0;
};

struct PublisherData {
    RecordStore store;
    std::filesystem::path currentFolder;
    // Record numbers 1 .. extensionCount - 1 of the extension file can be fetched.
    int extensionCount = 0;
    ExtensionRecord currentExtension;
    RemarkTable currentRemarks;
    RemarkTable previousRemarks;
    RemarkScratch remarkScratch;
    // Where the record files' bytes come from; the disk unless a caller holds them in memory.
    FilePartReader readFile = readFileAnyCase;
    // The bytes last read from a publisher or extension file, kept so reads allocate once.
    Bytes fileBytes;
};

// Asked for the data password; gets the expected password as raw bytes, returns whether
// the user gave it.
using PasswordPrompt = std::function<bool(const std::string& expectedPassword)>;

// Both years' arrays of RECORD_CAPACITY zero records; counts 0. On failure shows
// "Couldn't allocate memory" and returns false.
bool allocateRecordStore(RecordStore& store,
                         const std::function<void(const std::string&)>& showMessage);
void freeRecordStore(RecordStore& store);

// Copies the whole records of a publisher file's bytes into records[0], [1], ... (never more
// than the array or RECORD_CAPACITY holds); a trailing partial record is left out.
int readPublisherRecords(std::span<const std::uint8_t> bytes,
                         std::vector<PublisherRecord>& records);

// Undoes the position shift of the texts of records 0 .. count - 1.
void unshiftTexts(std::vector<PublisherRecord>& records, int count);
// Sets the fixed terminators that end the texts of records 0 .. count - 1.
void terminateTexts(std::vector<PublisherRecord>& records, int count);

// The files of a location, as named; the disk reader finds them whatever their letter case
// (readFileAnyCase).
std::filesystem::path publisherFilePath(const DataLocation& location);
std::filesystem::path previousPublisherFilePath(const std::filesystem::path& currentFolder);
std::filesystem::path extensionFilePath(const std::filesystem::path& currentFolder);
std::filesystem::path remarksFilePath(const std::filesystem::path& currentFolder, ServiceYear year);
// All of them, each as found on disk in any letter case: what no output may replace.
std::vector<std::filesystem::path> dataFilesOf(const DataLocation& location);

// The previous-year publisher file can be read and is larger than 500 bytes.
bool previousFileUsable(const FilePartReader& readFile, const std::filesystem::path& currentFolder);

// Links every current publisher to his previous-year record (0 = none).
void matchPreviousYear(RecordStore& store);

// True when there is no password (" ") or the prompt reports it given.
bool checkDataPassword(const RecordStore& store, const PasswordPrompt& prompt);

// How the start goes: Aborted once there was no data location or the password was refused.
enum class StartState { Running, Aborted };

// The whole load. Sets `start` to Aborted when the password is refused; when it is Aborted
// already no password is asked and the previous-year file is not read again.
void loadPublisherData(PublisherData& data, const DataLocation& location, StartState& start,
                       const PasswordPrompt& prompt);

// Current publisher j exists in the store.
bool isPublisher(const RecordStore& store, int j);

// The previous-year record linked to current publisher j. Without a link (or with one
// outside the loaded records) an all-zero record, so unmatched publishers read zero
// figures instead of the header's bytes.
const PublisherRecord& linkedPreviousRecord(const RecordStore& store, int j);

} // namespace pelkorl
