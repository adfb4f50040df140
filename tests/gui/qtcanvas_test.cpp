#include "toolkit/qtcanvas.h"

#include "pdfcheck.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <memory>

using namespace pelkorl;
using pelkorl::test::PdfWord;
using pelkorl::test::pdfWords;

namespace {

constexpr int DOTS_PER_METER_300DPI = 11811;
constexpr TextAlign LEFT_TOP{HorizontalAlign::Left, VerticalAlign::Top, false};
constexpr TextAlign RIGHT_TOP{HorizontalAlign::Right, VerticalAlign::Top, false};
constexpr TextAlign LEFT_BOTTOM{HorizontalAlign::Left, VerticalAlign::Bottom, false};
constexpr TextAlign RIGHT_BOTTOM{HorizontalAlign::Right, VerticalAlign::Bottom, false};

// A 300 dpi white image with a painter and a canvas on it.
struct Sheet {
    QImage image;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<QtCanvas> canvas;

    explicit Sheet(int width = 800, int height = 400, QRgb background = qRgb(255, 255, 255))
        : image(width, height, QImage::Format_RGB32) {
        image.setDotsPerMeterX(DOTS_PER_METER_300DPI);
        image.setDotsPerMeterY(DOTS_PER_METER_300DPI);
        image.fill(background);
        painter = std::make_unique<QPainter>(&image);
        canvas = std::make_unique<QtCanvas>(*painter);
    }
    // Ends painting; the image is final afterwards.
    const QImage& done() {
        canvas.reset();
        painter.reset();
        return image;
    }
};

bool isInk(QRgb pixel) {
    return qGray(pixel) < 200;
}

// Bounding box of the dark pixels, empty when there are none.
QRect inkBox(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (isInk(line[x])) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

TextAlign alignFrom(const QString& name) {
    if (name == "right/top")
        return RIGHT_TOP;
    if (name == "left/bottom")
        return LEFT_BOTTOM;
    if (name == "right/bottom")
        return RIGHT_BOTTOM;
    return LEFT_TOP;
}

// Where the ink of `text` must be, from Qt's own measure of the glyphs.
QRectF expectedInk(const QFont& font, const QPaintDevice* device, const QString& text, int x, int y,
                   TextAlign align) {
    const QFontMetricsF m(font, device);
    const double width = m.horizontalAdvance(text);
    const double left = align.horizontal == HorizontalAlign::Left ? x : x - width;
    const double top = align.vertical == VerticalAlign::Top ? y : y - (m.ascent() + m.descent());
    // The outline's exact bounds; glyph bitmaps' boxes are rounded outwards.
    QPainterPath outline;
    outline.addText(QPointF(left, top + m.ascent()), font, text);
    return outline.boundingRect();
}

// Pixel box from a fractional ink rectangle must agree within one pixel on each side.
void compareInk(const QRect& found, const QRectF& expected) {
    QVERIFY2(!found.isEmpty(), "no ink drawn");
    const auto near = [](double a, double b) {
        return std::abs(a - b) <= 1.0;
    };
    QVERIFY2(near(found.left(), expected.left()),
             qPrintable(QString("left %1 expected %2").arg(found.left()).arg(expected.left())));
    QVERIFY2(
        near(found.right() + 1, expected.right()),
        qPrintable(QString("right %1 expected %2").arg(found.right() + 1).arg(expected.right())));
    QVERIFY2(near(found.top(), expected.top()),
             qPrintable(QString("top %1 expected %2").arg(found.top()).arg(expected.top())));
    QVERIFY2(near(found.bottom() + 1, expected.bottom()),
             qPrintable(
                 QString("bottom %1 expected %2").arg(found.bottom() + 1).arg(expected.bottom())));
}

} // namespace

class QtCanvasTest : public QObject {
    Q_OBJECT

private slots:
    void resolutionIsTheDevicesDpi_data();
    void resolutionIsTheDevicesDpi();
    void arialComesOutWithArialMetrics();
    void fontHeightsFollowTheirSign();
    void textLandsWhereItsAlignmentSays_data();
    void textLandsWhereItsAlignmentSays();
    void updatePositionWritesFromTheCurrentPoint();
    void rightAlignedUpdateEndsAtTheCurrentPoint();
    void clippedTextStaysInsideItsRectangle_data();
    void clippedTextStaysInsideItsRectangle();
    void opaqueTextFillsItsCell();
    void greyIsExactly808080();
    void linesCoverExactPixels_data();
    void linesCoverExactPixels();
    void linesWithoutAPenOnlyMove();
    void rectanglesCoverExactPixels();
    void painterStateIsGivenBack();
    void aPainterThatDidNotStartDrawsNothing();
    void pdfWordsLandWhereTheCanvasPutThem_data();
    void pdfWordsLandWhereTheCanvasPutThem();
};

void QtCanvasTest::resolutionIsTheDevicesDpi_data() {
    QTest::addColumn<int>("dotsPerMeter");
    QTest::addColumn<int>("dpi");
    QTest::newRow("300") << DOTS_PER_METER_300DPI << 300;
    QTest::newRow("600") << 23622 << 600;
    QTest::newRow("96") << 3780 << 96;
}

void QtCanvasTest::resolutionIsTheDevicesDpi() {
    QFETCH(int, dotsPerMeter);
    QFETCH(int, dpi);
    QImage image(10, 10, QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&image);
    QtCanvas canvas(painter);
    QCOMPARE(canvas.dpiX(), dpi);
    QCOMPARE(canvas.dpiY(), dpi);
}

void QtCanvasTest::arialComesOutWithArialMetrics() {
    Sheet sheet;
    sheet.canvas->selectFont(FontSpec{"Arial", -2048, WEIGHT_NORMAL, CHARSET_BALTIC});
    const QString family = QFontInfo(sheet.canvas->qfont()).family();
    qInfo("\"Arial\" is drawn with %s", qPrintable(family));
    QVERIFY2(family == "Arial" || family == "Liberation Sans" || family == "Arimo",
             qPrintable(family));
    // At 2048 units a character the advances are Arial's design units.
    QCOMPARE(std::lround(sheet.canvas->textWidth("0")), 1139L);
    QCOMPARE(std::lround(sheet.canvas->textWidth("1")), 1139L);
    QCOMPARE(std::lround(sheet.canvas->textWidth(",")), 569L);
    QCOMPARE(std::lround(sheet.canvas->textWidth("A")), 1366L);
    // The charset is kept for callers; Unicode texts need no change of it.
    QCOMPARE(sheet.canvas->font().charset, CHARSET_BALTIC);
    QCOMPARE(sheet.canvas->textWidth("Š"), sheet.canvas->textWidth("S"));
}

void QtCanvasTest::fontHeightsFollowTheirSign() {
    Sheet sheet;
    sheet.canvas->selectFont(FontSpec{"Arial", -41, WEIGHT_NORMAL, CHARSET_DEFAULT});
    QCOMPARE(sheet.canvas->qfont().pixelSize(), 41);
    const double cellOfEm41 = sheet.canvas->fontMetrics().height();
    QVERIFY(cellOfEm41 > 41); // the cell has room above the capitals and below

    sheet.canvas->selectFont(FontSpec{"Arial", 46, WEIGHT_NORMAL, CHARSET_DEFAULT});
    QVERIFY2(std::abs(sheet.canvas->fontMetrics().height() - 46) < 1.0,
             qPrintable(QString::number(sheet.canvas->fontMetrics().height())));

    sheet.canvas->selectFont(FontSpec{"Arial", 0, 0, CHARSET_DEFAULT});
    QCOMPARE(sheet.canvas->qfont().pixelSize(), DEFAULT_FONT_EM);
    QCOMPARE(sheet.canvas->qfont().weight(), QFont::Normal);

    sheet.canvas->selectFont(FontSpec{"Arial", -41, WEIGHT_BOLD, CHARSET_DEFAULT});
    QCOMPARE(QFontInfo(sheet.canvas->qfont()).weight(), int(QFont::Bold));
    QVERIFY(sheet.canvas->textWidth("Vardas") > 0);

    // Absurd heights are clamped instead of handed to the font engine.
    sheet.canvas->selectFont(FontSpec{"Arial", INT_MIN, WEIGHT_NORMAL, CHARSET_DEFAULT});
    QCOMPARE(sheet.canvas->qfont().pixelSize(), MAX_FONT_HEIGHT);
}

void QtCanvasTest::textLandsWhereItsAlignmentSays_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("align");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("name left/top") << "Jonaitis"
                                   << "left/top" << 40 << 66;
    QTest::newRow("7 right/top") << "7"
                                 << "right/top" << 360 << 100;
    QTest::newRow("12,75 right/top") << "12,75"
                                     << "right/top" << 750 << 145;
    QTest::newRow("120 right/top") << "120"
                                   << "right/top" << 500 << 300;
    QTest::newRow("caption left/bottom") << "Gim. data"
                                         << "left/bottom" << 20 << 120;
    QTest::newRow("0,25 right/bottom") << "0,25"
                                       << "right/bottom" << 700 << 390;
    QTest::newRow("Lithuanian left/top") << "Krikšto ąčęėįšųūž"
                                         << "left/top" << 10 << 200;
}

void QtCanvasTest::textLandsWhereItsAlignmentSays() {
    QFETCH(QString, text);
    QFETCH(QString, align);
    QFETCH(int, x);
    QFETCH(int, y);
    Sheet sheet;
    const FontSpec font = pointFont("Arial", 100, sheet.canvas->dpiY());
    sheet.canvas->selectFont(font);
    sheet.canvas->setTextAlign(alignFrom(align));
    sheet.canvas->setBackgroundTransparent(true);
    sheet.canvas->textOut(x, y, text.toStdString());
    const QFont qfont = sheet.canvas->qfont();
    const QImage& image = sheet.done();
    compareInk(inkBox(image), expectedInk(qfont, &image, text, x, y, alignFrom(align)));
    if (alignFrom(align).horizontal == HorizontalAlign::Right) {
        // Nothing may stick out beyond x.
        QImage beyond = image.copy(x, 0, image.width() - x, image.height());
        QVERIFY(inkBox(beyond).isEmpty());
    }
}

void QtCanvasTest::updatePositionWritesFromTheCurrentPoint() {
    const FontSpec font{"Arial", -30, WEIGHT_NORMAL, CHARSET_BALTIC};
    const TextAlign chained{HorizontalAlign::Left, VerticalAlign::Bottom, true};

    Sheet chain;
    chain.canvas->selectFont(font);
    chain.canvas->setBackgroundTransparent(true);
    chain.canvas->setTextAlign(chained);
    chain.canvas->moveTo(30, 100);
    chain.canvas->textOut(500, 5, "Vardas "); // the point is not used
    const Point afterFirst = chain.canvas->currentPosition();
    const double firstWidth = chain.canvas->textWidth("Vardas ");
    QCOMPARE(afterFirst, (Point{30 + int(std::lround(firstWidth)), 100}));
    chain.canvas->moveTo(afterFirst.x, 150);
    chain.canvas->textOut(0, 0, "Adresas");
    QCOMPARE(chain.canvas->currentPosition().y, 150);
    QCOMPARE(chain.canvas->textAlign(), chained);

    // The same texts placed by hand.
    Sheet byHand;
    byHand.canvas->selectFont(font);
    byHand.canvas->setBackgroundTransparent(true);
    byHand.canvas->setTextAlign(LEFT_BOTTOM);
    byHand.canvas->textOut(30, 100, "Vardas ");
    byHand.canvas->textOut(afterFirst.x, 150, "Adresas");
    QVERIFY(!inkBox(byHand.done()).isEmpty());
    QCOMPARE(chain.done(), byHand.image);
}

void QtCanvasTest::rightAlignedUpdateEndsAtTheCurrentPoint() {
    Sheet sheet;
    sheet.canvas->selectFont(FontSpec{"Arial", -40, WEIGHT_NORMAL, CHARSET_DEFAULT});
    sheet.canvas->setBackgroundTransparent(true);
    sheet.canvas->setTextAlign(TextAlign{HorizontalAlign::Right, VerticalAlign::Top, true});
    sheet.canvas->moveTo(600, 50);
    sheet.canvas->textOut(0, 0, "120");
    const double width = sheet.canvas->textWidth("120");
    QCOMPARE(sheet.canvas->currentPosition(), (Point{600 - int(std::lround(width)), 50}));
    const QFont qfont = sheet.canvas->qfont();
    const QImage& image = sheet.done();
    compareInk(inkBox(image), expectedInk(qfont, &image, "120", 600, 50, RIGHT_TOP));
}

void QtCanvasTest::clippedTextStaysInsideItsRectangle_data() {
    QTest::addColumn<QRect>("clip");
    QTest::addColumn<bool>("opaque");
    // A long remark cut at the pane's right edge, and one cut between its lines.
    QTest::newRow("cut at the right") << QRect(QPoint(100, 50), QPoint(299, 89)) << false;
    QTest::newRow("cut at the right, opaque") << QRect(QPoint(100, 50), QPoint(299, 89)) << true;
    QTest::newRow("cut below") << QRect(QPoint(100, 50), QPoint(700, 69)) << false;
}

void QtCanvasTest::clippedTextStaysInsideItsRectangle() {
    QFETCH(QRect, clip);
    QFETCH(bool, opaque);
    const QRgb paper = qRgb(230, 230, 230);
    Sheet sheet(800, 200, paper);
    sheet.canvas->selectFont(FontSpec{"Arial", -40, WEIGHT_NORMAL, CHARSET_BALTIC});
    sheet.canvas->setBackgroundTransparent(!opaque);
    const Rect rect{clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1};
    sheet.canvas->textOutClipped(rect.left, rect.top, rect,
                                 "Pag.pionierius ir labai ilga pastaba, kuri netelpa");
    const QImage& image = sheet.done();
    const QRect ink = inkBox(image);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(clip.contains(ink), qPrintable(QString("ink %1,%2 %3x%4")
                                                .arg(ink.x())
                                                .arg(ink.y())
                                                .arg(ink.width())
                                                .arg(ink.height())));
    // Nothing at all changes outside the rectangle, the opaque background included.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!clip.contains(x, y) && image.pixel(x, y) != paper)
                QFAIL(qPrintable(QString("pixel %1,%2 changed").arg(x).arg(y)));
    // The text reaches the clip's edge, so it was cut there rather than shortened.
    if (clip.width() < 300)
        QCOMPARE(ink.right(), clip.right());
    if (opaque)
        QCOMPARE(image.pixel(clip.right(), clip.top()), qRgb(255, 255, 255));
}

void QtCanvasTest::opaqueTextFillsItsCell() {
    const QRgb paper = qRgb(200, 200, 200);
    Sheet sheet(400, 200, paper);
    sheet.canvas->selectFont(FontSpec{"Arial", -40, WEIGHT_NORMAL, CHARSET_DEFAULT});
    const double width = sheet.canvas->textWidth("x");
    const double cell = sheet.canvas->fontMetrics().height();
    sheet.canvas->textOut(100, 50, "x"); // default: opaque white
    sheet.canvas->setBackgroundTransparent(true);
    sheet.canvas->textOut(200, 50, "x");
    const QImage& image = sheet.done();
    // Opaque: the cell's corners are white, just outside them the paper stays.
    QCOMPARE(image.pixel(100, 50), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(100 + int(width) - 1, 50 + int(cell) - 1), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(99, 50), paper);
    QCOMPARE(image.pixel(100, 49), paper);
    QCOMPARE(image.pixel(100 + int(std::ceil(width)), 60), paper);
    QCOMPARE(image.pixel(100, 50 + int(std::ceil(cell))), paper);
    // Transparent: the paper shows around the glyph.
    QCOMPARE(image.pixel(200, 50), paper);
}

void QtCanvasTest::greyIsExactly808080() {
    Sheet sheet;
    sheet.canvas->selectFont(FontSpec{"Arial", -120, WEIGHT_BOLD, CHARSET_BALTIC});
    sheet.canvas->setBackgroundTransparent(true);
    sheet.canvas->setTextColor(GREY);
    QCOMPARE(sheet.canvas->textColor(), GREY);
    sheet.canvas->textOut(10, 10, "Iš Viso");
    sheet.canvas->fillRect(Rect{700, 10, 720, 30}, GREY);
    const QImage& image = sheet.done();
    QCOMPARE(image.pixel(710, 20), qRgb(128, 128, 128));
    // The darkest text pixel (fully covered) is the grey itself, never darker.
    int darkest = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < 690; ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    QCOMPARE(darkest, 128);
}

void QtCanvasTest::linesCoverExactPixels_data() {
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("right") << QPoint(10, 20) << QPoint(30, 20)
                           << QRect(QPoint(10, 20), QPoint(29, 20));
    QTest::newRow("left") << QPoint(30, 20) << QPoint(10, 20)
                          << QRect(QPoint(11, 20), QPoint(30, 20));
    QTest::newRow("down") << QPoint(40, 5) << QPoint(40, 60)
                          << QRect(QPoint(40, 5), QPoint(40, 59));
    QTest::newRow("up") << QPoint(40, 60) << QPoint(40, 5) << QRect(QPoint(40, 6), QPoint(40, 60));
    QTest::newRow("one pixel") << QPoint(7, 7) << QPoint(8, 7) << QRect(7, 7, 1, 1);
}

void QtCanvasTest::linesCoverExactPixels() {
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRect, pixels);
    Sheet sheet(100, 100);
    sheet.canvas->moveTo(from.x(), from.y());
    sheet.canvas->lineTo(to.x(), to.y());
    QCOMPARE(sheet.canvas->currentPosition(), (Point{to.x(), to.y()}));
    const QImage& image = sheet.done();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb expected = pixels.contains(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            if (image.pixel(x, y) != expected)
                QFAIL(qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
        }
}

void QtCanvasTest::linesWithoutAPenOnlyMove() {
    Sheet sheet(100, 100);
    sheet.canvas->setPen(std::nullopt);
    sheet.canvas->moveTo(10, 10);
    sheet.canvas->lineTo(90, 10);
    QCOMPARE(sheet.canvas->currentPosition(), (Point{90, 10}));
    sheet.canvas->setPen(GREY);
    sheet.canvas->lineTo(90, 50);
    const QImage& image = sheet.done();
    QCOMPARE(image.pixel(50, 10), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(90, 30), qRgb(128, 128, 128));
    QCOMPARE(inkBox(image), QRect(QPoint(90, 10), QPoint(90, 49)));
}

void QtCanvasTest::rectanglesCoverExactPixels() {
    const QRgb paper = qRgb(50, 100, 150);
    Sheet sheet(100, 100, paper);
    sheet.canvas->rectangle(Rect{10, 20, 60, 70}); // black pen, white brush
    sheet.canvas->setPen(std::nullopt);
    sheet.canvas->setBrush(GREY);
    sheet.canvas->rectangle(Rect{70, 10, 80, 15});
    sheet.canvas->setBrush(std::nullopt);
    sheet.canvas->setPen(BLACK);
    sheet.canvas->rectangle(Rect{70, 30, 90, 40}); // outline only
    sheet.canvas->fillRect(Rect{0, 90, 5, 95}, GREY);
    const QImage& image = sheet.done();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QRgb expected = paper;
            const bool frame1 = x >= 10 && x < 60 && y >= 20 && y < 70;
            const bool inner1 = x > 10 && x < 59 && y > 20 && y < 69;
            const bool frame3 = x >= 70 && x < 90 && y >= 30 && y < 40;
            const bool inner3 = x > 70 && x < 89 && y > 30 && y < 39;
            if (frame1)
                expected = inner1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            else if (x >= 70 && x < 80 && y >= 10 && y < 15)
                expected = qRgb(128, 128, 128);
            else if (frame3 && !inner3)
                expected = qRgb(0, 0, 0);
            else if (x < 5 && y >= 90 && y < 95)
                expected = qRgb(128, 128, 128);
            if (image.pixel(x, y) != expected)
                QFAIL(qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
        }
}

void QtCanvasTest::painterStateIsGivenBack() {
    QImage image(50, 50, QImage::Format_RGB32);
    QPainter painter(&image);
    QFont before("Liberation Mono");
    before.setPixelSize(7);
    painter.setFont(before);
    painter.setPen(Qt::red);
    {
        QtCanvas canvas(painter);
        canvas.selectFont(FontSpec{"Arial", -30, WEIGHT_NORMAL, CHARSET_DEFAULT});
        canvas.setTextColor(GREY);
        canvas.textOut(0, 0, "x");
    }
    QCOMPARE(painter.font(), before);
    QCOMPARE(painter.pen().color(), QColor(Qt::red));
}

void QtCanvasTest::aPainterThatDidNotStartDrawsNothing() {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("missing/folder/card.pdf"));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QPainter painter(&printer);
    QVERIFY(!painter.isActive());
    QtCanvas canvas(painter);
    QCOMPARE(canvas.dpiX(), QtCanvas::FALLBACK_DPI);
    canvas.selectFont(pointFont("Arial", 100, canvas.dpiY()));
    canvas.setTextAlign(TextAlign{HorizontalAlign::Left, VerticalAlign::Top, true});
    canvas.textOut(0, 0, "Jonaitis");
    QVERIFY(canvas.currentPosition().x > 0);
    canvas.moveTo(0, 0);
    canvas.lineTo(10, 0);
    canvas.rectangle(Rect{0, 0, 10, 10});
    canvas.fillRect(Rect{0, 0, 10, 10}, GREY);
    QCOMPARE(canvas.currentPosition(), (Point{10, 0}));
}

void QtCanvasTest::pdfWordsLandWhereTheCanvasPutThem_data() {
    QTest::addColumn<bool>("defaultMargins");
    QTest::addColumn<QMarginsF>("marginsInPoints");
    QTest::addColumn<bool>("fullPage");
    QTest::newRow("printer's own margins") << true << QMarginsF() << false;
    QTest::newRow("no margins") << false << QMarginsF(0, 0, 0, 0) << false;
    // Qt rounds margins to whole points, then to device units.
    QTest::newRow("odd margins") << false << QMarginsF(13.3, 27.7, 20, 20) << false;
    QTest::newRow("full page") << true << QMarginsF() << true;
}

void QtCanvasTest::pdfWordsLandWhereTheCanvasPutThem() {
    QFETCH(bool, defaultMargins);
    QFETCH(QMarginsF, marginsInPoints);
    QFETCH(bool, fullPage);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed: the PDF cannot be read back");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath("card.pdf");

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(300);
    if (!defaultMargins)
        QVERIFY(printer.setPageMargins(marginsInPoints, QPageLayout::Point));
    printer.setFullPage(fullPage);
    // Device (0, 0) is the printable area's corner, or the paper's in full-page mode.
    const QRect paint = printer.pageLayout().paintRectPixels(300);
    const QRect full = printer.pageLayout().fullRectPixels(300);
    const QPoint offset = fullPage ? QPoint(0, 0) : paint.topLeft() - full.topLeft();

    double cell = 0;
    {
        QPainter painter(&printer);
        QtCanvas canvas(painter);
        QCOMPARE(canvas.dpiX(), 300);
        QCOMPARE(canvas.dpiY(), 300);
        canvas.selectFont(pointFont("Arial", 100, canvas.dpiY()));
        cell = canvas.fontMetrics().height();
        canvas.textOut(240, 66, "Jonaitis");
        canvas.setTextAlign(RIGHT_TOP);
        canvas.textOut(750, 445, "12,75");
        canvas.setTextAlign(LEFT_BOTTOM);
        canvas.textOut(1140, 600, "Pastabos");
    }
    const QList<PdfWord> words = pdfWords(file);
    QCOMPARE(words.size(), 3);
    const auto points = [](double units) {
        return units * 72.0 / 300.0;
    };
    // Far inside half a point: an advance rounded to whole units would already miss.
    const auto near = [](double found, double expected) {
        return std::abs(found - expected) <= 0.05;
    };
    for (const PdfWord& w : words)
        qInfo("%s: %.2f %.2f %.2f %.2f (offset %d,%d units)", qPrintable(w.text), w.xMin, w.yMin,
              w.xMax, w.yMax, offset.x(), offset.y());

    QCOMPARE(words[0].text, QString("Jonaitis"));
    QVERIFY(near(words[0].xMin, points(240 + offset.x())));
    QVERIFY(near(words[0].yMin, points(66 + offset.y())));
    QVERIFY(near(words[0].yMax, points(66 + cell + offset.y())));

    QCOMPARE(words[1].text, QString("12,75"));
    QVERIFY(near(words[1].xMax, points(750 + offset.x())));
    QVERIFY(near(words[1].yMin, points(445 + offset.y())));

    QCOMPARE(words[2].text, QString("Pastabos"));
    QVERIFY(near(words[2].xMin, points(1140 + offset.x())));
    QVERIFY(near(words[2].yMax, points(600 + offset.y())));
}

QTEST_MAIN(QtCanvasTest)
#include "qtcanvas_test.moc"
