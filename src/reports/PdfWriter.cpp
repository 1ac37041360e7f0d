#include "PdfWriter.h"

#include "reports/Windows1252.h"
#include "store/Error.h"
#include "store/SafeFile.h"

#include <cmath>
#include <hpdf.h>
#include <stdexcept>

namespace wm::pdf {

namespace {

const char* const kEncoding = "WinAnsiEncoding";

HPDF_Date toPdfDate(const QDateTime& when) {
    HPDF_Date date{};
    const QDate d = when.date();
    const QTime t = when.time();
    date.year = d.year();
    date.month = d.month();
    date.day = d.day();
    date.hour = t.hour();
    date.minutes = t.minute();
    date.seconds = t.second();
    const int offset = when.offsetFromUtc();
    date.ind = offset == 0 ? 'Z' : offset > 0 ? '+' : '-';
    date.off_hour = std::abs(offset) / 3600;
    date.off_minutes = std::abs(offset) % 3600 / 60;
    return date;
}

} // namespace

double Panel::rowTop(int row) const {
    // Whole points, as the grid's rows are laid out by integer division of its height.
    return rows > 0 ? double(row * int(height) / rows) : 0.0;
}

double Panel::rowHeight() const {
    return rows > 0 ? double(int(height) / rows) : height;
}

Item& Panel::item(const QString& itemName) {
    for (Item& it : items) {
        if (it.name == itemName) {
            return it;
        }
    }
    throw std::out_of_range("PDF item " + itemName.toStdString());
}

Panel& PageDesign::panel(const QString& panelName) {
    for (Panel& p : panels) {
        if (p.name == panelName) {
            return p;
        }
    }
    throw std::out_of_range("PDF panel " + panelName.toStdString());
}

struct Document::Impl {
    HPDF_Doc doc = nullptr;
    HPDF_Font regular = nullptr;
    HPDF_Font bold = nullptr;
    HPDF_STATUS error = HPDF_OK;
    HPDF_STATUS detail = 0;
    int pages = 0;

    // What the current page's graphics state holds, so unchanged fonts and colours are not set again.
    HPDF_Page page = nullptr;
    HPDF_Font currentFont = nullptr;
    double currentSize = 0;
    QColor currentColor;

    // Only recorded: an exception must not unwind through the C library.
    static void HPDF_STDCALL recordError(HPDF_STATUS code, HPDF_STATUS detailCode, void* userData) {
        auto* impl = static_cast<Impl*>(userData);
        if (impl->error == HPDF_OK) {
            impl->error = code;
            impl->detail = detailCode;
        }
    }

    ~Impl() {
        if (doc) {
            HPDF_Free(doc);
        }
    }

    void check() const {
        if (error != HPDF_OK) {
            throw Error(QStringLiteral("Das PDF-Dokument konnte nicht erstellt werden (Fehler 0x%1, %2).")
                            .arg(error, 4, 16, QLatin1Char('0'))
                            .arg(detail));
        }
    }

    void forgetState() {
        currentFont = nullptr;
        currentSize = 0;
        currentColor = QColor();
    }

    void useFont(HPDF_Font font, double size, const QColor& color) {
        if (font != currentFont || size != currentSize) {
            HPDF_Page_SetFontAndSize(page, font, HPDF_REAL(size));
            currentFont = font;
            currentSize = size;
        }
        if (color != currentColor) {
            HPDF_Page_SetRGBFill(page, HPDF_REAL(color.redF()), HPDF_REAL(color.greenF()), HPDF_REAL(color.blueF()));
            currentColor = color;
        }
    }

    // One line with its top at `top`, in the box from `left` to `right`. Whatever reaches beyond the right
    // edge is clipped, so a long name never runs into the next column.
    void drawLine(const QByteArray& text, HPDF_Font font, double size, const QColor& color, double left, double right,
                  double top, Align align) {
        if (text.isEmpty()) {
            return;
        }
        const auto* bytes = reinterpret_cast<const HPDF_BYTE*>(text.constData());
        const auto length = HPDF_UINT(text.size());
        const double width = HPDF_Font_TextWidth(font, bytes, length).width * size / 1000.0;
        double x = left;
        if (align == Align::Right) {
            x = right - width;
        } else if (align == Align::Center) {
            x = left + (right - left - width) / 2.0;
        }
        const double pageHeight = HPDF_Page_GetHeight(page);
        const double baseline = pageHeight - (top + HPDF_Font_GetAscent(font) * size / 1000.0);
        const bool clip = x + width > right + 0.01;
        HPDF_UINT shown = length;
        if (clip) {
            // The glyph that crosses the edge is kept, and cut by the clipping path.
            shown = HPDF_Font_MeasureText(font, bytes, length, HPDF_REAL(right - x), HPDF_REAL(size), 0, 0, HPDF_FALSE,
                                          nullptr);
            shown = std::min(length, shown + 1);
            HPDF_Page_GSave(page);
            HPDF_Page_Rectangle(page, 0, 0, HPDF_REAL(right), HPDF_REAL(pageHeight));
            HPDF_Page_Clip(page);
            HPDF_Page_EndPath(page);
        }
        HPDF_Page_BeginText(page);
        useFont(font, size, color);
        const QByteArray part = text.left(shown);
        HPDF_Page_TextOut(page, HPDF_REAL(x), HPDF_REAL(baseline), part.constData());
        HPDF_Page_EndText(page);
        if (clip) {
            HPDF_Page_GRestore(page);
            forgetState();
        }
    }

    void drawItem(const Item& item, double originX, double originY) {
        if (!item.printable || item.text.isEmpty()) {
            return;
        }
        HPDF_Font font = item.bold ? bold : regular;
        const double left = originX + item.x;
        const double right = left + item.width;
        if (item.kind == Item::Kind::Label) {
            drawLine(toWindows1252(item.text), font, item.size, item.color, left, right, originY + item.y, item.align);
            return;
        }
        const QStringList lines = item.text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            drawLine(toWindows1252(lines[i]), font, item.size, item.color, left, right,
                     originY + item.y + double(i) * item.lineSpacing, Align::Left);
        }
    }
};

Document::Document() : m(std::make_unique<Impl>()) {}

Document::~Document() = default;

void Document::begin(const DocumentInfo& info) {
    if (m->doc) {
        HPDF_Free(m->doc);
    }
    m->error = HPDF_OK;
    m->pages = 0;
    m->doc = HPDF_New(&Impl::recordError, m.get());
    if (!m->doc) {
        throw Error(QStringLiteral("Das PDF-Dokument konnte nicht angelegt werden: zu wenig Speicher."));
    }
    HPDF_SetCompressionMode(m->doc, HPDF_COMP_ALL);
    const std::pair<HPDF_InfoType, QString> texts[] = {{HPDF_INFO_AUTHOR, info.author},
                                                       {HPDF_INFO_CREATOR, info.creator},
                                                       {HPDF_INFO_SUBJECT, info.subject},
                                                       {HPDF_INFO_TITLE, info.title},
                                                       {HPDF_INFO_KEYWORDS, info.keywords}};
    for (const auto& [type, value] : texts) {
        if (!value.isEmpty()) {
            HPDF_SetInfoAttr(m->doc, type, toWindows1252(value).constData());
        }
    }
    if (info.created.isValid()) {
        HPDF_SetInfoDateAttr(m->doc, HPDF_INFO_CREATION_DATE, toPdfDate(info.created));
    }
    m->regular = HPDF_GetFont(m->doc, "Helvetica", kEncoding);
    m->bold = HPDF_GetFont(m->doc, "Helvetica-Bold", kEncoding);
    m->check();
}

Page layoutPage(PageDesign& design) {
    Page page{design.width, design.height, {}};
    auto place = [&page](const Item& item, double originX, double originY) {
        if (item.printable && !item.text.isEmpty()) {
            Item placed = item;
            placed.x += originX;
            placed.y += originY;
            page.items << placed;
        }
    };
    for (Panel& panel : design.panels) {
        if (panel.beforePrint) {
            panel.beforePrint();
        }
        if (panel.rows <= 0) {
            for (const Item& item : panel.items) {
                place(item, panel.x, panel.y);
            }
            continue;
        }
        for (int row = 0; row < panel.rows; ++row) {
            const QRectF rect(panel.x, panel.y + panel.rowTop(row), panel.width, panel.rowHeight());
            if (panel.beforePrintChild) {
                panel.beforePrintChild(row, 0, rect);
            }
            for (const Item& item : panel.items) {
                place(item, rect.x(), rect.y());
            }
        }
    }
    return page;
}

void Document::addPage(const Page& page) {
    if (!m->doc) {
        throw std::logic_error("PDF page added before begin()");
    }
    m->page = HPDF_AddPage(m->doc);
    m->check();
    m->forgetState();
    HPDF_Page_SetWidth(m->page, HPDF_REAL(page.width));
    HPDF_Page_SetHeight(m->page, HPDF_REAL(page.height));
    for (const Item& item : page.items) {
        m->drawItem(item, 0, 0);
    }
    m->check();
    ++m->pages;
}

int Document::pageCount() const {
    return m->pages;
}

QByteArray Document::end(const QDateTime& modified) {
    if (!m->doc) {
        throw std::logic_error("PDF document ended before begin()");
    }
    if (m->pages == 0) {
        throw Error(QStringLiteral("Der Report enthält keine Zeilen; es wurde keine PDF-Datei geschrieben."));
    }
    if (modified.isValid()) {
        HPDF_SetInfoDateAttr(m->doc, HPDF_INFO_MOD_DATE, toPdfDate(modified));
    }
    HPDF_SaveToStream(m->doc);
    m->check();
    QByteArray bytes;
    bytes.resize(qsizetype(HPDF_GetStreamSize(m->doc)));
    HPDF_UINT32 size = HPDF_UINT32(bytes.size());
    const HPDF_STATUS status = HPDF_ReadFromStream(m->doc, reinterpret_cast<HPDF_BYTE*>(bytes.data()), &size);
    // Reading up to the end of the stream reports that end like an error.
    if (m->error == HPDF_STREAM_EOF) {
        m->error = HPDF_OK;
    }
    if (status != HPDF_OK && status != HPDF_STREAM_EOF) {
        m->error = status;
    }
    m->check();
    if (qsizetype(size) != bytes.size()) {
        throw Error(QStringLiteral("Das PDF-Dokument konnte nicht vollständig erstellt werden."));
    }
    HPDF_Free(m->doc);
    m->doc = nullptr;
    return bytes;
}

void Document::end(const QString& path, const QDateTime& modified) {
    writeWholeFile(path, end(modified));
}

} // namespace wm::pdf
