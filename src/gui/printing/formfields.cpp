#include "printing/formfields.h"

namespace pelkorl {

FormRead readFormFields(const std::filesystem::path& file) {
    std::string bytes;
    FormRead read;
    read.refusal = readFormFile(file, bytes);
    if (!read.refusal.ok())
        return read;
    return readForm(bytes, file.filename().string());
}

FormLayoutResult layoutFromForm(const std::filesystem::path& file, CardLayout& layout) {
    const FormRead form = readFormFields(file);
    if (!form.refusal.ok()) {
        FormLayoutResult result;
        result.error = FormLayoutError::Refused;
        result.form = form.refusal;
        return result;
    }
    return layoutFromFormFields(form.fields, layout);
}

} // namespace pelkorl
