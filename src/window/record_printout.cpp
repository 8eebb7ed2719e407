#include "window/record_printout.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace norvane {

namespace {

enum Font : int { kBody, kBold, kTitle, kHeading, kCrc, kSmall, kFontCount };

// Millimetres in layout units.
constexpr double Mm(double mm) {
    return mm * CRecordPrintout::kUnitsPerInch / 25.4;
}
// Points in layout units.
constexpr int Pt(double points) {
    return static_cast<int>(points * CRecordPrintout::kUnitsPerInch / 72);
}

constexpr double kCellPadX = Mm(2);
constexpr double kCellPadY = Mm(1);
constexpr double kFactPadY = Mm(0.7);
constexpr double kHeadingAbove = Mm(6);
constexpr double kHeadingBelow = Mm(2);
constexpr double kTitleBelow = Mm(4);
constexpr double kFooter = Mm(11);  // below the content: a rule and one line
constexpr double kRule = Mm(0.3);
constexpr double kSignatureAbove = Mm(8);
constexpr double kSignatureLine = Mm(10);
constexpr double kSlack = 2;           // see Wrap
constexpr double kLabelShare = 0.35;   // of the width, at most, for the facts' labels
constexpr double kColumnShare = 0.25;  // of the width, at most, for a column's whole lines

QFont MakeFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    // Outlines as drawn, never fitted to a device's pixels: the same widths on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: "fi" in "verified" or "ff" in "0xffffffff" stay letters that a reader of
    // the PDF file can search for and copy. Qt leaves ligatures out of spaced text; the least
    // spacing it keeps is 1/64 of a unit.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0 / 32);
    font.setStyleHint(family.contains(QLatin1String("Mono")) ? QFont::Monospace : QFont::SansSerif);
    return font;
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

}  // namespace

QPageLayout RecordPageLayout() {
    return {QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(16, 18, 16, 18),
            QPageLayout::Millimeter};
}

CRecordPrintout::CRecordPrintout(const RecordDocument& document, const QPageLayout& layout) {
    const QString sans = QStringLiteral("DejaVu Sans");
    m_fonts.resize(kFontCount);
    m_fonts[kBody] = MakeFont(sans, Pt(10), false);
    m_fonts[kBold] = MakeFont(sans, Pt(10), true);
    m_fonts[kTitle] = MakeFont(sans, Pt(16), true);
    m_fonts[kHeading] = MakeFont(sans, Pt(12), true);
    m_fonts[kCrc] = MakeFont(QStringLiteral("DejaVu Sans Mono"), Pt(14), true);
    m_fonts[kSmall] = MakeFont(sans, Pt(8), false);

    const QRectF area = layout.paintRect(QPageLayout::Inch);
    m_width = area.width() * kUnitsPerInch;
    m_height = area.height() * kUnitsPerInch - kFooter;

    AddTitle(Text(document.title));
    for (const RecordFactTable& section : document.sections) {
        if (!section.heading.empty()) {
            AddHeading(Text(section.heading));
        }
        AddFacts(section, false);
    }
    AddHeading(Text(document.parametersHeading));
    AddTable(document);
    // The CRC and the signature belong together: one chain, on the last page.
    AddHeading(Text(document.crc.heading));
    AddFacts(document.crc, true);
    AddSignature(document);

    std::vector<PageBlock> blocks;
    for (const Block& block : m_blocks) {
        blocks.push_back(block.page);
    }
    m_pages = PaginateBlocks(blocks, m_height, m_head.page.height);
    m_footerModule = Text(document.footerModule);
    m_footerCrc = Text(document.footerCrc);
    for (size_t page = 0; page < m_pages.size(); ++page) {
        m_pageNumbers.push_back(Text(RecordPageNumber(document, page + 1, m_pages.size())));
    }
}

double CRecordPrintout::LineHeight(int font) const {
    return QFontMetricsF(m_fonts[static_cast<size_t>(font)]).lineSpacing();
}

double CRecordPrintout::Ascent(int font) const {
    return QFontMetricsF(m_fonts[static_cast<size_t>(font)]).ascent();
}

double CRecordPrintout::Advance(int font, const QString& text) const {
    // Measured as Wrap lays it out, so that a text as wide as its column stays on one line.
    QTextLayout layout(text, m_fonts[static_cast<size_t>(font)]);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    double width = 0;
    if (line.isValid()) {
        line.setLineWidth(1e9);
        width = line.naturalTextWidth();
    }
    layout.endLayout();
    return width;
}

QStringList CRecordPrintout::Wrap(const QString& text, int font, double width) const {
    QStringList lines;
    QTextLayout layout(text, m_fonts[static_cast<size_t>(font)]);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        // A little slack: the widths were measured text by text, the layout adds up glyphs.
        line.setLineWidth(std::max(width, 1.0) + kSlack);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (lines.isEmpty()) {
        lines << QString();
    }
    return lines;
}

void CRecordPrintout::AddTitle(const QString& text) {
    Block block;
    double y = 0;
    for (const QString& line : Wrap(text, kTitle, m_width)) {
        block.runs.push_back({kTitle, {0, y + Ascent(kTitle)}, line});
        y += LineHeight(kTitle);
    }
    block.page = {y + kTitleBelow, false, true};
    m_blocks.push_back(std::move(block));
}

void CRecordPrintout::AddHeading(const QString& text) {
    Block block;
    double y = kHeadingAbove;
    for (const QString& line : Wrap(text, kHeading, m_width)) {
        block.runs.push_back({kHeading, {0, y + Ascent(kHeading)}, line});
        y += LineHeight(kHeading);
    }
    block.page = {y + kHeadingBelow, false, true};
    m_blocks.push_back(std::move(block));
}

void CRecordPrintout::AddFacts(const RecordFactTable& table, bool keepAll) {
    // Label | value (note) | mark: the labels as wide as the widest, the marks likewise, the
    // values the rest.
    double labelWidth = 0;
    double markWidth = 0;
    for (const RecordFact& fact : table.facts) {
        labelWidth = std::max(labelWidth, Advance(kBody, Text(fact.label)) + kCellPadX);
        if (!fact.mark.empty()) {
            const QString mark =
                (fact.markMissing ? QString() : QStringLiteral("\u2713 ")) + Text(fact.mark);
            markWidth = std::max(markWidth, Advance(kBold, mark) + kCellPadX);
        }
    }
    labelWidth = std::min(labelWidth, m_width * kLabelShare);
    const double valueWidth = m_width - labelWidth - markWidth;
    for (const RecordFact& fact : table.facts) {
        Block block;
        const int valueFont = fact.crc ? kCrc : kBody;
        QString value = Text(fact.value);
        if (!fact.note.empty()) {
            value += QLatin1Char(' ') + Text(fact.note);
        }
        const QStringList labels = Wrap(Text(fact.label), kBody, labelWidth - kCellPadX);
        const QStringList values = Wrap(value, valueFont, valueWidth - kCellPadX);
        double y = kFactPadY;
        for (int i = 0; i < labels.size(); ++i) {
            block.runs.push_back(
                {kBody, {0, y + Ascent(valueFont) + i * LineHeight(kBody)}, labels[i]});
        }
        for (int i = 0; i < values.size(); ++i) {
            block.runs.push_back({valueFont,
                                  {labelWidth, y + Ascent(valueFont) + i * LineHeight(valueFont)},
                                  values[i]});
        }
        if (!fact.mark.empty()) {
            const QString mark =
                (fact.markMissing ? QString() : QStringLiteral("\u2713 ")) + Text(fact.mark);
            block.runs.push_back({fact.markMissing ? kBold : kBody,
                                  {labelWidth + valueWidth + kCellPadX, y + Ascent(valueFont)},
                                  mark});
        }
        const double height = std::max(static_cast<double>(labels.size()) * LineHeight(kBody),
                                       static_cast<double>(values.size()) * LineHeight(valueFont));
        block.page = {height + 2 * kFactPadY, false, keepAll};
        m_blocks.push_back(std::move(block));
    }
}

void CRecordPrintout::AddTable(const RecordDocument& document) {
    if (document.rows.empty()) {
        AddFacts({{}, {{document.noParameters, {}, {}, {}, false, false}}}, false);
        return;
    }
    std::vector<ColumnNeed> needs(kRecordColumns);
    const auto need = [this](ColumnNeed& column, int font, const QString& text) {
        column.natural = std::max(column.natural, Advance(font, text) + 2 * kCellPadX);
        for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            column.minimum = std::max(column.minimum, Advance(font, word) + 2 * kCellPadX);
        }
    };
    for (size_t column = 0; column < kRecordColumns; ++column) {
        need(needs[column], kBold, Text(document.columns[column]));
    }
    const auto cellText = [](const RecordTableRow& row, size_t column) {
        QString text = Text(row.cells[column]);
        if (column + 1 == kRecordColumns && !row.missing) {
            text = QStringLiteral("\u2713 ") + text;
        }
        return text;
    };
    for (const RecordTableRow& row : document.rows) {
        for (size_t column = 0; column < kRecordColumns; ++column) {
            const bool mark = column + 1 == kRecordColumns;
            need(needs[column], mark && row.missing ? kBold : kBody, cellText(row, column));
        }
    }
    // The mark stays on one line: "✓ verified" is one thing.
    needs.back().minimum = needs.back().natural;
    m_columnWidths = SizeColumns(needs, m_width, kColumnShare);

    // One row of cells in `fonts`, framed: the verticals and the line below (the line above
    // is the one below the row before, or the head's).
    const auto rowBlock = [this](const std::vector<QString>& texts, const std::vector<int>& fonts,
                                 bool top) {
        Block block;
        double height = 0;
        double x = 0;
        std::vector<QStringList> cells;
        for (size_t column = 0; column < kRecordColumns; ++column) {
            cells.push_back(
                Wrap(texts[column], fonts[column], m_columnWidths[column] - 2 * kCellPadX));
            height = std::max(height,
                              static_cast<double>(cells.back().size()) * LineHeight(fonts[column]));
        }
        height += 2 * kCellPadY;
        for (size_t column = 0; column < kRecordColumns; ++column) {
            const int font = fonts[column];
            for (int i = 0; i < cells[column].size(); ++i) {
                block.runs.push_back(
                    {font,
                     {x + kCellPadX, kCellPadY + Ascent(font) + i * LineHeight(font)},
                     cells[column][i]});
            }
            block.rules.emplace_back(x, 0, x, height);
            x += m_columnWidths[column];
        }
        block.rules.emplace_back(m_width, 0, m_width, height);
        block.rules.emplace_back(0, height, m_width, height);
        if (top) {
            block.rules.emplace_back(0, 0, m_width, 0);
        }
        block.page = {height, true, false};
        return block;
    };
    std::vector<QString> head;
    for (const std::string& column : document.columns) {
        head.push_back(Text(column));
    }
    m_head = rowBlock(head, std::vector<int>(kRecordColumns, kBold), true);
    m_head.shade = QRectF(0, 0, m_width, m_head.page.height);
    for (const RecordTableRow& row : document.rows) {
        std::vector<QString> texts;
        std::vector<int> fonts(kRecordColumns, kBody);
        for (size_t column = 0; column < kRecordColumns; ++column) {
            texts.push_back(cellText(row, column));
        }
        if (row.missing) {
            fonts.back() = kBold;
        }
        m_blocks.push_back(rowBlock(texts, fonts, false));
    }
}

void CRecordPrintout::AddSignature(const RecordDocument& document) {
    Block block;
    const double labelWidth = m_width * 0.25;
    double y = kSignatureAbove;
    for (const std::string& label : document.signature) {
        y += kSignatureLine;
        block.runs.push_back({kBody, {0, y - Mm(1)}, Text(label)});
        block.rules.emplace_back(labelWidth, y, m_width, y);
    }
    block.page = {y + Mm(1), false, false};
    m_blocks.push_back(std::move(block));
}

void CRecordPrintout::PaintBlock(QPainter& painter, const Block& block, double top) const {
    painter.save();
    painter.translate(0, top);
    if (!block.shade.isEmpty()) {
        painter.fillRect(block.shade, QColor(0xEE, 0xEE, 0xEE));
    }
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), kRule));
    for (const QLineF& rule : block.rules) {
        painter.drawLine(rule);
    }
    painter.setPen(Qt::black);
    for (const Run& run : block.runs) {
        painter.setFont(m_fonts[static_cast<size_t>(run.font)]);
        painter.drawText(run.at, run.text);
    }
    painter.restore();
}

void CRecordPrintout::PaintPage(QPainter& painter, int page) const {
    if (page < 0 || page >= PageCount()) {
        return;
    }
    const PageSpan& span = m_pages[static_cast<size_t>(page)];
    double y = 0;
    for (size_t i = span.begin; i < span.end; ++i) {
        const Block& block = m_blocks[i];
        if (block.page.tableRow && (i == span.begin || !m_blocks[i - 1].page.tableRow)) {
            PaintBlock(painter, m_head, y);
            y += m_head.page.height;
        }
        PaintBlock(painter, block, y);
        y += block.page.height;
    }

    // The footer: a rule, then module, CRC and page number on one line.
    const double rule = m_height + Mm(3);
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), kRule));
    painter.drawLine(QLineF(0, rule, m_width, rule));
    painter.setPen(Qt::black);
    const QFont& font = m_fonts[kSmall];
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double baseline = rule + Mm(1.5) + metrics.ascent();
    // The page number at the right, the CRC before it, the module in the room left of them.
    const QString number = m_pageNumbers[static_cast<size_t>(page)];
    const double gap = Mm(6);
    const double numberAt = m_width - metrics.horizontalAdvance(number);
    const double crcAt = numberAt - gap - metrics.horizontalAdvance(m_footerCrc);
    const QString module = metrics.elidedText(m_footerModule, Qt::ElideRight, crcAt - gap);
    painter.drawText(QPointF(0, baseline), module);
    painter.drawText(QPointF(crcAt, baseline), m_footerCrc);
    painter.drawText(QPointF(numberAt, baseline), number);
}

void CRecordPrintout::Print(QPagedPaintDevice* device) const {
    QPainter painter;
    if (!painter.begin(device)) {
        return;
    }
    const double scaleX = device->logicalDpiX() / kUnitsPerInch;
    const double scaleY = device->logicalDpiY() / kUnitsPerInch;
    for (int page = 0; page < PageCount(); ++page) {
        if (page > 0) {
            device->newPage();
        }
        painter.save();
        painter.scale(scaleX, scaleY);
        PaintPage(painter, page);
        painter.restore();
    }
    painter.end();
}

}  // namespace norvane
