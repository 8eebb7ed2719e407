// Pages as the window prints them and saves them as PDF: the verification record and the
// self-test report go the same way.
#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPdfWriter;

namespace norvane {

// The page laid out on the pages of `device`.
void PrintHtmlPage(const QString& html, QPagedPaintDevice* device);

// A PDF file's bytes, made in memory so that a file is replaced only when all of it is there:
// `paint` draws on a writer with `layout`, `resolution` and the title and program named in the
// file's properties.
QByteArray PdfInMemory(const QString& title, const QPageLayout& layout, int resolution,
                       const std::function<void(QPdfWriter*)>& paint);

// An HTML page as a PDF file's bytes (A4).
QByteArray HtmlPagePdf(const QString& html, const QString& title);

}  // namespace norvane
