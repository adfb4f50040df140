#include "standinform.h"
#include "s21form.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdio>
#include <fstream>
#include <vector>

namespace pelkorl::test {

namespace {

struct Field {
    std::string name;
    bool box = false;
    double x = 0, y = 0, w = 0, h = 0;
};

// The form's own rectangles (s21form.h), the hours moved as an edition moves them.
std::vector<Field> formFields(double hoursX) {
    std::vector<Field> fields;
    for (const FormFieldRect& r : s21FormFields(hoursX))
        fields.push_back(
            {r.name, r.name.find("CheckBox") != std::string::npos, r.x, r.y, r.width, r.height});
    return fields;
}

std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string rect(const Field& f) {
    return "[" + num(f.x) + " " + num(f.y) + " " + num(f.x + f.w) + " " + num(f.y + f.h) + "]";
}

// The page: every box outlined and the form's captions in English, so a filled page reads.
std::string pageContent(const std::vector<Field>& fields) {
    std::string c = "0.6 G 0.5 w\n";
    for (const Field& f : fields)
        c += num(f.x) + " " + num(f.y) + " " + num(f.w) + " " + num(f.h) + " re S\n";
    const auto text = [&](double x, double y, double size, const std::string& t) {
        c += "BT /F1 " + num(size) + " Tf " + num(x) + " " + num(y) + " Td (" + t + ") Tj ET\n";
    };
    c += "0 g\n";
    text(200, 800, 12, "CONGREGATION'S PUBLISHER RECORD");
    text(17, 766, 8, "Name:");
    text(17, 749, 8, "Date of birth:");
    text(17, 733, 8, "Date immersed:");
    text(396, 748, 8, "Male");
    text(497, 748, 8, "Female");
    text(396, 732, 8, "Other sheep");
    text(497, 732, 8, "Anointed");
    text(29, 716, 8, "Elder");
    text(97, 716, 8, "Ministerial servant");
    text(231, 716, 8, "Regular pioneer");
    text(348, 716, 8, "Special pioneer");
    text(457, 716, 8, "Field missionary");
    text(20, 670, 7, "Service Year");
    text(100, 670, 7, "Shared in ministry");
    text(160, 670, 7, "Bible studies");
    text(240, 670, 7, "Auxiliary pioneer");
    text(300, 670, 7, "Hours");
    text(390, 670, 7, "Remarks");
    static const char* MONTHS[] = {"September", "October",  "November", "December",
                                   "January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August"};
    for (int r = 0; r < 12; ++r)
        text(24, 628.5 - S21_ROW_STEP * r, 8, MONTHS[r]);
    text(250, 390, 8, "Total");
    return c;
}

QPDFObjectHandle checkAppearance(QPDF& pdf, const Field& f, bool on) {
    std::string c = on ? "0 g 1 w 2 2 m " + num(f.w - 2) + " " + num(f.h - 2) + " l S 2 " +
                             num(f.h - 2) + " m " + num(f.w - 2) + " 2 l S\n"
                       : "";
    QPDFObjectHandle s = QPDFObjectHandle::newStream(&pdf, c);
    s.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    s.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    s.getDict().replaceKey("/BBox",
                           QPDFObjectHandle::parse("[0 0 " + num(f.w) + " " + num(f.h) + "]"));
    return s;
}

const std::string NAME_FIELD = "900_1_Text_SanSerif";
const std::string SHARED_FIELD = "905_20_Text_SanSerif";

// `field` under `depth` nameless parents (or two that are each other's parent): the
// topmost, which the form lists in place of the field.
QPDFObjectHandle underParents(QPDF& pdf, QPDFObjectHandle field, const StandInOptions& o) {
    const int depth = o.parentLoop ? 2 : o.parentDepth;
    QPDFObjectHandle child = field;
    std::vector<QPDFObjectHandle> parents;
    for (int i = 0; i < depth; ++i) {
        QPDFObjectHandle parent = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        parent.replaceKey("/Kids", QPDFObjectHandle::newArray({child}));
        child.replaceKey("/Parent", parent);
        parents.push_back(parent);
        child = parent;
    }
    if (o.parentLoop)
        parents[1].replaceKey("/Parent", parents[0]);
    return child;
}

// The shared field: a text field whose widgets are its kids, all on the page.
QPDFObjectHandle sharedField(QPDF& pdf, QPDFObjectHandle widget, int count,
                             QPDFObjectHandle annots) {
    QPDFObjectHandle field = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    for (const char* key : {"/T", "/FT", "/DA", "/Q"})
        field.replaceKey(key, widget.getKey(key));
    QPDFObjectHandle kids = QPDFObjectHandle::newArray();
    for (int i = 0; i < count; ++i) {
        QPDFObjectHandle kid = widget.shallowCopy();
        for (const char* key : {"/T", "/FT", "/DA", "/Q"})
            kid.removeKey(key);
        kid.replaceKey("/Parent", field);
        kid = pdf.makeIndirectObject(kid);
        kids.appendItem(kid);
        annots.appendItem(kid);
    }
    field.replaceKey("/Kids", kids);
    return field;
}

} // namespace

std::string standInForm(const StandInOptions& options) {
    QPDF pdf;
    pdf.emptyPDF();
    const std::vector<Field> fields = formFields(options.hoursX);
    QPDFObjectHandle helvetica = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                                "/Encoding /WinAnsiEncoding >>"));
    QPDFObjectHandle page =
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 595.28 841.89] >>");
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", helvetica);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", fonts);
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, pageContent(fields)));
    page = pdf.makeIndirectObject(page);
    QPDFPageDocumentHelper(pdf).addPage(page, false);
    page = QPDFPageDocumentHelper(pdf).getAllPages().back().getObjectHandle();

    QPDFObjectHandle annots = QPDFObjectHandle::newArray();
    QPDFObjectHandle list = QPDFObjectHandle::newArray();
    int deepened = 0;
    for (const Field& f : fields) {
        if (f.name == options.leaveOut)
            continue;
        QPDFObjectHandle w = QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Widget /F 4 >>");
        w.replaceKey("/T", QPDFObjectHandle::newString(f.name));
        w.replaceKey("/Rect",
                     QPDFObjectHandle::parse(f.name == options.badRect
                                                 ? "[0 0 1000000000000000000000000000000.0 20]"
                                                 : rect(f)));
        w.replaceKey("/P", page);
        if (f.box) {
            w.replaceKey("/FT", QPDFObjectHandle::newName("/Btn"));
            w.replaceKey("/DA", QPDFObjectHandle::newString("/ZaDb 0 Tf 0 g"));
            QPDFObjectHandle normal = QPDFObjectHandle::newDictionary();
            normal.replaceKey(options.onState, checkAppearance(pdf, f, true));
            normal.replaceKey("/Off", checkAppearance(pdf, f, false));
            QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
            ap.replaceKey("/N", normal);
            w.replaceKey("/AP", options.numberAp ? QPDFObjectHandle::newInteger(7) : ap);
            w.replaceKey("/V", QPDFObjectHandle::newName("/Off"));
            w.replaceKey("/AS", QPDFObjectHandle::newName("/Off"));
        } else {
            w.replaceKey("/FT", QPDFObjectHandle::newName("/Tx"));
            w.replaceKey("/DA", QPDFObjectHandle::newString(
                                    options.textDa.empty() ? "/Helv 0 Tf 0 g" : options.textDa));
            const bool centred = f.name.find("_C_") != std::string::npos;
            w.replaceKey("/Q", QPDFObjectHandle::newInteger(centred ? 1 : 0));
        }
        w = pdf.makeIndirectObject(w);
        if (f.name == SHARED_FIELD && options.sharedWidgets > 0) {
            list.appendItem(sharedField(pdf, w, options.sharedWidgets, annots));
            continue;
        }
        if (f.name != options.offPage)
            annots.appendItem(w);
        const bool deep = !f.box && deepened++ < options.deepFields;
        list.appendItem(deep ? underParents(pdf, w, options) : w);
    }
    page.replaceKey("/Annots", annots);
    if (!options.namePrefix.empty()) {
        QPDFObjectHandle top = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        top.replaceKey("/T", QPDFObjectHandle::newString(options.namePrefix));
        top.replaceKey("/Kids", list);
        for (int i = 0; i < list.getArrayNItems(); ++i)
            list.getArrayItem(i).replaceKey("/Parent", top);
        list = QPDFObjectHandle::newArray({top});
    }
    if (options.noPage) {
        QPDFObjectHandle pages = pdf.getRoot().getKey("/Pages");
        pages.replaceKey("/Kids", QPDFObjectHandle::newArray());
        pages.replaceKey("/Count", QPDFObjectHandle::newInteger(0));
        pdf.updateAllPagesCache();
    }
    QPDFObjectHandle acroForm = QPDFObjectHandle::parse("<< /DA (/Helv 0 Tf 0 g) >>");
    acroForm.replaceKey("/Fields", list);
    QPDFObjectHandle dr = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle drFonts = QPDFObjectHandle::newDictionary();
    drFonts.replaceKey("/Helv", helvetica);
    dr.replaceKey("/Font", drFonts);
    acroForm.replaceKey("/DR", dr);
    pdf.getRoot().replaceKey("/AcroForm", pdf.makeIndirectObject(acroForm));

    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true);
    if (options.encrypt || !options.userPassword.empty())
        writer.setR6EncryptionParameters(options.userPassword.c_str(), "owner", true, true, true,
                                         true, true, true, qpdf_r3p_full, true);
    writer.write();
    const auto buffer = writer.getBufferSharedPointer();
    return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
}

bool writeStandInForm(const std::filesystem::path& file, const StandInOptions& options) {
    const std::string bytes = standInForm(options);
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bool(out.flush());
}

} // namespace pelkorl::test
