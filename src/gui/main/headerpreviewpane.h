#pragma once
// The header preview over its owner-drawn surface (control 1006). The pane measures the
// surface once, at its first paint, paints the schematic through a QtCanvas and reports to
// the dialog which of its name and sex boxes to show.
#include "render/canvas.h"
#include "render/headerpreview.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QPainter;
class QRect;
class QWidget;

namespace pelkorl {

class OwnerDrawSurface;
struct CardState;

class HeaderPreviewPane : public QObject {
    Q_OBJECT
public:
    using EffectsHandler = std::function<void(const HeaderPaneEffects&)>;

    // Paints `surface` from `*state` from now on; the pane is owned by the surface.
    // `onEffects` runs after every paint that found data.
    HeaderPreviewPane(OwnerDrawSurface* surface, CardState* state, EffectsHandler onEffects = {});

    // One paint on a painter over the surface (its paint handler calls this).
    void paint(QPainter& painter, const QRect& updateRect);
    // Everything a paint decides (name, mobile number, boxes) for the state as it is now,
    // drawing nothing: a print right after a selection change must not wait for the
    // repaint, or it would take the previous publisher's name.
    void refreshChoice();

    // The surface's size is taken at the first paint; it never changes afterwards.
    bool measured() const { return measured_; }
    const Rect& paneRect() const { return paneRect_; }

    const HeaderPaneEffects& lastEffects() const { return effects_; }

private:
    QPointer<OwnerDrawSurface> surface_;
    CardState* state_;
    EffectsHandler onEffects_;
    HeaderPaneEffects effects_;
    bool measured_ = false;
    Rect paneRect_;
};

// Shows or hides the three boxes as a paint asked; a null box is skipped, and a box already
// as asked is left alone so that a repaint does not start another one.
void applyHeaderPaneEffects(const HeaderPaneEffects& effects, QWidget* lastNameFirstBox,
                            QWidget* longNameBox, QWidget* sexMarkBox);

} // namespace pelkorl
