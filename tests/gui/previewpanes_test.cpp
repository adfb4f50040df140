// Both preview panes painted for real: the surfaces render into images, which must show a
// picture whose black and grey tell what the next print holds; the header pane reports the
// boxes the dialog shows, and both panes keep the size they measured first.
#include "cardfixture.h"
#include "main/headerpreviewpane.h"
#include "main/tablepreviewpane.h"
#include "toolkit/dialogbuilder.h"

#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QtTest>

#include <memory>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

constexpr int HEADER_W = 550, HEADER_H = 78;
constexpr int TABLE_W = 525, TABLE_H = 199;
constexpr int ROW_H = TABLE_H / 14;
constexpr int COL_W = TABLE_W / 9; // Placements
constexpr int AUG = 7;

QImage renderOf(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

// Darkest grey level inside a rectangle of the image.
int darkest(const QImage& image, const QRect& area) {
    int level = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            level = std::min(level, qGray(image.pixel(x, y)));
    return level;
}

int countColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour ? 1 : 0;
    return n;
}

// Inside the hours cell of table row r, clear of the grid lines.
QRect hoursCell(int row) {
    return QRect(3 * COL_W + 1, (row + 1) * ROW_H + 1, COL_W - 2, ROW_H - 2);
}

sample::PublisherSpec everyMonth() {
    sample::PublisherSpec p = person("Povilas", "Grigas", 134);
    p.mobilePhone = "+370 600 00134";
    p.male = true;
    for (auto& month : p.months) {
        month.placementEncoding = true;
        month.placements = 7;
        month.hours = 44;
    }
    return p;
}

} // namespace

class PreviewPanesTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        f = std::make_unique<CardFixture>();
        f->state.lastMonth = AUG;
        f->state.selectedRecord = f->addPublisher(everyMonth());
        window = std::make_unique<QWidget>();
        headerSurface = new OwnerDrawSurface(window.get());
        headerSurface->resize(HEADER_W, HEADER_H);
        tableSurface = new OwnerDrawSurface(window.get());
        tableSurface->resize(TABLE_W, TABLE_H);
        lastNameFirst = new QCheckBox(window.get());
        longName = new QCheckBox(window.get());
        sexMark = new QCheckBox(window.get());
        longName->hide();
        sexMark->hide();
        headerPane =
            new HeaderPreviewPane(headerSurface, &f->state, [this](const HeaderPaneEffects& e) {
                ++effectsReported;
                applyHeaderPaneEffects(e, lastNameFirst, longName, sexMark);
            });
        tablePane = new TablePreviewPane(tableSurface, &f->state);
        effectsReported = 0;
    }
    void cleanup() {
        window.reset();
        f.reset();
    }

    void tablePaneGreyAndBlackByMonthBox() {
        f->state.monthChecked[1] = true; // October
        const QImage image = renderOf(*tableSurface);
        QCOMPARE(countColour(image, qRgb(255, 0, 255)), 0); // the pane covers its surface
        QVERIFY(countColour(image, qRgb(255, 255, 255)) < TABLE_W * TABLE_H);
        // October's "44" is black; September's and November's are grey, not absent.
        QVERIFY(darkest(image, hoursCell(1)) < 70);
        for (int row : {0, 2}) {
            const int level = darkest(image, hoursCell(row));
            QVERIFY2(level >= 100 && level < 220, qPrintable(QString::number(level)));
        }
        // Ticking September repaints it in black.
        f->state.monthChecked[0] = true;
        QVERIFY(darkest(renderOf(*tableSurface), hoursCell(0)) < 70);
    }

    void headerPaneDataBlackOnlyWhenHeaderPrints() {
        // The name's area: right of its x0 + w / 10, between the row unit lines.
        const QRect nameArea(66, 4, 150, 10);
        f->state.printHeader = true;
        QImage image = renderOf(*headerSurface);
        QCOMPARE(countColour(image, qRgb(255, 0, 255)), 0);
        QVERIFY(darkest(image, nameArea) < 70);
        f->state.printHeader = false;
        image = renderOf(*headerSurface);
        const int level = darkest(image, nameArea);
        QVERIFY2(level >= 100 && level < 220, qPrintable(QString::number(level)));
        QCOMPARE(f->state.displayName, std::string("Povilas Grigas"));
        QCOMPARE(f->state.mobileText, std::string("+370 600 00134"));
    }

    void headerPaneShowsAndHidesTheBoxes() {
        renderOf(*headerSurface);
        QCOMPARE(effectsReported, 1);
        QVERIFY(!lastNameFirst->isHidden());
        QVERIFY(longName->isHidden());
        QVERIFY(!sexMark->isHidden()); // male

        sample::PublisherSpec neither = person("Ona", "Grigien\xEB", 150);
        f->state.selectedRecord = f->addPublisher(neither);
        renderOf(*headerSurface);
        QVERIFY(sexMark->isHidden());
        QVERIFY(!lastNameFirst->isHidden());
    }

    void nothingLoadedLeavesBoxesAndPaneAlone() {
        f->data.store.currentCount = 0;
        const QImage image = renderOf(*headerSurface);
        QCOMPARE(effectsReported, 0);
        QVERIFY(longName->isHidden());
        QVERIFY(sexMark->isHidden());
        // Nothing painted over the surface's own background.
        QCOMPARE(countColour(image, qRgb(0, 0, 0)), 0);
    }

    void panesKeepTheirFirstSize() {
        renderOf(*headerSurface);
        renderOf(*tableSurface);
        QVERIFY(headerPane->measured());
        QVERIFY(headerPane->paneRect() == (Rect{0, 0, HEADER_W, HEADER_H}));
        QVERIFY(tablePane->measured());
        headerSurface->resize(HEADER_W * 2, HEADER_H * 2);
        tableSurface->resize(TABLE_W * 2, TABLE_H * 2);
        renderOf(*headerSurface);
        const QImage table = renderOf(*tableSurface);
        QVERIFY(headerPane->paneRect() == (Rect{0, 0, HEADER_W, HEADER_H}));
        QVERIFY(tablePane->cachedRect() == (Rect{0, 0, TABLE_W, TABLE_H}));
        // The frame's bottom-right corner stays where the first size put it.
        QCOMPARE(qGray(table.pixel(TABLE_W - 1, TABLE_H - 1)), 0);
    }

    void deletedPaneLeavesItsSurfaceBlank() {
        delete tablePane;
        const QImage image = renderOf(*tableSurface);
        QCOMPARE(countColour(image, qRgb(0, 0, 0)), 0);
    }

private:
    std::unique_ptr<CardFixture> f;
    std::unique_ptr<QWidget> window;
    OwnerDrawSurface* headerSurface = nullptr;
    OwnerDrawSurface* tableSurface = nullptr;
    QCheckBox* lastNameFirst = nullptr;
    QCheckBox* longName = nullptr;
    QCheckBox* sexMark = nullptr;
    HeaderPreviewPane* headerPane = nullptr;
    TablePreviewPane* tablePane = nullptr;
    int effectsReported = 0;
};

QTEST_MAIN(PreviewPanesTest)
#include "previewpanes_test.moc"
