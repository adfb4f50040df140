// The fillable-form writer on a stand-in of the branch's S-21 11/23 form: the values land in
// their fields (read back with qpdf), the Lithuanian letters show in a viewer that draws only
// the appearances (pdftotext), and a form that cannot be filled writes nothing.
#define POINTERHOLDER_TRANSITION 4
#include "card/formvalues.h"
#include "cardfixture.h"

#include "pdfcheck.h"
#include "printing/fillform.h"
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
    bool hasForm = false;
    int pages = 0;
};

ReadBack readBack(const fs::path& file) {
    ReadBack r;
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(file.string().c_str());
    QPDFAcroFormDocumentHelper forms(pdf);
    r.hasForm = forms.hasAcroForm() && !forms.getFormFields().empty();
    r.pages = static_cast<int>(pdf.getAllPages().size());
    for (QPDFFormFieldObjectHelper field : forms.getFormFields()) {
        QPDFObjectHandle v = field.getValue();
        const std::string name = field.getFullyQualifiedName();
        r.values[name] = v.isName() ? v.getName() : v.isString() ? v.getUTF8Value() : "";
        for (QPDFAnnotationObjectHelper annot : forms.getAnnotationsForField(field)) {
            if (field.isCheckbox())
                r.states[name] = annot.getAppearanceState();
        }
    }
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
            all.push_back(formPages(f.state, j, false).front());
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
    void valuesLandInTheirFieldsAndShow();
    void aFormThatCannotBeFilledWritesNothing_data();
    void aFormThatCannotBeFilledWritesNothing();
};

void FillFormTest::valuesLandInTheirFieldsAndShow() {
    if (formFontFile().empty())
        QSKIP("no Liberation Sans or DejaVu Sans");
    TempFolder temp;
    const fs::path form = temp.path() / "S-21.pdf";
    // A form whose boxes are "on" under a name of their own.
    StandInOptions own;
    own.onState = "/On";
    QVERIFY(writeStandInForm(form, own));
    FormFiller filler;
    QVERIFY(filler.open(form).ok());
    TwoPublishers two;

    const fs::path one = temp.path() / "one.pdf";
    QVERIFY(filler.write(two.pages({two.pioneer, two.other}), false, one).ok());
    const ReadBack r = readBack(one);
    QCOMPARE(r.pages, 2);
    QVERIFY(r.hasForm);
    QCOMPARE(r.values.at("900_1_Text_SanSerif"), std::string("Gražina Šimkūnienė"));
    QCOMPARE(r.values.at("904_20_S21_Value"), std::string("70.75"));
    QCOMPARE(r.values.at("904_32_S21_Value"), std::string("70.75"));
    QCOMPARE(r.values.at("900_4_CheckBox"), std::string("/On"));
    QCOMPARE(r.states.at("900_4_CheckBox"), std::string("/On"));
    QCOMPARE(r.values.at("900_10_CheckBox"), std::string("/On"));
    QCOMPARE(r.values.at("900_7_CheckBox"), std::string("/Off"));
    QCOMPARE(r.states.at("900_3_CheckBox"), std::string("/Off"));
    // The second page's fields are its own and hold the second publisher.
    int secondNames = 0;
    for (const auto& [name, value] : r.values) {
        if (name != "900_1_Text_SanSerif" && name.rfind("900_1_Text_SanSerif", 0) == 0) {
            QCOMPARE(value, std::string("Jonas Petraitis"));
            ++secondNames;
        }
    }
    QCOMPARE(secondNames, 1);

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
