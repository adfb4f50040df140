#pragma once
// The Canvas on a QPainter: printer, PDF writer, image or widget alike.
//
// Device units are the paint device's pixels (on a QPrinter: its resolution, origin at the
// top-left of the printable area unless the printer is in full-page mode). Texts are laid
// out with the font's design metrics (no hinting, no kerning), so the advance used for
// alignment is the advance drawn and the same on screen and paper.
#include "render/canvas.h"

#include <QFont>
#include <QFontMetricsF>

class QPainter;
class QPaintDevice;

namespace pelkorl {

class QtCanvas : public Canvas {
public:
    // Resolution of a painter that could not start (e.g. a printer that failed to open).
    static constexpr int FALLBACK_DPI = 96;

    // The painter's state is saved here and restored when the canvas goes. On a painter that
    // is not active the canvas keeps its state and positions but draws nothing.
    explicit QtCanvas(QPainter& painter);
    ~QtCanvas() override;

    // The QFont a FontSpec becomes on `device`.
    static QFont toQFont(const FontSpec& wanted, const QPaintDevice* device);
    // The font as realised now, e.g. to see which face stands in for the one asked for.
    const QFont& qfont() const { return qfont_; }

    int dpiX() const override { return dpiX_; }
    int dpiY() const override { return dpiY_; }

    void selectFont(const FontSpec& font) override;
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

private:
    void drawText(int x, int y, const Rect* clip, std::string_view text);
    const QPaintDevice* device() const;

    QPainter& painter_;
    bool active_;
    int dpiX_;
    int dpiY_;
    FontSpec font_;
    QFont qfont_;
    QFontMetricsF metrics_;
    TextAlign align_;
    Color textColor_ = BLACK;
    bool transparent_ = false;
    Color background_ = WHITE;
    Point position_;
    std::optional<Color> pen_ = BLACK;
    std::optional<Color> brush_ = WHITE;
};

} // namespace pelkorl
