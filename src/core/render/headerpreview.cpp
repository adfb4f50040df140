#include "render/headerpreview.h"

#include "card/cardbatch.h"
#include "card/cardlayout.h"
#include "card/cardstate.h"
#include "card/formatting.h"
#include "card/headermarks.h"
#include "records/extension.h"
#include "records/publisherdata.h"
#include "text/codepage.h"
#include "text/strings.h"
#include "text/textids.h"

#include <string>

namespace pelkorl {

namespace {

constexpr TextAlign CAPTION_ALIGN{HorizontalAlign::Left, VerticalAlign::Bottom, true};
constexpr TextAlign DATA_ALIGN{HorizontalAlign::Left, VerticalAlign::Bottom, false};

// A caption starting at (x, y); the current position ends up at its right end.
void caption(Canvas& canvas, int x, int y, const std::string& text) {
    canvas.moveTo(x, y);
    canvas.textOut(x, y, text);
}

// The writing line after a caption: from the caption's end, raised to the row, to x.
void lineAfterCaption(Canvas& canvas, int row, int x) {
    canvas.moveTo(canvas.currentPosition().x, row);
    canvas.lineTo(x, row);
}

// A string-table text with a blank before and/or after it.
std::string spaced(bool before, int id, bool after) {
    std::string text;
    if (before)
        text += ' ';
    text += loadText(id);
    if (after)
        text += ' ';
    return text;
}

void recordText(Canvas& canvas, int x, int y, const std::string& bytes) {
    canvas.textOut(x, y, cp1257ToUtf8(bytes));
}

} // namespace

HeaderGeometry headerGeometry(const Rect& pane) {
    HeaderGeometry g;
    const int L = pane.left;
    const int T = pane.top;
    const int R = pane.right;
    const int B = pane.bottom;
    g.u = B / 26;
    g.row1 = T + 5 * g.u;
    g.row2 = T + 10 * g.u;
    g.row3 = T + 15 * g.u;
    g.row4 = T + 23 * g.u;
    g.d = g.row1 / 3;
    g.x0 = L + R / 40;
    g.w = L + R - R / 40;
    return g;
}

FontSpec previewFont(int charset) {
    return FontSpec{"Arial", -9, WEIGHT_NORMAL, charset};
}

void drawPreviewFrame(Canvas& canvas, const Rect& pane, const CardState& state) {
    const HeaderGeometry g = headerGeometry(pane);
    const int w = g.w;

    // A rectangle without outline leaves out its last column and row, so the fill reaching
    // one past (R + L, B + T) covers exactly the pane.
    canvas.setPen(std::nullopt);
    canvas.setBrush(WHITE);
    canvas.rectangle(Rect{pane.left, pane.top, pane.right + pane.left, pane.bottom + pane.top});

    canvas.setBackgroundTransparent(true);
    canvas.setPen(BLACK);
    const FontSpec replaced = canvas.font();
    canvas.selectFont(previewFont(state.fontCharset));
    canvas.setTextAlign(CAPTION_ALIGN);
    canvas.setTextColor(GREY);

    caption(canvas, g.x0, g.row1 + g.d, spaced(false, NAME_CAPTION, true));
    lineAfterCaption(canvas, g.row1, w);
    caption(canvas, g.x0, g.row2 + g.d, spaced(false, ADDRESS_CAPTION, true));
    lineAfterCaption(canvas, g.row2, w);

    // The third row is one run: telephone line to w / 3, mobile caption and line to
    // w - w / 3, birth caption (standing on the row itself) and line to w.
    caption(canvas, g.x0, g.row3 + g.d, spaced(false, PHONE_CAPTION, true));
    lineAfterCaption(canvas, g.row3, w / 3);
    caption(canvas, w / 3, g.row3 + g.d, spaced(true, MOBILE_CAPTION, true));
    lineAfterCaption(canvas, g.row3, w - w / 3);
    caption(canvas, w - w / 3, g.row3, spaced(true, BIRTH_CAPTION, true));
    lineAfterCaption(canvas, g.row3, w);

    caption(canvas, g.x0, g.row4 + g.d, spaced(false, BAPTISM_CAPTION, true));
    lineAfterCaption(canvas, g.row4, w / 2 - w / 12);
    caption(canvas, w / 2 - w / 12, g.row4 + g.d, spaced(true, HOPE_CAPTION, true));
    lineAfterCaption(canvas, g.row4, w - w / 4);
    caption(canvas, w - w / 4, g.row4 + g.d, spaced(true, PIONEER_CAPTION, false));
    caption(canvas, w - w / 4, g.row4 + g.d - 4 * g.u, spaced(true, ELDER_CAPTION, false));

    canvas.setTextAlign(DATA_ALIGN);
    canvas.textOut(w - w / 4 + w / 9, g.row4 + g.d - 4 * g.u, spaced(true, SERVANT_CAPTION, false));

    canvas.selectFont(replaced);
}

void paintHeaderPreview(Canvas& canvas, const Rect& pane, CardState& state,
                        HeaderPaneEffects& effects) {
    effects = HeaderPaneEffects{};
    if (!state.data || state.data->store.currentCount == 0)
        return;
    effects.dataFound = true;
    PublisherData& data = *state.data;
    const RecordStore& store = data.store;

    canvas.setBrush(WHITE);
    canvas.setPen(std::nullopt);
    canvas.selectFont(stockVariableFont());
    drawPreviewFrame(canvas, pane, state);

    const HeaderGeometry g = headerGeometry(pane);
    const int x0 = g.x0;
    const int w = g.w;
    if (state.printHeader)
        canvas.setTextColor(BLACK);

    // With no publisher selected the frame stands alone: no record is read, the name and
    // mobile number are empty, and the boxes are those of a publisher without extension
    // data or sex.
    const int j = state.selectedRecord;
    const bool selected = isPublisher(store, j);
    CardNameChoice choice = chooseCardName(data, j, state);
    effects.longNameBoxVisible = choice.longNameOffered;
    effects.lastNameFirstBoxVisible = !choice.longNameOffered || state.useLongName != 1;
    state.displayName = std::move(choice.displayName);
    state.mobileText = std::move(choice.mobileText);
    if (!selected) {
        effects.sexMarkBoxVisible = false;
        return;
    }
    const PublisherRecord& record = store.currentRecords[static_cast<std::size_t>(j)];

    recordText(canvas, x0 + w / 10, g.row1, state.displayName);

    const HeaderMarks marks = headerMarks(state, j);
    std::string sex;
    if (marks.sex == Sex::Male)
        sex = std::string("[X] ").append(loadText(MALE_TEXT));
    if (marks.sex == Sex::Female)
        sex = std::string("[X] ").append(loadText(FEMALE_TEXT));
    effects.sexMarkBoxVisible = !sex.empty();
    if (!sex.empty()) {
        if (!state.markSex)
            canvas.setTextColor(GREY);
        canvas.textOut(x0 + w - w / 6, g.row1, sex);
    }
    if (state.printHeader)
        canvas.setTextColor(BLACK);

    // The 11/23 card has no address or telephones: shown grey, as data that will not print.
    if (state.columnSet == ColumnSet::Ministry)
        canvas.setTextColor(GREY);
    recordText(canvas, x0 + w / 10, g.row2, record.address());
    recordText(canvas, x0 + w / 8, g.row3, record.homePhone());
    recordText(canvas, x0 - w / 20 + w / 2, g.row3, state.mobileText);
    if (state.printHeader)
        canvas.setTextColor(BLACK);
    recordText(canvas, x0 + w - w / 5, g.row3, formatDate(store, j, BIRTH_DATE, state.dateFormat));
    recordText(canvas, x0 + w / 6, g.row4, formatDate(store, j, BAPTISM_DATE, state.dateFormat));

    if (marks.baptized)
        canvas.textOut(x0 + w - w / 4 - w / 9, g.row4,
                       loadText(marks.anointed ? ANOINTED_TEXT : OTHER_SHEEP_TEXT));

    const int markX = x0 + w - w / 80 - w / 4;
    if (marks.elder)
        canvas.textOut(markX, g.row4 - g.u / 2 - g.d, "X");
    else if (marks.ministerialServant)
        canvas.textOut(x0 + w - w / 6 + w / 55, g.row4 - g.u / 2 - g.d, "X");
    if (marks.regularPioneer)
        canvas.textOut(markX, g.row4 + g.u / 2 + g.d, "X");
}

} // namespace pelkorl
