#pragma once
// Text of a PDF page through pdftotext (poppler-utils), for tests that print.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

inline bool PdfTextAvailable() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// Text of page (from 1), or of the whole file for page 0, in reading order.
inline QString PdfText(const QString& pdf, int page = 0) {
    QStringList args{"-layout"};
    if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
    args << pdf << "-";
    QProcess p;
    p.start("pdftotext", args);
    p.waitForFinished(30000);
    QString text = QString::fromUtf8(p.readAllStandardOutput());
    // Runs of blanks from the layout mode count as one.
    text.replace(QRegularExpression("[ \\t]+"), " ");
    text.replace(QRegularExpression(" *\\n *"), "\n");
    return text;
}

inline int PdfPageCount(const QString& pdf) {
    return int(PdfText(pdf).count(QChar('\f')));
}
