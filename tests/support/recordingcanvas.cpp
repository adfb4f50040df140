#include "recordingcanvas.h"

#include <cstdlib>

namespace pelkorl {

namespace {

template <typename T> std::vector<T> callsOf(const std::vector<CanvasCall>& calls) {
    std::vector<T> out;
    for (const CanvasCall& call : calls) {
        if (const T* c = std::get_if<T>(&call))
            out.push_back(*c);
    }
    return out;
}

} // namespace

RecordingCanvas::RecordingCanvas(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

int RecordingCanvas::cellHeight(int fontHeight) {
    if (fontHeight == 0)
        return DEFAULT_FONT_EM;
    // Widen first: -INT_MIN does not fit an int.
    const long long magnitude = std::llabs(static_cast<long long>(fontHeight));
    return static_cast<int>(magnitude > MAX_FONT_HEIGHT ? MAX_FONT_HEIGHT : magnitude);
}

int RecordingCanvas::ascentOf(int fontHeight) {
    return cellHeight(fontHeight) * 4 / 5;
}

int RecordingCanvas::charWidth(int fontHeight) {
    return cellHeight(fontHeight) / 2;
}

int RecordingCanvas::codePoints(std::string_view utf8) {
    int count = 0;
    for (unsigned char c : utf8) {
        // Continuation bytes belong to the character before them.
        if ((c & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

FontMetrics RecordingCanvas::fontMetrics() const {
    const int ascent = ascentOf(font_.height);
    return FontMetrics{static_cast<double>(ascent),
                       static_cast<double>(cellHeight(font_.height) - ascent)};
}

double RecordingCanvas::textWidth(std::string_view text) const {
    return static_cast<double>(codePoints(text)) * charWidth(font_.height);
}

void RecordingCanvas::addText(int x, int y, std::optional<Rect> clip, std::string_view text) {
    if (text.empty())
        return;
    const FontMetrics metrics = fontMetrics();
    const double width = textWidth(text);
    const TextPlacement placed = placeText(x, y, align_, position_, width, metrics);
    position_ = placed.position;

    TextCall call;
    call.text = std::string(text);
    call.at = {x, y};
    call.align = align_;
    call.box.left = clampToInt(placed.left);
    call.box.top = clampToInt(placed.top);
    call.box.right = clampToInt(placed.left + width);
    call.box.bottom = clampToInt(placed.top + metrics.height());
    call.baseline = clampToInt(placed.baseline);
    call.font = font_;
    call.color = textColor_;
    call.transparent = transparent_;
    call.background = background_;
    call.clip = clip;
    calls_.emplace_back(std::move(call));
}

void RecordingCanvas::textOut(int x, int y, std::string_view text) {
    addText(x, y, std::nullopt, text);
}

void RecordingCanvas::textOutClipped(int x, int y, const Rect& clip, std::string_view text) {
    addText(x, y, clip, text);
}

void RecordingCanvas::lineTo(int x, int y) {
    calls_.emplace_back(LineCall{position_, {x, y}, pen_});
    position_ = {x, y};
}

void RecordingCanvas::rectangle(const Rect& r) {
    calls_.emplace_back(RectangleCall{r, pen_, brush_});
}

void RecordingCanvas::fillRect(const Rect& r, Color color) {
    calls_.emplace_back(FillCall{r, color});
}

std::vector<TextCall> RecordingCanvas::texts() const {
    return callsOf<TextCall>(calls_);
}

std::vector<LineCall> RecordingCanvas::lines() const {
    return callsOf<LineCall>(calls_);
}

std::vector<RectangleCall> RecordingCanvas::rectangles() const {
    return callsOf<RectangleCall>(calls_);
}

std::vector<FillCall> RecordingCanvas::fills() const {
    return callsOf<FillCall>(calls_);
}

} // namespace pelkorl
