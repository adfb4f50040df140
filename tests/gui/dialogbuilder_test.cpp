#include "dialogs/passworddialog.h"
#include "messageboxwatcher.h"
#include "text/dialogs.h"
#include "toolkit/appicon.h"
#include "toolkit/dialogbuilder.h"
#include "toolkit/messagebox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyle>
#include <QToolButton>
#include <QtTest>

#include <map>

using namespace pelkorl;
using pelkorl::test::MessageBoxWatcher;

namespace {

// Counts what the template's OK and Cancel buttons, Enter and Esc reach.
class CountingDialog : public TemplateDialog {
public:
    using TemplateDialog::TemplateDialog;
    int accepted = 0;
    int rejected = 0;
    void accept() override { ++accepted; }
    void reject() override { ++rejected; }
};

QRect placeOf(const ControlTemplate& c, DialogBaseUnits base) {
    return dialogUnitsToPixels(c.x, c.y, c.w, c.h, base);
}

const char* expectedClass(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
        return "QPushButton";
    case ControlKind::CheckBox:
        return "QCheckBox";
    case ControlKind::AutoRadioButton:
        return "QRadioButton";
    case ControlKind::GroupBox:
        return "QGroupBox";
    case ControlKind::StaticText:
    case ControlKind::Icon:
        return "QLabel";
    case ControlKind::Edit:
        return "QLineEdit";
    case ControlKind::ListBox:
        return "QListWidget";
    case ControlKind::OwnerDrawButton:
        return "pelkorl::OwnerDrawSurface";
    case ControlKind::UpDown:
        return "pelkorl::UpDownControl";
    }
    return "";
}

} // namespace

class DialogBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void unitsConvertLikeTheClassicRule_data();
    void unitsConvertLikeTheClassicRule();
    void fallbackFontGivesPlausibleBaseUnits();

    void everyControlIsBuiltAndPlaced_data();
    void everyControlIsBuiltAndPlaced();
    void dialogHasFixedTemplateSize_data();
    void dialogHasFixedTemplateSize();
    void mainDialogReachesEveryIdWithItsWidget();
    void tabOrderFollowsTheTemplate_data();
    void tabOrderFollowsTheTemplate();

    void defaultButtonTakesEnterAndCancelTakesEsc();
    void okAndCancelButtonsReachAcceptAndReject();
    void ownerDrawSurfacesAreDisabledAndPaintedByTheirOwner();
    void radioButtonsAreExclusiveWithinTheirGroup();
    void radioGroupsEndAtTheNextGroupControl();
    void passwordEditMasksItsText();
    void upDownSitsAtTheRightEndOfItsBuddy();
    void upDownStepsWithinItsRangeAndLeavesTheBuddyAlone();
    void factoryReplacesTheBuiltWidget();
    void aControlTheCodeNeedsIsChecked_data();
    void aControlTheCodeNeedsIsChecked();
    void aboutBoxShowsTheIcon();

    void messageBoxTakesPreparedAnswers();
    void messageBoxShowsWhatItIsAsked_data();
    void messageBoxShowsWhatItIsAsked();
    void unplannedQuestionFailsTheTest();
    void messageBoxAdaptersForTheCore();

private:
    MessageBoxWatcher messages;
};

void DialogBuilderTest::initTestCase() {
    QCoreApplication::setApplicationName("Pelkorl");
}

void DialogBuilderTest::init() {
    MessageBox::setNextAnswers({});
    messages.reset();
}

void DialogBuilderTest::unitsConvertLikeTheClassicRule_data() {
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<int>("pixelsX");
    QTest::addColumn<int>("pixelsY");
    QTest::newRow("zero") << 0 << 6 << 13 << 0 << 0;
    QTest::newRow("exact") << 4 << 6 << 16 << 6 << 8;
    QTest::newRow("half rounds up") << 1 << 6 << 12 << 2 << 2;    // 1.5, 1.5
    QTest::newRow("below half down") << 1 << 5 << 11 << 1 << 1;   // 1.25, 1.375
    QTest::newRow("main dialog") << 477 << 6 << 13 << 716 << 775; // 715.5, 775.1
    QTest::newRow("negative mirrors") << -1 << 6 << 12 << -2 << -2;
}

void DialogBuilderTest::unitsConvertLikeTheClassicRule() {
    QFETCH(int, units);
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(int, pixelsX);
    QFETCH(int, pixelsY);
    const DialogBaseUnits base{baseX, baseY};
    QCOMPARE(dialogUnitsToPixelsX(units, base), pixelsX);
    QCOMPARE(dialogUnitsToPixelsY(units, base), pixelsY);
    const QRect r = dialogUnitsToPixels(units, units, units, units, base);
    QCOMPARE(r, QRect(pixelsX, pixelsY, pixelsX, pixelsY));
}

void DialogBuilderTest::fallbackFontGivesPlausibleBaseUnits() {
    const DialogTemplate& t = dialogTemplate(MAIN_DIALOG_ID);
    const QFont font = dialogFont(t);
    QCOMPARE(font.pointSize(), 8);
    QStringList acceptable{QString::fromStdString(t.fontFace)};
    for (const char* fallback : DIALOG_FONT_FALLBACKS) {
        acceptable << QString::fromLatin1(fallback);
    }
    const QString used = QFontInfo(font).family();
    QVERIFY2(acceptable.contains(used, Qt::CaseInsensitive), qPrintable(used));

    TemplateDialog dialog(MAIN_DIALOG_ID);
    const DialogBaseUnits base = dialog.controls().baseUnits();
    qInfo("dialog font %s %dpt: base units %d x %d, main dialog %d x %d px", qPrintable(used),
          font.pointSize(), base.x, base.y, dialog.width(), dialog.height());
    // An 8-point face: a few pixels per character across, about twice that down.
    QVERIFY(base.x >= 4 && base.x <= 10);
    QVERIFY(base.y >= 9 && base.y <= 20);
    QVERIFY(base.y > base.x);
}

void DialogBuilderTest::everyControlIsBuiltAndPlaced_data() {
    QTest::addColumn<int>("resourceId");
    for (int id : dialogTemplateIds()) {
        QTest::newRow(QByteArray::number(id).constData()) << id;
    }
}

void DialogBuilderTest::everyControlIsBuiltAndPlaced() {
    QFETCH(int, resourceId);
    const DialogTemplate& t = dialogTemplate(resourceId);
    TemplateDialog dialog(resourceId);
    QCOMPARE(dialog.windowTitle(), QString::fromStdString(t.title));
    const auto& widgets = dialog.controls().widgets();
    QCOMPARE(widgets.size(), t.controls.size());
    const DialogBaseUnits base = dialog.controls().baseUnits();
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        const ControlTemplate& c = t.controls[i];
        QWidget* w = widgets[i];
        const QByteArray what = QByteArray::number(c.id) + " " + QByteArray::fromStdString(c.text);
        QVERIFY2(w->parentWidget() == &dialog, what.constData());
        QCOMPARE(QByteArray(w->metaObject()->className()), QByteArray(expectedClass(c.kind)));
        if (c.id != NO_ID) {
            QCOMPARE(dialog.control(c.id), w);
        }
        QCOMPARE(w->isEnabled(), !c.has(ControlStyle::DISABLED));
        QCOMPARE(w->isHidden(), c.has(ControlStyle::HIDDEN));
        QCOMPARE(w->font(), dialog.font());
        // Up-downs and their buddies share the buddy's place; icons keep their own size.
        const bool adjusted =
            c.kind == ControlKind::UpDown || c.kind == ControlKind::Icon ||
            (i + 1 < t.controls.size() && t.controls[i + 1].has(ControlStyle::AUTO_BUDDY));
        const bool bareMark = c.kind == ControlKind::CheckBox && c.text.empty();
        if (bareMark) {
            // Grown, if need be, to show the whole mark; never moved or shrunk.
            QCOMPARE(w->pos(), placeOf(c, base).topLeft());
            const QSize mark(w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w),
                             w->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, w));
            QCOMPARE(w->size(), placeOf(c, base).size().expandedTo(mark));
        } else if (!adjusted) {
            QVERIFY2(w->geometry() == placeOf(c, base), what.constData());
        }
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            QCOMPARE(button->text(), QString::fromStdString(c.text));
        } else if (auto* label = qobject_cast<QLabel*>(w); label && c.kind != ControlKind::Icon) {
            QCOMPARE(label->text(), QString::fromStdString(c.text));
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            QCOMPARE(group->title(), QString::fromStdString(c.text));
        }
    }
}

void DialogBuilderTest::dialogHasFixedTemplateSize_data() {
    everyControlIsBuiltAndPlaced_data();
}

void DialogBuilderTest::dialogHasFixedTemplateSize() {
    QFETCH(int, resourceId);
    const DialogTemplate& t = dialogTemplate(resourceId);
    TemplateDialog dialog(resourceId);
    const DialogBaseUnits base = dialog.controls().baseUnits();
    const QSize expected(dialogUnitsToPixelsX(t.w, base), dialogUnitsToPixelsY(t.h, base));
    QCOMPARE(dialog.minimumSize(), expected);
    QCOMPARE(dialog.maximumSize(), expected);
    dialog.show();
    QCOMPARE(dialog.size(), expected);
    qInfo("dialog %d: %d x %d px", resourceId, expected.width(), expected.height());
}

void DialogBuilderTest::mainDialogReachesEveryIdWithItsWidget() {
    TemplateDialog dialog(MAIN_DIALOG_ID);
    QVERIFY(dialog.controlAs<QListWidget>(1000));
    QVERIFY(dialog.controlAs<QPushButton>(1029));
    QVERIFY(dialog.controlAs<OwnerDrawSurface>(1006));
    QVERIFY(dialog.controlAs<OwnerDrawSurface>(129));
    for (int id : {1007, 1010, 1030, 1031, 1027, 1028}) {
        QVERIFY2(dialog.controlAs<QCheckBox>(id), qPrintable(QString::number(id)));
    }
    for (int id = 1015; id <= 1026; ++id) {
        QVERIFY(dialog.controlAs<QCheckBox>(id));
    }
    for (int id : {1014, 1, 2}) {
        QVERIFY(dialog.controlAs<QPushButton>(id));
    }
    // Wrong type or unknown id: no widget, no crash.
    QCOMPARE(dialog.controlAs<QLineEdit>(1000), nullptr);
    QCOMPARE(dialog.control(4711), nullptr);
    QCOMPARE(dialog.control(NO_ID), nullptr);
    // A control its owner deletes is gone, not dangling.
    delete dialog.control(1029);
    QCOMPARE(dialog.control(1029), nullptr);
    // The month boxes keep the table's uneven row spacing in pixels too.
    const DialogBaseUnits base = dialog.controls().baseUnits();
    QCOMPARE(dialog.control(1022)->y(), dialogUnitsToPixelsY(150, base));
    QCOMPARE(dialog.control(1026)->y(), dialogUnitsToPixelsY(187, base));
}

void DialogBuilderTest::tabOrderFollowsTheTemplate_data() {
    everyControlIsBuiltAndPlaced_data();
}

void DialogBuilderTest::tabOrderFollowsTheTemplate() {
    QFETCH(int, resourceId);
    const DialogTemplate& t = dialogTemplate(resourceId);
    TemplateDialog dialog(resourceId);
    std::map<QWidget*, int> index;
    std::vector<QWidget*> expected;
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        QWidget* w = dialog.controls().widgets()[i];
        index[w] = int(i);
        if (t.controls[i].has(ControlStyle::TAB_STOP)) {
            QVERIFY(w->focusPolicy() & Qt::TabFocus);
            expected.push_back(w);
        } else {
            QVERIFY(!(w->focusPolicy() & Qt::TabFocus));
        }
    }
    std::vector<QWidget*> chain;
    for (QWidget* w = dialog.nextInFocusChain(); w != &dialog; w = w->nextInFocusChain()) {
        if (index.count(w) && (w->focusPolicy() & Qt::TabFocus)) {
            chain.push_back(w);
        }
    }
    QCOMPARE(chain.size(), expected.size());
    for (std::size_t i = 0; i < chain.size(); ++i) {
        QVERIFY2(chain[i] == expected[i], qPrintable(QString::number(index[chain[i]])));
    }
}

void DialogBuilderTest::defaultButtonTakesEnterAndCancelTakesEsc() {
    CountingDialog dialog(MAIN_DIALOG_ID);
    QVERIFY(dialog.controlAs<QPushButton>(ID_OK)->isDefault());
    QVERIFY(!dialog.controlAs<QPushButton>(ID_CANCEL)->isDefault());
    QVERIFY(!dialog.controlAs<QPushButton>(1029)->isDefault());
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.accepted, 1);
    QCOMPARE(dialog.rejected, 0);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.rejected, 1);
    // The overrides kept the dialog open.
    QVERIFY(dialog.isVisible());
}

void DialogBuilderTest::okAndCancelButtonsReachAcceptAndReject() {
    TemplateDialog ok(DATA_LOCATION_DIALOG_ID);
    ok.show();
    QTest::mouseClick(ok.controlAs<QPushButton>(ID_OK), Qt::LeftButton);
    QCOMPARE(ok.result(), int(QDialog::Accepted));
    QVERIFY(!ok.isVisible());

    TemplateDialog cancel(DATA_LOCATION_DIALOG_ID);
    cancel.show();
    QTest::mouseClick(cancel.controlAs<QPushButton>(ID_CANCEL), Qt::LeftButton);
    QCOMPARE(cancel.result(), int(QDialog::Rejected));
    QVERIFY(!cancel.isVisible());

    // Other buttons close nothing.
    TemplateDialog options(OPTIONS_DIALOG_ID);
    options.show();
    QTest::mouseClick(options.controlAs<QPushButton>(1061), Qt::LeftButton);
    QVERIFY(options.isVisible());
}

void DialogBuilderTest::ownerDrawSurfacesAreDisabledAndPaintedByTheirOwner() {
    TemplateDialog dialog(MAIN_DIALOG_ID);
    for (int id : {1006, 129}) {
        auto* surface = dialog.controlAs<OwnerDrawSurface>(id);
        QVERIFY(surface);
        QVERIFY(!surface->isEnabled());
        QCOMPARE(surface->focusPolicy(), Qt::NoFocus);
        int calls = 0;
        surface->setPaintHandler([&calls](QPainter& painter, const QRect& rect) {
            ++calls;
            painter.fillRect(rect, Qt::red);
        });
        const QImage image = surface->grab().toImage();
        QVERIFY(calls > 0);
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::red));
    }
}

void DialogBuilderTest::radioButtonsAreExclusiveWithinTheirGroup() {
    TemplateDialog options(OPTIONS_DIALOG_ID);
    options.show();
    QButtonGroup* group = options.controls().radioGroup(1015);
    QVERIFY(group);
    for (int id : {1016, 1017, 1018}) {
        QCOMPARE(options.controls().radioGroup(id), group);
    }
    QCOMPARE(group->buttons().size(), 4);
    auto* first = options.controlAs<QRadioButton>(1015);
    auto* third = options.controlAs<QRadioButton>(1017);
    first->setChecked(true);
    QTest::mouseClick(third, Qt::LeftButton);
    QVERIFY(third->isChecked());
    QVERIFY(!first->isChecked());
    // Clicking the checked one again keeps it checked.
    QTest::mouseClick(third, Qt::LeftButton);
    QVERIFY(third->isChecked());

    TemplateDialog location(DATA_LOCATION_DIALOG_ID);
    auto* driveA = location.controlAs<QRadioButton>(206);
    auto* current = location.controlAs<QRadioButton>(208);
    driveA->setChecked(true);
    current->setChecked(true);
    QVERIFY(!driveA->isChecked());
    QCOMPARE(location.controls().radioGroup(206), location.controls().radioGroup(208));
}

void DialogBuilderTest::radioGroupsEndAtTheNextGroupControl() {
    DialogTemplate t;
    t.resourceId = 9000;
    t.w = 100;
    t.h = 60;
    t.fontFace = "MS Sans Serif";
    t.fontPoints = 8;
    using S = ControlStyle;
    t.controls = {
        {11, ControlKind::AutoRadioButton, "a", 5, 5, 40, 10, S::GROUP | S::TAB_STOP},
        {12, ControlKind::AutoRadioButton, "b", 5, 15, 40, 10, S::TAB_STOP},
        {NO_ID, ControlKind::StaticText, "-", 5, 25, 40, 8, S::GROUP},
        {13, ControlKind::AutoRadioButton, "c", 50, 5, 40, 10, S::GROUP | S::TAB_STOP},
        {14, ControlKind::AutoRadioButton, "d", 50, 15, 40, 10, S::TAB_STOP},
    };
    QDialog dialog;
    const DialogControls controls = buildDialog(dialog, t);
    QVERIFY(controls.radioGroup(11) != controls.radioGroup(13));
    controls.controlAs<QRadioButton>(11)->setChecked(true);
    controls.controlAs<QRadioButton>(13)->setChecked(true);
    QVERIFY(controls.controlAs<QRadioButton>(11)->isChecked());
    controls.controlAs<QRadioButton>(14)->setChecked(true);
    QVERIFY(!controls.controlAs<QRadioButton>(13)->isChecked());
    QVERIFY(controls.controlAs<QRadioButton>(11)->isChecked());
}

void DialogBuilderTest::passwordEditMasksItsText() {
    TemplateDialog dialog(PASSWORD_DIALOG_ID);
    auto* entry = dialog.controlAs<QLineEdit>(244);
    QVERIFY(entry);
    QCOMPARE(entry->echoMode(), QLineEdit::Password);
    QVERIFY(entry->hasFrame());
    QTest::keyClicks(entry, "slapta");
    QCOMPARE(entry->text(), QString("slapta"));
    QCOMPARE(entry->displayText().size(), 6);
    QVERIFY(!entry->displayText().contains('s'));
    // Other edits show what is typed.
    TemplateDialog options(OPTIONS_DIALOG_ID);
    auto* top = options.controlAs<QLineEdit>(1014);
    QCOMPARE(top->echoMode(), QLineEdit::Normal);
    QVERIFY(top->alignment() & Qt::AlignHCenter);
}

void DialogBuilderTest::upDownSitsAtTheRightEndOfItsBuddy() {
    TemplateDialog dialog(OPTIONS_DIALOG_ID);
    const DialogBaseUnits base = dialog.controls().baseUnits();
    for (int id : {1057, 1058}) {
        auto* upDown = dialog.controlAs<UpDownControl>(id);
        QVERIFY(upDown);
        auto* buddy = qobject_cast<QLabel*>(upDown->buddy());
        QVERIFY(buddy);
        QCOMPARE(buddy->text(), QString("Static"));
        const ControlTemplate* c = findControl(dialogTemplate(OPTIONS_DIALOG_ID), id);
        const ControlTemplate& buddyTemplate = *(c - 1);
        const QRect original = placeOf(buddyTemplate, base);
        QCOMPARE(upDown->geometry().right(), original.right());
        QCOMPARE(upDown->geometry().top(), original.top());
        QCOMPARE(upDown->height(), original.height());
        QCOMPARE(upDown->width(), dialogUnitsToPixelsX(c->w, base));
        QCOMPARE(buddy->geometry().left(), original.left());
        QCOMPARE(buddy->geometry().right() + 1, upDown->geometry().left());
    }
}

void DialogBuilderTest::upDownStepsWithinItsRangeAndLeavesTheBuddyAlone() {
    TemplateDialog dialog(OPTIONS_DIALOG_ID);
    dialog.show();
    auto* upDown = dialog.controlAs<UpDownControl>(1057);
    QSignalSpy steps(upDown, &UpDownControl::stepped);
    upDown->setRange(100, 150);
    upDown->setValue(149);
    upDown->step(1);
    QCOMPARE(upDown->value(), 150);
    // At the bound the step is still reported, the position stays.
    upDown->step(1);
    QCOMPARE(upDown->value(), 150);
    QCOMPARE(steps.size(), 2);
    QTest::mouseClick(upDown->downButton(), Qt::LeftButton);
    QCOMPARE(steps.size(), 3);
    QCOMPARE(steps.at(2).at(0).toInt(), -1);
    QCOMPARE(upDown->value(), 149);
    QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
    QCOMPARE(steps.at(3).at(0).toInt(), 1);
    // Arrow keys step it too.
    QTest::keyClick(upDown, Qt::Key_Down);
    QCOMPARE(steps.size(), 5);
    QCOMPARE(steps.at(4).at(0).toInt(), -1);
    QCOMPARE(qobject_cast<QLabel*>(upDown->buddy())->text(), QString("Static"));
    // Out-of-range values are pulled in.
    upDown->setValue(10);
    QCOMPARE(upDown->value(), 100);
    upDown->setRange(220, 150);
    QCOMPARE(upDown->minimum(), 150);
    QCOMPARE(upDown->maximum(), 220);
    QCOMPARE(upDown->value(), 150);
}

void DialogBuilderTest::factoryReplacesTheBuiltWidget() {
    int calls = 0;
    int askedFor = 0;
    ControlFactories factories{
        {1000,
         [&](const ControlTemplate& c, QWidget* parent) -> QWidget* {
             ++calls;
             askedFor = c.id;
             auto* list = new QListWidget(parent);
             list->setObjectName(QString("custom%1").arg(c.id));
             return list;
         }},
    };
    TemplateDialog dialog(MAIN_DIALOG_ID, nullptr, factories);
    QCOMPARE(calls, 1);
    QCOMPARE(askedFor, 1000);
    QWidget* list = dialog.control(1000);
    QCOMPARE(list->objectName(), QString("control1000"));
    QCOMPARE(list->geometry(), placeOf(*findControl(dialogTemplate(MAIN_DIALOG_ID), 1000),
                                       dialog.controls().baseUnits()));
    QCOMPARE(list->font(), dialog.font());
}

void DialogBuilderTest::aControlTheCodeNeedsIsChecked_data() {
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QString>("fault");
    QTest::newRow("missing from the template") << true << "is missing from the template";
    QTest::newRow("of another kind") << false << "is a QLineEdit, a QCheckBox was expected";
}

// The password template with or without its entry: asking for the entry as a check box, or
// for an entry that is not there, stops the program with a message naming both.
void DialogBuilderTest::aControlTheCodeNeedsIsChecked() {
    QFETCH(bool, removed);
    QFETCH(QString, fault);
    DialogTemplate broken = dialogTemplate(PASSWORD_DIALOG_ID);
    if (removed) {
        std::erase_if(broken.controls,
                      [](const ControlTemplate& c) { return c.id == PASSWORD_ENTRY_ID; });
    }
    QDialog dialog;
    const DialogControls controls = buildDialog(dialog, broken);
    QCOMPARE(controls.control(PASSWORD_ENTRY_ID) == nullptr, removed);
    if (qEnvironmentVariableIsSet("PELKORL_CHECKED_CONTROL_CHILD")) {
        // In the child process: this must not return.
        if (removed)
            controls.require<QLineEdit>(PASSWORD_ENTRY_ID);
        else
            controls.require<QCheckBox>(PASSWORD_ENTRY_ID);
        return;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PELKORL_CHECKED_CONTROL_CHILD", "1");
    environment.insert("QTEST_DISABLE_STACK_DUMP", "1");
    environment.insert("QTEST_DISABLE_CORE_DUMP", "1");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("aControlTheCodeNeedsIsChecked:%1")
                     .arg(QString::fromLatin1(QTest::currentDataTag()))});
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAll());
    QVERIFY2(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0,
             qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("control %1 %2").arg(PASSWORD_ENTRY_ID).arg(fault)),
             qPrintable(output));
    QVERIFY2(output.contains(QString::fromStdString(broken.title)), qPrintable(output));
}

void DialogBuilderTest::aboutBoxShowsTheIcon() {
    const QIcon icon = appIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48, 256}) {
        QVERIFY(sizes.contains(QSize(size, size)));
    }
    TemplateDialog about(ABOUT_DIALOG_ID);
    QLabel* iconLabel = qobject_cast<QLabel*>(about.controls().widgets().front());
    QVERIFY(iconLabel);
    QCOMPARE(iconLabel->pixmap().size(), QSize(32, 32));
    QCOMPARE(iconLabel->size(), QSize(32, 32));
    auto* folder = about.controlAs<QLabel>(1068);
    QVERIFY(folder);
    // The folder line lies inside its group.
    auto* group = qobject_cast<QGroupBox*>(about.controls().widgets()[2]);
    QVERIFY(group);
    QVERIFY(group->geometry().contains(folder->geometry()));
    // A folder name with an ampersand or markup shows as it is.
    folder->setText("C:/a&b/<i>x</i>");
    QCOMPARE(folder->textFormat(), Qt::PlainText);
}

void DialogBuilderTest::messageBoxTakesPreparedAnswers() {
    MessageBox::setNextAnswers({MessageBox::Answer::Cancel, MessageBox::Answer::Ok});
    QCOMPARE(MessageBox::show(nullptr, "Klausimas?", "Antraštė", MessageBox::Buttons::OkCancel),
             MessageBox::Answer::Cancel);
    QCOMPARE(MessageBox::show(nullptr, "Dar?", QString(), MessageBox::Buttons::OkCancel),
             MessageBox::Answer::Ok);
    // A box with only OK cannot answer Cancel.
    MessageBox::setNextAnswer(MessageBox::Answer::Cancel);
    QCOMPARE(MessageBox::show(nullptr, "Pranešimas"), MessageBox::Answer::Ok);
    QVERIFY(messages.boxes().empty()); // answered in advance: never shown

    // The answers are used up: the next box is shown.
    messages.plan(MessageBoxWatcher::Press::Cancel);
    QCOMPARE(MessageBox::show(nullptr, "Trečias?", QString(), MessageBox::Buttons::OkCancel),
             MessageBox::Answer::Cancel);
    QCOMPARE(messages.boxes().size(), std::size_t(1));
}

void DialogBuilderTest::messageBoxShowsWhatItIsAsked_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("shownIcon");
    QTest::addColumn<int>("answer");
    using B = MessageBox::Buttons;
    using I = MessageBox::Icon;
    using P = MessageBoxWatcher::Press;
    using A = MessageBox::Answer;
    QTest::newRow("question, OK") << QString("Antraštė") << int(B::OkCancel) << int(I::Question)
                                  << int(P::Ok) << int(QMessageBox::Question) << int(A::Ok);
    QTest::newRow("question, Cancel")
        << QString() << int(B::OkCancel) << int(I::Exclamation) << int(P::Cancel)
        << int(QMessageBox::Warning) << int(A::Cancel);
    QTest::newRow("message, Esc is OK") << QString() << int(B::Ok) << int(I::Stop) << int(P::Cancel)
                                        << int(QMessageBox::Critical) << int(A::Ok);
    QTest::newRow("information") << QString() << int(B::Ok) << int(I::Information) << int(P::Ok)
                                 << int(QMessageBox::Information) << int(A::Ok);
    QTest::newRow("no icon") << QString() << int(B::Ok) << int(I::None) << int(P::Ok)
                             << int(QMessageBox::NoIcon) << int(A::Ok);
}

void DialogBuilderTest::messageBoxShowsWhatItIsAsked() {
    QFETCH(QString, caption);
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(int, press);
    QFETCH(int, shownIcon);
    QFETCH(int, answer);
    messages.plan(MessageBoxWatcher::Press(press));
    const QString text = QStringLiteral("<b>Klausimas</b> & atsakymas?");
    QCOMPARE(int(MessageBox::show(nullptr, text, caption, MessageBox::Buttons(buttons),
                                  MessageBox::Icon(icon))),
             answer);
    QCOMPARE(messages.boxes().size(), std::size_t(1));
    const MessageBoxWatcher::Box& box = messages.boxes().front();
    QCOMPARE(box.text, text);
    QCOMPARE(box.caption, caption.isEmpty() ? MessageBox::defaultCaption() : caption);
    QVERIFY(!box.caption.isEmpty());
    QCOMPARE(int(box.icon), shownIcon);
    QCOMPARE(box.buttons, MessageBox::Buttons(buttons) == MessageBox::Buttons::OkCancel
                              ? QMessageBox::Ok | QMessageBox::Cancel
                              : QMessageBox::StandardButtons(QMessageBox::Ok));
}

void DialogBuilderTest::unplannedQuestionFailsTheTest() {
    // Nobody may answer a question for the user: unplanned, it is really shown, the test
    // fails, and Esc closes it as Cancel.
    QEXPECT_FAIL("", "an unplanned box fails the test that shows it", Continue);
    const MessageBox::Answer answer =
        MessageBox::show(nullptr, "Neplanuotas?", QString(), MessageBox::Buttons::OkCancel);
    QCOMPARE(answer, MessageBox::Answer::Cancel);
    QCOMPARE(messages.boxes().size(), std::size_t(1));
    QVERIFY(!messages.boxes().front().planned);
    QCOMPARE(messages.boxes().front().text, QString("Neplanuotas?"));
}

void DialogBuilderTest::messageBoxAdaptersForTheCore() {
    auto* owner = new QWidget;
    const auto report = MessageBox::reporter(owner);
    const auto confirm = MessageBox::confirmer(owner);
    delete owner; // the callbacks outlive their window safely
    messages.plan(MessageBoxWatcher::Press::Ok);
    report("Skaitmenis įveskite su 2-iem skaičiais po taško.");
    messages.plan(MessageBoxWatcher::Press::Cancel);
    QVERIFY(!confirm("Pasirinktu adresu yra skelbėjų duomenų."));
    messages.plan(MessageBoxWatcher::Press::Ok);
    QVERIFY(confirm("Pasirinktu adresu yra skelbėjų duomenų."));
    const auto& shown = messages.boxes();
    QCOMPARE(shown.size(), std::size_t(3));
    QCOMPARE(shown[0].text, QString::fromUtf8("Skaitmenis įveskite su 2-iem skaičiais po taško."));
    QCOMPARE(shown[0].icon, QMessageBox::Warning);
    QCOMPARE(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(shown[1].buttons, QMessageBox::Ok | QMessageBox::Cancel);
}

QTEST_MAIN(DialogBuilderTest)
#include "dialogbuilder_test.moc"
