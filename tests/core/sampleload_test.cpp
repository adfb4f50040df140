// The sample congregation, written by the sample writer, read back by the loader: every
// text, id, figure, link, long name and remark must arrive as the writer meant it.
#include "datafixture.h"
#include "records/extension.h"
#include "records/remarks.h"
#include "sampledata.h"

using namespace pelkorl;
using namespace pelkorl::test;
namespace sid = pelkorl::sample::sampleid;

namespace {

// A text as the reader sees it: cut to `length` characters, up to a NUL.
std::string cut(const std::string& text, std::size_t length) {
    return text.substr(0, std::min(text.find('\0'), length));
}

int indexOf(const RecordStore& store, std::uint16_t id) {
    for (int j = 1; j < store.currentCount; ++j)
        if (store.currentRecords[static_cast<std::size_t>(j)].publisherId() == id)
            return j;
    return 0;
}

class SampleLoad : public DataFolderTestP<bool> {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        ASSERT_TRUE(sample::writeSampleCongregation(folder(), 2027, {GetParam(), " "}));
        ASSERT_EQ(load(), StartState::Running);
        ASSERT_TRUE(prompted.empty());
    }
    const sample::SampleCongregation congregation = sample::buildSampleCongregation(2027);
};

} // namespace

TEST_P(SampleLoad, TextsIdsAndFigures) {
    ASSERT_EQ(data.store.currentCount, static_cast<int>(congregation.current.size()) + 1);
    for (std::size_t i = 0; i < congregation.current.size(); ++i) {
        const sample::PublisherSpec& s = congregation.current[i];
        const PublisherRecord& r = current(static_cast<int>(i) + 1);
        EXPECT_EQ(r.firstName(), cut(s.firstName, 20)) << i;
        EXPECT_EQ(r.lastName(), cut(s.lastName, 20)) << i;
        EXPECT_EQ(r.address(), cut(s.address, 62)) << i;
        EXPECT_EQ(r.homePhone(), cut(s.homePhone, 14)) << i;
        EXPECT_EQ(r.mobilePhone(), cut(s.mobilePhone, 15)) << i;
        EXPECT_EQ(r.baptismDate(), cut(s.baptismDate, 8)) << i;
        EXPECT_EQ(r.birthDate(), cut(s.birthDate, 8)) << i;
        EXPECT_EQ(r.publisherId(), s.publisherId);
        EXPECT_EQ(r.isAnointed(), s.anointed);
        for (int m = 0; m < 12; ++m) {
            const sample::MonthSpec& f = s.months[static_cast<std::size_t>(m)];
            EXPECT_EQ(r.placementMonth(m), f.placementEncoding);
            EXPECT_EQ(r.serviceStatus(m), f.status & 3);
            EXPECT_EQ(r.quarterHours(m), f.quarterHours & 3);
            if (f.placementEncoding) {
                const PlacementFigures p = placementFigures(r, m);
                EXPECT_EQ(
                    std::vector<int>(
                        {p.placements, p.videoShowings, p.hours, p.returnVisits, p.bibleStudies}),
                    std::vector<int>({f.placements & 0xFFF, f.videoShowings & 0xFFF, f.hours & 0xFF,
                                      f.returnVisits & 0x3FF, f.bibleStudies & 0x3F}))
                    << i << "/" << m;
            } else {
                const LiteratureFigures l = literatureFigures(r, m);
                EXPECT_EQ(std::vector<int>({l.books, l.brochures, l.hours, l.subscriptions,
                                            l.magazines, l.returnVisits, l.bibleStudies}),
                          std::vector<int>({f.books & 0xFF, f.brochures & 0xFFF, f.hours & 0xFF,
                                            f.subscriptions & 0x3F, f.magazines & 0xFFF,
                                            f.returnVisits & 0x3FF, f.bibleStudies & 0x3F}))
                    << i << "/" << m;
            }
        }
    }
}

TEST_P(SampleLoad, PreviousYearLinks) {
    ASSERT_EQ(data.store.previousCount, static_cast<int>(congregation.previous.size()) + 1);
    auto linked = [&](std::uint16_t id) {
        const PublisherRecord& old = linkedPreviousRecord(data.store, indexOf(data.store, id));
        return std::pair{old.publisherId(), old.lastName()};
    };
    EXPECT_EQ(linked(sid::RENAMED).first, sid::RENAMED);
    EXPECT_EQ(linked(sid::ANOINTED_ELDER).first, sid::ANOINTED_ELDER);
    EXPECT_EQ(linked(sid::BOTH_NAMES_CHANGED).first, 0);
    EXPECT_EQ(linked(sid::NO_PREVIOUS_RECORD).first, 0);
    EXPECT_EQ(linked(sid::ZERO_ID).first, 0);
    int later = 0;
    for (std::size_t l = 0; l < congregation.previous.size(); ++l)
        if (congregation.previous[l].publisherId == sid::DUPLICATE_PREVIOUS)
            later = static_cast<int>(l) + 1;
    EXPECT_EQ(current(indexOf(data.store, sid::DUPLICATE_PREVIOUS)).previousLink(), later);
}

TEST_P(SampleLoad, LongNames) {
    for (std::uint16_t id : {sid::ANOINTED_ELDER, sid::HIGH_FIGURES, sid::SERVANT_AUXILIARY}) {
        const int j = indexOf(data.store, id);
        const int n = current(j).extensionIndex();
        ASSERT_GT(n, 0);
        EXPECT_EQ(loadExtension(data, j) & EXTENSION_LONG_NAME, EXTENSION_LONG_NAME);
        EXPECT_EQ(data.currentExtension.longName(),
                  cut(congregation.extensions[static_cast<std::size_t>(n) - 1].longName, 64));
    }
    const int mismatch = indexOf(data.store, sid::EXTENSION_MISMATCH);
    EXPECT_EQ(loadExtension(data, mismatch), 0);
    EXPECT_EQ(current(mismatch).extensionIndex(), 0);
    EXPECT_EQ(loadExtension(data, indexOf(data.store, sid::DIGITS_LONG_NAME)) & EXTENSION_LONG_NAME,
              0);
}

TEST_P(SampleLoad, RemarksOfBothYears) {
    for (bool previous : {false, true}) {
        const auto& remarks = previous ? congregation.previousRemarks : congregation.currentRemarks;
        // The last remark of each (publisher, month) in file order.
        std::map<std::pair<int, int>, std::string> expected;
        for (const sample::RemarkSpec& r : remarks)
            if (r.publisherId >= 11 && r.month >= 1 && r.month <= 12 &&
                indexOf(data.store, r.publisherId) != 0)
                expected[{indexOf(data.store, r.publisherId), r.month - 1}] = cut(r.text, 36);
        // With lastMonth 7 the whole previous service year is read from the previous files.
        for (int j = 1; j < data.store.currentCount; ++j)
            for (int m = 0; m < 12; ++m) {
                const auto it = expected.find({j, m});
                const auto want = it == expected.end() || it->second.empty()
                                      ? std::nullopt
                                      : std::optional<std::string>(it->second);
                EXPECT_EQ(remarkFor(data, j, m, previous, 7), want) << previous << j << "/" << m;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(SampleCongregation, SampleLoad, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Plain" : "Shifted"; });
