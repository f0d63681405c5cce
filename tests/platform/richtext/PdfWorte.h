#pragma once
// The words of a PDF page with their places, through `pdftotext -bbox` (poppler-utils), for tests that check
// where a printed text stands.
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>

// One word of a PDF page with its box in millimetres from the top left corner of the sheet.
struct PdfWort {
    QString text;
    double links, oben, rechts, unten;
};

// The words of page (from 1) as `pdftotext -bbox` places them.
inline QList<PdfWort> PdfWorte(const QString& pdf, int page) {
    QProcess p;
    p.start("pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression wort(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
    const double mm = 25.4 / 72;
    QList<PdfWort> out;
    for (auto it = wort.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString text = m.captured(5);
        text.replace("&amp;", "&")
            .replace("&lt;", "<")
            .replace("&gt;", ">")
            .replace("&quot;", "\"")
            .replace("&apos;", "'")
            .replace("&#39;", "'");
        out.push_back({text, m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm,
                       m.captured(3).toDouble() * mm, m.captured(4).toDouble() * mm});
    }
    return out;
}

// The box around the words that spell line (its words in a row on the page); nullopt when the page has no
// such run of words.
inline std::optional<PdfWort> PdfZeile(const QList<PdfWort>& worte, const QString& line) {
    const QStringList teile = line.simplified().split(' ');
    for (qsizetype i = 0; i + teile.size() <= worte.size(); ++i) {
        bool gleich = true;
        for (qsizetype k = 0; k < teile.size() && gleich; ++k)
            gleich = worte[i + k].text == teile[k];
        if (!gleich) continue;
        PdfWort box = worte[i];
        box.text = line;
        for (qsizetype k = 1; k < teile.size(); ++k) {
            const PdfWort& w = worte[i + k];
            box.links = std::min(box.links, w.links);
            box.oben = std::min(box.oben, w.oben);
            box.rechts = std::max(box.rechts, w.rechts);
            box.unten = std::max(box.unten, w.unten);
        }
        return box;
    }
    return std::nullopt;
}
