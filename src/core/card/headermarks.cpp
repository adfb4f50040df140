#include "card/headermarks.h"

#include "card/cardstate.h"
#include "card/formatting.h"
#include "records/publisherdata.h"

namespace pelkorl {

namespace {

constexpr int REGULAR_PIONEER = 2;
constexpr int ELDER = 2;
constexpr int MINISTERIAL_SERVANT = 1;

} // namespace

const PublisherRecord& headerRecord(const CardState& state, int record) {
    static const PublisherRecord NONE{};
    if (!state.data || !isPublisher(state.data->store, record))
        return NONE;
    return state.data->store.currentRecords[static_cast<std::size_t>(record)];
}

HeaderMarks headerMarks(const CardState& state, int record) {
    HeaderMarks marks;
    const PublisherRecord& r = headerRecord(state, record);
    if (r.isMale())
        marks.sex = Sex::Male;
    if (r.isFemale())
        marks.sex = Sex::Female;
    marks.baptized = state.data && isBaptized(state.data->store, record);
    marks.anointed = marks.baptized && r.isAnointed();
    marks.otherSheep = marks.baptized && !r.isAnointed();
    marks.elder = r.appointment() == ELDER;
    marks.ministerialServant = r.appointment() == MINISTERIAL_SERVANT;
    marks.regularPioneer = r.serviceStatus(state.lastMonth) == REGULAR_PIONEER;
    return marks;
}

int serviceYearNumber(const CardState& state) {
    // From September to November the service year ends next year; a start in January
    // (lastMonth December) is already in the year it ends.
    const bool autumn = state.lastMonth >= 8 && state.lastMonth <= 10;
    if (!state.previousYear)
        return autumn ? state.currentYear + 1 : state.currentYear;
    return autumn ? state.currentYear : state.currentYear - 1;
}

} // namespace pelkorl
