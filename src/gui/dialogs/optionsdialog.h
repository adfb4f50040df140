#pragma once
// The options dialog: margins, date format, the service table's top and height, the card
// version, and the ways to the detailed layout, the data location and the printer setup.
// It works on copies that its caller hands in and takes back after OK; only a card-version
// switch (which writes the layout file of the version being left) and the data location
// take effect at once.
#include "card/cardlayout.h"
#include "toolkit/dialogbuilder.h"

#include <array>
#include <filesystem>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QRadioButton;

namespace pelkorl {

class ApplicationPrinter;

class OptionsDialog : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int MARGIN_TOP_EDIT = 1014;
    static constexpr int MARGIN_LEFT_EDIT = 1019;
    static constexpr int FIRST_DATE_RADIO = 1015; // 1015-1018: date formats 0-3
    static constexpr int DATE_FORMAT_COUNT = 4;
    static constexpr int DATA_LOCATION_BUTTON = 1013;
    static constexpr int PRINTER_SETUP_BUTTON = 1012;
    static constexpr int TABLE_TOP_SPIN = 1057;
    static constexpr int TABLE_HEIGHT_SPIN = 1058;
    static constexpr int RESTORE_BUTTON = 1061;
    static constexpr int DETAILED_LAYOUT_BUTTON = 1062;
    static constexpr int CARD_VERSION_LIST = 1067;

    // Spinner bounds, hundredths of an inch.
    static constexpr int TABLE_TOP_LOWER = 100;
    static constexpr int TABLE_TOP_UPPER = 150;
    static constexpr int TABLE_HEIGHT_LOWER = 150;
    static constexpr int TABLE_HEIGHT_UPPER = 220;

    // Shows the printer setup for `printer` and, when the user confirms, leaves the choice
    // in it. Returns whether the user confirmed.
    using PrinterSetupDialog = std::function<bool(QPrinter& printer, QWidget* parent)>;

    // `layoutFolder`: where the layout files of the card versions lie.
    explicit OptionsDialog(std::filesystem::path layoutFolder, QWidget* parent = nullptr);

    // Handed in before the run; after OK they are the result.
    void setDateFormat(int format) { dateFormat_ = format; } // 0-3
    int dateFormat() const { return dateFormat_; }
    // An index outside the versions becomes 0 at the opening.
    void setCardVersion(int version) { cardVersion_ = version; }
    int cardVersion() const { return cardVersion_; }
    // Inches, D.DD.
    void setMargins(std::string top, std::string left) {
        marginTop_ = std::move(top);
        marginLeft_ = std::move(left);
    }
    const std::string& marginTop() const { return marginTop_; }
    const std::string& marginLeft() const { return marginLeft_; }
    void setCardLayout(const CardLayout& layout) { layout_ = layout; }
    const CardLayout& cardLayout() const { return layout_; }

    // The main dialog's change of data location, run by "Aplanko adresas" while this
    // dialog stays open.
    void setChangeDataLocation(std::function<void()> changeDataLocation);

    // The printer of every print command: the setup starts from it and, when the user
    // confirms, hands it the choice. Without one the setup has nowhere to keep the choice.
    void setApplicationPrinter(ApplicationPrinter* printer);
    // Replaces the platform's printer setup dialog (tests).
    void setPrinterSetupDialog(PrinterSetupDialog dialog);
    // The platform's dialog in setup mode: printer, paper and its properties; no page
    // range, selection or printing to a file.
    static bool showPrinterSetup(QPrinter& printer, QWidget* parent);

    // The opening steps from the fields above. Runs by itself the first time the dialog is
    // shown; later calls do nothing.
    void initialise();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::string& marginOf(const QLineEdit* edit);
    // Takes the edit's text into its margin when it is an acceptable inch value, and shows
    // the margin either way. Returns false when the text was refused.
    bool commitMargin(QLineEdit* edit);
    void refreshTableValues();
    void stepTableValue(bool top, int direction);
    void restoreTableDefaults();
    void runDetailedLayout();
    void switchCardVersion(int row);
    void runPrinterSetup();

    std::filesystem::path layoutFolder_;
    std::function<void()> changeDataLocation_;
    ApplicationPrinter* applicationPrinter_ = nullptr;
    PrinterSetupDialog printerSetupDialog_;
    bool initialised_ = false;

    int dateFormat_ = 0;
    int cardVersion_ = 0;
    std::string marginTop_;
    std::string marginLeft_;
    CardLayout layout_;

    QLineEdit* marginTopEdit_;
    QLineEdit* marginLeftEdit_;
    std::array<QRadioButton*, DATE_FORMAT_COUNT> dateRadios_{};
    UpDownControl* tableTopSpin_;
    UpDownControl* tableHeightSpin_;
    QLabel* tableTopText_;
    QLabel* tableHeightText_;
    QListWidget* versionList_;
};

} // namespace pelkorl
