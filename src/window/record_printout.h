// The verification record on printed pages: the document's texts measured with the record's
// fonts, cut into blocks that are never split (a heading, a line of facts, a table row, the
// signature block), put on pages by the core's PaginateBlocks and painted with a footer on
// every page. Everything is laid out in units of 1/720 inch from the page layout alone, never
// from a device's resolution, so that the preview, a printer and the PDF file show the same
// lines on the same pages.
#pragma once

#include <QFont>
#include <QLineF>
#include <QPageLayout>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "report/record_pages.h"
#include "report/verification_record.h"

class QPagedPaintDevice;
class QPainter;

namespace norvane {

// A4 portrait with the record's margins: what the preview starts with and the PDF file uses.
QPageLayout RecordPageLayout();

class CRecordPrintout {
  public:
    // Units of the layout per inch.
    static constexpr double kUnitsPerInch = 720;

    CRecordPrintout(const RecordDocument& document, const QPageLayout& layout);

    int PageCount() const { return static_cast<int>(m_pages.size()); }
    // Paints page `page` with `painter` set to layout units, the page's printable area at 0,0.
    void PaintPage(QPainter& painter, int page) const;
    // Paints every page on `device`, which has the layout this printout was made for.
    void Print(QPagedPaintDevice* device) const;

  private:
    struct Run {
        int font = 0;  // index into m_fonts
        QPointF at;    // the baseline's start, from the block's top left
        QString text;
    };
    struct Block {
        PageBlock page;
        std::vector<Run> runs;
        std::vector<QLineF> rules;
        QRectF shade;  // filled light grey when not empty (the table's head)
    };

    void AddTitle(const QString& text);
    void AddHeading(const QString& text);
    void AddFacts(const RecordFactTable& table, bool keepAll);
    void AddTable(const RecordDocument& document);
    void AddSignature(const RecordDocument& document);
    // The lines of `text` in `font` within `width`, broken between words where possible.
    QStringList Wrap(const QString& text, int font, double width) const;
    double LineHeight(int font) const;
    double Ascent(int font) const;
    double Advance(int font, const QString& text) const;
    void PaintBlock(QPainter& painter, const Block& block, double top) const;

    std::vector<QFont> m_fonts;
    double m_width = 0;   // of the printable area
    double m_height = 0;  // of the printable area less the footer
    std::vector<Block> m_blocks;
    Block m_head;  // the table's head row, repeated on every page with table rows
    std::vector<double> m_columnWidths;
    std::vector<PageSpan> m_pages;
    QString m_footerModule;
    QString m_footerCrc;
    std::vector<QString> m_pageNumbers;
};

}  // namespace norvane
