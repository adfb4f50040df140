#include "main/headerpreviewpane.h"

#include "toolkit/dialogbuilder.h"
#include "toolkit/qtcanvas.h"

#include <QPainter>
#include <QRect>
#include <QWidget>

namespace pelkorl {

HeaderPreviewPane::HeaderPreviewPane(OwnerDrawSurface* surface, CardState* state,
                                     EffectsHandler onEffects)
    : QObject(surface), surface_(surface), state_(state), onEffects_(std::move(onEffects)) {
    // The surface may outlive the pane; a handler of a deleted pane paints nothing.
    if (surface_)
        surface_->setPaintHandler(
            [pane = QPointer<HeaderPreviewPane>(this)](QPainter& painter, const QRect& updateRect) {
                if (pane)
                    pane->paint(painter, updateRect);
            });
}

void HeaderPreviewPane::paint(QPainter& painter, const QRect& updateRect) {
    if (updateRect.isEmpty() || !surface_ || !state_)
        return;
    if (!measured_) {
        paneRect_ = Rect{0, 0, surface_->width(), surface_->height()};
        measured_ = true;
    }
    QtCanvas canvas(painter);
    paintHeaderPreview(canvas, paneRect_, *state_, effects_);
    if (effects_.dataFound && onEffects_)
        onEffects_(effects_);
}

void HeaderPreviewPane::refreshChoice() {
    if (!state_)
        return;
    Rect rect = paneRect_;
    if (!measured_ && surface_)
        rect = Rect{0, 0, surface_->width(), surface_->height()};
    // A canvas over a painter that never began keeps its state but draws nothing.
    QPainter idle;
    QtCanvas canvas(idle);
    paintHeaderPreview(canvas, rect, *state_, effects_);
    if (effects_.dataFound && onEffects_)
        onEffects_(effects_);
}

void applyHeaderPaneEffects(const HeaderPaneEffects& effects, QWidget* lastNameFirstBox,
                            QWidget* longNameBox, QWidget* sexMarkBox) {
    if (!effects.dataFound)
        return;
    const auto show = [](QWidget* box, bool visible) {
        if (box && box->isHidden() == visible)
            box->setVisible(visible);
    };
    show(lastNameFirstBox, effects.lastNameFirstBoxVisible);
    show(longNameBox, effects.longNameBoxVisible);
    show(sexMarkBox, effects.sexMarkBoxVisible);
}

} // namespace pelkorl
