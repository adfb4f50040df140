#pragma once
// A Canvas that draws nothing and keeps every drawing call, for tests of the renderers.
//
// Its font metric is fixed so that positions can be worked out by hand:
//   cell  c = |height| of the selected font (0 means DEFAULT_FONT_EM, clamped to
//             MAX_FONT_HEIGHT); the cell equals the em, so both signs of height give c;
//   ascent  = c * 4 / 5 (remainder dropped), descent = c - ascent;
//   every character (UTF-8 code point) is c / 2 wide (remainder dropped).
// A text's box is its advance times its cell: top-left (left, top), right = left + width,
// bottom = top + c. Left/top puts the box's top-left at (x, y); right makes right == x;
// bottom makes bottom == y.
#include "render/canvas.h"

#include <variant>
#include <vector>

namespace pelkorl {

struct TextCall {
    std::string text;
    Point at; // the point handed to textOut (ignored when the current position is used)
    TextAlign align;
    Rect box;         // the text's cells, resolved from the alignment
    int baseline = 0; // box.top + ascent
    FontSpec font;
    Color color = BLACK;
    bool transparent = false;
    Color background = WHITE;
    std::optional<Rect> clip;
};

struct LineCall {
    Point from;
    Point to;
    std::optional<Color> pen; // nullopt: no pen selected, nothing visible
};

struct RectangleCall {
    Rect rect;
    std::optional<Color> pen;
    std::optional<Color> brush;
};

struct FillCall {
    Rect rect;
    Color color = BLACK;
};

using CanvasCall = std::variant<TextCall, LineCall, RectangleCall, FillCall>;

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(int dpiX = 300, int dpiY = 300);

    // The fixed metric of a font height (see above).
    static int cellHeight(int fontHeight);
    static int ascentOf(int fontHeight);
    static int charWidth(int fontHeight);
    static int codePoints(std::string_view utf8);

    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }

    void selectFont(const FontSpec& font) override { font_ = font; }
    FontSpec font() const override { return font_; }
    FontMetrics fontMetrics() const override;
    double textWidth(std::string_view text) const override;

    void setTextAlign(TextAlign align) override { align_ = align; }
    TextAlign textAlign() const override { return align_; }
    void setTextColor(Color color) override { textColor_ = color; }
    Color textColor() const override { return textColor_; }
    void setBackgroundTransparent(bool transparent) override { transparent_ = transparent; }
    bool backgroundTransparent() const override { return transparent_; }
    void setBackgroundColor(Color color) override { background_ = color; }
    Color backgroundColor() const override { return background_; }

    void textOut(int x, int y, std::string_view text) override;
    void textOutClipped(int x, int y, const Rect& clip, std::string_view text) override;

    void moveTo(int x, int y) override { position_ = {x, y}; }
    void lineTo(int x, int y) override;
    Point currentPosition() const override { return position_; }

    void setPen(std::optional<Color> pen) override { pen_ = pen; }
    void setBrush(std::optional<Color> brush) override { brush_ = brush; }
    void rectangle(const Rect& r) override;
    void fillRect(const Rect& r, Color color) override;

    // Every drawing call in order, and the calls of one kind in order.
    const std::vector<CanvasCall>& calls() const { return calls_; }
    std::vector<TextCall> texts() const;
    std::vector<LineCall> lines() const;
    std::vector<RectangleCall> rectangles() const;
    std::vector<FillCall> fills() const;
    void clear() { calls_.clear(); }

private:
    void addText(int x, int y, std::optional<Rect> clip, std::string_view text);

    int dpiX_;
    int dpiY_;
    FontSpec font_ = stockVariableFont();
    TextAlign align_;
    Color textColor_ = BLACK;
    bool transparent_ = false;
    Color background_ = WHITE;
    Point position_;
    std::optional<Color> pen_ = BLACK;
    std::optional<Color> brush_ = WHITE;
    std::vector<CanvasCall> calls_;
};

} // namespace pelkorl
