#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

namespace wm::pdf {

// PDF pages laid out from panels of text items, in points from the page's top-left corner (y downward).
// Text is set in the standard fonts Helvetica and Helvetica-Bold, not embedded, as Windows-1252.

enum class Align { Left, Right, Center };

struct Item {
    enum class Kind {
        Label, // one line, aligned in its box
        Text   // from the box's left edge, line by line (lines split at '\n')
    };
    QString name;
    Kind kind = Kind::Label;
    double x = 0; // box, relative to the panel (or to the row in a row grid)
    double y = 0; // top of the text
    double width = 0;
    Align align = Align::Left;
    double lineSpacing = 14;
    double size = 12;
    bool bold = false;
    QColor color = Qt::black;
    QString text;
    bool printable = true;
};

// A label item: one line in its box.
inline Item label(const QString& name, double x, double y, double width, Align align, double size, bool bold,
                  const QColor& color, const QString& text = {}) {
    Item item;
    item.name = name;
    item.x = x;
    item.y = y;
    item.width = width;
    item.align = align;
    item.size = size;
    item.bold = bold;
    item.color = color;
    item.text = text;
    return item;
}

// A text item of a result row: 12 point, black, 4 points below the row's top.
inline Item textItem(const QString& name, double x, double width) {
    Item item = label(name, x, 4, width, Align::Left, 12, false, Qt::black);
    item.kind = Item::Kind::Text;
    return item;
}

struct Panel {
    QString name;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    // A row grid repeats its items in each of `rows` rows; 0 makes a plain panel.
    int rows = 0;
    QList<Item> items;
    // Called before the panel is drawn on each page.
    std::function<void()> beforePrint;
    // Called before each row of a grid is drawn, with the row, the column and the row's rectangle.
    std::function<void(int row, int column, const QRectF& rect)> beforePrintChild;

    // Row r begins trunc(r × height / rows) below the grid's top; each row is trunc(height / rows) high.
    double rowTop(int row) const;
    double rowHeight() const;
    Item& item(const QString& name);
};

struct PageDesign {
    double width = 0;
    double height = 0;
    QList<Panel> panels;

    Panel& panel(const QString& name);
};

// A page as it is drawn: every item that prints, its box in page coordinates. Tests read pages as data.
struct Page {
    double width = 0;
    double height = 0;
    QList<Item> items;
};

// Runs the design's hooks panel by panel and row by row, and places what they leave printable: one page.
Page layoutPage(PageDesign& design);

struct DocumentInfo {
    QString author;
    QString creator;
    QString subject;
    QString title;
    QString keywords;
    QDateTime created;
};

// One PDF document, written page by page. Failures throw wm::Error with a German message.
class Document {
public:
    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    void begin(const DocumentInfo& info);
    void addPage(const Page& page);
    // Lays out one page from the design (calling its hooks) and adds it.
    void printPage(PageDesign& design) { addPage(layoutPage(design)); }
    int pageCount() const;
    // The whole document. A document without pages is refused (wm::Error).
    QByteArray end(const QDateTime& modified);
    // Writes the document whole: an existing file is replaced only once the new one is complete.
    void end(const QString& path, const QDateTime& modified);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace wm::pdf
