// The core's headers come before any Qt header (Qt's "slots" macro).
#include "printing/formfields.h"
#include "records/fileio.h"

#include <qpdf/Constants.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>

namespace pelkorl {

namespace {

// A form is a few hundred kilobytes; a file far beyond that is not one.
constexpr std::size_t MAX_FORM_BYTES = 64u << 20;

struct Box {
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;
};

// Either corner may come first in a PDF rectangle.
Box normalised(const QPDFObjectHandle::Rectangle& r) {
    return {std::min(r.llx, r.urx), std::min(r.lly, r.ury), std::max(r.llx, r.urx),
            std::max(r.lly, r.ury)};
}

bool finite(const Box& b) {
    return std::isfinite(b.left) && std::isfinite(b.bottom) && std::isfinite(b.right) &&
           std::isfinite(b.top);
}

void readPage(QPDFAcroFormDocumentHelper& form, QPDFPageObjectHelper& page,
              std::vector<FormFieldRect>& out) {
    QPDFObjectHandle mediaBox = page.getMediaBox();
    if (!mediaBox.isRectangle())
        return;
    const Box paper = normalised(mediaBox.getArrayAsRectangle());
    for (QPDFAnnotationObjectHelper& widget : form.getWidgetAnnotationsForPage(page)) {
        QPDFFormFieldObjectHelper field = form.getFieldForAnnotation(widget);
        const Box r = normalised(widget.getRect());
        if (field.isNull() || !finite(r) || !finite(paper))
            continue;
        // Counted from the paper's bottom-left corner, wherever the media box puts it.
        out.push_back({field.getFullyQualifiedName(), r.left - paper.left, r.bottom - paper.bottom,
                       r.right - r.left, r.top - r.bottom, paper.top - paper.bottom});
    }
}

} // namespace

FormFields readFormFields(const std::filesystem::path& file) {
    FormFields result;
    Bytes bytes;
    if (readWholeFile(file, MAX_FORM_BYTES, bytes) != ReadError::None) {
        result.error = FormLayoutError::Unreadable;
        return result;
    }
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile(file.filename().string().c_str(),
                              reinterpret_cast<const char*>(bytes.data()), bytes.size());
        QPDFAcroFormDocumentHelper form(pdf);
        if (form.hasAcroForm()) {
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages())
                readPage(form, page, result.fields);
        }
        if (result.fields.empty())
            result.error = FormLayoutError::NotFillable;
    } catch (const QPDFExc& e) {
        result.fields.clear();
        result.error = e.getErrorCode() == qpdf_e_password ? FormLayoutError::Protected
                                                           : FormLayoutError::NotPdf;
    } catch (const std::exception&) {
        result.fields.clear();
        result.error = FormLayoutError::NotPdf;
    }
    return result;
}

FormLayoutResult layoutFromForm(const std::filesystem::path& file, CardLayout& layout) {
    const FormFields form = readFormFields(file);
    if (form.error != FormLayoutError::None)
        return {form.error, {}};
    return layoutFromFormFields(form.fields, layout);
}

} // namespace pelkorl
