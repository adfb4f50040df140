#include "card/formrefusal.h"

#include "text/strings.h"
#include "text/textids.h"

namespace pelkorl {

std::size_t formLimitValue(FormLimit limit) {
    switch (limit) {
    case FormLimit::FileSize:
        return FORM_MAX_BYTES;
    case FormLimit::Depth:
        return FORM_MAX_DEPTH;
    case FormLimit::Fields:
        return FORM_MAX_FIELDS;
    case FormLimit::Widgets:
        return FORM_MAX_WIDGETS;
    case FormLimit::Pages:
        return FORM_MAX_PAGES;
    }
    return 0;
}

std::string formRefusalText(const FormRefusal& r) {
    switch (r.problem) {
    case FormProblem::None:
        return {};
    case FormProblem::Unreadable:
        return loadText(FORM_REFUSAL_UNREADABLE);
    case FormProblem::NotPdf:
        return loadText(FORM_REFUSAL_NOT_PDF);
    case FormProblem::Damaged:
        return insertText(loadText(FORM_REFUSAL_DAMAGED), r.detail);
    case FormProblem::Protected:
        return loadText(FORM_REFUSAL_PROTECTED);
    case FormProblem::FieldLoop:
        return insertText(loadText(FORM_REFUSAL_FIELD_LOOP), r.field);
    case FormProblem::PastLimit: {
        std::size_t value = formLimitValue(r.limit);
        if (r.limit == FormLimit::FileSize)
            value >>= 20;
        const std::string limit = insertText(
            loadText(FORM_LIMIT_TEXT_BASE + static_cast<int>(r.limit)), std::to_string(value));
        return insertText(loadText(FORM_REFUSAL_PAST_LIMIT), limit);
    }
    case FormProblem::NoPage:
        return loadText(FORM_REFUSAL_NO_PAGE);
    case FormProblem::NotS21Form:
        return insertText(loadText(FORM_FIELD_FAULT_BASE + static_cast<int>(r.fault)), r.field);
    case FormProblem::NoFont:
        return insertText(loadText(FORM_REFUSAL_NO_FONT), r.detail);
    case FormProblem::CannotWrite: // the output's reason, not the form's
        break;
    }
    return {};
}

} // namespace pelkorl
