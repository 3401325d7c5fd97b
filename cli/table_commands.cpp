#include "commands.h"

#include "common/numeric_text.h"
#include "common/text_file.h"
#include "materials/table_catalogue.h"
#include "materials/table_combination.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

namespace tarvo::cli {

int listTables(const std::string& which, const std::string& category, const CommandContext& c) {
    if ((!which.empty() && which != "elements" && which != "materials") ||
        (!category.empty() && category != "human" && category != "phantom" &&
         category != "other")) {
        return fail(c, "list takes elements or materials and --category human, phantom or other",
                    kUsageError);
    }
    const TableSelection selection = which == "elements"    ? TableSelection::elements
                                     : which == "materials" ? TableSelection::materials
                                                            : TableSelection::all;
    OutputTable table;
    table.heading.material = "tables";
    table.heading.columns = {{"stem", "Stem", "", ColumnKind::text},
                             {"kind", "Kind", "", ColumnKind::text},
                             {"category", "Category", "", ColumnKind::text},
                             {"name", "Name", "", ColumnKind::text},
                             {"density", "Density", "g/cm3"},
                             {"tables", "Tables", "", ColumnKind::text}};
    for (const CatalogueEntry& entry : catalogueTables(c.data, selection, category)) {
        table.rows.push_back(
            {entry.stem, entry.kind, entry.category, entry.name, entry.density, entry.tables});
    }
    writeTable(c.out, table, c.format, c.digits);
    return table.rows.empty() ? kDataError : 0;
}

namespace {

std::string optionsProblem(const MaterialRequest& request, const CombineOptions& o) {
    const bool oneLine = std::none_of(o.name.begin(), o.name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (!tableKindOf(o.out) || !request.name.empty()) {
        return "combine takes --formula or --mixture and an --out ending in .mix, .mix2, .mix3, "
               ".mucm, .muc2 or .muc3";
    }
    if (trimBlanks(o.name).empty() || !oneLine) {
        return "--name must be one line of text that is not blank";
    }
    return usableDensity(o.density) ? "" : "--density must be a finite number above 0 (g/cm3)";
}

} // namespace

int combineTables(const MaterialRequest& request, const CombineOptions& o,
                  const CommandContext& c) {
    if (const std::string problem = optionsProblem(request, o); !problem.empty()) {
        return fail(c, problem, kUsageError);
    }
    const TableKind kind = *tableKindOf(o.out);
    const std::optional<std::string> inUserCopy =
        userCopyTablePath(c.data, combinedTablePath(c.data, o.out, kind));
    const std::string path = inUserCopy.value_or(combinedTablePath(c.data, o.out, kind));
    if (const WriteRefusal refusal = writeRefusal(c.data, path, o.force);
        refusal != WriteRefusal::none) {
        return fail(c, refusalMessage(refusal, path, "give --force to replace it"), kDataError);
    }
    if (const auto clash = clashOf(c.data, path, o.name, o.force)) {
        return fail(c,
                    clashMessage(*clash, "file name (--out)", "--name",
                                 "give --force to let both answer to it"),
                    kDataError);
    }
    RequestError error;
    std::vector<std::string> notes;
    const auto recipe = combinationRecipe(c.data, request, kind, error, notes);
    for (const std::string& note : notes) {
        c.err << "tarvo: note: " << printable(note) << '\n';
    }
    if (!recipe) {
        return fail(c, error.message,
                    error.problem == RequestProblem::syntax ? kUsageError : kDataError);
    }
    if ((inUserCopy && !makeTableFolder(path, error.message)) ||
        !writeCombinedTable(c.data, *recipe, kind, request.mixture.empty(), o.name, o.density, path,
                            error.message)) {
        return fail(c, error.message, kDataError);
    }
    c.out << "wrote " << nativePath(path) << '\n';
    if (inUserCopy) {
        c.err << "tarvo: note: " << printable(userCopyNote(c.data)) << '\n';
    }
    return 0;
}

} // namespace tarvo::cli
