#include "card/formlayout.h"

#include "card/figures.h"
#include "text/strings.h"
#include "text/textids.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace pelkorl {

namespace {

constexpr double POINTS_PER_INCH = 72;
// Viewers inset a field's text this far from its left edge.
constexpr double TEXT_INSET = 2;
// The card's 10 pt Arial (Liberation Sans has the same metrics), in ems.
constexpr double FONT_POINTS = 10;
constexpr double ASCENT = 1854.0 / 2048;
constexpr double DESCENT = 434.0 / 2048;
constexpr double X_HEIGHT = 1062.0 / 2048;
constexpr double X_ADVANCE = 1024.0 / 2048;
constexpr double CELL = FONT_POINTS * (ASCENT + DESCENT);

constexpr int FIRST_ROW = 20; // September's fields are numbered 20, August's 31
constexpr int LAST_ROW = FIRST_ROW + 11;
constexpr int TOTAL_ROW = 32;
constexpr int MONTH_ROW_COUNT = 12;

// A text's x as its field aligns it (its start, middle or end) and its cell's top, in points
// from the paper's top-left corner.
struct Spot {
    double x = 0;
    double y = 0;
};

double topOf(const FormFieldRect& f) {
    return f.pageHeight - f.y - f.height;
}

FieldAlign alignOf(const FormFieldRect& f) {
    if (f.quadding == 1)
        return FieldAlign::Centre;
    return f.quadding == 2 ? FieldAlign::Right : FieldAlign::Left;
}

Spot textSpot(const FormFieldRect& f) {
    const double y = topOf(f) + (f.height - CELL) / 2;
    switch (alignOf(f)) {
    case FieldAlign::Centre:
        return {f.x + f.width / 2, y};
    case FieldAlign::Right:
        return {f.x + f.width - TEXT_INSET, y};
    case FieldAlign::Left:
        break;
    }
    return {f.x + TEXT_INSET, y};
}

// The "x" mark's ink, not its cell, centred in the box.
Spot markSpot(const FormFieldRect& f) {
    const double centreX = f.x + f.width / 2;
    const double centreY = topOf(f) + f.height / 2;
    return {centreX - FONT_POINTS * X_ADVANCE / 2, centreY - FONT_POINTS * (ASCENT - X_HEIGHT / 2)};
}

std::string rowField(const char* pattern, int row) {
    char name[32];
    std::snprintf(name, sizeof name, pattern, row);
    return name;
}

// The layout's values, each with the field it comes from, checked before any is set.
class LayoutBuilder {
public:
    explicit LayoutBuilder(std::span<const FormFieldRect> fields) : fields_(fields) {}

    const FormFieldRect* field(const std::string& name) {
        for (const FormFieldRect& f : fields_)
            if (f.name == name)
                return &f;
        if (result_.error == FormLayoutError::None)
            result_ = {FormLayoutError::MissingField, name, {}};
        return nullptr;
    }

    void set(int slot, double points, const std::string& from) {
        values_.push_back({slot, points, from});
    }

    void setHeaderAlign(HeaderItem item, const FormFieldRect& f) {
        aligned_.setHeaderAlign(static_cast<int>(item), alignOf(f));
    }
    void setColumnAlign(int entry, const FormFieldRect& f) {
        aligned_.setColumnAlign(entry, alignOf(f));
    }

    void fail(FormLayoutError error, const std::string& name) {
        if (result_.error == FormLayoutError::None)
            result_ = {error, name, {}};
    }

    FormLayoutResult apply(CardLayout& layout) {
        std::vector<std::pair<int, std::string>> texts;
        for (const Value& v : values_) {
            const std::optional<std::string> text = inchText(v.points);
            if (!text)
                fail(FormLayoutError::OutOfRange, v.field);
            else
                texts.emplace_back(v.slot, *text);
        }
        if (result_.error != FormLayoutError::None)
            return result_;
        for (const auto& [slot, text] : texts)
            layout.setSlotText(slot, text);
        layout.headerAlign = aligned_.headerAlign;
        layout.columnAlign = aligned_.columnAlign;
        return result_;
    }

    bool failed() const { return result_.error != FormLayoutError::None; }

private:
    struct Value {
        int slot;
        double points;
        std::string field;
    };

    // "D.DD", rounded to the hundredth; none outside 0.00-9.99.
    static std::optional<std::string> inchText(double points) {
        const double hundredths = std::round(points / POINTS_PER_INCH * 100);
        if (!(hundredths >= 0 && hundredths <= 999))
            return std::nullopt;
        const int h = static_cast<int>(hundredths);
        const std::string cents = std::to_string(100 + h % 100);
        return std::to_string(h / 100) + "." + cents.substr(1);
    }

    std::span<const FormFieldRect> fields_;
    std::vector<Value> values_;
    CardLayout aligned_; // its alignments alone; any item the form has no text for is Left
    FormLayoutResult result_;
};

void setItem(LayoutBuilder& b, HeaderItem item, Spot spot, const std::string& field) {
    const int k = static_cast<int>(item);
    b.set(2 * k, spot.x, field);
    b.set(2 * k + 1, spot.y, field);
}

void headerFromFields(LayoutBuilder& b) {
    struct Item {
        const char* field;
        HeaderItem item;
        bool box;
    };
    static const Item ITEMS[] = {
        {"900_1_Text_SanSerif", HeaderItem::Name, false},
        {"900_2_Text_SanSerif", HeaderItem::BirthDate, false},
        {"900_3_CheckBox", HeaderItem::MaleMark, true},
        {"900_4_CheckBox", HeaderItem::FemaleMark, true},
        {"900_5_Text_SanSerif", HeaderItem::DateImmersed, false},
        {"900_6_CheckBox", HeaderItem::AnointedMark, true}, // other sheep
        {"900_7_CheckBox", HeaderItem::AnointedBox, true},
        {"900_8_CheckBox", HeaderItem::ElderMark, true},
        {"900_9_CheckBox", HeaderItem::ServantMark, true},
        {"900_10_CheckBox", HeaderItem::PioneerMark, true},
        {"900_11_CheckBox", HeaderItem::SpecialPioneerMark, true},
        {"900_13_Text_C_SanSerif", HeaderItem::ServiceYear, false},
    };
    for (const Item& i : ITEMS) {
        const FormFieldRect* f = b.field(i.field);
        if (!f)
            continue;
        setItem(b, i.item, i.box ? markSpot(*f) : textSpot(*f), i.field);
        if (!i.box)
            b.setHeaderAlign(i.item, *f);
    }
}

void tableFromFields(LayoutBuilder& b) {
    const std::string sharedName = rowField("901_%d_CheckBox", FIRST_ROW);
    const std::string studiesName = rowField("902_%d_Text_C_SanSerif", FIRST_ROW);
    const std::string auxiliaryName = rowField("903_%d_CheckBox", FIRST_ROW);
    const std::string hoursName = rowField("904_%d_S21_Value", FIRST_ROW);
    const std::string augustName = rowField("904_%d_S21_Value", LAST_ROW);
    const std::string remarksName = rowField("905_%d_Text_SanSerif", FIRST_ROW);
    const std::string totalName = rowField("904_%d_S21_Value", TOTAL_ROW);
    const FormFieldRect* shared = b.field(sharedName);
    const FormFieldRect* studies = b.field(studiesName);
    const FormFieldRect* auxiliary = b.field(auxiliaryName);
    const FormFieldRect* hours = b.field(hoursName);
    const FormFieldRect* august = b.field(augustName);
    const FormFieldRect* remarks = b.field(remarksName);
    const FormFieldRect* total = b.field(totalName);
    if (b.failed())
        return;

    // One top for the whole row: its text fields'; the boxes share their centre.
    const double top = textSpot(*hours).y;
    const double step = (textSpot(*august).y - top) / (LAST_ROW - FIRST_ROW);
    b.set(SLOT_TABLE_TOP, top, hoursName);
    b.set(SLOT_TABLE_HEIGHT, MONTH_ROW_COUNT * step, augustName);
    b.set(SLOT_COLUMN_X + 0, markSpot(*shared).x, sharedName);
    b.set(SLOT_COLUMN_X + MINISTRY_STUDIES_ENTRY, textSpot(*studies).x, studiesName);
    b.set(SLOT_COLUMN_X + 2, markSpot(*auxiliary).x, auxiliaryName);
    b.set(SLOT_COLUMN_X + MINISTRY_HOURS_ENTRY, textSpot(*hours).x, hoursName);
    // The drawn form's month column ends as far left of the shared box as the studies
    // field starts right of it; its card ends with the remarks field.
    const double sharedCentre = shared->x + shared->width / 2;
    b.set(SLOT_COLUMN_X + MINISTRY_MONTH_COLUMN_ENTRY, 2 * sharedCentre - studies->x, sharedName);
    b.set(SLOT_COLUMN_X + MINISTRY_CARD_WIDTH_ENTRY, remarks->x + remarks->width + TEXT_INSET,
          remarksName);
    b.set(SLOT_COLUMN_X + REMARKS_ENTRY, textSpot(*remarks).x, remarksName);
    b.setColumnAlign(MINISTRY_STUDIES_ENTRY, *studies);
    b.setColumnAlign(MINISTRY_HOURS_ENTRY, *hours);
    b.setColumnAlign(REMARKS_ENTRY, *remarks);

    // The total is drawn in the hours column, one row below August.
    const double totalX = textSpot(*hours).x;
    const double totalMiddle = top + MONTH_ROW_COUNT * step + CELL / 2;
    if (totalX < total->x || totalX >= total->x + total->width || totalMiddle < topOf(*total) ||
        totalMiddle > topOf(*total) + total->height)
        b.fail(FormLayoutError::TotalMisplaced, totalName);
}

} // namespace

FormLayoutResult layoutFromFormFields(std::span<const FormFieldRect> fields, CardLayout& layout) {
    LayoutBuilder builder(fields);
    headerFromFields(builder);
    tableFromFields(builder);
    return builder.apply(layout);
}

std::string formLayoutMessage(const FormLayoutResult& result, const std::string& file) {
    const int reason = FORM_LAYOUT_REASON_BASE + static_cast<int>(result.error) -
                       static_cast<int>(FormLayoutError::MissingField);
    const std::string why = result.error == FormLayoutError::Refused
                                ? formRefusalText(result.form)
                                : insertText(loadText(reason), result.field);
    return insertText(loadText(FORM_LAYOUT_FAILED), file) + "\n" + why + "\n" +
           loadText(FORM_LAYOUT_UNCHANGED);
}

} // namespace pelkorl
