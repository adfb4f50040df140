// The fillable-form writer on a stand-in of the branch's S-21 11/23 form: the values land in
// their fields (read back with qpdf), the Lithuanian letters show in a viewer that draws only
// the appearances (pdftotext), and a form that cannot be filled writes nothing.
#define POINTERHOLDER_TRANSITION 4
#include "card/cardbatch.h"
#include "card/formvalues.h"
#include "cardfixture.h"

#include "pdfcheck.h"
#include "printing/fillform.h"
#include "s21form.h"
#include "standinform.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>

#include <QtTest>

#include <fstream>
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
    if (kids.isArray() && kids.getArrayNItems() > 0 && kids.getArrayItem(0).hasKey("/T")) {
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

} // namespace

class FillFormTest : public QObject {
    Q_OBJECT

private slots:
    void valuesLandInTheirFieldsAndShow_data();
    void valuesLandInTheirFieldsAndShow();
    void aReaderOfFormsFindsEveryField();
    void aFormThatCannotBeFilledWritesNothing_data();
    void aFormThatCannotBeFilledWritesNothing();
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

void FillFormTest::aFormThatCannotBeFilledWritesNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("field");
    const auto form = [](const std::string& leaveOut, bool encrypt) {
        StandInOptions o;
        o.leaveOut = leaveOut;
        o.encrypt = encrypt;
        const std::string b = standInForm(o);
        return QByteArray(b.data(), qsizetype(b.size()));
    };
    QTest::newRow("missingField") << form("904_32_S21_Value", false)
                                  << int(FormProblem::MissingField) << "904_32_S21_Value";
    QTest::newRow("protected") << form("", true) << int(FormProblem::Protected) << "";
    QTest::newRow("notPdf") << QByteArray("tdat7.bin\0\1\2", 12) << int(FormProblem::NotPdf) << "";
    QTest::newRow("cutPdf") << form("", false).left(300) << int(FormProblem::NotPdf) << "";
    QTest::newRow("noFields") << QByteArray("%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> "
                                            "endobj\n2 0 obj << /Type /Pages /Kids [] /Count 0 >> "
                                            "endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n")
                              << int(FormProblem::NotFillable) << "";
}

void FillFormTest::aFormThatCannotBeFilledWritesNothing() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, problem);
    QFETCH(QString, field);
    TempFolder temp;
    const fs::path form = temp.path() / "form.pdf";
    writeBytes(form, bytes.toStdString());
    FormFiller filler;
    const FillResult opened = filler.open(form);
    QCOMPARE(int(opened.problem), problem);
    QCOMPARE(QString::fromStdString(opened.field), field);
    // Nothing is written from a form that was refused.
    TwoPublishers two;
    const fs::path out = temp.path() / "out.pdf";
    QVERIFY(!filler.write(two.pages({two.pioneer}), false, out).ok());
    QVERIFY(!fs::exists(out));
}

QTEST_MAIN(FillFormTest)
#include "fillform_test.moc"
