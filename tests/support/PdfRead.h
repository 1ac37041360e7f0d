#pragma once

#include <QList>
#include <QRectF>
#include <QStringList>

#include <memory>

namespace poppler {
class document;
}

namespace wm::test {

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
    std::unique_ptr<poppler::document> doc;

    QList<Word> find(const QString& text, int page = -1) const;
    QStringList onPage(int page) const;
};

PdfRead readPdfData(const QByteArray& bytes);
PdfRead readPdfFile(const QString& path);

} // namespace wm::test
