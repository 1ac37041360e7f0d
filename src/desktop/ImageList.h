#pragma once

#include <QIcon>
#include <QPixmap>

class QLabel;

namespace wm {

// A numbered list of the program's pictures of one size ("ImageList24", "ImageList16").
class ImageList {
public:
    explicit ImageList(int size);
    int size() const { return m_size; }
    QIcon icon(int index) const;
    QPixmap pixmap(int index) const;
    // Shows picture `index` in the label and remembers the index in the label's "imageIndex" property.
    void show(QLabel* label, int index) const;

private:
    int m_size;
};

} // namespace wm
