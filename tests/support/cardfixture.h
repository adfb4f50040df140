#pragma once
// A card state over an in-memory record store: publishers and previous-year records are
// built from sample specs and put straight into the store, so figure and renderer tests
// need no files. Remarks (which are read from files) use the temporary folder.
#include "card/cardlayout.h"
#include "card/cardstate.h"
#include "records/publisherdata.h"
#include "sampledata.h"
#include "testfiles.h"

#include <algorithm>
#include <stdexcept>

namespace pelkorl::test {

class CardFixture {
public:
    CardFixture() {
        if (!allocateRecordStore(data.store, [](const std::string&) {}))
            throw std::runtime_error("no record store");
        data.store.currentCount = 1;
        data.store.previousCount = 1;
        data.currentFolder = folder.path();
        state.data = &data;
        setLayoutDefaults(state.layout, 0);
        state.cardVersion = 0;
        state.columnSet = ColumnSet::Placements;
        state.marginTop = "0.00";
        state.marginLeft = "0.20";
        state.lastMonth = 7;
        state.currentYear = 2027;
    }
    CardFixture(const CardFixture&) = delete;
    CardFixture& operator=(const CardFixture&) = delete;

    // Appends a current publisher; returns his record index.
    int addPublisher(const sample::PublisherSpec& wanted) {
        return append(data.store.currentRecords, data.store.currentCount, wanted);
    }
    // Appends a previous-year record; returns its index in previousRecords.
    int addPrevious(const sample::PublisherSpec& wanted) {
        return append(data.store.previousRecords, data.store.previousCount, wanted);
    }
    void link(int publisher, int previous) {
        current(publisher).setPreviousLink(static_cast<std::uint16_t>(previous));
    }
    void setPreviousStamps(const sample::YearStamps& stamps) {
        std::copy(stamps.begin(), stamps.end(),
                  data.store.previousRecords[0].bytes.begin() + header::YEAR_STAMP);
    }
    PublisherRecord& current(int j) {
        return data.store.currentRecords[static_cast<std::size_t>(j)];
    }
    // Selects publisher j with his name as the header preview would choose it.
    void select(int j) {
        state.selectedRecord = j;
        state.displayName = current(j).firstName() + " " + current(j).lastName();
        state.mobileText = current(j).mobilePhone();
    }

    TempFolder folder;
    PublisherData data;
    CardState state;

private:
    static int append(std::vector<PublisherRecord>& records, int& count,
                      const sample::PublisherSpec& wanted) {
        const auto bytes = sample::encodePublisher(wanted, false);
        PublisherRecord& r = records.at(static_cast<std::size_t>(count));
        std::copy(bytes.begin(), bytes.end(), r.bytes.begin());
        // Loading ends the texts at fixed places; keep that here too.
        for (std::size_t at : field::FORCED_TERMINATORS)
            r.bytes[at] = 0;
        return count++;
    }
};

// A publisher with names and nothing else.
inline sample::PublisherSpec person(std::string first, std::string last, std::uint16_t id = 200) {
    sample::PublisherSpec p;
    p.firstName = std::move(first);
    p.lastName = std::move(last);
    p.publisherId = id;
    return p;
}

} // namespace pelkorl::test
