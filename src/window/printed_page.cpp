#include "window/printed_page.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace norvane {

void PrintHtmlPage(const QString& html, QPagedPaintDevice* device) {
    QTextDocument document;
    document.setHtml(html);
    document.print(device);
}

QByteArray HtmlPagePdf(const QString& html, const QString& title) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(16, 18, 16, 18), QPageLayout::Millimeter));
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Norvane Safety CRC Tool"));
        PrintHtmlPage(html, &writer);
    }
    return buffer.data();
}

}  // namespace norvane
