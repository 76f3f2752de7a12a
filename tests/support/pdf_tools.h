#pragma once
// Poppler's command-line tools, to read a PDF back as a reader would see it.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zmr::testing {

// Runs the tool to its end and returns its stdout; a failure fails the test.
QByteArray RunTool(const QString& program, const QStringList& args);

// One field of `pdfinfo` ("Pages", "Title", "Page size"), empty when missing.
QString PdfInfo(const QString& pdf, const QString& key);

}  // namespace zmr::testing
