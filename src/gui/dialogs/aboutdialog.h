#pragma once
// The about box: program name and version, and the folder the program reads its data from.
#include "toolkit/dialogbuilder.h"

#include <QString>

#include <filesystem>

class QLabel;

namespace pelkorl {

inline constexpr int ABOUT_FOLDER_TEXT_ID = 1068;

class AboutDialog : public TemplateDialog {
    Q_OBJECT
public:
    // `folder` empty: it could not be obtained, and the text stays empty.
    explicit AboutDialog(const std::filesystem::path& folder, QWidget* parent = nullptr);

    QString folderText() const;

private:
    QLabel* folderText_;
};

// A path as the user reads it (native separators).
QString displayPath(const std::filesystem::path& path);

} // namespace pelkorl
