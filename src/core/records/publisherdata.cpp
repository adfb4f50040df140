#include "records/publisherdata.h"

#include <algorithm>
#include <new>

namespace pelkorl {

namespace {

// A shifted text field; a stored KEPT_BYTE at a position below keptBelow is not unshifted.
struct ShiftedField {
    std::size_t offset;
    std::size_t size;
    std::size_t keptBelow;
};

constexpr ShiftedField SHIFTED_FIELDS[] = {
    {field::FIRST_NAME, field::FIRST_NAME_SIZE, field::FIRST_NAME_SIZE},
    {field::LAST_NAME, field::LAST_NAME_SIZE, field::LAST_NAME_SIZE},
    {field::ADDRESS, field::ADDRESS_SIZE, 30},
    {field::HOME_PHONE, field::HOME_PHONE_SIZE, 0},
    // No fixed terminator ends these two; they stop at their own 15 bytes so a full field
    // never shifts the next one a second time.
    {field::MOBILE_PHONE, field::MOBILE_PHONE_SIZE, 0},
    {field::SPARE_TEXT, field::SPARE_TEXT_SIZE, 0},
    {field::BAPTISM_DATE, field::BAPTISM_DATE_SIZE, 0},
    {field::BIRTH_DATE, field::BIRTH_DATE_SIZE, 0},
};

std::size_t fieldLength(const PublisherRecord& record, std::size_t offset, std::size_t size) {
    std::size_t length = 0;
    while (length < size && record.bytes[offset + length] != 0)
        ++length;
    return length;
}

// Byte comparison of two texts of the same field, each up to its NUL.
bool sameText(const PublisherRecord& a, const PublisherRecord& b, std::size_t offset,
              std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t x = a.bytes[offset + i];
        if (x != b.bytes[offset + i])
            return false;
        if (x == 0)
            return true;
    }
    return true;
}

int heldCount(int count, const std::vector<PublisherRecord>& records) {
    return std::clamp(count, 0, static_cast<int>(records.size()));
}

// Plain files only get their terminators; shifted ones are unshifted as well.
void prepareTexts(std::vector<PublisherRecord>& records, int count) {
    if (count <= 0)
        return;
    if (HeaderRecord(records[0]).textsPlain())
        terminateTexts(records, count);
    else
        unshiftTexts(records, count);
}

// The records of one publisher file; 0 when it cannot be read.
int readPublisherFile(const FilePartReader& readFile, const std::filesystem::path& file,
                      std::vector<PublisherRecord>& records, Bytes& bytes) {
    const std::size_t wanted = std::min(records.size(), static_cast<std::size_t>(RECORD_CAPACITY));
    if (!readFile || readFile(file, 0, wanted * RECORD_SIZE, bytes) != ReadError::None)
        return 0;
    return readPublisherRecords(bytes, records);
}

} // namespace

bool allocateRecordStore(RecordStore& store,
                         const std::function<void(const std::string&)>& showMessage) {
    store.currentCount = 0;
    store.previousCount = 0;
    try {
        store.currentRecords.assign(RECORD_CAPACITY, PublisherRecord{});
        store.previousRecords.assign(RECORD_CAPACITY, PublisherRecord{});
    } catch (const std::bad_alloc&) {
        freeRecordStore(store);
        if (showMessage)
            showMessage("Couldn't allocate memory");
        return false;
    }
    return true;
}

void freeRecordStore(RecordStore& store) {
    std::vector<PublisherRecord>().swap(store.currentRecords);
    std::vector<PublisherRecord>().swap(store.previousRecords);
    store.currentCount = 0;
    store.previousCount = 0;
}

int readPublisherRecords(std::span<const std::uint8_t> bytes,
                         std::vector<PublisherRecord>& records) {
    // Records past the capacity are not read: the store never grows beyond it.
    const std::size_t limit = std::min(
        {records.size(), static_cast<std::size_t>(RECORD_CAPACITY), bytes.size() / RECORD_SIZE});
    for (std::size_t r = 0; r < limit; ++r)
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(r * RECORD_SIZE), RECORD_SIZE,
                    records[r].bytes.begin());
    return static_cast<int>(limit);
}

void terminateTexts(std::vector<PublisherRecord>& records, int count) {
    const int held = heldCount(count, records);
    for (int r = 0; r < held; ++r)
        for (std::size_t offset : field::FORCED_TERMINATORS)
            records[static_cast<std::size_t>(r)].bytes[offset] = 0;
}

void unshiftTexts(std::vector<PublisherRecord>& records, int count) {
    const int held = heldCount(count, records);
    terminateTexts(records, held);
    for (int r = 0; r < held; ++r) {
        PublisherRecord& record = records[static_cast<std::size_t>(r)];
        for (const ShiftedField& text : SHIFTED_FIELDS) {
            const std::size_t length = fieldLength(record, text.offset, text.size);
            for (std::size_t i = 0; i < length; ++i) {
                std::uint8_t& byte = record.bytes[text.offset + i];
                if (byte == KEPT_BYTE && i < text.keptBelow)
                    continue;
                byte = static_cast<std::uint8_t>(byte - (i + TEXT_SHIFT));
            }
        }
    }
}

std::filesystem::path publisherFilePath(const DataLocation& location) {
    const bool removable = location.dataDrive != 0 && location.dataDrive != location.startDrive;
    const std::filesystem::path& folder =
        removable ? location.removableFolder : location.currentFolder;
    // An unset folder names no file, rather than one in the process's working folder.
    if (folder.empty())
        return {};
    return folder / PUBLISHER_FILE_NAME;
}

std::filesystem::path previousPublisherFilePath(const std::filesystem::path& currentFolder) {
    if (currentFolder.empty())
        return {};
    return currentFolder / PREVIOUS_YEAR_FOLDER / PREVIOUS_YEAR_SUBFOLDER / PUBLISHER_FILE_NAME;
}

std::filesystem::path extensionFilePath(const std::filesystem::path& currentFolder) {
    if (currentFolder.empty())
        return {};
    return currentFolder / EXTENSION_FILE_NAME;
}

std::filesystem::path remarksFilePath(const std::filesystem::path& currentFolder,
                                      ServiceYear year) {
    if (currentFolder.empty())
        return {};
    if (year == ServiceYear::Previous)
        return currentFolder / PREVIOUS_YEAR_FOLDER / PREVIOUS_YEAR_SUBFOLDER / REMARKS_FILE_NAME;
    return currentFolder / REMARKS_FILE_NAME;
}

std::vector<std::filesystem::path> dataFilesOf(const DataLocation& location) {
    const std::filesystem::path& folder = location.currentFolder;
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::path& file :
         {publisherFilePath(location), previousPublisherFilePath(folder), extensionFilePath(folder),
          remarksFilePath(folder, ServiceYear::Current),
          remarksFilePath(folder, ServiceYear::Previous)})
        if (!file.empty())
            files.push_back(findIgnoringCase(file));
    return files;
}

bool previousFileUsable(const FilePartReader& readFile,
                        const std::filesystem::path& currentFolder) {
    Bytes bytes;
    return readFile &&
           readFile(previousPublisherFilePath(currentFolder), 0, PREVIOUS_FILE_MIN_SIZE + 1,
                    bytes) == ReadError::None &&
           bytes.size() > PREVIOUS_FILE_MIN_SIZE;
}

void matchPreviousYear(RecordStore& store) {
    const int current = heldCount(store.currentCount, store.currentRecords);
    const int previous = heldCount(store.previousCount, store.previousRecords);
    for (int j = 1; j < current; ++j) {
        PublisherRecord& record = store.currentRecords[static_cast<std::size_t>(j)];
        record.setPreviousLink(0);
        const std::uint16_t id = record.publisherId();
        if (id == 0)
            continue;
        // No early stop: the last matching record wins.
        for (int l = 1; l < previous; ++l) {
            const PublisherRecord& old = store.previousRecords[static_cast<std::size_t>(l)];
            if (old.publisherId() != id)
                continue;
            if (sameText(record, old, field::FIRST_NAME, field::FIRST_NAME_SIZE) ||
                sameText(record, old, field::LAST_NAME, field::LAST_NAME_SIZE))
                record.setPreviousLink(static_cast<std::uint16_t>(l));
        }
    }
}

bool checkDataPassword(const RecordStore& store, const PasswordPrompt& prompt) {
    if (store.currentRecords.empty())
        return true;
    const std::string password = HeaderRecord(store.currentRecords[0]).dataPassword();
    if (password == " ")
        return true;
    return prompt && prompt(password);
}

void loadPublisherData(PublisherData& data, const DataLocation& location, StartState& start,
                       const PasswordPrompt& prompt) {
    RecordStore& store = data.store;
    data.currentFolder = location.currentFolder;
    if (store.currentRecords.size() < static_cast<std::size_t>(RECORD_CAPACITY) ||
        store.previousRecords.size() < static_cast<std::size_t>(RECORD_CAPACITY)) {
        store.currentCount = 0;
        return;
    }

    store.currentCount = readPublisherFile(data.readFile, publisherFilePath(location),
                                           store.currentRecords, data.fileBytes);
    prepareTexts(store.currentRecords, store.currentCount);
    if (store.currentCount == 0) {
        // No file: a header without password and with plain texts, and no publishers.
        PublisherRecord& header = store.currentRecords[0];
        header.bytes.fill(0);
        header.bytes[header::PLAIN_TEXT_MARK] = header::PLAIN_TEXT;
        header.bytes[header::DATA_PASSWORD] = ' ';
        store.currentCount = 1;
    }
    for (int j = 1; j < store.currentCount; ++j)
        store.currentRecords[static_cast<std::size_t>(j)].setPreviousLink(0);

    if (start == StartState::Running && !checkDataPassword(store, prompt))
        start = StartState::Aborted;

    countExtensionRecords(data);
    for (int m = 0; m < MONTHS; ++m)
        loadMonthRemarks(data, ServiceYear::Current, m);

    if (!previousFileUsable(data.readFile, data.currentFolder))
        return;
    if (start == StartState::Running) {
        store.previousCount =
            readPublisherFile(data.readFile, previousPublisherFilePath(data.currentFolder),
                              store.previousRecords, data.fileBytes);
        prepareTexts(store.previousRecords, store.previousCount);
        for (int m = 0; m < MONTHS; ++m)
            loadMonthRemarks(data, ServiceYear::Previous, m);
    }
    if (store.previousCount != 0)
        matchPreviousYear(store);
}

bool isPublisher(const RecordStore& store, int j) {
    return j >= 1 && j < heldCount(store.currentCount, store.currentRecords);
}

const PublisherRecord& linkedPreviousRecord(const RecordStore& store, int j) {
    static const PublisherRecord NO_RECORD{};
    if (!isPublisher(store, j))
        return NO_RECORD;
    const int link = store.currentRecords[static_cast<std::size_t>(j)].previousLink();
    if (link == 0 || link >= heldCount(store.previousCount, store.previousRecords))
        return NO_RECORD;
    return store.previousRecords[static_cast<std::size_t>(link)];
}

} // namespace pelkorl
