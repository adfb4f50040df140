#include "printing/formcopies.h"

#include <qpdf/QPDFFormFieldObjectHelper.hh>

#include <sstream>
#include <vector>

namespace pelkorl {

namespace {

// Deeper field trees than this are no form of the branch's; the walk stops there.
constexpr int DEPTH_LIMIT = 32;

bool isWidget(QPDFObjectHandle annot) {
    return annot.isDictionary() && annot.getKey("/Subtype").isNameAndEquals("/Widget");
}

// The top-level field of a widget: the end of its /Parent chain.
QPDFObjectHandle topField(QPDFObjectHandle widget) {
    QPDFObjectHandle node = widget;
    for (int depth = 0; depth < DEPTH_LIMIT && node.getKey("/Parent").isDictionary(); ++depth)
        node = node.getKey("/Parent");
    return node;
}

std::string fieldName(QPDFObjectHandle field) {
    QPDFObjectHandle t = field.getKey("/T");
    return t.isString() ? t.getUTF8Value() : std::string();
}

// Whether a field above `node` has a name: then `node`'s own name is a part of that one.
bool namedAbove(QPDFObjectHandle node) {
    QPDFObjectHandle parent = node.getKey("/Parent");
    for (int depth = 0; depth < DEPTH_LIMIT && parent.isDictionary(); ++depth) {
        if (parent.getKey("/T").isString())
            return true;
        parent = parent.getKey("/Parent");
    }
    return false;
}

template <typename Visit> void forEachWidget(QPDF& pdf, Visit visit) {
    for (QPDFObjectHandle page : pdf.getAllPages()) {
        QPDFObjectHandle annots = page.getKey("/Annots");
        for (int i = 0; annots.isArray() && i < annots.getArrayNItems(); ++i) {
            QPDFObjectHandle annot = annots.getArrayItem(i);
            if (isWidget(annot))
                visit(annot);
        }
    }
}

// One copy of a page's fields: the copy of each field or widget, and the new top-level names.
struct PageCopy {
    QPDF& pdf;
    FieldNames& names;
    std::map<QPDFObjGen, QPDFObjectHandle> copied;
    std::map<std::string, std::string> renamed;
};

// The copy of a field or widget and of its parents; a parent's copy lists only the kids
// copied with this page.
QPDFObjectHandle copyField(PageCopy& c, QPDFObjectHandle node, int depth = 0) {
    const auto found = c.copied.find(node.getObjGen());
    if (found != c.copied.end())
        return found->second;
    QPDFObjectHandle copy = c.pdf.makeIndirectObject(node.unsafeShallowCopy());
    c.copied.emplace(node.getObjGen(), copy);
    if (node.hasKey("/Kids"))
        copy.replaceKey("/Kids", QPDFObjectHandle::newArray());
    QPDFObjectHandle parent = node.getKey("/Parent");
    if (parent.isDictionary() && parent.isIndirect() && depth < DEPTH_LIMIT) {
        QPDFObjectHandle parentCopy = copyField(c, parent, depth + 1);
        copy.replaceKey("/Parent", parentCopy);
        if (parentCopy.getKey("/Kids").isArray())
            parentCopy.getKey("/Kids").appendItem(copy);
    } else if (node.getKey("/T").isString()) {
        copy.removeKey("/Parent");
    }
    // The topmost name is the copy's own, or its fields would share the original's full names
    // (nameless fields above it add nothing to them).
    if (node.getKey("/T").isString() && !namedAbove(node)) {
        const std::string name = fieldName(node);
        const std::string fresh = c.names.fresh(name);
        c.renamed[name] = fresh;
        copy.replaceKey("/T", QPDFObjectHandle::newUnicodeString(fresh));
    }
    return copy;
}

QPDFObjectHandle copyAnnotation(PageCopy& c, QPDFObjectHandle annot, QPDFObjectHandle page) {
    if (!annot.isDictionary())
        return annot;
    QPDFObjectHandle copy;
    if (isWidget(annot) && annot.isIndirect()) {
        copy = copyField(c, annot);
    } else {
        copy = annot.unsafeShallowCopy();
        if (annot.isIndirect())
            copy = c.pdf.makeIndirectObject(copy);
    }
    copy.replaceKey("/P", page);
    return copy;
}

// `script` with each quoted field name ("904_20", or the start of "904_20.a") that `renamed`
// holds replaced by its new name.
std::string renamedNames(const std::string& script,
                         const std::map<std::string, std::string>& renamed) {
    std::string out;
    std::size_t done = 0;
    for (std::size_t open = script.find_first_of("\"'"); open != std::string::npos;) {
        const std::size_t close = script.find(script[open], open + 1);
        if (close == std::string::npos)
            break;
        const std::string quoted = script.substr(open + 1, close - open - 1);
        const auto name = renamed.find(quoted.substr(0, quoted.find('.')));
        if (name != renamed.end()) {
            out.append(script, done, open + 1 - done);
            out += name->second;
            done = open + 1 + name->first.size();
        }
        open = script.find_first_of("\"'", close + 1);
    }
    return done == 0 ? script : out + script.substr(done);
}

// A calculation script of a copied field names the copy's fields ("904_20" becomes
// "904_20+1"), so a copy's total sums its own months.
void renameInScript(QPDFObjectHandle field, const std::map<std::string, std::string>& renamed) {
    QPDFObjectHandle actions = field.getKey("/AA");
    if (!actions.isDictionary() || !actions.getKey("/C").isDictionary())
        return;
    QPDFObjectHandle calculate = actions.getKey("/C");
    QPDFObjectHandle js = calculate.getKey("/JS");
    std::string script;
    try {
        if (js.isString()) {
            script = js.getUTF8Value();
        } else if (js.isStream()) {
            const auto data = js.getStreamData(qpdf_dl_generalized);
            script.assign(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
        }
    } catch (const std::exception&) {
        return; // a script that cannot be read stays as it is
    }
    const std::string changed = renamedNames(script, renamed);
    if (changed == script)
        return;
    QPDFObjectHandle newCalculate = calculate.unsafeShallowCopy();
    newCalculate.replaceKey("/JS", QPDFObjectHandle::newUnicodeString(changed));
    QPDFObjectHandle newActions = actions.unsafeShallowCopy();
    newActions.replaceKey("/C", newCalculate);
    field.replaceKey("/AA", newActions);
}

// The copies of the fields in the calculation order join it, after the originals.
void extendCalculationOrder(QPDF& pdf, const PageCopy& c) {
    QPDFObjectHandle order = pdf.getRoot().getKey("/AcroForm").getKey("/CO");
    if (!order.isArray())
        return;
    const int count = order.getArrayNItems();
    for (int i = 0; i < count; ++i) {
        const auto copy = c.copied.find(order.getArrayItem(i).getObjGen());
        if (copy != c.copied.end())
            order.appendItem(copy->second);
    }
}

// The font name a default appearance sets ("/Helv 0 Tf 0 g": "/Helv").
std::string appearanceFont(const std::string& da) {
    std::istringstream in(da);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;) {
        if (token == "Tf" && tokens.size() >= 2)
            return tokens[tokens.size() - 2];
        tokens.push_back(token);
    }
    return {};
}

QPDFObjectHandle dictionaryAt(QPDFObjectHandle parent, const std::string& key) {
    QPDFObjectHandle d = parent.getKey(key);
    if (!d.isDictionary()) {
        d = QPDFObjectHandle::newDictionary();
        parent.replaceKey(key, d);
    }
    return d;
}

void listFields(QPDF& pdf, QPDFObjectHandle acroForm) {
    QPDFObjectHandle fields = acroForm.getKey("/Fields");
    if (!fields.isArray()) {
        fields = QPDFObjectHandle::newArray();
        acroForm.replaceKey("/Fields", fields);
    }
    std::set<QPDFObjGen> listed;
    for (int i = 0; i < fields.getArrayNItems(); ++i)
        listed.insert(fields.getArrayItem(i).getObjGen());
    forEachWidget(pdf, [&](QPDFObjectHandle widget) {
        QPDFObjectHandle top = topField(widget);
        if (top.isIndirect() && listed.insert(top.getObjGen()).second)
            fields.appendItem(top);
    });
}

void mergeFonts(QPDFObjectHandle fonts, QPDFObjectHandle own, std::set<QPDFObjGen>& seen) {
    if (!own.isDictionary() || (own.isIndirect() && !seen.insert(own.getObjGen()).second))
        return;
    for (const auto& [key, font] : own.ditems()) {
        if (!fonts.hasKey(key))
            fonts.replaceKey(key, font);
    }
}

void mergeResources(QPDF& pdf, QPDFObjectHandle acroForm) {
    QPDFObjectHandle fonts = dictionaryAt(dictionaryAt(acroForm, "/DR"), "/Font");
    std::string da;
    std::set<QPDFObjGen> seen;
    forEachWidget(pdf, [&](QPDFObjectHandle widget) {
        QPDFObjectHandle node = widget;
        for (int depth = 0; depth < DEPTH_LIMIT && node.isDictionary(); ++depth) {
            mergeFonts(fonts, node.getKey("/DR").getKey("/Font"), seen);
            node = node.getKey("/Parent");
        }
        QPDFFormFieldObjectHelper field(widget);
        if (da.empty() && field.getFieldType() == "/Tx") {
            const std::string own = field.getInheritableFieldValueAsString("/DA");
            if (fonts.hasKey(appearanceFont(own)))
                da = own;
        }
    });
    if (!acroForm.getKey("/DA").isString() && !da.empty())
        acroForm.replaceKey("/DA", QPDFObjectHandle::newString(da));
}

QPDFObjectHandle shared(QPDF& pdf, QPDFObjectHandle value) {
    return value.isIndirect() || !(value.isDictionary() || value.isArray())
               ? value
               : pdf.makeIndirectObject(value);
}

// A widget's resources, looks and actions as objects of their own (the actions one by one, as
// a copy may change its calculation), so that every copy refers to them, not repeats them.
void shareWidgetParts(QPDF& pdf, QPDFObjectHandle page) {
    QPDFObjectHandle annots = page.getKey("/Annots");
    for (int i = 0; annots.isArray() && i < annots.getArrayNItems(); ++i) {
        QPDFObjectHandle widget = annots.getArrayItem(i);
        if (!isWidget(widget))
            continue;
        for (const char* key : {"/DR", "/MK"}) {
            if (widget.hasKey(key))
                widget.replaceKey(key, shared(pdf, widget.getKey(key)));
        }
        QPDFObjectHandle actions = widget.getKey("/AA");
        if (actions.isDictionary() && !actions.isIndirect()) {
            for (auto [key, action] : actions.ditems())
                actions.replaceKey(key, shared(pdf, action));
        }
    }
}

} // namespace

FieldNames::FieldNames(QPDF& pdf) {
    QPDFObjectHandle fields = pdf.getRoot().getKey("/AcroForm").getKey("/Fields");
    for (int i = 0; fields.isArray() && i < fields.getArrayNItems(); ++i)
        used_.insert(fieldName(fields.getArrayItem(i)));
    forEachWidget(pdf,
                  [this](QPDFObjectHandle widget) { used_.insert(fieldName(topField(widget))); });
}

std::string FieldNames::fresh(const std::string& name) {
    int& n = copies_[name];
    std::string candidate;
    do
        candidate = name + "+" + std::to_string(++n);
    while (!used_.insert(candidate).second);
    return candidate;
}

void appendPageCopy(QPDF& pdf, QPDFObjectHandle page, FieldNames& names) {
    // One resources dictionary for every copy.
    QPDFObjectHandle resources = page.getKey("/Resources");
    if (resources.isDictionary() && !resources.isIndirect())
        page.replaceKey("/Resources", pdf.makeIndirectObject(resources));
    shareWidgetParts(pdf, page);
    QPDFObjectHandle copy = pdf.makeIndirectObject(page.unsafeShallowCopy());
    PageCopy c{pdf, names, {}, {}};
    QPDFObjectHandle annots = page.getKey("/Annots");
    if (annots.isArray()) {
        QPDFObjectHandle copies = QPDFObjectHandle::newArray();
        for (int i = 0; i < annots.getArrayNItems(); ++i)
            copies.appendItem(copyAnnotation(c, annots.getArrayItem(i), copy));
        copy.replaceKey("/Annots", copies);
        for (const auto& [original, fieldCopy] : c.copied)
            renameInScript(fieldCopy, c.renamed);
        extendCalculationOrder(pdf, c);
    }
    pdf.addPage(copy, false);
}

void completeFormFields(QPDF& pdf) {
    QPDFObjectHandle acroForm = pdf.getRoot().getKey("/AcroForm");
    if (!acroForm.isDictionary())
        return;
    listFields(pdf, acroForm);
    mergeResources(pdf, acroForm);
}

} // namespace pelkorl
