#pragma once
// The sample congregation written to a temporary folder and loaded as the program loads it,
// for the benchmarks that draw or fill its cards. The folder goes with the object.
#include "card/cardstate.h"
#include "records/publisherdata.h"
#include "sampledata.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace pelkorl {

struct SampleCongregation {
    std::filesystem::path folder;
    PublisherData data;
    CardState state;

    explicit SampleCongregation(const std::string& prefix) {
        std::random_device seed;
        folder = std::filesystem::temp_directory_path() /
                 (prefix + std::to_string(std::mt19937_64(seed())()));
        if (!sample::writeSampleCongregation(folder, 2027) ||
            !allocateRecordStore(data.store, nullptr))
            std::abort();
        DataLocation location;
        location.currentFolder = folder;
        location.removableFolder = folder / "removable";
        data.currentFolder = folder;
        StartState aborted = StartState::Running;
        loadPublisherData(data, location, aborted, [](const std::string&) { return true; });
        state.data = &data;
        state.lastMonth = 7;
        state.currentYear = 2027;
        state.markSex = true;
    }
    ~SampleCongregation() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
    SampleCongregation(const SampleCongregation&) = delete;
    SampleCongregation& operator=(const SampleCongregation&) = delete;

    // The i-th publisher of a congregation, cycling through the sample's publishers.
    int record(int i) const { return 1 + i % (data.store.currentCount - 1); }
};

} // namespace pelkorl
