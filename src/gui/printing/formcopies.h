#pragma once
// The filled form's structure beyond its values: copies of the form's pages whose fields are
// their own, and the form's list of fields made whole, so that a program reading the form
// finds every field (most of the branch's editions list none, their widgets sit only on the
// page). Used by the fillable-form writer only.
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <set>
#include <string>

namespace pelkorl {

// The names of a file's top-level fields, and new ones for copies: "name+1", "name+2"...
class FieldNames {
public:
    explicit FieldNames(QPDF& pdf);
    std::string fresh(const std::string& name);

private:
    std::set<std::string> used_;
    std::map<std::string, int> copies_;
};

// Appends a copy of `page`: contents and resources shared with it, annotations copied, each
// widget's field copied as far as its top-level field, which gets a fresh name. Scripts that
// name the page's fields name the copy's; the copies of fields in the calculation order
// (/CO) join it.
void appendPageCopy(QPDF& pdf, QPDFObjectHandle page, FieldNames& names);

// Lists in /AcroForm /Fields every page's widgets' top-level fields that are not listed yet,
// and gives /AcroForm the fonts of the widgets' own resources and, when it has none, a
// default appearance in one of them.
void completeFormFields(QPDF& pdf);

} // namespace pelkorl
