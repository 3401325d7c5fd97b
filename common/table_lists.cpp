#include "table_lists.h"

#include "common/display_text.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "common/user_prompts.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include <utility>

namespace tarvo {
namespace {

QString local(const std::string& text) {
    return displayText(text);
}

} // namespace

TableLists::TableLists(MainWindow& window, UserPrompts& prompts, TableFolders directories,
                       HeaderReader readHeader, std::string densityPattern)
    : m_window(window), m_prompts(prompts), m_directories(std::move(directories)),
      m_readHeader(std::move(readHeader)), m_densityPattern(std::move(densityPattern)) {}

void TableLists::refreshElementList() {
    fillFileList(m_window.elementList(), std::string(m_directories.elementFolder),
                 std::string(m_directories.elementExtension));
}

void TableLists::refreshMaterialList() {
    fillFileList(
        m_window.materialList(), std::string(m_directories.materialFolder),
        std::string(
            m_directories.materialExtensions[static_cast<size_t>(categoryIndex(m_category))]));
}

void TableLists::chooseCategory(MaterialCategory category) {
    m_category = category;
    refreshMaterialList();
}

bool TableLists::select(const std::string& directory, const QString& file) {
    const std::string path = formPath(directory, file.toLocal8Bit().toStdString());
    std::string error;
    const std::optional<TableHeader> header = m_readHeader(path, error);
    if (!header) {
        m_prompts.showMessage(&m_window, local(error), MessageIcon::Exclamation);
        return false;
    }
    m_selectedPath = path;
    m_window.nameField().setText(local(header->name));
    m_window.densityField().setText(
        QString::fromStdString(formatNumber(header->density, m_densityPattern)));
    return true;
}

// Choosing in one list refreshes the other, which drops its highlight.
bool TableLists::selectElement(const QString& file) {
    if (!select(std::string(m_directories.elementFolder), file)) {
        highlightSelected();
        return false;
    }
    refreshMaterialList();
    return true;
}

bool TableLists::selectMaterial(const QString& file) {
    if (!select(std::string(m_directories.materialFolder), file)) {
        highlightSelected();
        return false;
    }
    refreshElementList();
    return true;
}

// After a failed choice the lists show what is on disk again, and the highlight returns to
// the table that "OK" and the exports go on using. Signals are held back: restoring the
// highlight chooses nothing.
void TableLists::highlightSelected() {
    const QSignalBlocker holdElements(m_window.elementList());
    const QSignalBlocker holdMaterials(m_window.materialList());
    refreshElementList();
    refreshMaterialList();
    for (const auto& [directory, list] :
         {std::pair{std::string(m_directories.elementFolder), &m_window.elementList()},
          std::pair{std::string(m_directories.materialFolder), &m_window.materialList()}}) {
        const std::string prefix = directory + '\\';
        if (m_selectedPath.rfind(prefix, 0) != 0) {
            continue;
        }
        const QString file = QString::fromLocal8Bit(m_selectedPath.substr(prefix.size()).c_str());
        const QList<QListWidgetItem*> found = list->findItems(file, Qt::MatchExactly);
        if (!found.isEmpty()) {
            list->setCurrentItem(found.front());
        }
    }
}

bool TableLists::deleteSelected() {
    if (!deleteSelectedTable(m_prompts, m_window, m_selectedPath,
                             std::string(m_directories.elementFolder))) {
        return false;
    }
    // A deleted file is no selection any more.
    m_selectedPath.clear();
    refreshMaterialList();
    return true;
}

void TableLists::clearSelection() {
    m_selectedPath.clear();
    m_window.nameField().clear();
    m_window.densityField().clear();
}

} // namespace tarvo
