#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

#include <memory>

namespace poppler {
class document;
}

namespace wm::test {

constexpr double kMmPerPoint = 25.4 / 72.0;

// One word of a PDF as poppler reads it back.
struct Word {
    int page;
    QString text;
    QRectF box; // points from the page's top-left corner
};

// The words of a whole PDF document, page by page.
struct PdfRead {
    PdfRead();
    ~PdfRead();
    PdfRead(PdfRead&&) noexcept;
    PdfRead& operator=(PdfRead&&) noexcept;

    int pages = 0;
    QList<Word> words;
    QStringList pageTexts;   // each page's text as poppler lays it out
    QList<QSizeF> pageSizes; // in points
    std::unique_ptr<poppler::document> doc;

    QList<Word> find(const QString& text, int page = -1) const;
    QStringList onPage(int page) const;
    // The words whose top lies strictly between `top` and `bottom`, one text a line (words of the same
    // whole-point top, left to right, joined by blanks), page after page.
    QStringList lines(double top, double bottom) const;
};

PdfRead readPdfData(const QByteArray& bytes);
PdfRead readPdfFile(const QString& path);

} // namespace wm::test
