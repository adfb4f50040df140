#include "printing/formreader.h"

#include "card/formvalues.h"
#include "records/fileio.h"

#include <qpdf/Constants.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace pelkorl {

namespace {

// PDF's largest paper: 200 inches.
constexpr double PAPER_LIMIT = 14400;
constexpr double LARGEST_FONT_SIZE = 200;
constexpr long long RADIO_OR_PUSHBUTTON = (1 << 15) | (1 << 16);

// Thrown within the walk: the first fault found ends it.
struct Refused {
    FormRefusal refusal;
};

[[noreturn]] void refuse(FormProblem problem, const std::string& field = {}) {
    FormRefusal r;
    r.problem = problem;
    r.field = field;
    throw Refused{r};
}

[[noreturn]] void pastLimit(FormLimit limit) {
    FormRefusal r;
    r.problem = FormProblem::PastLimit;
    r.limit = limit;
    throw Refused{r};
}

// The fields the card fills, by name.
const std::map<std::string, FormFieldKind>& cardFields() {
    static const std::map<std::string, FormFieldKind> fields = [] {
        std::map<std::string, FormFieldKind> m;
        for (const FormValue& v : blankFormValues())
            m[v.name] = v.kind;
        return m;
    }();
    return fields;
}

// The card's name of a field: its full name, or else its own last part, as long as the card
// fills a field of that name; "" for any other field.
std::string cardName(const std::string& full, const std::string& last) {
    const auto& fields = cardFields();
    if (fields.count(full))
        return full;
    return fields.count(last) ? last : std::string();
}

std::string partialName(QPDFObjectHandle node) {
    QPDFObjectHandle t = node.getKey("/T");
    return t.isString() ? t.getUTF8Value() : std::string();
}

std::string joined(const std::string& parent, const std::string& part) {
    if (part.empty())
        return parent;
    return parent.empty() ? part : parent + "." + part;
}

bool finiteNumber(QPDFObjectHandle h, double& value) {
    if (!h.isNumber())
        return false;
    value = h.getNumericValue();
    return std::isfinite(value);
}

// A widget and the fields above it, the widget first.
class Chain {
public:
    explicit Chain(QPDFObjectHandle widget) {
        std::set<QPDFObjGen> seen;
        QPDFObjectHandle node = widget;
        nodes_.push_back(node);
        if (node.isIndirect())
            seen.insert(node.getObjGen());
        for (QPDFObjectHandle parent = node.getKey("/Parent"); parent.isDictionary();
             parent = parent.getKey("/Parent")) {
            if (nodes_.size() > FORM_MAX_DEPTH)
                pastLimit(FormLimit::Depth);
            if (parent.isIndirect() && !seen.insert(parent.getObjGen()).second)
                refuse(FormProblem::FieldLoop, lastPart());
            nodes_.push_back(parent);
        }
    }

    std::string fullName() const {
        std::string name;
        for (auto node = nodes_.rbegin(); node != nodes_.rend(); ++node)
            name = joined(name, partialName(*node));
        return name;
    }

    std::string lastPart() const {
        for (QPDFObjectHandle node : nodes_) {
            const std::string part = partialName(node);
            if (!part.empty())
                return part;
        }
        return {};
    }

    // The nearest value of an inheritable key; null when no node has it.
    QPDFObjectHandle inherited(const std::string& key) const {
        for (QPDFObjectHandle node : nodes_) {
            QPDFObjectHandle value = node.getKey(key);
            if (!value.isNull())
                return value;
        }
        return QPDFObjectHandle::newNull();
    }

    bool is(FormFieldKind kind) const {
        QPDFObjectHandle type = inherited("/FT");
        if (kind == FormFieldKind::Text)
            return type.isNameAndEquals("/Tx");
        QPDFObjectHandle flags = inherited("/Ff");
        const long long ff = flags.isInteger() ? flags.getIntValue() : 0;
        return type.isNameAndEquals("/Btn") && (ff & RADIO_OR_PUSHBUTTON) == 0 && hasOnAppearance();
    }

private:
    // A check box is filled with its own "on" appearance: it must have one.
    bool hasOnAppearance() const {
        QPDFObjectHandle widget = nodes_.front();
        QPDFObjectHandle ap = widget.getKey("/AP");
        QPDFObjectHandle normal = ap.isDictionary() ? ap.getKey("/N") : ap;
        if (!normal.isDictionary())
            return false;
        for (const std::string& key : normal.getKeys()) {
            if (key != "/Off")
                return true;
        }
        return false;
    }

    std::vector<QPDFObjectHandle> nodes_;
};

int quadding(const Chain& chain, QPDFObjectHandle acroForm) {
    QPDFObjectHandle q = chain.inherited("/Q");
    if (q.isNull() && acroForm.isDictionary())
        q = acroForm.getKey("/Q");
    const long long v = q.isInteger() ? q.getIntValue() : 0;
    return v >= 0 && v <= 2 ? static_cast<int>(v) : 0;
}

struct Box {
    double left = 0, bottom = 0, right = 0, top = 0;
};

// A rectangle within any paper, either corner first; nothing for anything else.
bool readBox(QPDFObjectHandle array, Box& box) {
    double v[4];
    if (!array.isArray() || array.getArrayNItems() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (!finiteNumber(array.getArrayItem(i), v[i]))
            return false;
    }
    if (!usableRect(v[0], v[1], v[2], v[3]))
        return false;
    box = {std::min(v[0], v[2]), std::min(v[1], v[3]), std::max(v[0], v[2]), std::max(v[1], v[3])};
    return true;
}

// What the walk finds of each field the card fills.
struct Found {
    bool onPage = false;
    bool rightKind = true;
    bool boxed = false;
};

class FormWalk {
public:
    explicit FormWalk(QPDF& pdf) : pdf_(pdf), acroForm_(pdf.getRoot().getKey("/AcroForm")) {}

    FormRead read() {
        walkFieldTree();
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf_).getAllPages();
        if (pages.size() > FORM_MAX_PAGES)
            pastLimit(FormLimit::Pages);
        if (pages.empty())
            refuse(FormProblem::NoPage);
        result_.pages = pages.size();
        for (QPDFPageObjectHelper& page : pages)
            readPage(page);
        checkCardFields();
        return std::move(result_);
    }

private:
    // Every field reachable from the form's list, so a field that is there but on no page
    // is told from one that is missing.
    void walkFieldTree() {
        if (!acroForm_.isDictionary())
            return;
        struct Node {
            QPDFObjectHandle field;
            std::string name;
            std::size_t depth;
        };
        std::vector<Node> stack;
        std::set<QPDFObjGen> seen;
        std::size_t count = 0;
        const auto push = [&](QPDFObjectHandle list, const std::string& name, std::size_t depth) {
            for (int i = 0; list.isArray() && i < list.getArrayNItems(); ++i)
                stack.push_back({list.getArrayItem(i), name, depth});
        };
        push(acroForm_.getKey("/Fields"), {}, 0);
        while (!stack.empty()) {
            Node node = std::move(stack.back());
            stack.pop_back();
            if (!node.field.isDictionary() ||
                (node.field.isIndirect() && !seen.insert(node.field.getObjGen()).second))
                continue;
            if (++count > FORM_MAX_FIELDS)
                pastLimit(FormLimit::Fields);
            if (node.depth > FORM_MAX_DEPTH)
                pastLimit(FormLimit::Depth);
            const std::string part = partialName(node.field);
            const std::string full = joined(node.name, part);
            const std::string name = cardName(full, part);
            if (!name.empty())
                inTree_.insert(name);
            push(node.field.getKey("/Kids"), full, node.depth + 1);
        }
    }

    void readPage(QPDFPageObjectHelper& page) {
        QPDFObjectHandle annots = page.getObjectHandle().getKey("/Annots");
        const int n = annots.isArray() ? annots.getArrayNItems() : 0;
        if (static_cast<std::size_t>(n) > FORM_MAX_WIDGETS)
            pastLimit(FormLimit::Widgets);
        Box paper;
        const bool hasPaper = readBox(page.getAttribute("/MediaBox", false), paper);
        std::vector<std::string>& names = result_.cardNames.emplace_back();
        for (int i = 0; i < n; ++i) {
            QPDFObjectHandle annot = annots.getArrayItem(i);
            names.emplace_back();
            if (!annot.isDictionary() || !annot.getKey("/Subtype").isNameAndEquals("/Widget"))
                continue;
            const Chain chain(annot);
            const std::string full = chain.fullName();
            const std::string name = cardName(full, chain.lastPart());
            Box r;
            const bool boxed = hasPaper && readBox(annot.getKey("/Rect"), r);
            if (boxed) {
                // Counted from the paper's bottom-left corner, wherever the media box puts it.
                result_.fields.push_back({name.empty() ? full : name, r.left - paper.left,
                                          r.bottom - paper.bottom, r.right - r.left,
                                          r.top - r.bottom, paper.top - paper.bottom,
                                          quadding(chain, acroForm_)});
            }
            if (name.empty())
                continue;
            names.back() = name;
            Found& f = found_[name];
            f.onPage = true;
            f.rightKind = f.rightKind && chain.is(cardFields().at(name));
            f.boxed = f.boxed || boxed;
        }
    }

    void checkCardFields() const {
        for (const auto& [name, kind] : cardFields()) {
            const auto f = found_.find(name);
            FieldFault fault;
            if (f == found_.end())
                fault = inTree_.count(name) ? FieldFault::OnNoPage : FieldFault::Missing;
            else if (!f->second.rightKind)
                fault = FieldFault::WrongKind;
            else if (!f->second.boxed)
                fault = FieldFault::NoBox;
            else
                continue;
            FormRefusal r;
            r.problem = FormProblem::NotS21Form;
            r.field = name;
            r.fault = fault;
            throw Refused{r};
        }
    }

    QPDF& pdf_;
    QPDFObjectHandle acroForm_;
    FormRead result_;
    std::set<std::string> inTree_;
    std::map<std::string, Found> found_;
};

bool looksLikePdf(const Bytes& bytes) {
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()),
                                std::min<std::size_t>(bytes.size(), 1024));
    return head.find("%PDF-") != std::string_view::npos;
}

// A whole token that is a number, or nothing.
bool parseNumber(const std::string& token, double& value) {
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return !token.empty() && end == token.c_str() + token.size() && std::isfinite(value);
}

// The last `n` operands as a colour of components from 0 to 1, or "" when any is not.
std::string colour(const std::vector<std::string>& operands, std::size_t n, const std::string& op) {
    std::string text;
    for (std::size_t k = operands.size() - n; k < operands.size(); ++k) {
        double v = 0;
        if (!parseNumber(operands[k], v) || v < 0 || v > 1)
            return {};
        char part[16];
        std::snprintf(part, sizeof part, "%.3f ", v);
        text += part;
    }
    return text + op;
}

} // namespace

void quietPdf(QPDF& pdf) {
    // Warnings about objects no document owns go to the shared logger.
    static const bool quiet = [] {
        auto logger = QPDFLogger::defaultLogger();
        logger->setWarn(logger->discard());
        return true;
    }();
    (void)quiet;
    pdf.setSuppressWarnings(true);
}

FormRefusal readFormFile(const std::filesystem::path& file, std::string& bytes) {
    FormRefusal r;
    Bytes read;
    const ReadError error = readWholeFile(file, FORM_MAX_BYTES, read);
    if (error == ReadError::TooLarge) {
        r.problem = FormProblem::PastLimit;
        r.limit = FormLimit::FileSize;
    } else if (error != ReadError::None) {
        r.problem = FormProblem::Unreadable;
    } else if (!looksLikePdf(read)) {
        r.problem = FormProblem::NotPdf;
    } else {
        bytes.assign(read.begin(), read.end());
    }
    return r;
}

FormRead readOpenedForm(QPDF& pdf) {
    try {
        return FormWalk(pdf).read();
    } catch (const Refused& refused) {
        FormRead read;
        read.refusal = refused.refusal;
        return read;
    }
}

FormRead readForm(const std::string& bytes, const std::string& name) {
    QPDF pdf;
    quietPdf(pdf);
    FormRead read;
    try {
        pdf.processMemoryFile(name.c_str(), bytes.data(), bytes.size());
        return readOpenedForm(pdf);
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password) {
            read.refusal.problem = FormProblem::Protected;
            return read;
        }
        read.refusal.detail = e.what();
    } catch (const std::exception& e) {
        read.refusal.detail = e.what();
    }
    // The first thing qpdf found wrong, which led to what made it give up.
    read.refusal.detail = pdfComplaint(pdf, read.refusal.detail);
    read.refusal.problem = FormProblem::Damaged;
    return read;
}

std::string pdfComplaint(QPDF& pdf, const std::string& failure) {
    for (const QPDFExc& warning : pdf.getWarnings()) {
        if (warning.getMessageDetail() != "file is damaged")
            return warning.what();
    }
    return failure;
}

DefaultAppearance parseDefaultAppearance(const std::string& da) {
    DefaultAppearance a;
    std::istringstream in(da);
    std::vector<std::string> operands;
    for (std::string token; in >> token;) {
        double size = 0;
        if (token == "Tf" && !operands.empty() && parseNumber(operands.back(), size) && size >= 0 &&
            size <= LARGEST_FONT_SIZE) {
            a.size = size;
        } else if ((token == "g" && operands.size() >= 1) ||
                   (token == "rg" && operands.size() >= 3) ||
                   (token == "k" && operands.size() >= 4)) {
            const std::string c = colour(operands, token == "g" ? 1 : token == "rg" ? 3 : 4, token);
            if (!c.empty())
                a.colour = c;
        }
        if (token == "Tf" || token == "g" || token == "rg" || token == "k")
            operands.clear();
        else
            operands.push_back(token);
    }
    return a;
}

bool usableRect(double llx, double lly, double urx, double ury) {
    for (const double v : {llx, lly, urx, ury}) {
        if (!std::isfinite(v) || std::fabs(v) > PAPER_LIMIT)
            return false;
    }
    return llx != urx && lly != ury;
}

} // namespace pelkorl
