#include "printing/fillform.h"

#include "card/cardstate.h"
#include "printing/truetype.h"
#include "records/fileio.h"

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFAnnotationObjectHelper.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace pelkorl {

namespace {

namespace fs = std::filesystem;

// The branch's form is a few hundred kilobytes; a file far beyond that is no form of it.
constexpr std::size_t FORM_LIMIT = 64 * 1024 * 1024;
constexpr std::size_t FONT_LIMIT = 32 * 1024 * 1024;
constexpr double PADDING = 2.0;
constexpr double LARGEST_AUTO_SIZE = 12.0;
constexpr double SMALLEST_SIZE = 4.0;
constexpr const char* FONT_KEY = "/PkF";

std::u32string decodeUtf8(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t c = length == 1 ? b : b & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            c = c << 6 | (i + k < text.size() ? static_cast<unsigned char>(text[i + k]) & 0x3F : 0);
        out += (length == 1 && b >= 0x80) ? U'\uFFFD' : c;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

const TrueTypeFont* loadedFont() {
    static const std::optional<TrueTypeFont> font = []() -> std::optional<TrueTypeFont> {
        const fs::path file = formFontFile();
        Bytes bytes;
        if (file.empty() || readWholeFile(file, FONT_LIMIT, bytes) != ReadError::None)
            return std::nullopt;
        return TrueTypeFont::read(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }();
    return font ? &*font : nullptr;
}

bool looksLikePdf(const Bytes& bytes) {
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()),
                                std::min<std::size_t>(bytes.size(), 1024));
    return head.find("%PDF-") != std::string_view::npos;
}

// The fields the card fills, by name.
const std::map<std::string, FormFieldKind>& cardFields() {
    static const std::map<std::string, FormFieldKind> fields = [] {
        std::map<std::string, FormFieldKind> m;
        for (const FormValue& v : formValues(CardState{}))
            m[v.name] = v.kind;
        return m;
    }();
    return fields;
}

// The card's name of a form field: its full name, or else its own last part, as long as the
// card fills a field of that name; "" for any other field.
std::string cardName(QPDFFormFieldObjectHelper field) {
    const auto& fields = cardFields();
    const std::string full = field.getFullyQualifiedName();
    if (fields.count(full))
        return full;
    const std::string partial = field.getPartialName();
    return fields.count(partial) ? partial : std::string();
}

// For each annotation of a page, in /Annots order, the card's name of its field ("" for
// annotations that are no widget of a field the card fills).
std::vector<std::string> widgetNames(QPDFAcroFormDocumentHelper& forms, QPDFPageObjectHelper page) {
    std::vector<std::string> names;
    QPDFObjectHandle annots = page.getObjectHandle().getKey("/Annots");
    if (!annots.isArray())
        return names;
    for (int i = 0; i < annots.getArrayNItems(); ++i) {
        QPDFObjectHandle annot = annots.getArrayItem(i);
        std::string name;
        if (annot.isDictionary() && annot.getKey("/Subtype").isNameAndEquals("/Widget")) {
            QPDFFormFieldObjectHelper field = forms.getFieldForAnnotation(annot);
            if (!field.getObjectHandle().isNull())
                name = cardName(field);
        }
        names.push_back(name);
    }
    return names;
}

bool kindMatches(QPDFFormFieldObjectHelper field, FormFieldKind kind) {
    return kind == FormFieldKind::Text ? field.isText() : field.isCheckbox();
}

// The "on" state of a check box: the name of its appearance other than /Off.
std::string onState(QPDFAnnotationObjectHelper annot) {
    QPDFObjectHandle normal = annot.getAppearanceDictionary().getKey("/N");
    if (normal.isDictionary()) {
        for (const std::string& key : normal.getKeys()) {
            if (key != "/Off")
                return key;
        }
    }
    return "/Yes";
}

// Font size and colour operator of a field's default appearance ("/Helv 0 Tf 0 g").
struct Appearance {
    double size = 0; // 0: fit the box
    std::string colour = "0 g";
};

Appearance parseDefaultAppearance(const std::string& da) {
    Appearance a;
    std::istringstream in(da);
    std::vector<std::string> operands;
    for (std::string token; in >> token;) {
        if (token == "Tf" && operands.size() >= 1) {
            a.size = std::atof(operands.back().c_str());
        } else if ((token == "g" && operands.size() >= 1) ||
                   (token == "rg" && operands.size() >= 3)) {
            const std::size_t n = token == "g" ? 1 : 3;
            std::string colour;
            for (std::size_t k = operands.size() - n; k < operands.size(); ++k)
                colour += std::to_string(std::atof(operands[k].c_str())) + " ";
            a.colour = colour + token;
        }
        if (token == "Tf" || token == "g" || token == "rg" || token == "k")
            operands.clear();
        else
            operands.push_back(token);
    }
    if (a.size < 0 || a.size > 200)
        a.size = 0;
    return a;
}

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string deflate(const std::string& data) {
    Pl_Buffer buffer("font");
    Pl_Flate flate("font", &buffer, Pl_Flate::a_deflate);
    flate.write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    flate.finish();
    const auto out = buffer.getBufferSharedPointer();
    return std::string(reinterpret_cast<const char*>(out->getBuffer()), out->getSize());
}

// The embedded font file: the glyphs of every character a card commonly shows (ASCII,
// Latin-1, Latin Extended-A with every Lithuanian letter, the usual punctuation), made and
// compressed once, so a file costs no font work; a file showing any other glyph gets a
// subset of its own.
struct FontFile {
    std::set<std::uint16_t> glyphs;
    std::string deflated;
    std::size_t length = 0;
};

FontFile makeFontFile(const TrueTypeFont& font, std::set<std::uint16_t> glyphs) {
    FontFile f;
    const std::string file = font.subset(glyphs);
    f.glyphs = std::move(glyphs);
    f.deflated = deflate(file);
    f.length = file.size();
    return f;
}

const FontFile& commonFontFile(const TrueTypeFont& font) {
    static const FontFile common = [&font] {
        std::set<std::uint16_t> glyphs;
        const auto add = [&](char32_t first, char32_t last) {
            for (char32_t c = first; c <= last; ++c)
                glyphs.insert(font.glyph(c));
        };
        add(0x20, 0x7E);
        add(0xA0, 0x17F);
        add(0x2013, 0x2026);
        add(0x20AC, 0x20AC);
        return makeFontFile(font, glyphs);
    }();
    return common;
}

// The embedded font of one file, holding the glyphs of every text it shows.
class FileFont {
public:
    FileFont(QPDF& pdf, const TrueTypeFont& font, const std::vector<std::vector<FormValue>>& pages)
        : font_(font) {
        std::map<std::uint16_t, char32_t> unicode;
        for (const auto& page : pages) {
            for (const FormValue& v : page) {
                for (const char32_t c : decodeUtf8(v.shown)) {
                    const std::uint16_t g = font.glyph(c);
                    if (g != 0)
                        unicode.emplace(g, c);
                }
            }
        }
        object_ = makeFont(pdf, unicode);
    }

    QPDFObjectHandle object() const { return object_; }

    // Width of `text` at size 1.
    double width(const std::u32string& text) const {
        double w = 0;
        for (const char32_t c : text)
            w += font_.advance(font_.glyph(c)) / 1000.0;
        return w;
    }

    std::string hex(const std::u32string& text) const {
        std::string out = "<";
        char code[5];
        for (const char32_t c : text) {
            std::snprintf(code, sizeof code, "%04X", font_.glyph(c));
            out += code;
        }
        return out + ">";
    }

    double ascent() const { return font_.ascent() / 1000.0; }
    double descent() const { return font_.descent() / 1000.0; }

private:
    QPDFObjectHandle makeFont(QPDF& pdf, const std::map<std::uint16_t, char32_t>& unicode) {
        std::set<std::uint16_t> glyphs;
        for (const auto& [g, c] : unicode)
            glyphs.insert(g);
        const FontFile& common = commonFontFile(font_);
        const bool covered =
            std::includes(common.glyphs.begin(), common.glyphs.end(), glyphs.begin(), glyphs.end());
        std::set<std::uint16_t> all = glyphs;
        if (!covered)
            all.insert(common.glyphs.begin(), common.glyphs.end());
        const FontFile own = covered ? FontFile{} : makeFontFile(font_, all);
        const FontFile& file = covered ? common : own;
        QPDFObjectHandle fontFile = QPDFObjectHandle::newStream(&pdf);
        fontFile.replaceStreamData(file.deflated, QPDFObjectHandle::newName("/FlateDecode"),
                                   QPDFObjectHandle::newNull());
        fontFile.getDict().replaceKey(
            "/Length1", QPDFObjectHandle::newInteger(static_cast<long long>(file.length)));

        // Six capitals naming the subset, as a subset's font name carries them.
        std::uint32_t hash = 2166136261u;
        for (const std::uint16_t g : file.glyphs)
            hash = (hash ^ g) * 16777619u;
        std::string name = "/";
        for (int i = 0; i < 6; ++i, hash /= 26)
            name += static_cast<char>('A' + hash % 26);
        name += "+" + font_.postScriptName();

        const auto box = font_.box();
        QPDFObjectHandle descriptor = QPDFObjectHandle::parse(
            "<< /Type /FontDescriptor /Flags 32 /ItalicAngle 0 /StemV 80 /FontBBox [" +
            std::to_string(box[0]) + " " + std::to_string(box[1]) + " " + std::to_string(box[2]) +
            " " + std::to_string(box[3]) + "] /Ascent " + std::to_string(font_.ascent()) +
            " /Descent " + std::to_string(font_.descent()) + " /CapHeight " +
            std::to_string(font_.capHeight()) + " >>");
        descriptor.replaceKey("/FontName", QPDFObjectHandle::newName(name));
        descriptor.replaceKey("/FontFile2", fontFile);

        std::string widths = "[";
        for (const std::uint16_t g : glyphs)
            widths += std::to_string(g) + " [" + std::to_string(font_.advance(g)) + "] ";
        widths += "]";
        QPDFObjectHandle cid = QPDFObjectHandle::parse(
            "<< /Type /Font /Subtype /CIDFontType2 /CIDToGIDMap /Identity /CIDSystemInfo << "
            "/Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /W " +
            widths + " >>");
        cid.replaceKey("/BaseFont", QPDFObjectHandle::newName(name));
        cid.replaceKey("/FontDescriptor", pdf.makeIndirectObject(descriptor));

        QPDFObjectHandle type0 =
            QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type0 /Encoding /Identity-H >>");
        type0.replaceKey("/BaseFont", QPDFObjectHandle::newName(name));
        type0.replaceKey("/DescendantFonts",
                         QPDFObjectHandle::newArray({pdf.makeIndirectObject(cid)}));
        type0.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&pdf, toUnicode(unicode)));
        return pdf.makeIndirectObject(type0);
    }

    static std::string toUnicode(const std::map<std::uint16_t, char32_t>& unicode) {
        std::string cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                           "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 "
                           ">> def\n/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
        std::vector<std::pair<std::uint16_t, char32_t>> entries(unicode.begin(), unicode.end());
        char line[40];
        for (std::size_t start = 0; start < entries.size(); start += 100) {
            const std::size_t n = std::min<std::size_t>(100, entries.size() - start);
            cmap += std::to_string(n) + " beginbfchar\n";
            for (std::size_t i = start; i < start + n; ++i) {
                const char32_t c = entries[i].second;
                if (c > 0xFFFF) {
                    const char32_t v = c - 0x10000;
                    std::snprintf(line, sizeof line, "<%04X> <%04X%04X>\n", entries[i].first,
                                  unsigned(0xD800 + (v >> 10)), unsigned(0xDC00 + (v & 0x3FF)));
                } else {
                    std::snprintf(line, sizeof line, "<%04X> <%04X>\n", entries[i].first,
                                  unsigned(c));
                }
                cmap += line;
            }
            cmap += "endbfchar\n";
        }
        return cmap + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    }

    const TrueTypeFont& font_;
    QPDFObjectHandle object_;
};

// The appearance of a text field showing `shown`: one line, in the field's font size or
// fitted to its box, placed as its quadding says, clipped to the box.
QPDFObjectHandle textAppearance(QPDF& pdf, const FileFont& font, QPDFFormFieldObjectHelper field,
                                QPDFAnnotationObjectHelper annot, const std::string& shown) {
    const QPDFObjectHandle::Rectangle rect = annot.getRect();
    const double w = std::max(0.0, rect.urx - rect.llx);
    const double h = std::max(0.0, rect.ury - rect.lly);
    std::string content = "/Tx BMC\n";
    if (!shown.empty() && w > 0 && h > 0) {
        const std::u32string text = decodeUtf8(shown);
        const Appearance da = parseDefaultAppearance(field.getDefaultAppearance());
        const double lineHeight = font.ascent() - font.descent();
        double size =
            da.size > 0 ? da.size : std::min(LARGEST_AUTO_SIZE, (h - PADDING) / lineHeight);
        const double textWidth = font.width(text);
        if (textWidth * size > w - 2 * PADDING && textWidth > 0)
            size = (w - 2 * PADDING) / textWidth;
        size = std::max(size, SMALLEST_SIZE);
        const double tw = textWidth * size;
        double x = PADDING;
        if (field.getQuadding() == 1)
            x = (w - tw) / 2;
        else if (field.getQuadding() == 2)
            x = w - PADDING - tw;
        const double y = (h - size * lineHeight) / 2 - size * font.descent();
        content += "q\n1 1 " + number(w - 2) + " " + number(h - 2) + " re W n\nBT\n" + FONT_KEY +
                   " " + number(size) + " Tf\n" + da.colour + "\n" + number(x) + " " + number(y) +
                   " Td\n" + font.hex(text) + " Tj\nET\nQ\n";
    }
    content += "EMC\n";
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf, content);
    QPDFObjectHandle dict = stream.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    dict.replaceKey("/BBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, w, h)));
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey(FONT_KEY, font.object());
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", fonts);
    dict.replaceKey("/Resources", resources);
    return stream;
}

void fillWidget(QPDF& pdf, const FileFont& font, QPDFAcroFormDocumentHelper& forms,
                QPDFObjectHandle annotObject, const FormValue& value) {
    QPDFAnnotationObjectHelper annot(annotObject);
    QPDFFormFieldObjectHelper field = forms.getFieldForAnnotation(annot);
    if (value.kind == FormFieldKind::CheckBox) {
        const std::string state = value.on ? onState(annot) : "/Off";
        field.getObjectHandle().replaceKey("/V", QPDFObjectHandle::newName(state));
        annotObject.replaceKey("/AS", QPDFObjectHandle::newName(state));
        return;
    }
    field.setV(QPDFObjectHandle::newUnicodeString(value.value), false);
    QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
    ap.replaceKey("/N", textAppearance(pdf, font, field, annot, value.shown));
    annotObject.replaceKey("/AP", ap);
}

} // namespace

struct FormFiller::Form {
    std::string bytes;
};

FormFiller::FormFiller() = default;
FormFiller::~FormFiller() = default;

FillResult FormFiller::open(const fs::path& file) {
    form_.reset();
    FillResult result;
    Bytes bytes;
    if (readWholeFile(file, FORM_LIMIT, bytes) != ReadError::None) {
        result.problem = FormProblem::Unreadable;
        return result;
    }
    if (!looksLikePdf(bytes)) {
        result.problem = FormProblem::NotPdf;
        return result;
    }
    auto form = std::make_unique<Form>();
    form->bytes.assign(bytes.begin(), bytes.end());
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("form", form->bytes.data(), form->bytes.size());
        if (pdf.isEncrypted()) {
            result.problem = FormProblem::Protected;
            return result;
        }
        QPDFAcroFormDocumentHelper forms(pdf);
        std::map<std::string, QPDFFormFieldObjectHelper> found;
        for (QPDFFormFieldObjectHelper field : forms.getFormFields()) {
            const std::string name = cardName(field);
            if (!name.empty())
                found.emplace(name, field);
        }
        if (!forms.hasAcroForm() || forms.getFormFields().empty()) {
            result.problem = FormProblem::NotFillable;
            return result;
        }
        for (const auto& [name, kind] : cardFields()) {
            const auto f = found.find(name);
            if (f == found.end() || forms.getAnnotationsForField(f->second).empty()) {
                result.problem = FormProblem::MissingField;
                result.field = name;
                return result;
            }
            if (!kindMatches(f->second, kind)) {
                result.problem = FormProblem::WrongField;
                result.field = name;
                return result;
            }
        }
    } catch (const QPDFExc& e) {
        result.problem =
            e.getErrorCode() == qpdf_e_password ? FormProblem::Protected : FormProblem::NotPdf;
        return result;
    } catch (const std::exception&) {
        result.problem = FormProblem::NotPdf;
        return result;
    }
    if (!loadedFont()) {
        result.problem = FormProblem::NoFont;
        return result;
    }
    form_ = std::move(form);
    return result;
}

std::string FormFiller::fill(const std::vector<std::vector<FormValue>>& pages, bool flatten,
                             FillResult& result) const {
    result = FillResult{};
    const TrueTypeFont* font = loadedFont();
    if (!form_ || !font || pages.empty()) {
        result.problem = !font ? FormProblem::NoFont : FormProblem::NotFillable;
        return {};
    }
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("form", form_->bytes.data(), form_->bytes.size());
        QPDFAcroFormDocumentHelper forms(pdf);
        QPDFPageDocumentHelper pageDoc(pdf);
        std::vector<QPDFPageObjectHelper> formPages = pageDoc.getAllPages();
        std::vector<std::vector<std::string>> names;
        for (QPDFPageObjectHelper& page : formPages)
            names.push_back(widgetNames(forms, page));
        // Further copies of the form's pages, each with fields of its own.
        for (std::size_t copy = 1; copy < pages.size(); ++copy) {
            for (QPDFPageObjectHelper page : formPages) {
                pageDoc.addPage(page.shallowCopyPage(), false);
                QPDFObjectHandle added = pageDoc.getAllPages().back().getObjectHandle();
                forms.fixCopiedAnnotations(added, page.getObjectHandle(), forms);
            }
        }
        const FileFont fileFont(pdf, *font, pages);
        std::vector<QPDFPageObjectHelper> all = pageDoc.getAllPages();
        for (std::size_t i = 0; i < all.size(); ++i) {
            const std::size_t copy = i / formPages.size();
            const std::vector<std::string>& pageNames = names[i % formPages.size()];
            std::map<std::string, const FormValue*> values;
            for (const FormValue& v : pages[copy])
                values[v.name] = &v;
            QPDFObjectHandle annots = all[i].getObjectHandle().getKey("/Annots");
            for (int k = 0; annots.isArray() && k < annots.getArrayNItems(); ++k) {
                if (std::size_t(k) >= pageNames.size() || pageNames[std::size_t(k)].empty())
                    continue;
                const auto v = values.find(pageNames[std::size_t(k)]);
                if (v != values.end())
                    fillWidget(pdf, fileFont, forms, annots.getArrayItem(k), *v->second);
            }
        }
        forms.setNeedAppearances(false);
        // An XFA copy of the form would show the blank form in viewers that prefer it.
        QPDFObjectHandle acroForm = pdf.getRoot().getKey("/AcroForm");
        if (acroForm.isDictionary())
            acroForm.removeKey("/XFA");
        pdf.getRoot().removeKey("/NeedsRendering");
        if (flatten)
            pageDoc.flattenAnnotations();

        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(true);
        writer.write();
        const auto buffer = writer.getBufferSharedPointer();
        return std::string(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
    } catch (const std::exception&) {
        result.problem = FormProblem::NotPdf;
        return {};
    }
}

FillResult FormFiller::write(const std::vector<std::vector<FormValue>>& pages, bool flatten,
                             const fs::path& target) const {
    FillResult result;
    const std::string bytes = fill(pages, flatten, result);
    if (!result.ok())
        return result;
    result.write = writeFileAtomically(target, bytes);
    if (result.write != WriteResult::Written)
        result.problem = FormProblem::CannotWrite;
    return result;
}

} // namespace pelkorl
