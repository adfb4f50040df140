// The data location: the probe file and the reload after a change of location.
#include "datafixture.h"
#include "records/datalocation.h"
#include "text/strings.h"

#include <system_error>

using namespace pelkorl;
using namespace pelkorl::test;
namespace fs = std::filesystem;

namespace {

const fs::path PREVIOUS = fs::path("Roll") / "Rv7_8" / "tdat7.bin";

Person person(std::uint16_t id, const std::string& first) {
    Person p;
    p.id = id;
    p.firstName = first;
    p.lastName = "P";
    return p;
}

std::vector<Person> people(std::uint16_t firstId, int count, const std::string& name) {
    std::vector<Person> list;
    for (int k = 0; k < count; ++k)
        list.push_back(person(static_cast<std::uint16_t>(firstId + k), name));
    return list;
}

class ProbeTest : public DataFolderTest {
protected:
    fs::path removable() const { return folder() / "removable"; }
    void SetUp() override {
        DataFolderTest::SetUp();
        fs::create_directories(removable());
    }
};

} // namespace

// Every location but 0 probes the removable folder and leaves nothing behind.
class ProbeLocations : public ProbeTest, public ::testing::WithParamInterface<int> {};

TEST_P(ProbeLocations, WritableFolderIsUsableAndKeptClean) {
    write("removable/tdat7.bin", publisherFile(" ", true, {}));
    freeze();
    EXPECT_TRUE(probeDataDrive(GetParam(), removable()));
    EXPECT_FALSE(fs::exists(removable() / "ravon.tst"));
}

INSTANTIATE_TEST_SUITE_P(DataLocation, ProbeLocations, ::testing::Values(0, 1, 2, 255, -1));

TEST_F(ProbeTest, LocationZeroTouchesNoDisk) {
    // A leftover probe file would be truncated and deleted by any probe of the folder.
    write("removable/ravon.tst", "keep me");
    freeze();
    EXPECT_TRUE(probeDataDrive(0, removable()));
    EXPECT_TRUE(probeDataDrive(0, fs::path()));
    EXPECT_TRUE(probeDataDrive(0, folder() / "no such folder"));
    EXPECT_TRUE(probeDataDrive(0, folder() / "removable" / "ravon.tst"));
}

TEST_F(ProbeTest, LeftoverProbeFileIsRemoved) {
    write("removable/ravon.tst", "from an earlier run");
    EXPECT_TRUE(probeDataDrive(1, removable()));
    EXPECT_FALSE(fs::exists(removable() / "ravon.tst"));
}

TEST_F(ProbeTest, UnsetMissingOrNonFolderIsNotUsable) {
    write("plain.txt", "x");
    freeze();
    EXPECT_FALSE(probeDataDrive(1, fs::path()));
    EXPECT_FALSE(probeDataDrive(1, folder() / "no such folder"));
    EXPECT_FALSE(probeDataDrive(1, folder() / "plain.txt"));
}

TEST_F(ProbeTest, ProbeNameTakenByFolderOrLinkIsNotUsableAndLeftAlone) {
    fs::create_directory(removable() / "ravon.tst");
    write("removable/ravon.tst/inside", "x");
    EXPECT_FALSE(probeDataDrive(1, removable()));
    EXPECT_EQ(readBytes(removable() / "ravon.tst" / "inside"), "x");
    fs::remove_all(removable() / "ravon.tst");

    // A link must never be written through: its target stays as it was.
    write("target.bin", "precious");
    std::error_code error;
    fs::create_symlink(folder() / "target.bin", removable() / "ravon.tst", error);
    if (error)
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_FALSE(probeDataDrive(1, removable()));
    EXPECT_EQ(readBytes(folder() / "target.bin"), "precious");
    EXPECT_TRUE(fs::is_symlink(removable() / "ravon.tst"));
}

TEST(RemovableFolderSetting, KeepsLithuanianLettersThroughTheSettings) {
    const std::string setting = "/media/Diskelis ąčęėįšųūž";
#ifndef _WIN32
    EXPECT_EQ(folderSetting(removableDataFolder(setting)), setting);
    EXPECT_TRUE(removableDataFolder("").empty());
#else
    EXPECT_EQ(removableDataFolder(setting), fs::path("a:\\"));
#endif
}

// ---- reload after a change of location

class ReloadTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        // Data of the current folder, loaded: three publishers.
        write("tdat7.bin", publisherFile(" ", true, people(500, 3, "Here")));
        StartState aborted = StartState::Running;
        loadPublisherData(data, location, aborted, nullptr);
        ASSERT_EQ(data.store.currentCount, 4);
        location.dataDrive = 1;
    }

    bool reload(bool confirmAnswer = true, bool passwordAnswer = true) {
        start = StartState::Running;
        return reloadAfterLocationChange(
            data, location, start,
            [&](const std::string& question) {
                asked.push_back(question);
                return confirmAnswer;
            },
            [&](const std::string& password) {
                prompted.push_back(password);
                return passwordAnswer;
            });
    }

    std::vector<std::string> asked;
    StartState start = StartState::Running;
};

// Size of the publisher file at the new location; no reload and no question up to 500.
class SmallNewFile : public ReloadTest, public ::testing::WithParamInterface<int> {};

TEST_P(SmallNewFile, KeepsLocationWithoutAskingOrLoading) {
    if (GetParam() >= 0) {
        std::string bytes = publisherFile(" ", true, people(700, 3, "There"));
        bytes.resize(static_cast<std::size_t>(GetParam()));
        write("removable/tdat7.bin", bytes);
    }
    freeze();
    EXPECT_TRUE(reload());
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(prompted.empty());
    EXPECT_EQ(data.store.currentCount, 4);
    EXPECT_EQ(current(1).firstName(), "Here");
}

// -1: no file at all.
INSTANTIATE_TEST_SUITE_P(DataLocation, SmallNewFile, ::testing::Values(-1, 0, 336, 500));

TEST_F(ReloadTest, FileJustOverTheLimitCounts) {
    std::string bytes = publisherFile(" ", true, people(700, 3, "There"));
    bytes.resize(501);
    write("removable/tdat7.bin", bytes);
    EXPECT_TRUE(reload());
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(data.store.currentCount, 1); // one whole record: the header
}

TEST_F(ReloadTest, CancelOnTheQuestionKeepsTheLoadedData) {
    write("removable/tdat7.bin", publisherFile(" ", true, people(700, 2, "There")));
    freeze();
    EXPECT_FALSE(reload(false));
    EXPECT_EQ(asked, std::vector<std::string>{loadText(131)});
    EXPECT_TRUE(prompted.empty());
    EXPECT_EQ(data.store.currentCount, 4);
    EXPECT_EQ(current(1).firstName(), "Here");
}

TEST_F(ReloadTest, OkLoadsTheNewData) {
    write("removable/tdat7.bin", publisherFile(" ", true, people(700, 2, "There")));
    EXPECT_TRUE(reload(true));
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(prompted.empty()); // stored " ": no password
    EXPECT_EQ(start, StartState::Running);
    EXPECT_EQ(data.store.currentCount, 3);
    EXPECT_EQ(current(1).firstName(), "There");
}

TEST_F(ReloadTest, NoPublishersLoadedMeansNoQuestion) {
    write("tdat7.bin", publisherFile(" ", true, {}));
    StartState aborted = StartState::Running;
    location.dataDrive = 0;
    loadPublisherData(data, location, aborted, nullptr);
    ASSERT_EQ(data.store.currentCount, 1);
    location.dataDrive = 1;
    write("removable/tdat7.bin", publisherFile(" ", true, people(700, 2, "There")));
    EXPECT_TRUE(reload(false)); // a Cancel would have refused
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(current(2).firstName(), "There");
}

TEST_F(ReloadTest, RefusedPasswordIsARefusal) {
    write("removable/tdat7.bin", publisherFile("slaptas", true, people(700, 2, "There")));
    EXPECT_FALSE(reload(true, false));
    EXPECT_EQ(start, StartState::Aborted);
    EXPECT_EQ(prompted, std::vector<std::string>{"slaptas"});
    prompted.clear();
    EXPECT_TRUE(reload(true, true));
    EXPECT_EQ(prompted, std::vector<std::string>{"slaptas"});
}

TEST_F(ReloadTest, OnlyThePublisherFileFollowsTheLocation) {
    // The current folder's other files...
    write("xten7.dat", std::string(192 * 3, '\0'));
    write("remark7.dat", remarkRecordBytes("čia", 12, 700));
    write(PREVIOUS, publisherFile(" ", true, people(700, 1, "Before")));
    // ...and decoys beside the publisher file at the new location.
    write("removable/tdat7.bin", publisherFile(" ", true, people(700, 2, "There")));
    write("removable/xten7.dat", std::string(192 * 7, '\0'));
    write("removable/remark7.dat", remarkRecordBytes("ten", 12, 700) +
                                       remarkRecordBytes("ten", 12, 701) +
                                       remarkRecordBytes("ten", 12, 701));
    write("removable" / PREVIOUS, publisherFile(" ", true, people(700, 5, "Decoy")));
    freeze();
    EXPECT_TRUE(reload());
    EXPECT_EQ(current(1).firstName(), "There");
    EXPECT_EQ(data.extensionCount, 3);
    EXPECT_EQ(data.currentRemarks.slotCount, 2); // December's one remark, from here
    EXPECT_EQ(data.store.previousCount, 2);
    EXPECT_EQ(current(1).previousLink(), 1);
    EXPECT_EQ(data.currentFolder, folder());
}
