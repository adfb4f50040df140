// pelkorl-e2e-setup: the end-to-end test's hands on the printer setup. It starts the main
// dialog on a data folder (under the test's X server) and, one command per line on stdin,
// runs the real options dialog and Qt's print dialog in setup mode by operating their own
// widgets, or presses the print button. It answers one line per command: "ok", "printed",
// "message: TEXT" (the message box the program showed, closed with OK) or "error: WHY".
//
//   setup   the options dialog, "Spausdinimo parinktys": first the --first printer, then
//           the --pick printer; in its properties a custom page of --page-in W H inches and
//           the tray and media type whose texts --tray and --media give; OK everywhere
//   reopen  the setup again: it must show the --pick printer and the custom page; OK
//   print   the print button
#include "dialogs/optionsdialog.h"
#include "main/maindialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

using namespace pelkorl;

namespace {

struct Options {
    std::string folder;
    QDate date;
    QString first, pick, tray, media;
    double width = 0, height = 0;
};

QString failure;

void fail(const QString& why) {
    if (failure.isEmpty())
        failure = why;
}

// Runs `act` on the modal dialog that `fits` once it is up: each dialog opens in the nested
// event loop of the one before, so this polls.
QTimer* whenModal(const std::function<bool(QWidget*)>& fits,
                  const std::function<void(QWidget*)>& act) {
    auto* timer = new QTimer;
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fits, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !fits(modal))
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
    return timer;
}

bool isA(QWidget* widget, const char* className) {
    return widget->inherits(className);
}

void clickOk(QWidget* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly);
    QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (ok)
        ok->click();
    else if (auto* d = qobject_cast<QDialog*>(dialog))
        d->reject();
}

bool chooseText(QComboBox* combo, const QString& text) {
    const int index = combo ? combo->findText(text) : -1;
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    QApplication::processEvents();
    return true;
}

// The custom page in inches: the properties' page tab, as a user fills it.
bool inchUnits(QWidget* properties) {
    auto* units = properties->findChild<QComboBox*>("unitCombo");
    for (int i = 0; units && i < units->count(); ++i) {
        if (units->itemData(i).value<QPageLayout::Unit>() == QPageLayout::Inch) {
            units->setCurrentIndex(i);
            emit units->activated(i);
            return true;
        }
    }
    return false;
}

void setUpProperties(QWidget* properties, const Options& o) {
    auto* sizes = properties->findChild<QComboBox*>("pageSizeCombo");
    auto* width = properties->findChild<QDoubleSpinBox*>("pageWidth");
    auto* height = properties->findChild<QDoubleSpinBox*>("pageHeight");
    if (!inchUnits(properties) || !width || !height ||
        !chooseText(sizes, QCoreApplication::translate("QPageSetupWidget", "Custom")))
        fail("the page tab has no custom size in inches");
    else {
        width->setValue(o.width);
        height->setValue(o.height);
    }
    bool tray = false, media = false;
    for (QComboBox* combo : properties->findChildren<QComboBox*>()) {
        tray = tray || chooseText(combo, o.tray);
        media = media || chooseText(combo, o.media);
    }
    if (!tray || !media)
        fail("the advanced tab offers no '" + o.tray + "' or no '" + o.media + "'");
    clickOk(properties);
}

void checkProperties(QWidget* properties, const Options& o) {
    auto* sizes = properties->findChild<QComboBox*>("pageSizeCombo");
    auto* width = properties->findChild<QDoubleSpinBox*>("pageWidth");
    auto* height = properties->findChild<QDoubleSpinBox*>("pageHeight");
    if (!sizes || sizes->currentText() != QCoreApplication::translate("QPageSetupWidget", "Custom"))
        fail("the page shown is '" + (sizes ? sizes->currentText() : QString()) +
             "', not the custom one chosen before");
    else if (!inchUnits(properties) || std::abs(width->value() - o.width) > 0.01 ||
             std::abs(height->value() - o.height) > 0.01)
        fail(QStringLiteral("the custom page shown is %1 x %2 in")
                 .arg(width->value())
                 .arg(height->value()));
    clickOk(properties);
}

// The options dialog, its printer setup, and back: `inPrintDialog` operates Qt's dialog.
void runSetup(MainDialog& dialog, const std::function<void(QWidget*)>& inPrintDialog) {
    whenModal([](QWidget* w) { return isA(w, "pelkorl::OptionsDialog"); },
              [&](QWidget* options) {
                  whenModal([](QWidget* w) { return isA(w, "QPrintDialog"); },
                            [&](QWidget* print) {
                                inPrintDialog(print);
                                clickOk(print);
                            });
                  auto* d = static_cast<OptionsDialog*>(options);
                  if (auto* setup = d->controlAs<QPushButton>(OptionsDialog::PRINTER_SETUP_BUTTON))
                      setup->click();
                  else
                      fail("the options dialog has no printer setup button");
                  d->accept();
              });
    dialog.button(OPTIONS_BUTTON_ID)->click();
}

void setup(MainDialog& dialog, const Options& o) {
    runSetup(dialog, [&](QWidget* print) {
        auto* printers = print->findChild<QComboBox*>("printers");
        if (!chooseText(printers, o.first) || !chooseText(printers, o.pick)) {
            fail("the print dialog does not list '" + o.first + "' and '" + o.pick + "'");
            return;
        }
        whenModal([](QWidget* w) { return isA(w, "QPrintPropertiesDialog"); },
                  [&](QWidget* properties) { setUpProperties(properties, o); });
        print->findChild<QPushButton*>("properties")->click();
    });
}

void reopen(MainDialog& dialog, const Options& o) {
    runSetup(dialog, [&](QWidget* print) {
        auto* printers = print->findChild<QComboBox*>("printers");
        if (!printers || printers->currentText() != o.pick) {
            fail("the print dialog shows '" + (printers ? printers->currentText() : QString()) +
                 "', not '" + o.pick + "'");
            return;
        }
        whenModal([](QWidget* w) { return isA(w, "QPrintPropertiesDialog"); },
                  [&](QWidget* properties) { checkProperties(properties, o); });
        print->findChild<QPushButton*>("properties")->click();
    });
}

QString print(MainDialog& dialog) {
    QString shown;
    QTimer* watch = whenModal([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                              [&](QWidget* w) {
                                  auto* box = static_cast<QMessageBox*>(w);
                                  shown = box->text().simplified();
                                  box->button(QMessageBox::Ok)->click();
                              });
    dialog.accept();
    delete watch; // a timer that fired has deleted itself later, not yet
    return shown.isEmpty() ? QStringLiteral("printed") : "message: " + shown;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (arg == "--folder")
            o.folder = argv[i + 1];
        else if (arg == "--date")
            o.date = QDate::fromString(value, Qt::ISODate);
        else if (arg == "--first")
            o.first = value;
        else if (arg == "--pick")
            o.pick = value;
        else if (arg == "--tray")
            o.tray = value;
        else if (arg == "--media")
            o.media = value;
        else if (arg == "--page-in" && i + 2 < argc) {
            o.width = std::atof(argv[i + 1]);
            o.height = std::atof(argv[i + 2]);
            ++i;
        } else
            return false;
    }
    return !o.folder.empty() && o.date.isValid() && !o.pick.isEmpty() && o.width > 0 &&
           o.height > 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Options o;
    if (!parse(argc, argv, o)) {
        std::cerr << "usage: pelkorl-e2e-setup --folder DIR --date YYYY-MM-DD --first QUEUE "
                     "--pick QUEUE --tray TEXT --media TEXT --page-in W H\n";
        return 2;
    }
    // A settings file that is never written: the dialog is not closed here.
    QTemporaryDir settingsFolder;
    const std::filesystem::path settings =
        settingsFolder.filePath(QStringLiteral("unused.INI")).toStdString();
    MainDialog dialog(SettingsLocation{settings, settings}, o.folder, o.date);
    dialog.initialise();
    if (dialog.closed() || dialog.state().selectedRecord < 1) {
        std::cerr << "pelkorl-e2e-setup: the dialog did not start with a list\n";
        return 1;
    }
    if (!dialog.checkBox(PRINT_HEADER_BOX_ID)->isChecked())
        dialog.checkBox(PRINT_HEADER_BOX_ID)->click();
    // The header preview chooses the printed name when it paints, as on the screen.
    dialog.show();
    QApplication::processEvents();
    (void)dialog.grab();

    for (std::string command; std::getline(std::cin, command);) {
        failure.clear();
        QString answer;
        if (command == "setup")
            setup(dialog, o);
        else if (command == "reopen")
            reopen(dialog, o);
        else if (command == "print")
            answer = print(dialog);
        else
            fail("unknown command");
        if (!failure.isEmpty())
            answer = "error: " + failure;
        else if (answer.isEmpty())
            answer = QStringLiteral("ok");
        std::cout << answer.toStdString() << std::endl;
    }
    return 0;
}
