// How pelkorl-print says what went wrong.
#include "cli/printtool.h"
#include "records/fileio.h"
#include "settings/atomicfile.h"

#include <QString>

#ifndef _WIN32
#include <cerrno>
#include <unistd.h>
#endif

#include <cstdio>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace pelkorl {

namespace {

const char* fieldFault(FieldFault fault) {
    switch (fault) {
    case FieldFault::Missing:
        return "is missing";
    case FieldFault::WrongKind:
        return "is not of the kind the S-21 11/23 form has there (a text field, or a check "
               "box with its own checked appearance)";
    case FieldFault::OnNoPage:
        return "lies on no page";
    case FieldFault::NoBox:
        return "has no usable rectangle (not a number, or beyond any paper)";
    }
    return "";
}

std::string limitText(FormLimit limit) {
    const std::string n = std::to_string(formLimitValue(limit));
    switch (limit) {
    case FormLimit::FileSize:
        return "the file is larger than " + std::to_string(formLimitValue(limit) >> 20) + " MB";
    case FormLimit::Depth:
        return "its field tree is deeper than " + n + " levels";
    case FormLimit::Fields:
        return "it has more than " + n + " fields";
    case FormLimit::Widgets:
        return "it has more than " + n + " annotations (field widgets) on one page";
    case FormLimit::Pages:
        return "it has more than " + n + " pages";
    }
    return {};
}

std::string lowerFirst(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

} // namespace

int fail(int code, const std::string& message) {
    std::cerr << "pelkorl-print: " << message << "\n";
    if (code == EXIT_USAGE)
        std::cerr << "Try 'pelkorl-print --help'.\n";
    return code;
}

void warn(const std::string& message) {
    std::cerr << "pelkorl-print: warning: " << message << "\n";
}

std::string shown(const fs::path& path) {
    const std::u8string text = path.u8string();
    const std::string bytes(text.begin(), text.end());
    if (QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toUtf8().toStdString() == bytes)
        return "'" + bytes + "'";
    std::string escaped;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        escaped += byte < 0x80 ? std::string(1, c) : std::string(hex);
    }
    return "'" + escaped + "'";
}

std::string readProblem(const fs::path& file) {
    Bytes bytes;
    std::error_code error;
    switch (readFilePart(file, 0, 1, bytes)) {
    case ReadError::None:
    case ReadError::TooLarge:
        return {};
    case ReadError::Missing:
        return "does not exist";
    case ReadError::NotRegular:
        return fs::is_directory(file, error) ? "is a folder" : "is not a regular file";
    case ReadError::Unreadable:
        break;
    }
#ifndef _WIN32
    if (::access(file.c_str(), R_OK) != 0)
        return "cannot be read: " + lowerFirst(std::generic_category().message(errno));
#endif
    return "cannot be read";
}

std::string formRefusalMessage(const FormRefusal& r, const fs::path& form) {
    const std::string the = "the form " + shown(form);
    switch (r.problem) {
    case FormProblem::None:
    case FormProblem::CannotWrite:
        break;
    case FormProblem::Unreadable: {
        const std::string why = readProblem(form);
        return the + " " + (why.empty() ? std::string("cannot be read") : why);
    }
    case FormProblem::NotPdf:
        return the + " is not a PDF file";
    case FormProblem::Damaged:
        return the + " is damaged: " + r.detail;
    case FormProblem::Protected:
        return the + " is protected: it opens only with a password; use an unprotected copy";
    case FormProblem::FieldLoop:
        return the + " is damaged: its field '" + r.field + "' is its own ancestor";
    case FormProblem::PastLimit:
        return the + " is refused: " + limitText(r.limit);
    case FormProblem::NoPage:
        return the + " has no page: it is not the fillable S-21 11/23 form";
    case FormProblem::NotS21Form:
        return the + " is not the fillable S-21 11/23 form: its field '" + r.field + "' " +
               fieldFault(r.fault);
    case FormProblem::NoFont:
        return "no font has every letter of the texts; files tried: " +
               (r.detail.empty() ? std::string("none") : r.detail);
    }
    return {};
}

std::string folderProblem(const fs::path& folder) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    return error ? "cannot be read: " + lowerFirst(error.message()) : std::string();
}

std::string schedulerProblem(SchedulerError error) {
    if (error == SchedulerError::Unreachable)
        return "the print system (CUPS) cannot be reached: nothing was printed";
    return "the print system (CUPS) does not answer: nothing was printed";
}

std::string systemReason(const std::error_code& reason) {
    return reason ? ": " + lowerFirst(reason.message()) : std::string();
}

std::string writeProblem(const fs::path& output, std::error_code reason) {
    std::error_code error;
    const fs::path file = fs::absolute(output, error);
    switch (writeRefusal(file, &error)) {
    case WriteResult::NotRegular:
        return ": it is not a regular file";
    case WriteResult::OutsideFolder:
        return ": it is a link to a file outside its folder";
    case WriteResult::ReadOnly:
        return ": it is read-only";
    case WriteResult::CannotCreate:
        return systemReason(error);
    default:
        break;
    }
    return systemReason(reason ? reason : writeObstacle(file));
}

} // namespace pelkorl
