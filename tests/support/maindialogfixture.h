#pragma once
// Shared by the main dialog's tests: a temporary data folder with publisher files written
// from specs, a settings file in it, and the dialog started there on a fixed date.
#include "main/maindialog.h"
#include "sampledata.h"
#include "testfiles.h"

#include "printing/printjob.h"

#include <QPrinter>
#include <QString>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelkorl::test {

namespace fs = std::filesystem;

// A publisher with a baptism date (or none) and no figures; names given in UTF-8.
inline sample::PublisherSpec person(const std::string& firstName, const std::string& lastName,
                                    bool baptized = true, std::uint16_t id = 0) {
    sample::PublisherSpec p;
    p.firstName = sample::toCp1257(firstName);
    p.lastName = sample::toCp1257(lastName);
    p.baptismDate = baptized ? "06152001" : "";
    p.publisherId = id;
    return p;
}

// The publisher file of the current year in `folder`, texts plain.
inline void writeCurrentYear(const fs::path& folder,
                             const std::vector<sample::PublisherSpec>& people,
                             const std::string& password = " ") {
    std::vector<sample::RecordBytes> records;
    for (const auto& p : people)
        records.push_back(sample::encodePublisher(p, false));
    if (!sample::writePublisherFile(folder / "tdat7.bin", sample::encodeHeader(password, false),
                                    records))
        throw std::runtime_error("cannot write the publisher file");
}

// The previous-year publisher file (large enough to be read) with its year stamps, indexed
// by calendar month.
inline void writePreviousYear(const fs::path& folder, const sample::YearStamps& stamps,
                              std::vector<sample::PublisherSpec> people = {}) {
    while (people.size() < 3)
        people.push_back(person("Buvęs", "Skelbėjas"));
    std::vector<sample::RecordBytes> records;
    for (const auto& p : people)
        records.push_back(sample::encodePublisher(p, false));
    fs::create_directories(folder / "Roll" / "Rv7_8");
    if (!sample::writePublisherFile(folder / "Roll" / "Rv7_8" / "tdat7.bin",
                                    sample::encodeHeader(" ", false, stamps), records))
        throw std::runtime_error("cannot write the previous-year file");
}

inline void writeText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
}

inline QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Printers for the print command: a PDF file per command, or none at all; counts lookups.
class PdfPrinterSource : public PrinterSource {
public:
    PdfPrinterSource(fs::path folder, bool hasPrinter)
        : folder(std::move(folder)), has(hasPrinter) {}

    QString defaultPrinterName() const override {
        ++lookups;
        return has ? QStringLiteral("Test PDF") : QString();
    }
    std::unique_ptr<QPrinter> open(const QString&) const override {
        // Like a system printer, its page margins are its minimum ones: none for a PDF.
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        setUpPdfOutput(*printer,
                       QString::fromStdString(
                           (folder / ("card" + std::to_string(++opened) + ".pdf")).string()),
                       0);
        return printer;
    }

    fs::path folder;
    bool has;
    mutable int lookups = 0;
    mutable int opened = 0;
};

// A data folder, its settings file and the dialog started in it.
class DialogRun {
public:
    DialogRun() : settingsFile(temp.path() / "pelkorl.INI") {}

    const fs::path& folder() const { return temp.path(); }

    // `prepare` sets the dialog's seams before its start-up runs.
    MainDialog& start(QDate today, const std::function<void(MainDialog&)>& prepare = {}) {
        dialog = std::make_unique<MainDialog>(SettingsLocation{settingsFile, settingsFile},
                                              folder(), today);
        printers = std::make_shared<PdfPrinterSource>(folder() / "printed", true);
        fs::create_directories(printers->folder);
        dialog->setPrinterSource(printers);
        if (prepare)
            prepare(*dialog);
        dialog->initialise();
        return *dialog;
    }

    void settings(const std::string& text) { writeText(settingsFile, text); }

    TempFolder temp;
    fs::path settingsFile;
    std::unique_ptr<MainDialog> dialog;
    std::shared_ptr<PdfPrinterSource> printers;
};

} // namespace pelkorl::test
