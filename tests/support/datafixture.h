#pragma once
// A GoogleTest fixture over a temporary current folder with an allocated record store.
// Files written before freeze() must come out of the test byte for byte unchanged.
#include "records/publisherdata.h"
#include "testfiles.h"

#include <gtest/gtest.h>

namespace pelkorl::test {

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(allocateRecordStore(data.store, [](const std::string&) {}));
        location.currentFolder = folder();
        data.currentFolder = folder();
        location.removableFolder = folder() / "removable";
    }

    void TearDown() override {
        if (!frozen)
            return;
        const auto after = folderContents(folder());
        for (const auto& [name, bytes] : before) {
            const auto it = after.find(name);
            EXPECT_TRUE(it != after.end() && it->second == bytes) << name << " changed";
        }
        EXPECT_EQ(after.size(), before.size()) << "files appeared or vanished";
    }

    const std::filesystem::path& folder() const { return temp.path(); }
    void write(const std::filesystem::path& relative, const std::string& bytes) {
        writeBytes(folder() / relative, bytes);
    }
    void freeze() {
        before = folderContents(folder());
        frozen = true;
    }
    // Loads with a prompt that counts its calls and answers `answer`.
    StartState load(StartState start = StartState::Running, bool answer = true) {
        freeze();
        loadPublisherData(data, location, start, [this, answer](const std::string& p) {
            prompted.push_back(p);
            return answer;
        });
        return start;
    }
    const PublisherRecord& current(int j) const {
        return data.store.currentRecords[static_cast<std::size_t>(j)];
    }

    TempFolder temp;
    PublisherData data;
    DataLocation location;
    std::vector<std::string> prompted;

private:
    std::map<std::string, std::string> before;
    bool frozen = false;
};

template <class Param>
class DataFolderTestP : public DataFolderTest, public ::testing::WithParamInterface<Param> {};

} // namespace pelkorl::test
