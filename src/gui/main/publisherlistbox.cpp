#include "main/publisherlistbox.h"

#include "card/publisherfilter.h"
#include "text/codepage.h"
#include "toolkit/qtstrings.h"

#include <QByteArray>
#include <QKeyEvent>

namespace pelkorl {

namespace {

constexpr int RECORD_ROLE = Qt::UserRole;
constexpr int BYTES_ROLE = Qt::UserRole + 1;

bool isAsciiLetter(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
}

// Keys the dialog answers (default button, cancel, focus moves), never the list.
bool dialogKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

class SelectionGuard {
public:
    explicit SelectionGuard(bool& flag) : flag(flag), old(flag) { flag = true; }
    ~SelectionGuard() { flag = old; }
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;

private:
    bool& flag;
    bool old;
};

} // namespace

PublisherListBox::PublisherListBox(QWidget* parent) : SingleChoiceList(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long name is cut at the list's edge, not shortened with an ellipsis.
    setTextElideMode(Qt::ElideNone);
    setFocusPolicy(Qt::StrongFocus);
}

void PublisherListBox::appendLine(std::string_view text, int record) {
    auto* item = new QListWidgetItem(textFromCp1257(text));
    item->setData(RECORD_ROLE, record);
    item->setData(BYTES_ROLE, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    // Inserted at an explicit position: the list never reorders its lines.
    insertItem(count(), item);
}

void PublisherListBox::clearLines() {
    SelectionGuard guard(settingSelection_);
    clear();
}

void PublisherListBox::selectLine(int row) {
    SelectionGuard guard(settingSelection_);
    if (row < 0 || row >= count()) {
        setCurrentRow(-1);
        clearSelection();
        return;
    }
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

int PublisherListBox::selectedRow() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : row(items.front());
}

int PublisherListBox::selectedLineRecord() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : items.front()->data(RECORD_ROLE).toInt();
}

std::string PublisherListBox::lineText(int row) const {
    const QListWidgetItem* line = item(row);
    if (!line)
        return {};
    return line->data(BYTES_ROLE).toByteArray().toStdString();
}

void PublisherListBox::keyboardSearch(const QString&) {}

int PublisherListBox::findPrefix() const {
    for (int row = 0; row < count(); ++row) {
        if (beginsWithIgnoringCase(lineText(row), searchPrefix_))
            return row;
    }
    return -1;
}

void PublisherListBox::typeLetter(char letter) {
    if (searchPrefixCount() < SEARCH_PREFIX_CAPACITY)
        searchPrefix_.push_back(letter);
    int found = findPrefix();
    if (found < 0) {
        searchPrefix_.assign(1, letter);
        found = findPrefix();
        if (found < 0)
            searchPrefix_.clear();
    }
    if (found >= 0)
        selectLine(found);
    if (QListWidgetItem* selected = item(selectedRow()))
        scrollToItem(selected, QAbstractItemView::PositionAtTop);
    if (searchPrefixCount() > SEARCH_PREFIX_LIMIT)
        searchPrefix_.clear();
}

void PublisherListBox::typeCharacter(char32_t character) {
    if (isAsciiLetter(character))
        typeLetter(static_cast<char>(character));
    emit characterTyped();
}

void PublisherListBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (dialogKey(event) || text.isEmpty()) {
        QListWidget::keyPressEvent(event);
        return;
    }
    for (char32_t c : text.toUcs4())
        typeCharacter(c);
    event->accept();
}

void PublisherListBox::focusInEvent(QFocusEvent* event) {
    searchPrefix_.clear();
    QListWidget::focusInEvent(event);
}

void PublisherListBox::selectionChanged(const QItemSelection& selected,
                                        const QItemSelection& deselected) {
    QListWidget::selectionChanged(selected, deselected);
    if (!settingSelection_)
        emit selectionChangedByUser();
}

} // namespace pelkorl
