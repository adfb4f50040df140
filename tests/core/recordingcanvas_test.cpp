#include "recordingcanvas.h"

#include <climits>
#include <gtest/gtest.h>

using namespace pelkorl;

namespace {

constexpr TextAlign LEFT_TOP{HorizontalAlign::Left, VerticalAlign::Top, false};
constexpr TextAlign RIGHT_TOP{HorizontalAlign::Right, VerticalAlign::Top, false};
constexpr TextAlign LEFT_BOTTOM{HorizontalAlign::Left, VerticalAlign::Bottom, false};
constexpr TextAlign RIGHT_BOTTOM{HorizontalAlign::Right, VerticalAlign::Bottom, false};
constexpr TextAlign LEFT_BOTTOM_CP{HorizontalAlign::Left, VerticalAlign::Bottom, true};
constexpr TextAlign RIGHT_TOP_CP{HorizontalAlign::Right, VerticalAlign::Top, true};

TEST(RecordingCanvasMetric, FixedMetricOfAHeight) {
    struct Row {
        int height, cell, ascent, charWidth;
    };
    const Row rows[] = {
        {-41, 41, 32, 20}, // 10 points at 300 dpi
        {41, 41, 32, 20},  // a cell height gives the same
        {-9, 9, 7, 4},     // the header preview's captions
        {0, DEFAULT_FONT_EM, DEFAULT_FONT_EM * 4 / 5, DEFAULT_FONT_EM / 2},
        {INT_MIN, MAX_FONT_HEIGHT, MAX_FONT_HEIGHT * 4 / 5, MAX_FONT_HEIGHT / 2},
        {INT_MAX, MAX_FONT_HEIGHT, MAX_FONT_HEIGHT * 4 / 5, MAX_FONT_HEIGHT / 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.height);
        EXPECT_EQ(RecordingCanvas::cellHeight(r.height), r.cell);
        EXPECT_EQ(RecordingCanvas::ascentOf(r.height), r.ascent);
        EXPECT_EQ(RecordingCanvas::charWidth(r.height), r.charWidth);
        RecordingCanvas canvas;
        canvas.selectFont(FontSpec{"Arial", r.height, WEIGHT_NORMAL, CHARSET_DEFAULT});
        EXPECT_EQ(canvas.fontMetrics().ascent, r.ascent);
        EXPECT_EQ(canvas.fontMetrics().height(), r.cell);
    }
}

TEST(RecordingCanvasMetric, WidthCountsCodePointsNotBytes) {
    EXPECT_EQ(RecordingCanvas::codePoints(""), 0);
    EXPECT_EQ(RecordingCanvas::codePoints("12,75"), 5);
    EXPECT_EQ(RecordingCanvas::codePoints("Krikšto data"), 12);
    EXPECT_EQ(RecordingCanvas::codePoints("Iš Viso"), 7);
    // A stray continuation byte is not a character of its own.
    EXPECT_EQ(RecordingCanvas::codePoints("a\x80"
                                          "b"),
              2);
    RecordingCanvas canvas;
    canvas.selectFont(FontSpec{"Arial", -20, WEIGHT_NORMAL, CHARSET_BALTIC});
    EXPECT_EQ(canvas.textWidth("Pažymėta"), 8 * 10);
}

TEST(RecordingCanvasMetric, PointFontsAndTheStockFont) {
    EXPECT_EQ(pointFont("Arial", 100, 300).height, -41);
    EXPECT_EQ(pointFont("Arial", 100, 600).height, -83);
    EXPECT_EQ(pointFont("Arial", 100, 96).height, -13);
    EXPECT_EQ(pointFont("Arial", 100, 300).charset, CHARSET_DEFAULT);
    EXPECT_EQ(pointFont("Arial", 100, 300, CHARSET_BALTIC).charset, CHARSET_BALTIC);
    EXPECT_EQ(pointFont("Arial", INT_MAX, 600).height, -MAX_FONT_HEIGHT);
    EXPECT_EQ(stockVariableFont().height, 13);
    EXPECT_EQ(stockVariableFont().weight, WEIGHT_NORMAL);
}

TEST(RecordingCanvas, StartsLikeAFreshDeviceContext) {
    RecordingCanvas canvas(600, 300);
    EXPECT_EQ(canvas.dpiX(), 600);
    EXPECT_EQ(canvas.dpiY(), 300);
    EXPECT_EQ(canvas.font(), stockVariableFont());
    EXPECT_EQ(canvas.textAlign(), LEFT_TOP);
    EXPECT_EQ(canvas.textColor(), BLACK);
    EXPECT_FALSE(canvas.backgroundTransparent());
    EXPECT_EQ(canvas.backgroundColor(), WHITE);
    EXPECT_EQ(canvas.currentPosition(), (Point{0, 0}));
    EXPECT_TRUE(canvas.calls().empty());
}

struct AlignCase {
    const char* name;
    TextAlign align;
    int x, y;
    const char* text;
    int fontHeight;
    Rect box;
    int baseline;
};

class RecordingCanvasAlign : public ::testing::TestWithParam<AlignCase> {};

TEST_P(RecordingCanvasAlign, ResolvesTheBoxOfTheText) {
    const AlignCase& c = GetParam();
    RecordingCanvas canvas;
    canvas.selectFont(FontSpec{"Arial", c.fontHeight, WEIGHT_NORMAL, CHARSET_DEFAULT});
    canvas.setTextAlign(c.align);
    canvas.moveTo(7, 9);
    canvas.textOut(c.x, c.y, c.text);
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, c.text);
    EXPECT_EQ(texts[0].at, (Point{c.x, c.y}));
    EXPECT_EQ(texts[0].align, c.align);
    EXPECT_EQ(texts[0].box, c.box);
    EXPECT_EQ(texts[0].baseline, c.baseline);
    EXPECT_FALSE(texts[0].clip.has_value());
    // Without the update flag the current position is left alone.
    EXPECT_EQ(canvas.currentPosition(), (Point{7, 9}));
}

// Cell 41: ascent 32, descent 9, 20 units a character.
INSTANTIATE_TEST_SUITE_P(
    Alignments, RecordingCanvasAlign,
    ::testing::Values(
        AlignCase{"LeftTop", LEFT_TOP, 240, 66, "Jonas", -41, {240, 66, 340, 107}, 98},
        AlignCase{"RightTop", RIGHT_TOP, 360, 396, "12,75", -41, {260, 396, 360, 437}, 428},
        AlignCase{"RightTopOneDigit", RIGHT_TOP, 750, 445, "7", -41, {730, 445, 750, 486}, 477},
        AlignCase{"LeftBottom", LEFT_BOTTOM, 100, 200, "Vardas", -9, {100, 191, 124, 200}, 198},
        AlignCase{"RightBottom", RIGHT_BOTTOM, 500, 300, "120", 30, {455, 270, 500, 300}, 294},
        AlignCase{"Utf8", LEFT_TOP, 0, 0, "Iš Viso", -20, {0, 0, 70, 20}, 16},
        AlignCase{"NegativeCoordinates", RIGHT_BOTTOM, -5, -5, "ab", -10, {-15, -15, -5, -5}, -7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordingCanvas, UpdatePositionChainsCaptionsAndLines) {
    // A caption written at the current point, then a line from its end along the row.
    RecordingCanvas canvas;
    canvas.selectFont(FontSpec{"Arial", -9, WEIGHT_NORMAL, CHARSET_BALTIC});
    canvas.setTextAlign(LEFT_BOTTOM_CP);
    canvas.moveTo(10, 50);
    canvas.textOut(999, 999, "Vardas "); // the point is ignored
    EXPECT_EQ(canvas.currentPosition(), (Point{10 + 7 * 4, 50}));
    canvas.moveTo(canvas.currentPosition().x, 40);
    canvas.lineTo(300, 40);
    canvas.textOut(0, 0, "ab");
    EXPECT_EQ(canvas.currentPosition(), (Point{308, 40}));

    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].box, (Rect{10, 41, 38, 50}));
    EXPECT_EQ(texts[1].box, (Rect{300, 31, 308, 40}));
    const auto lines = canvas.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, (Point{38, 40}));
    EXPECT_EQ(lines[0].to, (Point{300, 40}));
    EXPECT_EQ(lines[0].pen, BLACK);
    // Calls keep their order.
    ASSERT_EQ(canvas.calls().size(), 3u);
    EXPECT_TRUE(std::holds_alternative<TextCall>(canvas.calls()[0]));
    EXPECT_TRUE(std::holds_alternative<LineCall>(canvas.calls()[1]));
    EXPECT_TRUE(std::holds_alternative<TextCall>(canvas.calls()[2]));
}

TEST(RecordingCanvas, RightAlignedUpdateEndsAtThePositionAndMovesLeft) {
    RecordingCanvas canvas;
    canvas.selectFont(FontSpec{"Arial", -10, WEIGHT_NORMAL, CHARSET_DEFAULT});
    canvas.setTextAlign(RIGHT_TOP_CP);
    canvas.moveTo(200, 30);
    canvas.textOut(0, 0, "abc");
    EXPECT_EQ(canvas.currentPosition(), (Point{185, 30}));
    canvas.textOut(0, 0, "d");
    EXPECT_EQ(canvas.currentPosition(), (Point{180, 30}));
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].box, (Rect{185, 30, 200, 40}));
    EXPECT_EQ(texts[1].box, (Rect{180, 30, 185, 40}));
}

TEST(RecordingCanvas, EmptyTextDrawsNothingAndKeepsThePosition) {
    RecordingCanvas canvas;
    canvas.setTextAlign(LEFT_BOTTOM_CP);
    canvas.moveTo(5, 6);
    canvas.textOut(1, 2, "");
    canvas.textOutClipped(1, 2, Rect{0, 0, 10, 10}, "");
    EXPECT_TRUE(canvas.calls().empty());
    EXPECT_EQ(canvas.currentPosition(), (Point{5, 6}));
}

TEST(RecordingCanvas, KeepsTheStateOfEachText) {
    RecordingCanvas canvas;
    const FontSpec table{"Arial", -42, WEIGHT_NORMAL, CHARSET_BALTIC};
    canvas.selectFont(table);
    canvas.setBackgroundTransparent(true);
    canvas.setTextColor(GREY);
    canvas.textOut(1, 1, "Sau");
    canvas.setTextColor(BLACK);
    canvas.setBackgroundTransparent(false);
    canvas.setBackgroundColor(rgb(1, 2, 3));
    canvas.textOutClipped(10, 20, Rect{10, 20, 30, 40}, "Pag.pionierius");
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].font, table);
    EXPECT_EQ(texts[0].color, GREY);
    EXPECT_TRUE(texts[0].transparent);
    EXPECT_EQ(texts[1].color, BLACK);
    EXPECT_FALSE(texts[1].transparent);
    EXPECT_EQ(texts[1].background, 0x010203u);
    ASSERT_TRUE(texts[1].clip.has_value());
    EXPECT_EQ(*texts[1].clip, (Rect{10, 20, 30, 40}));
    // The box is the whole text; the clip says what shows of it.
    EXPECT_EQ(texts[1].box, (Rect{10, 20, 10 + 14 * 21, 62}));
}

TEST(RecordingCanvas, LinesRectanglesAndFills) {
    RecordingCanvas canvas;
    canvas.moveTo(0, 10);
    canvas.setPen(std::nullopt);
    canvas.lineTo(50, 10); // invisible, but the position moves
    canvas.setPen(GREY);
    canvas.lineTo(50, 60);
    EXPECT_EQ(canvas.currentPosition(), (Point{50, 60}));
    canvas.setBrush(WHITE);
    canvas.setPen(BLACK);
    canvas.rectangle(Rect{0, 0, 100, 80});
    canvas.setBrush(std::nullopt);
    canvas.rectangle(Rect{1, 2, 3, 4});
    canvas.fillRect(Rect{5, 6, 7, 8}, GREY);

    const auto lines = canvas.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FALSE(lines[0].pen.has_value());
    EXPECT_EQ(lines[1].from, (Point{50, 10}));
    EXPECT_EQ(lines[1].pen, GREY);
    const auto rects = canvas.rectangles();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].rect, (Rect{0, 0, 100, 80}));
    EXPECT_EQ(rects[0].brush, WHITE);
    EXPECT_FALSE(rects[1].brush.has_value());
    const auto fills = canvas.fills();
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, (Rect{5, 6, 7, 8}));
    EXPECT_EQ(fills[0].color, GREY);
    canvas.clear();
    EXPECT_TRUE(canvas.calls().empty());
}

TEST(RecordingCanvas, HugeTextsAndCoordinatesStayInRange) {
    RecordingCanvas canvas;
    canvas.selectFont(FontSpec{"Arial", INT_MIN, WEIGHT_NORMAL, CHARSET_DEFAULT});
    canvas.setTextAlign(RIGHT_BOTTOM);
    const std::string longText(300000, 'x');
    canvas.textOut(INT_MIN, INT_MIN, longText);
    canvas.setTextAlign(LEFT_TOP);
    canvas.textOut(INT_MAX, INT_MAX, longText);
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].box.left, INT_MIN);
    EXPECT_EQ(texts[0].box.right, INT_MIN);
    EXPECT_EQ(texts[1].box.right, INT_MAX);
    EXPECT_EQ(texts[1].box.bottom, INT_MAX);
    const Rect wide{INT_MIN, 0, INT_MAX, 1};
    EXPECT_EQ(wide.width(), INT_MAX);
}

} // namespace
