#include "support/pdf_tools.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

namespace zmr::testing {

QByteArray RunTool(const QString& program, const QStringList& args) {
  QProcess tool;
  tool.start(program, args);
  EXPECT_TRUE(tool.waitForFinished(20000)) << program.toStdString();
  EXPECT_EQ(tool.exitCode(), 0) << program.toStdString() << ": " << tool.readAllStandardError().toStdString();
  return tool.readAllStandardOutput();
}

QString PdfInfo(const QString& pdf, const QString& key) {
  const QString info = QString::fromUtf8(RunTool("pdfinfo", {pdf}));
  const QRegularExpression line("^" + QRegularExpression::escape(key) + ":\\s*(.*)$",
                                QRegularExpression::MultilineOption);
  const QRegularExpressionMatch m = line.match(info);
  return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

}  // namespace zmr::testing
