#include "PdfRead.h"

#include <QFile>

#include <map>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-page.h>
#include <vector>

namespace wm::test {

PdfRead::PdfRead() = default;
PdfRead::~PdfRead() = default;
PdfRead::PdfRead(PdfRead&&) noexcept = default;
PdfRead& PdfRead::operator=(PdfRead&&) noexcept = default;

QList<Word> PdfRead::find(const QString& text, int page) const {
    QList<Word> found;
    for (const Word& w : words) {
        if (w.text == text && (page < 0 || w.page == page)) {
            found << w;
        }
    }
    return found;
}

QStringList PdfRead::onPage(int page) const {
    QStringList texts;
    for (const Word& w : words) {
        if (w.page == page) {
            texts << w.text;
        }
    }
    return texts;
}

QStringList PdfRead::lines(double top, double bottom) const {
    std::map<std::pair<int, int>, std::map<double, QString>> byLine; // page and whole-point top, then x
    for (const Word& w : words) {
        if (w.box.top() > top && w.box.top() < bottom) {
            byLine[{w.page, int(w.box.top())}][w.box.left()] = w.text;
        }
    }
    QStringList result;
    for (const auto& [line, byX] : byLine) {
        QStringList texts;
        for (const auto& [x, text] : byX) {
            texts << text;
        }
        result << texts.join(u' ');
    }
    return result;
}

PdfRead readPdfData(const QByteArray& bytes) {
    PdfRead read;
    static std::vector<std::vector<char>> keep; // poppler reads the data in place for the document's life
    keep.emplace_back(bytes.begin(), bytes.end());
    read.doc.reset(poppler::document::load_from_raw_data(keep.back().data(), int(keep.back().size())));
    if (!read.doc) {
        return read;
    }
    read.pages = read.doc->pages();
    for (int p = 0; p < read.pages; ++p) {
        std::unique_ptr<poppler::page> page(read.doc->create_page(p));
        const poppler::byte_array text = page->text().to_utf8();
        read.pageTexts << QString::fromUtf8(text.data(), qsizetype(text.size()));
        read.pageSizes << QSizeF(page->page_rect().width(), page->page_rect().height());
        for (const poppler::text_box& box : page->text_list()) {
            const poppler::rectf r = box.bbox();
            const poppler::byte_array utf8 = box.text().to_utf8();
            read.words.append({p, QString::fromUtf8(utf8.data(), qsizetype(utf8.size())),
                               QRectF(r.x(), r.y(), r.width(), r.height())});
        }
    }
    return read;
}

PdfRead readPdfFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? readPdfData(file.readAll()) : PdfRead{};
}

} // namespace wm::test
