#include "printing/fillform.h"

#include "printing/formcopies.h"
#include "printing/formreader.h"
#include "printing/truetype.h"
#include "records/fileio.h"

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/Pl_Flate.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFAnnotationObjectHelper.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace pelkorl {

namespace {

namespace fs = std::filesystem;

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

// The "on" state of a check box: the name of its appearance other than /Off.
std::string onState(QPDFAnnotationObjectHelper annot) {
    QPDFObjectHandle ap = annot.getAppearanceDictionary();
    QPDFObjectHandle normal = ap.isDictionary() ? ap.getKey("/N") : ap;
    if (normal.isDictionary()) {
        for (const std::string& key : normal.getKeys()) {
            if (key != "/Off")
                return key;
        }
    }
    return "/Yes";
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
    static std::map<const TrueTypeFont*, FontFile> made;
    const auto known = made.find(&font);
    if (known != made.end())
        return known->second;
    const FontFile common = [&font] {
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
    return made.emplace(&font, common).first->second;
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
        QPDFObjectHandle map = QPDFObjectHandle::newStream(&pdf);
        map.replaceStreamData(deflate(toUnicode(unicode)),
                              QPDFObjectHandle::newName("/FlateDecode"),
                              QPDFObjectHandle::newNull());
        type0.replaceKey("/ToUnicode", map);
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

// The appearances of a file's text fields: one stream for each distinct look, all drawing
// with one resources dictionary, so a file of many pages repeats none of them.
class Appearances {
public:
    Appearances(QPDF& pdf, const FileFont& font) : pdf_(pdf), font_(font) {
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey(FONT_KEY, font.object());
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fonts);
        resources_ = pdf.makeIndirectObject(resources);
    }

    // A text field showing `shown`: one line, in the field's font size or fitted to its box,
    // placed as its quadding says, clipped to the box.
    QPDFObjectHandle text(QPDFFormFieldObjectHelper field, QPDFAnnotationObjectHelper annot,
                          const std::string& shown) {
        const QPDFObjectHandle::Rectangle rect = annot.getRect();
        const bool usable = usableRect(rect.llx, rect.lly, rect.urx, rect.ury);
        const double w = usable ? std::fabs(rect.urx - rect.llx) : 0;
        const double h = usable ? std::fabs(rect.ury - rect.lly) : 0;
        std::string content = "/Tx BMC\n";
        if (!shown.empty() && w > 0 && h > 0)
            content += textContent(field, w, h, shown);
        content += "EMC\n";
        QPDFObjectHandle& stream = streams_[number(w) + " " + number(h) + "\n" + content];
        if (!stream.isInitialized())
            stream = makeStream(content, w, h);
        return stream;
    }

private:
    std::string textContent(QPDFFormFieldObjectHelper field, double w, double h,
                            const std::string& shown) const {
        const std::u32string text = decodeUtf8(shown);
        const DefaultAppearance da = parseDefaultAppearance(field.getDefaultAppearance());
        const double lineHeight = font_.ascent() - font_.descent();
        double size =
            da.size > 0 ? da.size : std::min(LARGEST_AUTO_SIZE, (h - PADDING) / lineHeight);
        const double textWidth = font_.width(text);
        if (textWidth * size > w - 2 * PADDING && textWidth > 0)
            size = (w - 2 * PADDING) / textWidth;
        size = std::max(size, SMALLEST_SIZE);
        const double tw = textWidth * size;
        double x = PADDING;
        if (field.getQuadding() == 1)
            x = (w - tw) / 2;
        else if (field.getQuadding() == 2)
            x = w - PADDING - tw;
        const double y = (h - size * lineHeight) / 2 - size * font_.descent();
        return "q\n1 1 " + number(w - 2) + " " + number(h - 2) + " re W n\nBT\n" + FONT_KEY + " " +
               number(size) + " Tf\n" + da.colour + "\n" + number(x) + " " + number(y) + " Td\n" +
               font_.hex(text) + " Tj\nET\nQ\n";
    }

    QPDFObjectHandle makeStream(const std::string& content, double w, double h) const {
        QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf_, content);
        QPDFObjectHandle dict = stream.getDict();
        dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        dict.replaceKey("/BBox",
                        QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, w, h)));
        dict.replaceKey("/Resources", resources_);
        return stream;
    }

    QPDF& pdf_;
    const FileFont& font_;
    QPDFObjectHandle resources_;
    std::map<std::string, QPDFObjectHandle> streams_;
};

// The field a widget holds the value of: the widget itself, or the field it is a kid of
// when it has no name of its own.
QPDFFormFieldObjectHelper fieldOf(QPDFObjectHandle widget) {
    QPDFObjectHandle parent = widget.getKey("/Parent");
    return QPDFFormFieldObjectHelper(widget.hasKey("/T") || !parent.isDictionary() ? widget
                                                                                   : parent);
}

void fillWidget(Appearances& appearances, QPDFObjectHandle annotObject, const FormValue& value) {
    QPDFAnnotationObjectHelper annot(annotObject);
    QPDFFormFieldObjectHelper field = fieldOf(annotObject);
    if (value.kind == FormFieldKind::CheckBox) {
        const std::string state = value.on ? onState(annot) : "/Off";
        field.getObjectHandle().replaceKey("/V", QPDFObjectHandle::newName(state));
        annotObject.replaceKey("/AS", QPDFObjectHandle::newName(state));
        return;
    }
    field.getObjectHandle().replaceKey("/V", QPDFObjectHandle::newUnicodeString(value.value));
    QPDFObjectHandle ap = QPDFObjectHandle::newDictionary();
    ap.replaceKey("/N", appearances.text(field, annot, value.shown));
    annotObject.replaceKey("/AP", ap);
}

// Every character of the texts, for the font check.
std::u32string neededCharacters(const std::vector<std::vector<FormValue>>& pages) {
    std::set<char32_t> all;
    for (const auto& page : pages) {
        for (const FormValue& v : page) {
            for (const char32_t c : decodeUtf8(v.shown))
                all.insert(c);
        }
    }
    return std::u32string(all.begin(), all.end());
}

// Refuses when no candidate font has every character; names the files tried.
FontChoice chooseFont(const std::vector<fs::path>& fonts, const std::u32string& needed,
                      FillResult& result) {
    FontChoice choice = chooseFormFont(fonts, needed);
    result.skipped = choice.skipped;
    if (!choice.font) {
        result.problem = FormProblem::NoFont;
        for (const fs::path& file : fonts)
            result.detail += (result.detail.empty() ? "" : ", ") + file.string();
    }
    return choice;
}

// Each page's widgets filled with the values of the card its copy of the form is for.
void fillPages(QPDF& pdf, Appearances& appearances,
               const std::vector<std::vector<std::string>>& names,
               const std::vector<std::vector<FormValue>>& pages) {
    std::vector<QPDFObjectHandle> all = pdf.getAllPages();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::vector<std::string>& pageNames = names[i % names.size()];
        std::map<std::string, const FormValue*> values;
        for (const FormValue& v : pages[i / names.size()])
            values[v.name] = &v;
        QPDFObjectHandle annots = all[i].getKey("/Annots");
        for (int k = 0; annots.isArray() && k < annots.getArrayNItems(); ++k) {
            if (std::size_t(k) >= pageNames.size() || pageNames[std::size_t(k)].empty())
                continue;
            const auto v = values.find(pageNames[std::size_t(k)]);
            if (v != values.end())
                fillWidget(appearances, annots.getArrayItem(k), *v->second);
        }
    }
}

// The filled form as a reader of forms expects it: every field listed, drawn by Pelkorl (no
// viewer need redraw them), and no blank XFA copy that viewers would show instead.
void finishForm(QPDF& pdf) {
    completeFormFields(pdf);
    QPDFObjectHandle acroForm = pdf.getRoot().getKey("/AcroForm");
    if (acroForm.isDictionary()) {
        acroForm.removeKey("/NeedAppearances");
        acroForm.removeKey("/XFA");
    }
    pdf.getRoot().removeKey("/NeedsRendering");
}

// The form rewritten once with every stream that it stores unfiltered compressed, so that
// no filled file compresses it again (a form may carry a large font so), and its objects out
// of object streams, so that each fill reads them without inflating; the form as it is when
// qpdf cannot rewrite it.
std::string preparedForm(const std::string& bytes) {
    try {
        QPDF pdf;
        quietPdf(pdf);
        pdf.processMemoryFile("form", bytes.data(), bytes.size());
        std::string out;
        out.reserve(bytes.size());
        Pl_String pipeline("form", nullptr, out);
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&pipeline);
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(true);
        writer.setObjectStreamMode(qpdf_o_disable);
        writer.write();
        return out;
    } catch (const std::exception&) {
        return bytes;
    }
}

// Object streams keep a file of many pages small (its widgets are most of it); a file of one
// card is written faster without. The form's streams and the font come compressed; the
// appearances are left as they are, too short to gain from it.
std::string written(QPDF& pdf, QPDF& form, std::size_t sizeHint, bool manyPages) {
    std::string out;
    out.reserve(sizeHint);
    Pl_String pipeline("filled form", nullptr, out);
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&pipeline);
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setCompressStreams(false);
    writer.setMinimumPDFVersion(form.getPDFVersion());
    // A form protected with an owner password keeps its protection and permissions.
    if (&form != &pdf && form.isEncrypted())
        writer.copyEncryptionParameters(form);
    if (manyPages)
        writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
    return out;
}

// The form read for copying: what its pages inherit made their own and every compound
// entry of its catalogue and information an object of its own, so all of it copies over.
std::unique_ptr<QPDF> formToCopy(const std::string& bytes) {
    auto pdf = std::make_unique<QPDF>();
    quietPdf(*pdf);
    pdf->processMemoryFile("form", bytes.data(), bytes.size());
    QPDFPageDocumentHelper(*pdf).pushInheritedAttributesToPage();
    for (QPDFObjectHandle dictionary : {pdf->getRoot(), pdf->getTrailer().getKey("/Info")}) {
        if (!dictionary.isDictionary())
            continue;
        for (auto [key, value] : dictionary.ditems()) {
            if (!value.isIndirect() && (value.isDictionary() || value.isArray()))
                dictionary.replaceKey(key, pdf->makeIndirectObject(value));
        }
    }
    return pdf;
}

// A copy of `from`, the form, in the empty `to`: its pages, then its catalogue and
// information (references to the pages lead to the copies).
void copyForm(QPDF& from, QPDF& to) {
    to.emptyPDF();
    for (QPDFObjectHandle page : from.getAllPages())
        to.addPage(page, false);
    QPDFObjectHandle root = to.getRoot();
    for (auto [key, value] : from.getRoot().ditems()) {
        if (key != "/Pages" && key != "/Type")
            root.replaceKey(key, value.isIndirect() ? to.copyForeignObject(value)
                                                    : QPDFObjectHandle::parse(value.unparse()));
    }
    QPDFObjectHandle info = from.getTrailer().getKey("/Info");
    if (info.isIndirect())
        to.getTrailer().replaceKey("/Info", to.copyForeignObject(info));
}

} // namespace

struct FormFiller::Form {
    std::string bytes;
    FormRead read;
    // The form read once; each fill copies its objects instead of reading the bytes again.
    std::unique_ptr<QPDF> pdf;
};

FormFiller::FormFiller(std::vector<fs::path> fonts) : fonts_(std::move(fonts)) {}
FormFiller::~FormFiller() = default;

FillResult FormFiller::open(const fs::path& file) {
    form_.reset();
    FillResult result;
    auto form = std::make_unique<Form>();
    static_cast<FormRefusal&>(result) = readFormFile(file, form->bytes);
    if (!result.ok())
        return result;
    form->read = readForm(form->bytes, file.filename().string());
    static_cast<FormRefusal&>(result) = form->read.refusal;
    if (!result.ok() || !chooseFont(fonts_, formLetters(), result).font)
        return result;
    form->bytes = preparedForm(form->bytes);
    try {
        form->pdf = formToCopy(form->bytes);
    } catch (const std::exception&) {
        form->pdf.reset(); // each fill reads the bytes
    }
    form_ = std::move(form);
    return result;
}

std::string FormFiller::fill(const std::vector<std::vector<FormValue>>& pages, bool flatten,
                             FillResult& result) const {
    result = FillResult{};
    if (!form_ || pages.empty()) {
        result.problem = FormProblem::NotS21Form;
        return {};
    }
    const TrueTypeFont* font = chooseFont(fonts_, neededCharacters(pages), result).font;
    if (!font)
        return {};
    QPDF pdf;
    try {
        quietPdf(pdf);
        if (form_->pdf)
            copyForm(*form_->pdf, pdf);
        else
            pdf.processMemoryFile("form", form_->bytes.data(), form_->bytes.size());
        const std::vector<QPDFObjectHandle> formPages = pdf.getAllPages();
        const std::vector<std::vector<std::string>>& names = form_->read.cardNames;
        // Further copies of the form's pages, each with fields of its own; what a page
        // inherits from the page tree is its own first, so that the copies have it too.
        if (pages.size() > 1)
            QPDFPageDocumentHelper(pdf).pushInheritedAttributesToPage();
        FieldNames fieldNames(pdf);
        for (std::size_t copy = 1; copy < pages.size(); ++copy) {
            for (QPDFObjectHandle page : formPages)
                appendPageCopy(pdf, page, fieldNames);
        }
        const FileFont fileFont(pdf, *font, pages);
        Appearances appearances(pdf, fileFont);
        fillPages(pdf, appearances, names, pages);
        finishForm(pdf);
        if (flatten)
            QPDFPageDocumentHelper(pdf).flattenAnnotations();
        result.pages = pdf.getAllPages().size();
        QPDF& source = form_->pdf ? *form_->pdf : pdf;
        return written(pdf, source, form_->bytes.size() + 64 * 1024, pages.size() > 1);
    } catch (const std::exception& e) {
        result.problem = FormProblem::Damaged;
        result.detail = e.what();
        return {};
    }
}

FillResult FormFiller::write(const std::vector<std::vector<FormValue>>& pages, bool flatten,
                             const fs::path& target) const {
    FillResult result;
    const std::string bytes = fill(pages, flatten, result);
    if (!result.ok())
        return result;
    result.write = writeFileAtomically(target, bytes, &result.reason);
    if (result.write != WriteResult::Written)
        result.problem = FormProblem::CannotWrite;
    return result;
}

} // namespace pelkorl
