#include "desktop/ImageList.h"

#include <QLabel>

static void initWendemarkResources() {
    Q_INIT_RESOURCE(resources);
}

namespace wm {

ImageList::ImageList(int size) : m_size(size) {
    initWendemarkResources();
}

QIcon ImageList::icon(int index) const {
    return QIcon(QStringLiteral(":/icons/%1/%2.svg").arg(m_size).arg(index, 2, 10, QLatin1Char('0')));
}

QPixmap ImageList::pixmap(int index) const {
    return icon(index).pixmap(m_size, m_size);
}

void ImageList::show(QLabel* label, int index) const {
    label->setPixmap(pixmap(index));
    label->setProperty("imageIndex", index);
}

} // namespace wm
