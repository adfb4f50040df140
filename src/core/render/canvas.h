#pragma once
// The drawing surface shared by the renderers, the preview panes, the printer and the tests.
//
// Coordinates are device units with the origin at the top-left corner (on a printer: of the
// printable area) and y growing downwards. A surface starts in the state of a fresh device
// context: black text on an opaque white background, left/top alignment without the current
// position, a black pen, a white brush, the stock variable-pitch font, current position (0, 0).
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pelkorl {

// 0xRRGGBB.
using Color = std::uint32_t;

constexpr Color rgb(unsigned red, unsigned green, unsigned blue) {
    return ((red & 0xFFu) << 16) | ((green & 0xFFu) << 8) | (blue & 0xFFu);
}

inline constexpr Color BLACK = 0x000000;
inline constexpr Color WHITE = 0xFFFFFF;
inline constexpr Color GREY = 0x808080;

inline constexpr int CHARSET_DEFAULT = 1;
inline constexpr int CHARSET_BALTIC = 186;
inline constexpr int WEIGHT_NORMAL = 400;
inline constexpr int WEIGHT_BOLD = 700;

// Em height used when a font asks for height 0.
inline constexpr int DEFAULT_FONT_EM = 12;
// Font heights beyond this (either sign) are clamped to it.
inline constexpr int MAX_FONT_HEIGHT = 16384;

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Half-open: covers x in [left, right) and y in [top, bottom).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return span(left, right); }
    int height() const { return span(top, bottom); }
    bool isEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;

private:
    static int span(int from, int to) {
        return static_cast<int>(std::clamp(static_cast<long long>(to) - from,
                                           static_cast<long long>(INT_MIN),
                                           static_cast<long long>(INT_MAX)));
    }
};

struct FontSpec {
    std::string face = "Arial";
    // Negative: character (em) height, -height units. Positive: cell height (ascent + descent).
    // Zero: DEFAULT_FONT_EM.
    int height = 0;
    int weight = WEIGHT_NORMAL; // 0 means WEIGHT_NORMAL
    // Kept for callers and tests; texts reach the canvas as UTF-8, so drawing ignores it.
    int charset = CHARSET_DEFAULT;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// A font of a size in tenths of a point on a device of dpiY units per inch:
// height -(dpiY * tenths / 720), remainder dropped.
inline FontSpec pointFont(std::string face, int tenthsOfPoint, int dpiY,
                          int charset = CHARSET_DEFAULT) {
    const long long units = static_cast<long long>(dpiY) * tenthsOfPoint / 720;
    const long long clamped = units > MAX_FONT_HEIGHT    ? MAX_FONT_HEIGHT
                              : units < -MAX_FONT_HEIGHT ? -MAX_FONT_HEIGHT
                                                         : units;
    return FontSpec{std::move(face), static_cast<int>(-clamped), WEIGHT_NORMAL, charset};
}

// Stand-in for the system's stock variable-pitch font: sans serif, 13 units cell height.
inline FontSpec stockVariableFont() {
    return FontSpec{"Arial", 13, WEIGHT_NORMAL, CHARSET_DEFAULT};
}

enum class HorizontalAlign { Left, Right };
enum class VerticalAlign {
    Top,   // top of the character cell at y
    Bottom // bottom of the character cell (baseline + descent) at y
};

struct TextAlign {
    HorizontalAlign horizontal = HorizontalAlign::Left;
    VerticalAlign vertical = VerticalAlign::Top;
    // Text starts (left) or ends (right) at the current position instead of the point given,
    // and the current position moves to the other end of the text. Its y stays.
    bool updatePosition = false;
    friend bool operator==(const TextAlign&, const TextAlign&) = default;
};

struct FontMetrics {
    double ascent = 0;  // baseline below the top of the cell
    double descent = 0; // bottom of the cell below the baseline
    double height() const { return ascent + descent; }
};

// Where a text lands: left end of its advance, top of its cell and baseline, and the
// current position after it. Both surfaces place text through this.
struct TextPlacement {
    double left = 0;
    double top = 0;
    double baseline = 0;
    Point position; // current position after the text
};

inline int clampToInt(double value) {
    return static_cast<int>(
        std::clamp(value, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

inline TextPlacement placeText(int x, int y, TextAlign align, Point position, double width,
                               const FontMetrics& metrics) {
    TextPlacement p;
    p.position = position;
    if (align.updatePosition) {
        x = position.x;
        y = position.y;
    }
    const double wholeWidth = std::round(width);
    if (align.horizontal == HorizontalAlign::Left) {
        p.left = x;
        if (align.updatePosition)
            p.position.x = clampToInt(x + wholeWidth);
    } else {
        p.left = x - width;
        if (align.updatePosition)
            p.position.x = clampToInt(x - wholeWidth);
    }
    p.top = align.vertical == VerticalAlign::Top ? y : y - metrics.height();
    p.baseline = p.top + metrics.ascent;
    return p;
}

class Canvas {
public:
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    virtual ~Canvas() = default;

    // Device units per inch.
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;

    // The font stays selected until the next selectFont.
    virtual void selectFont(const FontSpec& font) = 0;
    virtual FontSpec font() const = 0;
    virtual FontMetrics fontMetrics() const = 0;
    // Advance width of a UTF-8 text in the selected font.
    virtual double textWidth(std::string_view text) const = 0;

    virtual void setTextAlign(TextAlign align) = 0;
    virtual TextAlign textAlign() const = 0;
    virtual void setTextColor(Color color) = 0;
    virtual Color textColor() const = 0;
    // Opaque text fills its cells with the background colour first.
    virtual void setBackgroundTransparent(bool transparent) = 0;
    virtual bool backgroundTransparent() const = 0;
    virtual void setBackgroundColor(Color color) = 0;
    virtual Color backgroundColor() const = 0;

    // UTF-8 text at (x, y) read through the alignment; an empty text draws nothing.
    virtual void textOut(int x, int y, std::string_view text) = 0;
    // Same, but nothing is drawn outside `clip`.
    virtual void textOutClipped(int x, int y, const Rect& clip, std::string_view text) = 0;

    virtual void moveTo(int x, int y) = 0;
    // A one-unit line from the current position up to, not including, (x, y), which then
    // becomes the current position. Without a pen only the position moves.
    virtual void lineTo(int x, int y) = 0;
    virtual Point currentPosition() const = 0;

    // nullopt: no pen (outlines and lines are not drawn) / no brush (interiors stay).
    virtual void setPen(std::optional<Color> pen) = 0;
    virtual void setBrush(std::optional<Color> brush) = 0;
    // Outline one unit wide along the inside of `r` with the pen, interior with the brush.
    virtual void rectangle(const Rect& r) = 0;
    virtual void fillRect(const Rect& r, Color color) = 0;
};

} // namespace pelkorl
