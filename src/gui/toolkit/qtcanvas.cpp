#include "toolkit/qtcanvas.h"
#include "toolkit/appfonts.h"
#include "toolkit/qtstrings.h"

#include <QFontDatabase>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pelkorl {

namespace {

QColor toQColor(Color color) {
    return QColor(static_cast<QRgb>(color));
}

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}

// Where Arial is missing, take its metric-compatible twin rather than whatever sans
// serif fontconfig prefers, so positions and widths stay those of the card.
void ensureArialStandIn() {
    static const bool done = [] {
        useShippedFonts();
        if (!QFontDatabase::hasFamily(QStringLiteral("Arial")) &&
            QFont::substitutes(QStringLiteral("Arial")).isEmpty())
            QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"),
                                                                 QStringLiteral("Arimo")});
        return true;
    }();
    (void)done;
}

QFont baseFont(const FontSpec& wanted) {
    QFont f(wanted.face.empty() ? QStringLiteral("Arial") : textFromUtf8(wanted.face));
    f.setStyleHint(QFont::SansSerif);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    int weight = wanted.weight == 0 ? WEIGHT_NORMAL : wanted.weight;
    weight = std::clamp(weight, 1, 1000);
    f.setWeight(static_cast<QFont::Weight>(weight));
    return f;
}

} // namespace

QFont QtCanvas::toQFont(const FontSpec& wanted, const QPaintDevice* device) {
    ensureArialStandIn();
    QFont f = baseFont(wanted);
    const int magnitude = static_cast<int>(
        std::min<long long>(std::llabs(static_cast<long long>(wanted.height)), MAX_FONT_HEIGHT));
    int em = DEFAULT_FONT_EM;
    if (wanted.height < 0) {
        em = magnitude;
    } else if (wanted.height > 0) {
        // A cell height: scale the em so that ascent + descent come to it.
        constexpr int PROBE_EM = 2048;
        QFont probe = f;
        probe.setPixelSize(PROBE_EM);
        const QFontMetricsF m(probe, device);
        const double cell = m.ascent() + m.descent();
        em = cell > 0 ? static_cast<int>(std::lround(magnitude * PROBE_EM / cell)) : magnitude;
    }
    f.setPixelSize(std::max(em, 1));
    return f;
}

QtCanvas::QtCanvas(QPainter& painter)
    : painter_(painter), active_(painter.isActive() && painter.device()),
      dpiX_(active_ ? painter.device()->logicalDpiX() : FALLBACK_DPI),
      dpiY_(active_ ? painter.device()->logicalDpiY() : FALLBACK_DPI), font_(stockVariableFont()),
      qfont_(toQFont(font_, device())), metrics_(qfont_, device()) {
    if (!active_)
        return;
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QtCanvas::~QtCanvas() {
    if (active_)
        painter_.restore();
}

const QPaintDevice* QtCanvas::device() const {
    return active_ ? painter_.device() : nullptr;
}

void QtCanvas::selectFont(const FontSpec& font) {
    font_ = font;
    qfont_ = toQFont(font, device());
    metrics_ = QFontMetricsF(qfont_, device());
}

FontMetrics QtCanvas::fontMetrics() const {
    return FontMetrics{metrics_.ascent(), metrics_.descent()};
}

double QtCanvas::textWidth(std::string_view text) const {
    return metrics_.horizontalAdvance(textFromUtf8(text));
}

void QtCanvas::drawText(int x, int y, const Rect* clip, std::string_view text) {
    if (text.empty())
        return;
    const QString s = textFromUtf8(text);
    const double width = metrics_.horizontalAdvance(s);
    const FontMetrics metrics = fontMetrics();
    const TextPlacement placed = placeText(x, y, align_, position_, width, metrics);
    position_ = placed.position;
    if (!active_)
        return;

    painter_.save();
    if (clip)
        painter_.setClipRect(toQRect(*clip), Qt::IntersectClip);
    if (!transparent_)
        painter_.fillRect(QRectF(placed.left, placed.top, width, metrics.height()),
                          toQColor(background_));
    painter_.setFont(qfont_);
    painter_.setPen(toQColor(textColor_));
    painter_.drawText(QPointF(placed.left, placed.baseline), s);
    painter_.restore();
}

void QtCanvas::textOut(int x, int y, std::string_view text) {
    drawText(x, y, nullptr, text);
}

void QtCanvas::textOutClipped(int x, int y, const Rect& clip, std::string_view text) {
    drawText(x, y, &clip, text);
}

void QtCanvas::lineTo(int x, int y) {
    const Point from = position_;
    position_ = {x, y};
    if (!active_ || !pen_ || from == position_)
        return;
    const QColor color = toQColor(*pen_);
    // Straight lines as exact pixel runs; the end point itself stays blank.
    if (from.y == y) {
        const int left = from.x < x ? from.x : x + 1;
        const int right = from.x < x ? x : from.x + 1;
        painter_.fillRect(QRect(left, y, right - left, 1), color);
    } else if (from.x == x) {
        const int top = from.y < y ? from.y : y + 1;
        const int bottom = from.y < y ? y : from.y + 1;
        painter_.fillRect(QRect(x, top, 1, bottom - top), color);
    } else {
        painter_.save();
        QPen pen(color, 1);
        pen.setCapStyle(Qt::FlatCap);
        painter_.setPen(pen);
        painter_.drawLine(QPointF(from.x + 0.5, from.y + 0.5), QPointF(x + 0.5, y + 0.5));
        painter_.restore();
    }
}

void QtCanvas::rectangle(const Rect& given) {
    Rect r{std::min(given.left, given.right), std::min(given.top, given.bottom),
           std::max(given.left, given.right), std::max(given.top, given.bottom)};
    if (!active_ || r.isEmpty())
        return;
    if (pen_) {
        const QColor color = toQColor(*pen_);
        painter_.fillRect(QRect(r.left, r.top, r.width(), 1), color);
        painter_.fillRect(QRect(r.left, r.bottom - 1, r.width(), 1), color);
        painter_.fillRect(QRect(r.left, r.top, 1, r.height()), color);
        painter_.fillRect(QRect(r.right - 1, r.top, 1, r.height()), color);
        r = Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (brush_ && !r.isEmpty())
        painter_.fillRect(toQRect(r), toQColor(*brush_));
}

void QtCanvas::fillRect(const Rect& r, Color color) {
    if (active_ && !r.isEmpty())
        painter_.fillRect(toQRect(r), toQColor(color));
}

} // namespace pelkorl
