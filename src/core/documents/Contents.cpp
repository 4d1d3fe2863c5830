#include "documents/Contents.h"

#include "documents/BaseTable.h"
#include "documents/FormatItem.h"
#include "documents/Table.h"
#include "documents/TextItems.h"

namespace veltrio {

TTavContents::TTavContents() = default;
TTavContents::~TTavContents() = default;

TTavBrowseObject& TTavContents::AddItem(std::unique_ptr<TTavBrowseObject> item) {
    m_items.push_back(std::move(item));
    m_cursor = static_cast<int>(m_items.size()) - 1;
    return *m_items.back();
}

TTavText& TTavContents::AddText(std::string text) {
    return static_cast<TTavText&>(AddItem(std::make_unique<TTavText>(std::move(text))));
}

TTavFormatText& TTavContents::AddFormatText(std::string text) {
    return static_cast<TTavFormatText&>(AddItem(std::make_unique<TTavFormatText>(std::move(text))));
}

void TTavContents::AddTable(std::unique_ptr<TTavBaseTable> table) {
    if (table) {
        AddItem(std::move(table));
    }
}

void TTavContents::BlockBegin() {
    AddItem(std::make_unique<TTavFormat>(TFormatKind::BlockBegin));
}

void TTavContents::BlockEnd() {
    AddItem(std::make_unique<TTavFormat>(TFormatKind::BlockEnd));
}

void TTavContents::SetFont(const TFont& font) {
    AddItem(std::make_unique<TTavFormat>(TFormatKind::FontSet, font));
}

void TTavContents::PageBreak() {
    AddItem(std::make_unique<TTavFormat>(TFormatKind::PageBreak));
}

void TTavContents::SetMarginLeft(double cm) {
    AddItem(std::make_unique<TTavFormat>(TFormatKind::MarginLeft, cm));
    if (InitialMarginLeft == MissingValue) {
        InitialMarginLeft = cm;
    }
}

TTavBrowseObject* TTavContents::First() {
    if (m_items.empty()) {
        return nullptr;
    }
    m_cursor = 0;
    return m_items.front().get();
}

TTavBrowseObject* TTavContents::Last() {
    if (m_items.empty()) {
        return nullptr;
    }
    m_cursor = static_cast<int>(m_items.size()) - 1;
    return m_items.back().get();
}

TTavBrowseObject* TTavContents::Next() {
    if (m_cursor < 0 || m_cursor + 1 >= static_cast<int>(m_items.size())) {
        return nullptr;
    }
    ++m_cursor;
    return m_items[static_cast<std::size_t>(m_cursor)].get();
}

TTavBrowseObject* TTavContents::Prior() {
    if (m_cursor <= 0) {
        return nullptr;
    }
    --m_cursor;
    return m_items[static_cast<std::size_t>(m_cursor)].get();
}

TTavBrowseObject* TTavContents::Current() const {
    return m_cursor < 0 ? nullptr : m_items[static_cast<std::size_t>(m_cursor)].get();
}

void TTavContents::SetCursorIndex(int index) {
    if (index >= 0 && index < static_cast<int>(m_items.size())) {
        m_cursor = index;
    }
}

std::vector<std::string> TTavContents::AsStrings() const {
    std::vector<std::string> lines;
    for (const auto& item : m_items) {
        item->AppendPlainText(lines);
    }
    return lines;
}

std::vector<std::string> TTavContents::PlainText() const {
    std::vector<std::string> lines;
    for (const auto& item : m_items) {
        if (const auto* table = dynamic_cast<const TTavTable*>(item.get())) {
            table->AppendCompleteText(lines);
        } else {
            item->AppendPlainText(lines);
        }
    }
    return lines;
}

} // namespace veltrio
