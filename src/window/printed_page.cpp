#include "window/printed_page.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "base/program_version.h"

namespace norvane {

void PrintHtmlPage(const QString& html, QPagedPaintDevice* device) {
    QTextDocument document;
    document.setHtml(html);
    document.print(device);
}

QByteArray PdfInMemory(const QString& title, const QPageLayout& layout, int resolution,
                       const std::function<void(QPdfWriter*)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setResolution(resolution);
        writer.setTitle(title);
        writer.setCreator(
            QString::fromUtf8(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())) +
            QLatin1Char(' ') +
            QString::fromUtf8(kProgramVersion.data(),
                              static_cast<qsizetype>(kProgramVersion.size())));
        paint(&writer);
    }
    return buffer.data();
}

QByteArray HtmlPagePdf(const QString& html, const QString& title) {
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(16, 18, 16, 18),
                         QPageLayout::Millimeter);
    return PdfInMemory(title, a4, 300,
                       [&html](QPdfWriter* writer) { PrintHtmlPage(html, writer); });
}

}  // namespace norvane
