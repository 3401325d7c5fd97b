#pragma once

#include "common/table_kinds.h"

#include "common/material_category.h"
#include "common/table_reader.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace tarvo {

class MainWindow;
class UserPrompts;

// Where a viewer's tables lie: the element directory and extension, the material directory
// and the material extension of each category (human tissues, phantom substances, others).
// Reads the header of the table at a path; on failure sets `error` ("path: line n: reason").
using HeaderReader =
    std::function<std::optional<TableHeader>(const std::string& path, std::string& error)>;

// The element and material lists of a main window, the chosen category and the table
// selected last, shared by both viewers.
class TableLists {
  public:
    // The density is shown with `densityPattern` (a number pattern such as "#0.000###").
    TableLists(MainWindow& window, UserPrompts& prompts, TableFolders directories,
               HeaderReader readHeader, std::string densityPattern);

    void refreshElementList();
    void refreshMaterialList();
    // Lists the materials of a category.
    void chooseCategory(MaterialCategory category);
    // Selects a table by its file name and shows its name and density; a header that cannot
    // be read is reported, the lists are read again and the highlight returns to the table
    // selected before. True on success.
    bool selectElement(const QString& file);
    bool selectMaterial(const QString& file);
    // Deletes the selected material table after asking; element tables are refused. True
    // when the file was deleted; the selection is empty then.
    bool deleteSelected();

    const std::string& selectedPath() const { return m_selectedPath; }
    void clearSelection();

  private:
    bool select(const std::string& directory, const QString& file);
    void highlightSelected();

    MainWindow& m_window;
    UserPrompts& m_prompts;
    TableFolders m_directories;
    HeaderReader m_readHeader;
    std::string m_densityPattern;
    std::string m_selectedPath;
    MaterialCategory m_category = MaterialCategory::others;
};

} // namespace tarvo
