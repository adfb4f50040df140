#include "main/tablepreviewpane.h"

#include "render/tablepreview.h"
#include "toolkit/dialogbuilder.h"
#include "toolkit/qtcanvas.h"

#include <QPainter>
#include <QRect>

namespace pelkorl {

TablePreviewPane::TablePreviewPane(OwnerDrawSurface* surface, CardState* state)
    : QObject(surface), surface_(surface), state_(state) {
    // The surface may outlive the pane; a handler of a deleted pane paints nothing.
    if (surface_)
        surface_->setPaintHandler(
            [pane = QPointer<TablePreviewPane>(this)](QPainter& painter, const QRect& updateRect) {
                if (pane)
                    pane->paint(painter, updateRect);
            });
}

void TablePreviewPane::paint(QPainter& painter, const QRect& updateRect) {
    if (updateRect.isEmpty() || !surface_ || !state_)
        return;
    if (!measured_) {
        rect_ = Rect{0, 0, surface_->width(), surface_->height()};
        measured_ = true;
    }
    QtCanvas canvas(painter);
    drawTablePreview(canvas, rect_, *state_);
}

} // namespace pelkorl
