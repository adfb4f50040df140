// The fillable-form writer on a stand-in of the branch's S-21 11/23 form: the values land in
// their fields (read back with qpdf), the Lithuanian letters show in a viewer that draws only
// the appearances (pdftotext), and a form that cannot be filled writes nothing.
#define POINTERHOLDER_TRANSITION 4
#include "card/cardbatch.h"
#include "card/formvalues.h"
#include "cardfixture.h"

#include "pdfcheck.h"
#include "printing/fillform.h"
#include "printing/formfields.h"
#include "records/fileio.h"
#include "s21form.h"
#include "standinform.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>

#include <QtTest>

#include <fstream>
#include <functional>
#include <map>

using namespace pelkorl;
using namespace pelkorl::test;

namespace {

namespace fs = std::filesystem;

struct ReadBack {
    std::map<std::string, std::string> values; // full name: /V as UTF-8 or a name
    std::map<std::string, std::string> states; // check boxes: /AS of the widget
    std::map<std::string, std::string> totals; // the calculation script of each hours total
    std::vector<std::string> order;            // the calculation order, listed fields only
    bool hasForm = false;
    bool needAppearances = false;
    bool defaultFontInResources = false;
    int pages = 0;
};

// The fields as a program reading the form finds them: from /AcroForm /Fields down.
void readFields(QPDFObjectHandle field, ReadBack& r, std::map<QPDFObjGen, std::string>& listed) {
    QPDFObjectHandle kids = field.getKey("/Kids");
    // Kids with a name or kids of their own are fields; the others are widgets of this one.
    const auto isField = [](QPDFObjectHandle kid) {
        return kid.hasKey("/T") || kid.hasKey("/Kids");
    };
    if (kids.isArray() && kids.getArrayNItems() > 0 && isField(kids.getArrayItem(0))) {
        for (QPDFObjectHandle kid : kids.aitems())
            readFields(kid, r, listed);
        return;
    }
    QPDFFormFieldObjectHelper helper(field);
    const std::string name = helper.getFullyQualifiedName();
    listed[field.getObjGen()] = name;
    QPDFObjectHandle v = helper.getValue();
    r.values[name] = v.isName() ? v.getName() : v.isString() ? v.getUTF8Value() : "";
    QPDFObjectHandle widget = field.hasKey("/Kids") ? kids.getArrayItem(0) : field;
    if (helper.isCheckbox())
        r.states[name] = widget.getKey("/AS").isName() ? widget.getKey("/AS").getName() : "";
    QPDFObjectHandle js = field.getKey("/AA").getKey("/C").getKey("/JS");
    if (name.rfind("904_32", 0) == 0 && js.isString())
        r.totals[name] = js.getUTF8Value();
}

ReadBack readBack(const fs::path& file) {
    ReadBack r;
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(file.string().c_str());
    r.pages = static_cast<int>(pdf.getAllPages().size());
    QPDFObjectHandle acroForm = pdf.getRoot().getKey("/AcroForm");
    std::map<QPDFObjGen, std::string> listed;
    for (QPDFObjectHandle field : acroForm.getKey("/Fields").aitems())
        readFields(field, r, listed);
    r.hasForm = !r.values.empty();
    r.needAppearances = acroForm.getKey("/NeedAppearances").isBool() &&
                        acroForm.getKey("/NeedAppearances").getBoolValue();
    for (QPDFObjectHandle field : acroForm.getKey("/CO").aitems())
        r.order.push_back(listed.count(field.getObjGen()) ? listed[field.getObjGen()] : "?");
    QPDFObjectHandle da = acroForm.getKey("/DA");
    const std::string font =
        da.isString() ? da.getStringValue().substr(0, da.getStringValue().find(' ')) : "";
    r.defaultFontInResources = acroForm.getKey("/DR").getKey("/Font").hasKey(font);
    return r;
}

// Two publishers: a regular pioneer with Lithuanian letters, and an unbaptized one.
struct TwoPublishers {
    TwoPublishers() {
        sample::PublisherSpec a = person("Gra\xFEina", "\xD0imk\xFBnien\xEB");
        a.baptismDate = "04182007";
        a.female = true;
        a.months[7].status = sample::REGULAR_PIONEER;
        a.months[8] = {.status = sample::REGULAR_PIONEER, .hours = 70, .quarterHours = 3};
        pioneer = f.addPublisher(a);
        other = f.addPublisher(person("Jonas", "Petraitis"));
        f.state.markSex = true;
    }
    std::vector<std::vector<FormValue>> pages(std::initializer_list<int> records) {
        std::vector<std::vector<FormValue>> all;
        for (const int j : records)
            all.push_back(formPages(f.state, CardPage{j}, false).front());
        return all;
    }
    CardFixture f;
    int pioneer = 0;
    int other = 0;
};

class FillFormTest : public QObject {
    Q_OBJECT

private slots:
    void valuesLandInTheirFieldsAndShow_data();
    void valuesLandInTheirFieldsAndShow();
    void aReaderOfFormsFindsEveryField();
    void aFormIsFilledSoundlyOrRefused_data();
    void aFormIsFilledSoundlyOrRefused();
};

void FillFormTest::valuesLandInTheirFieldsAndShow_data() {
    QTest::addColumn<QString>("onState");
    QTest::addColumn<bool>("widgetsOnly");
    QTest::addColumn<bool>("separateWidgets");
    // A form whose boxes are "on" under a name of their own.
    QTest::newRow("own on state") << "/On" << false << false;
    // Most editions: no field listed, each widget its own field, the hours calculated.
    QTest::newRow("widgets only") << "/Yes" << true << false;
    // Fields apart from their widgets, listed or found from the page.
    QTest::newRow("separate widgets") << "/Yes" << false << true;
    QTest::newRow("separate widgets only") << "/Yes" << true << true;
}

void FillFormTest::valuesLandInTheirFieldsAndShow() {
    QFETCH(QString, onState);
    QFETCH(bool, widgetsOnly);
    QFETCH(bool, separateWidgets);
    if (formFontFile().empty())
        QSKIP("no Liberation Sans or DejaVu Sans");
    TempFolder temp;
    const fs::path form = temp.path() / "S-21.pdf";
    StandInOptions options;
    options.onState = onState.toStdString();
    options.widgetsOnly = widgetsOnly;
    options.separateWidgets = separateWidgets;
    const std::string formBytes = standInForm(options);
    writeBytes(form, formBytes);
    FormFiller filler;
    QVERIFY(filler.open(form).ok());
    TwoPublishers two;

    const fs::path one = temp.path() / "one.pdf";
    QVERIFY(filler.write(two.pages({two.pioneer, two.other}), false, one).ok());
    QCOMPARE(readBytes(form), formBytes);
    const ReadBack r = readBack(one);
    QCOMPARE(r.pages, 2);
    // Every field of both pages is listed, the second page's under names of their own.
    QCOMPARE(r.values.size(), 2 * s21FormFields().size());
    QVERIFY(!r.needAppearances);
    QVERIFY(r.defaultFontInResources);
    QCOMPARE(r.values.at("900_1_Text_SanSerif"), std::string("Gražina Šimkūnienė"));
    QCOMPARE(r.values.at("904_20_S21_Value"), std::string("70.75"));
    QCOMPARE(r.values.at("904_32_S21_Value"), std::string("70.75"));
    const std::string on = onState.toStdString();
    QCOMPARE(r.values.at("900_4_CheckBox"), on);
    QCOMPARE(r.states.at("900_4_CheckBox"), on);
    QCOMPARE(r.values.at("900_10_CheckBox"), on);
    QCOMPARE(r.values.at("900_7_CheckBox"), std::string("/Off"));
    QCOMPARE(r.states.at("900_3_CheckBox"), std::string("/Off"));
    QCOMPARE(r.values.at("900_1_Text_SanSerif+1"), std::string("Jonas Petraitis"));
    QCOMPARE(r.values.at("900_4_CheckBox+1"), std::string("/Off"));
    if (widgetsOnly) {
        // Each page's total is calculated from its own months, in the order kept.
        QCOMPARE(r.order.size(), std::size_t(26));
        QCOMPARE(r.order.front(), std::string("904_20_S21_Value"));
        QCOMPARE(r.order.back(), std::string("904_32_S21_Value+1"));
        QVERIFY(r.totals.at("904_32_S21_Value").find("\"904_20_S21_Value\"") != std::string::npos);
        QVERIFY2(r.totals.at("904_32_S21_Value+1").find("\"904_20_S21_Value+1\"") !=
                     std::string::npos,
                 r.totals.at("904_32_S21_Value+1").c_str());
    }

    // A filled file filled again takes the new values.
    FormFiller again;
    QVERIFY(again.open(one).ok());
    const fs::path twice = temp.path() / "twice.pdf";
    QVERIFY(again.write(two.pages({two.other}), false, twice).ok());
    const ReadBack t = readBack(twice);
    QCOMPARE(t.values.at("900_1_Text_SanSerif"), std::string("Jonas Petraitis"));
    QCOMPARE(t.values.at("900_4_CheckBox"), std::string("/Off"));

    if (!hasPoppler())
        QSKIP("poppler-utils are not installed");
    // The appearances alone show the texts: name, hours as the card prints them.
    QStringList words;
    for (const PdfWord& w : pdfWords(QString::fromStdString(one.string()), 1))
        words << w.text;
    QVERIFY2(words.contains(QStringLiteral("Šimkūnienė")), qPrintable(words.join(' ')));
    QVERIFY2(words.contains(QStringLiteral("70,75")), qPrintable(words.join(' ')));

    // Flattened: no fields left, the texts on the page.
    const fs::path flat = temp.path() / "flat.pdf";
    QVERIFY(filler.write(two.pages({two.pioneer}), true, flat).ok());
    QVERIFY(!readBack(flat).hasForm);
    words.clear();
    for (const PdfWord& w : pdfWords(QString::fromStdString(flat.string())))
        words << w.text;
    QVERIFY(words.contains(QStringLiteral("Šimkūnienė")));
}

// Appearances free of numbers no viewer takes: every text field's drawing and box.
bool appearancesSound(const fs::path& file) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(file.string().c_str());
    QPDFAcroFormDocumentHelper forms(pdf);
    for (QPDFFormFieldObjectHelper field : forms.getFormFields()) {
        for (QPDFAnnotationObjectHelper annot : forms.getAnnotationsForField(field)) {
            QPDFObjectHandle normal = annot.getAppearanceStream("/N");
            if (!field.isText() || !normal.isStream())
                continue;
            const auto data = normal.getStreamData(qpdf_dl_generalized);
            const std::string text(reinterpret_cast<const char*>(data->getBuffer()),
                                   data->getSize());
            const auto box = normal.getDict().getKey("/BBox").getArrayAsRectangle();
            if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos ||
                !(box.urx < 14400 && box.ury < 14400))
                return false;
        }
    }
    return !pdf.anyWarnings();
}

// A copy of the first `size` bytes of a font: read, it is no font.
fs::path brokenFont(const fs::path& folder) {
    Bytes bytes;
    readWholeFile(formFontFile(), 1 << 25, bytes);
    const fs::path file = folder / "Broken-Regular.ttf";
    writeBytes(file, std::string(bytes.begin(), bytes.begin() + 2000));
    return file;
}

} // namespace

// pypdf reads the form as programs that import filled cards do: from /Fields only.
void FillFormTest::aReaderOfFormsFindsEveryField() {
    if (formFontFile().empty())
        QSKIP("no Liberation Sans or DejaVu Sans");
    TempFolder temp;
    const fs::path form = temp.path() / "S-21.pdf";
    StandInOptions options;
    options.widgetsOnly = true;
    QVERIFY(writeStandInForm(form, options));
    FormFiller filler;
    QVERIFY(filler.open(form).ok());
    TwoPublishers two;
    const fs::path filled = temp.path() / "filled.pdf";
    QVERIFY(filler.write(two.pages({two.pioneer, two.other}), false, filled).ok());

    // Debian's own Python, which has pypdf (make deps installs it).
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c",
                  "import sys\nfrom pypdf import PdfReader\n"
                  "fields = PdfReader(sys.argv[1]).get_fields() or {}\n"
                  "print(len(fields))\n"
                  "for name in sys.argv[2:]: print(fields[name].get('/V'))\n",
                  QString::fromStdString(filled.string()), "900_1_Text_SanSerif",
                  "900_1_Text_SanSerif+1", "904_32_S21_Value", "900_4_CheckBox"});
    QVERIFY2(python.waitForFinished(60000) && python.exitCode() == 0,
             qPrintable("pypdf (python3-pypdf) could not read the filled form: " +
                        QString::fromUtf8(python.readAllStandardError())));
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
    QCOMPARE(lines.value(0).toInt(), int(2 * s21FormFields().size()));
    QCOMPARE(lines.value(1), QStringLiteral("Gražina Šimkūnienė"));
    QCOMPARE(lines.value(2), QStringLiteral("Jonas Petraitis"));
    QCOMPARE(lines.value(3), QStringLiteral("70.75"));
    QCOMPARE(lines.value(4), QStringLiteral("/Yes"));
}

// Hostile and odd forms: the fill's verdict, which the layout reader shares; where the form
// is accepted, two publishers are filled into a sound file.
void FillFormTest::aFormIsFilledSoundlyOrRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("grow");   // the file made this large
    QTest::addColumn<QString>("fonts"); // "": the usual ones; "broken", "broken+usual"
    QTest::addColumn<QString>("text");  // the name shown, when not the publisher's
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("detail"); // the FieldFault or FormLimit
    const auto form = [](const std::function<void(StandInOptions&)>& change) {
        StandInOptions o;
        change(o);
        const std::string b = standInForm(o);
        return QByteArray(b.data(), qsizetype(b.size()));
    };
    const auto plain = form([](StandInOptions&) {});
    const int none = int(FormProblem::None);
    const int notS21 = int(FormProblem::NotS21Form);
    const int limit = int(FormProblem::PastLimit);
    QTest::newRow("stand-in") << plain << qint64(0) << ""
                              << "" << none << "" << 0;
    QTest::newRow("missingField") << form([](StandInOptions& o) {
        o.leaveOut = "904_32_S21_Value";
    }) << qint64(0) << ""
                                  << "" << notS21 << "904_32_S21_Value" << int(FieldFault::Missing);
    QTest::newRow("userPassword") << form([](StandInOptions& o) { o.userPassword = "slaptas"; })
                                  << qint64(0) << ""
                                  << "" << int(FormProblem::Protected) << "" << 0;
    QTest::newRow("ownerPasswordOnly")
        << form([](StandInOptions& o) { o.encrypt = true; }) << qint64(0) << ""
        << "" << none << "" << 0;
    QTest::newRow("notPdf") << QByteArray("tdat7.bin\0\1\2", 12) << qint64(0) << ""
                            << "" << int(FormProblem::NotPdf) << "" << 0;
    QTest::newRow("cutPdf") << plain.left(300) << qint64(0) << ""
                            << "" << int(FormProblem::Damaged) << "" << 0;
    QTest::newRow("headerAfterJunk") << QByteArray(200, 'j') + plain << qint64(0) << ""
                                     << "" << none << "" << 0;
    QTest::newRow("pastSizeLimit") << plain << qint64(FORM_MAX_BYTES + 1) << ""
                                   << "" << limit << "" << int(FormLimit::FileSize);
    QTest::newRow("deepParents") << form([](StandInOptions& o) { o.parentDepth = 5000; })
                                 << qint64(0) << ""
                                 << "" << limit << "" << int(FormLimit::Depth);
    QTest::newRow("parentsWithinLimit")
        << form([](StandInOptions& o) { o.parentDepth = int(FORM_MAX_DEPTH) - 1; }) << qint64(0)
        << ""
        << "" << none << "" << 0;
    QTest::newRow("parentLoop") << form([](StandInOptions& o) { o.parentLoop = true; }) << qint64(0)
                                << ""
                                << "" << int(FormProblem::FieldLoop) << "900_1_Text_SanSerif" << 0;
    QTest::newRow("2000 widgets of one field")
        << form([](StandInOptions& o) { o.sharedWidgets = 2000; }) << qint64(0) << ""
        << "" << limit << "" << int(FormLimit::Fields);
    QTest::newRow("widgetsPastPageLimit")
        << form([](StandInOptions& o) { o.sharedWidgets = 60; }) << qint64(0) << ""
        << "" << limit << "" << int(FormLimit::Widgets);
    QTest::newRow("noPage") << form([](StandInOptions& o) { o.noPage = true; }) << qint64(0) << ""
                            << "" << int(FormProblem::NoPage) << "" << 0;
    QTest::newRow("fieldOnNoPage")
        << form([](StandInOptions& o) { o.offPage = "900_2_Text_SanSerif"; }) << qint64(0) << ""
        << "" << notS21 << "900_2_Text_SanSerif" << int(FieldFault::OnNoPage);
    QTest::newRow("hugeRect") << form([](StandInOptions& o) { o.badRect = "900_1_Text_SanSerif"; })
                              << qint64(0) << ""
                              << "" << notS21 << "900_1_Text_SanSerif" << int(FieldFault::NoBox);
    QTest::newRow("nanInDa") << form([](StandInOptions& o) {
        o.textDa = "/Helv nan Tf nan inf 1e999 rg 2 g";
    }) << qint64(0) << ""
                             << "" << none << "" << 0;
    QTest::newRow("numberAp") << form([](StandInOptions& o) { o.numberAp = true; }) << qint64(0)
                              << ""
                              << "" << notS21 << "900_10_CheckBox" << int(FieldFault::WrongKind);
    QTest::newRow("dottedNames") << form([](StandInOptions& o) { o.namePrefix = "S21"; })
                                 << qint64(0) << ""
                                 << "" << none << "" << 0;
    QTest::newRow("brokenFontOnly") << plain << qint64(0) << "broken"
                                    << "" << int(FormProblem::NoFont) << "" << 0;
    QTest::newRow("brokenFontSkipped") << plain << qint64(0) << "broken+usual"
                                       << "" << none << "" << 0;
    QTest::newRow("letterNoFontHas") << plain << qint64(0) << ""
                                     << "Jonas \u4E2D" << int(FormProblem::NoFont) << "" << 0;
}

void FillFormTest::aFormIsFilledSoundlyOrRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, grow);
    QFETCH(QString, fonts);
    QFETCH(QString, text);
    QFETCH(int, problem);
    QFETCH(QString, field);
    QFETCH(int, detail);
    if (formFontFile().empty())
        QSKIP("no Liberation Sans or DejaVu Sans");
    TempFolder temp;
    const fs::path form = temp.path() / "form.pdf";
    writeBytes(form, bytes.toStdString());
    if (grow != 0)
        fs::resize_file(form, std::uintmax_t(grow));
    std::vector<fs::path> candidates = formFontCandidates();
    if (!fonts.isEmpty())
        candidates = {brokenFont(temp.path())};
    if (fonts == "broken+usual")
        candidates.push_back(formFontFile());

    FormFiller filler(candidates);
    FillResult result = filler.open(form);
    TwoPublishers two;
    auto pages = two.pages({two.pioneer, two.other});
    if (!text.isEmpty())
        pages[1][0].shown = text.toStdString();
    const fs::path out = temp.path() / "out.pdf";
    if (result.ok())
        result = filler.write(pages, false, out);
    QCOMPARE(int(result.problem), problem);
    QCOMPARE(QString::fromStdString(result.field), field);
    if (problem == int(FormProblem::NotS21Form))
        QCOMPARE(int(result.fault), detail);
    if (problem == int(FormProblem::PastLimit))
        QCOMPARE(int(result.limit), detail);
    if (problem == int(FormProblem::Damaged) || problem == int(FormProblem::NoFont))
        QVERIFY(!result.detail.empty());
    if (text.isEmpty())
        QCOMPARE(result.skipped.size(), std::size_t(fonts.isEmpty() ? 0 : 1));

    // The layout reader comes to the same verdict on the file.
    if (fonts.isEmpty() && text.isEmpty()) {
        const FormRead read = readFormFields(form);
        QCOMPARE(int(read.refusal.problem), problem);
        QCOMPARE(QString::fromStdString(read.refusal.field), field);
        QCOMPARE(read.refusal.fault, result.fault);
        QCOMPARE(read.refusal.limit, result.limit);
    }
    if (problem != int(FormProblem::None)) {
        QVERIFY(!fs::exists(out));
        return;
    }
    QCOMPARE(result.pages, std::size_t(2));
    const ReadBack r = readBack(out);
    const std::string dotted = "S21.900_1_Text_SanSerif";
    const std::string name = r.values.count(dotted) ? dotted : "900_1_Text_SanSerif";
    QCOMPARE(r.values.at(name), std::string("Gražina Šimkūnienė"));
    // The copy's fields are named apart from the first page's, at their topmost name.
    const std::string copy = name == dotted ? "S21+1.900_1_Text_SanSerif" : name + "+1";
    QCOMPARE(r.values.at(copy), std::string("Jonas Petraitis"));
    QVERIFY(appearancesSound(out));
}

QTEST_MAIN(FillFormTest)
#include "fillform_test.moc"
