#pragma once
// The service table preview over its owner-drawn surface (control 129). The pane keeps the
// surface's client rectangle from its first paint and paints the miniature through a
// QtCanvas from the dialog's state.
#include "render/canvas.h"

#include <QObject>
#include <QPointer>

class QPainter;
class QRect;

namespace pelkorl {

class OwnerDrawSurface;
struct CardState;

class TablePreviewPane : public QObject {
    Q_OBJECT
public:
    // Paints `surface` from `*state` from now on; the pane is owned by the surface.
    TablePreviewPane(OwnerDrawSurface* surface, CardState* state);

    void paint(QPainter& painter, const QRect& updateRect);

    bool measured() const { return measured_; }
    const Rect& cachedRect() const { return rect_; }

private:
    QPointer<OwnerDrawSurface> surface_;
    CardState* state_;
    bool measured_ = false;
    Rect rect_;
};

} // namespace pelkorl
