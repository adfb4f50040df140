#pragma once
// The detailed layout dialog: every position of one card version's layout in its own box.
// It edits a copy of the layout that the caller sets before the run and takes back after OK.
#include "card/cardlayout.h"
#include "toolkit/dialogbuilder.h"

#include <QString>

#include <array>
#include <functional>
#include <set>

class QLabel;
class QLineEdit;
class QPushButton;

namespace pelkorl {

class DetailedLayoutDialog : public TemplateDialog {
    Q_OBJECT
public:
    // The 33 boxes: x of the header items, y of the header items, table top and height,
    // the seven columns.
    static constexpr int FIRST_X_BOX = 1031;
    static constexpr int FIRST_Y_BOX = 1043;
    static constexpr int TABLE_TOP_BOX = 1066;
    static constexpr int TABLE_HEIGHT_BOX = 1067;
    static constexpr int FIRST_COLUMN_BOX = 1068;
    static constexpr int HIDDEN_COLUMN_BOX = 1073; // unused by the placements column set
    static constexpr int RESTORE_BUTTON = 1064;
    static constexpr int FORM_LAYOUT_BUTTON_ID = 1065; // the 11/23 card's only
    static constexpr int BOX_COUNT = 2 * HEADER_ITEM_COUNT + 2 + TABLE_COLUMN_COUNT;

    explicit DetailedLayoutDialog(QWidget* parent = nullptr);

    // Set by the caller before the run, read back after OK.
    void setCardLayout(const CardLayout& layout) { layout_ = layout; }
    const CardLayout& cardLayout() const { return layout_; }
    // Whose captions and defaults the dialog uses.
    void setCardVersion(int version) { cardVersion_ = version; }
    int cardVersion() const { return cardVersion_; }
    // The version's columns are those of placements; known once initialise() ran.
    bool showsPlacements() const { return placements_; }

    // Asks for the fillable form whose fields the 11/23 card's layout is taken from; an
    // empty name is a cancel. The system's file dialog unless set.
    using FormChooser = std::function<QString(QWidget* parent)>;
    void setFormChooser(FormChooser chooser) { chooseForm_ = std::move(chooser); }
    // Every position of the dialog's copy from that form's fields, shown in the boxes; a
    // file that cannot give them is named in a message and changes nothing. True when taken.
    bool takeLayoutFromForm(const QString& file);

    // Labels, boxes, title and focus from the values above. Runs by itself the first time
    // the dialog is shown; later calls do nothing.
    void initialise();

    // Layout slot shown by each box, in the order the boxes are filled and read back; the
    // header rows of the 11/23 card show other items (headerRowItem).
    static int slotOfBox(int boxId, int version = 0);
    static const std::array<int, BOX_COUNT>& boxIds();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int slotOf(const QLineEdit* edit) const;
    void relabelForMinistryCard();
    void fillBoxes();
    void readBoxesBack();
    void restoreDefaults();
    void askForForm();
    // Checks the text of a box once the focus has left it: an accepted entry is shown
    // normalised, a refused one is reported and gets the focus back, its text kept. Returns
    // whether the box now holds an accepted entry.
    bool validateEntry(QLineEdit* edit);

    CardLayout layout_;
    int cardVersion_ = 0;
    bool placements_ = false;
    bool initialised_ = false;

    // Column labels that change with the column set.
    QLabel* booksLabel_;
    QLabel* brochuresLabel_;
    QLabel* magazinesLabel_;
    QLabel* returnVisitsLabel_;
    QLabel* studiesLabel_;
    QLabel* hoursLabel_;
    std::array<QLabel*, HEADER_ITEM_COUNT> headerLabels_{};
    std::array<QLabel*, 4> notes_{}; // where positions count from, how figures align
    QPushButton* restoreButton_;
    QPushButton* formButton_;
    FormChooser chooseForm_;
    QPushButton* cancelButton_;
    QLineEdit* hiddenColumnBox_;
    std::array<QLineEdit*, BOX_COUNT> boxes_{}; // in the order of boxIds()
    std::set<const QLineEdit*> uncheckedBoxes_; // typed into since their last check
};

} // namespace pelkorl
