#pragma once
// What a card's header marks for a publisher: sex, hope, appointment, regular pioneer, and
// the service year it shows. The printed cards, the header preview and the filled form all
// decide them here.
#include "records/publisherrecord.h"

namespace pelkorl {

struct CardState;

enum class Sex { None, Male, Female };

struct HeaderMarks {
    Sex sex = Sex::None; // the female bit wins when both are set; printed only with "V/M"
    bool baptized = false;
    bool anointed = false;   // baptized publishers only
    bool otherSheep = false; // baptized publishers only
    bool elder = false;
    bool ministerialServant = false; // never together with elder
    bool regularPioneer = false;     // the service status of lastMonth
};

// The current service year's record of `record`, which the header always reads; an all-zero
// record when there is no such publisher.
const PublisherRecord& headerRecord(const CardState& state, int record);

HeaderMarks headerMarks(const CardState& state, int record);

// The service year shown: the calendar year in which it ends.
int serviceYearNumber(const CardState& state);

} // namespace pelkorl
