#include "standinform.h"
#include "s21form.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace pelkorl::test {

namespace {

struct Field {
    std::string name;
    bool box = false;
    double x = 0, y = 0, w = 0, h = 0;
    int quadding = 0;
};

// The form's own rectangles (s21form.h), the hours moved as an edition moves them.
std::vector<Field> formFields(double hoursX) {
    std::vector<Field> fields;
    for (const FormFieldRect& r : s21FormFields(hoursX))
        fields.push_back({r.name, r.name.find("CheckBox") != std::string::npos, r.x, r.y, r.width,
                          r.height, r.quadding});
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

bool isHours(const Field& f) {
    return f.name.rfind("904_", 0) == 0;
}

QPDFObjectHandle script(const std::string& code) {
    QPDFObjectHandle action = QPDFObjectHandle::parse("<< /S /JavaScript >>");
    action.replaceKey("/JS", QPDFObjectHandle::newString(code));
    return action;
}

// Format, keystroke and calculate actions of an hours field; the total sums the months.
QPDFObjectHandle hoursActions(const Field& f) {
    std::string calculate = "event.value = Math.round(event.value * 100) / 100;";
    if (f.name.rfind("904_32", 0) == 0) {
        calculate = "AFSimple_Calculate(\"SUM\", new Array(";
        for (int r = 20; r < 32; ++r)
            calculate +=
                std::string(r > 20 ? ", " : "") + "\"904_" + std::to_string(r) + "_S21_Value\"";
        calculate += "));";
    }
    QPDFObjectHandle aa = QPDFObjectHandle::newDictionary();
    aa.replaceKey("/F", script("AFNumber_Format(2, 0, 0, 0, \"\", true);"));
    aa.replaceKey("/K", script("AFNumber_Keystroke(2, 0, 0, 0, \"\", true);"));
    aa.replaceKey("/C", script(calculate));
    return aa;
}

// A widget as most editions have it: its own resources and a font size chosen by the viewer.
void editionWidget(QPDFObjectHandle widget, const Field& f, QPDFObjectHandle font) {
    const std::string key = f.box ? "/ZaDb" : "/JWKnoll-Medium";
    widget.replaceKey("/DA", QPDFObjectHandle::newString(key + " 0 Tf 0 g"));
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey(key, font);
    QPDFObjectHandle dr = QPDFObjectHandle::newDictionary();
    dr.replaceKey("/Font", fonts);
    widget.replaceKey("/DR", dr);
    if (f.box)
        widget.replaceKey("/MK", QPDFObjectHandle::parse("<< /CA (4) >>"));
    if (isHours(f))
        widget.replaceKey("/AA", hoursActions(f));
}

// An unfiltered font file of `size` bytes that compresses as fonts do, about by half.
QPDFObjectHandle largeFont(QPDF& pdf, std::size_t size) {
    std::string data(size, '\0');
    std::uint32_t state = 2463534242u;
    for (std::size_t i = 0; i < size; ++i) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        data[i] = static_cast<char>(i % 2 ? state & 0xFF : i / 64 & 0x0F);
    }
    QPDFObjectHandle file = QPDFObjectHandle::newStream(&pdf, data);
    file.getDict().replaceKey("/Length1",
                              QPDFObjectHandle::newInteger(static_cast<long long>(size)));
    QPDFObjectHandle font = QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /TrueType /BaseFont /StandInLarge /FirstChar 32 /LastChar 32 "
        "/Widths [250] /FontDescriptor << /Type /FontDescriptor /FontName /StandInLarge "
        "/Flags 32 /FontBBox [0 -250 1000 950] /ItalicAngle 0 /Ascent 950 /Descent -250 "
        "/CapHeight 700 /StemV 80 >> >>");
    font.getKey("/FontDescriptor").replaceKey("/FontFile2", file);
    return pdf.makeIndirectObject(font);
}

// The field of a widget as a dictionary of its own, the widget its one kid: the field keeps
// the name, kind, value and actions, the widget its place and looks.
QPDFObjectHandle parentField(QPDF& pdf, QPDFObjectHandle widget) {
    QPDFObjectHandle field = QPDFObjectHandle::newDictionary();
    for (const char* key : {"/T", "/FT", "/V", "/DA", "/Q", "/AA"}) {
        if (widget.hasKey(key))
            field.replaceKey(key, widget.getKey(key));
        widget.removeKey(key);
    }
    field.replaceKey("/Kids", QPDFObjectHandle::newArray({widget}));
    field = pdf.makeIndirectObject(field);
    widget.replaceKey("/Parent", field);
    return field;
}

// The form's bytes, protected as asked.
std::string written(QPDF& pdf, const StandInOptions& options) {
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
    if (options.fontBytes > 0)
        fonts.replaceKey("/F2", largeFont(pdf, options.fontBytes));
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", fonts);
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, pageContent(fields)));
    page = pdf.makeIndirectObject(page);
    QPDFPageDocumentHelper(pdf).addPage(page, false);
    page = QPDFPageDocumentHelper(pdf).getAllPages().back().getObjectHandle();

    // Not embedded: the viewer finds the editions' own face, or stands in for it.
    QPDFObjectHandle knoll = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /TrueType /BaseFont /JWKnoll-Medium /Encoding /WinAnsiEncoding "
        "/FirstChar 32 /LastChar 32 /Widths [250] /FontDescriptor << /Type /FontDescriptor "
        "/FontName /JWKnoll-Medium /Flags 32 /FontBBox [-200 -250 1100 950] /ItalicAngle 0 "
        "/Ascent 950 /Descent -250 /CapHeight 700 /StemV 80 >> >>"));
    QPDFObjectHandle dingbats = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /ZapfDingbats >>"));
    QPDFObjectHandle annots = QPDFObjectHandle::newArray();
    QPDFObjectHandle list = QPDFObjectHandle::newArray();
    int deepened = 0;
    QPDFObjectHandle order = QPDFObjectHandle::newArray();
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
            w.replaceKey("/Q", QPDFObjectHandle::newInteger(f.quadding));
        }
        if (options.widgetsOnly)
            editionWidget(w, f, f.box ? dingbats : knoll);
        w = pdf.makeIndirectObject(w);
        if (f.name == SHARED_FIELD && options.sharedWidgets > 0) {
            list.appendItem(sharedField(pdf, w, options.sharedWidgets, annots));
            continue;
        }
        if (f.name != options.offPage)
            annots.appendItem(w);
        const bool deep = !f.box && deepened++ < options.deepFields;
        QPDFObjectHandle field = options.separateWidgets ? parentField(pdf, w) : w;
        if (deep)
            field = underParents(pdf, field, options);
        list.appendItem(field);
        if (isHours(f))
            order.appendItem(field);
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
    if (options.widgetsOnly) {
        QPDFObjectHandle acroForm =
            QPDFObjectHandle::parse("<< /Fields [] /NeedAppearances true >>");
        acroForm.replaceKey("/CO", order);
        pdf.getRoot().replaceKey("/AcroForm", pdf.makeIndirectObject(acroForm));
        return written(pdf, options);
    }
    QPDFObjectHandle acroForm = QPDFObjectHandle::parse("<< /DA (/Helv 0 Tf 0 g) >>");
    acroForm.replaceKey("/Fields", list);
    QPDFObjectHandle dr = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle drFonts = QPDFObjectHandle::newDictionary();
    drFonts.replaceKey("/Helv", helvetica);
    dr.replaceKey("/Font", drFonts);
    acroForm.replaceKey("/DR", dr);
    pdf.getRoot().replaceKey("/AcroForm", pdf.makeIndirectObject(acroForm));
    return written(pdf, options);
}

bool writeStandInForm(const std::filesystem::path& file, const StandInOptions& options) {
    const std::string bytes = standInForm(options);
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bool(out.flush());
}

} // namespace pelkorl::test
