#pragma once
// Reading a PDF back with poppler-utils: the words of a page with their boxes, the document's
// information, and a page as an image.
#include <QImage>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

namespace pelkorl::test {

struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

inline bool hasPoppler() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
           !QStandardPaths::findExecutable("pdfinfo").isEmpty() &&
           !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

// The words of page `page` (1-based), or of every page for 0.
inline QList<PdfWord> pdfWords(const QString& pdf, int page = 0) {
    QStringList args{"-bbox"};
    if (page > 0)
        args << "-f" << QString::number(page) << "-l" << QString::number(page);
    args << pdf << "-";
    QProcess process;
    process.start("pdftotext", args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    QList<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                      m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

// pdfinfo's fields ("Title", "Pages", ...); empty when the file is no readable PDF.
inline QMap<QString, QString> pdfInfo(const QString& pdf) {
    QProcess process;
    process.start("pdfinfo", {pdf});
    QMap<QString, QString> info;
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return info;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            info.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return info;
}

inline int pdfPages(const QString& pdf) {
    return pdfInfo(pdf).value("Pages", "-1").toInt();
}

// Page `page` rendered at `dpi` in grey levels.
inline QImage pdfPageImage(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("page");
    QProcess process;
    process.start("pdftoppm", {"-r", QString::number(dpi), "-gray", "-f", QString::number(page),
                               "-l", QString::number(page), "-singlefile", pdf, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QImage(prefix + ".pgm").convertToFormat(QImage::Format_Grayscale8);
}

// Words of two pages that differ in text or place (to 0.01 point), as readable lines.
inline QStringList wordDifferences(const QList<PdfWord>& a, const QList<PdfWord>& b) {
    QStringList differences;
    if (a.size() != b.size())
        differences << QString("%1 words against %2").arg(a.size()).arg(b.size());
    const auto at = [](const PdfWord& w) {
        return QString("%1 (%2, %3)").arg(w.text).arg(w.xMin, 0, 'f', 2).arg(w.yMin, 0, 'f', 2);
    };
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i].text != b[i].text || std::abs(a[i].xMin - b[i].xMin) > 0.01 ||
            std::abs(a[i].yMin - b[i].yMin) > 0.01 || std::abs(a[i].xMax - b[i].xMax) > 0.01)
            differences << at(a[i]) + " / " + at(b[i]);
    }
    return differences;
}

} // namespace pelkorl::test
