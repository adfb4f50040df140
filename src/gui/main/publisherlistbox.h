#pragma once
// The publisher list (control 1000): a single-selection list whose lines carry a record index,
// with its own type-ahead search; only another line takes the selection away. Typed letters
// collect in searchPrefix and select the first line beginning with them; the widget's own
// keyboard search never runs.
#include "toolkit/dialogbuilder.h"

#include <string>
#include <string_view>

namespace pelkorl {

class PublisherListBox : public SingleChoiceList {
    Q_OBJECT
public:
    // Letters kept at most; one more makes the prefix start again.
    static constexpr int SEARCH_PREFIX_CAPACITY = 31;
    static constexpr int SEARCH_PREFIX_LIMIT = 30;

    explicit PublisherListBox(QWidget* parent = nullptr);

    // Appends a line: `text` is Windows-1257 bytes, shown converted; `record` is its item data.
    void appendLine(std::string_view text, int record);
    // Empties the list without reporting a user's selection change.
    void clearLines();
    // Selects line `row` (none for -1) without reporting a user's selection change.
    void selectLine(int row);
    // The selected line's record, or -1.
    int selectedLineRecord() const;
    int selectedRow() const;
    // The stored bytes of line `row` ("" outside the list).
    std::string lineText(int row) const;

    const std::string& searchPrefix() const { return searchPrefix_; }
    int searchPrefixCount() const { return static_cast<int>(searchPrefix_.size()); }

    // One typed character, as the keyboard would deliver it.
    void typeCharacter(char32_t character);

    // Switched off: typing is answered by typeCharacter alone.
    void keyboardSearch(const QString& search) override;

signals:
    // The user changed the selection (mouse or navigation keys), not the program or typing.
    void selectionChangedByUser();
    // A character was typed (letter or not), after the search it started.
    void characterTyped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    // The first line from the top that begins with searchPrefix, or -1.
    int findPrefix() const;
    void typeLetter(char letter);

    std::string searchPrefix_;
    bool settingSelection_ = false;
};

} // namespace pelkorl
