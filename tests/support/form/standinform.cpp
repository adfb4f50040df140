#include "standinform.h"

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

constexpr double BOX = 10.36;
constexpr double ROW_BOX = 12.75;
constexpr double ROW_STEP = 19.8175;

std::vector<Field> formFields() {
    std::vector<Field> f = {
        {"900_1_Text_SanSerif", false, 51.98, 762.22, 526.31, 15.64},
        {"900_2_Text_SanSerif", false, 95.80, 745.49, 274.66, 15.64},
        {"900_5_Text_SanSerif", false, 76.28, 729.96, 294.17, 15.64},
        {"900_13_Text_C_SanSerif", false, 19.32, 650.29, 63.73, 17.03},
        {"900_3_CheckBox", true, 384.10, 746.69, BOX, BOX},
        {"900_4_CheckBox", true, 485.58, 746.69, BOX, BOX},
        {"900_6_CheckBox", true, 384.10, 730.36, BOX, BOX},
        {"900_7_CheckBox", true, 485.58, 730.36, BOX, BOX},
        {"900_8_CheckBox", true, 16.83, 714.22, BOX, BOX},
        {"900_9_CheckBox", true, 84.65, 714.22, BOX, BOX},
        {"900_10_CheckBox", true, 218.79, 714.22, BOX, BOX},
        {"900_11_CheckBox", true, 336.20, 714.22, BOX, BOX},
        {"900_12_CheckBox", true, 444.75, 714.22, BOX, BOX},
    };
    for (int r = 0; r < 12; ++r) {
        const std::string n = std::to_string(20 + r);
        const double d = ROW_STEP * r;
        f.push_back({"901_" + n + "_CheckBox", true, 113.23, 625.59 - d, ROW_BOX, ROW_BOX});
        f.push_back({"902_" + n + "_Text_C_SanSerif", false, 156.45, 623.50 - d, 67.62, 17.03});
        f.push_back({"903_" + n + "_CheckBox", true, 254.44, 625.59 - d, ROW_BOX, ROW_BOX});
        f.push_back({"904_" + n + "_S21_Value", false, 297.76, 623.50 - d, 87.44, 17.03});
        f.push_back({"905_" + n + "_Text_SanSerif", false, 387.88, 623.50 - d, 187.82, 17.03});
    }
    f.push_back({"904_32_S21_Value", false, 297.76, 385.10, 87.44, 17.03});
    return f;
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
        text(24, 628.5 - ROW_STEP * r, 8, MONTHS[r]);
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

} // namespace

std::string standInForm(const StandInOptions& options) {
    QPDF pdf;
    pdf.emptyPDF();
    const std::vector<Field> fields = formFields();
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
    for (const Field& f : fields) {
        if (f.name == options.leaveOut)
            continue;
        QPDFObjectHandle w = QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Widget /F 4 >>");
        w.replaceKey("/T", QPDFObjectHandle::newString(f.name));
        w.replaceKey("/Rect", QPDFObjectHandle::parse(rect(f)));
        w.replaceKey("/P", page);
        if (f.box) {
            w.replaceKey("/FT", QPDFObjectHandle::newName("/Btn"));
            w.replaceKey("/DA", QPDFObjectHandle::newString("/ZaDb 0 Tf 0 g"));
            QPDFObjectHandle normal = QPDFObjectHandle::newDictionary();
            normal.replaceKey(options.onState, checkAppearance(pdf, f, true));
            normal.replaceKey("/Off", checkAppearance(pdf, f, false));
            QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
            ap.replaceKey("/N", normal);
            w.replaceKey("/AP", ap);
            w.replaceKey("/V", QPDFObjectHandle::newName("/Off"));
            w.replaceKey("/AS", QPDFObjectHandle::newName("/Off"));
        } else {
            w.replaceKey("/FT", QPDFObjectHandle::newName("/Tx"));
            w.replaceKey("/DA", QPDFObjectHandle::newString("/Helv 0 Tf 0 g"));
            const bool centred = f.name.find("_C_") != std::string::npos;
            w.replaceKey("/Q", QPDFObjectHandle::newInteger(centred ? 1 : 0));
        }
        w = pdf.makeIndirectObject(w);
        annots.appendItem(w);
        list.appendItem(w);
    }
    page.replaceKey("/Annots", annots);
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
    if (options.encrypt)
        writer.setR6EncryptionParameters("", "owner", true, true, true, true, true, true,
                                         qpdf_r3p_full, true);
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
