// An HTML page as the window prints it and saves it as PDF: the verification record and the
// self-test report go the same way.
#pragma once

#include <QByteArray>
#include <QString>

class QPagedPaintDevice;

namespace norvane {

// The page laid out on the pages of `device`.
void PrintHtmlPage(const QString& html, QPagedPaintDevice* device);

// The PDF file's bytes (A4, the title in its properties), made in memory so that a file is
// replaced only when all of it is there.
QByteArray HtmlPagePdf(const QString& html, const QString& title);

}  // namespace norvane
