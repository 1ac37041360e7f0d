#include "desktop/WidgetScaling.h"

#include <QWidget>

#include <cmath>

namespace wm {

namespace {

int scaled(int value, double factor) {
    return int(std::lround(value * factor));
}

void scaleFont(QWidget* w, double factor) {
    QFont font = w->font();
    if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, scaled(font.pixelSize(), factor)));
    } else {
        font.setPointSizeF(font.pointSizeF() * factor);
    }
    w->setFont(font);
}

} // namespace

void scaleChildren(QWidget* root, double factor) {
    scaleFont(root, factor);
    const QList<QWidget*> children = root->findChildren<QWidget*>();
    for (QWidget* w : children) {
        if (w->isWindow()) {
            continue;
        }
        const QRect g = w->geometry();
        w->setGeometry(scaled(g.x(), factor), scaled(g.y(), factor), scaled(g.width(), factor),
                       scaled(g.height(), factor));
        if (w->testAttribute(Qt::WA_SetFont)) {
            scaleFont(w, factor);
        }
    }
}

void applyPixelFonts(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        const QVariant size = w->property("pixelSize");
        if (size.isValid()) {
            QFont font = w->font();
            font.setPixelSize(size.toInt());
            w->setFont(font);
        }
    }
}

} // namespace wm
