// The fillable form's reader: any bytes as a PDF form, the verdict the fill and the layout
// share, and what they take from an accepted form (the widgets' names, rectangles and
// quadding), then the card's layout from those rectangles. The first bytes are also read
// as a field's default appearance.
//
// Input: the PDF file.
#include "card/cardlayout.h"
#include "card/formlayout.h"
#include "fuzzsupport.h"
#include "printing/formreader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace pelkorl;
using namespace pelkorl::fuzz;

namespace {

// A PDF's largest paper, as the reader takes it.
constexpr double PAPER = 14400;

// The size within its range; the colour as the reader writes it: components from 0 to 1,
// as many as its operator takes.
void checkAppearance(const std::string& da) {
    const DefaultAppearance a = parseDefaultAppearance(da);
    FUZZ_CHECK(std::isfinite(a.size) && a.size >= 0 && a.size <= 200);
    std::istringstream in(a.colour);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;)
        tokens.push_back(token);
    FUZZ_CHECK(!tokens.empty());
    const std::string op = tokens.back();
    const std::size_t n = op == "g" ? 1 : op == "rg" ? 3 : op == "k" ? 4 : 0;
    FUZZ_CHECK(n != 0 && tokens.size() == n + 1);
    for (std::size_t k = 0; k < n; ++k) {
        char* end = nullptr;
        const double v = std::strtod(tokens[k].c_str(), &end);
        FUZZ_CHECK(*end == '\0' && v >= 0 && v <= 1);
        FUZZ_CHECK(tokens[k].find_first_not_of("0123456789.") == std::string::npos);
    }
}

void checkAccepted(const FormRead& read) {
    FUZZ_CHECK(read.pages >= 1 && read.pages <= FORM_MAX_PAGES);
    FUZZ_CHECK(read.cardNames.size() == read.pages);
    for (const auto& page : read.cardNames)
        FUZZ_CHECK(page.size() <= FORM_MAX_WIDGETS);
    FUZZ_CHECK(read.fields.size() <= read.pages * FORM_MAX_WIDGETS);
    for (const FormFieldRect& f : read.fields) {
        FUZZ_CHECK(std::isfinite(f.x) && std::isfinite(f.y) && std::isfinite(f.width) &&
                   std::isfinite(f.height) && std::isfinite(f.pageHeight));
        FUZZ_CHECK(f.width > 0 && f.height > 0 && f.width <= 2 * PAPER && f.height <= 2 * PAPER);
        FUZZ_CHECK(std::fabs(f.x) <= 2 * PAPER && std::fabs(f.y) <= 2 * PAPER);
        FUZZ_CHECK(f.quadding >= 0 && f.quadding <= 2);
    }
    CardLayout layout;
    setLayoutDefaults(layout, 2);
    const CardLayout before = layout;
    const FormLayoutResult result = layoutFromFormFields(read.fields, layout);
    FUZZ_CHECK(result.error != FormLayoutError::Refused);
    if (result.error != FormLayoutError::None)
        FUZZ_CHECK(layout == before);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string pdf(reinterpret_cast<const char*>(bytes), size);
    checkAppearance(pdf.substr(0, 64));
    const FormRead read = readForm(pdf, "fuzz.pdf");
    if (read.refusal.ok()) {
        checkAccepted(read);
    } else {
        FUZZ_CHECK(read.fields.empty() && read.cardNames.empty());
        FUZZ_CHECK(read.refusal.problem != FormProblem::NoFont &&
                   read.refusal.problem != FormProblem::CannotWrite);
        FUZZ_CHECK(read.refusal.problem != FormProblem::Damaged || !read.refusal.detail.empty());
    }
    return 0;
}
