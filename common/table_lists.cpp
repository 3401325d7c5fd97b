#include "table_lists.h"

#include "common/display_text.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "common/user_prompts.h"

#include <QLineEdit>
#include <QListWidget>

namespace tarvo {
namespace {

QString local(const std::string& text) {
    return displayText(text);
}

} // namespace

TableLists::TableLists(MainWindow& window, UserPrompts& prompts, TableDirectories directories,
                       HeaderReader readHeader, std::string densityPattern)
    : m_window(window), m_prompts(prompts), m_directories(std::move(directories)),
      m_readHeader(std::move(readHeader)), m_densityPattern(std::move(densityPattern)) {}

void TableLists::refreshElementList() {
    fillFileList(m_window.elementList(), m_directories.elementDirectory,
                 m_directories.elementExtension);
}

void TableLists::refreshMaterialList() {
    fillFileList(m_window.materialList(), m_directories.materialDirectory,
                 m_directories.materialExtensions[static_cast<size_t>(categoryIndex(m_category))]);
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
    const bool selected = select(m_directories.elementDirectory, file);
    refreshMaterialList();
    return selected;
}

bool TableLists::selectMaterial(const QString& file) {
    const bool selected = select(m_directories.materialDirectory, file);
    refreshElementList();
    return selected;
}

bool TableLists::deleteSelected() {
    if (!deleteSelectedTable(m_prompts, m_window, m_selectedPath, m_directories.elementDirectory)) {
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
