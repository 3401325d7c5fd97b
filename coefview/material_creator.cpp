#include "material_creator.h"

#include "coefview/combine_coefficient_tables.h"
#include "common/text_file.h"

namespace tarvo::coefview {
namespace {

bool saveMaterial(const CreatorInput& input, std::string& error) {
    const std::optional<Recipe> recipe = recipeOfRows(input.rows, Weighting::byWeight, error);
    const auto combined =
        recipe ? combineCoefficientTables(DataDirectory::working(), *recipe, error) : std::nullopt;
    return combined && writeMaterialCoefficientTable(input.path, input.name, input.density,
                                                     combined->rows, combined->composition, error);
}

} // namespace

std::unique_ptr<CreatorWindow> makeMaterialCreator(UserPrompts& prompts) {
    CreatorTexts texts;
    texts.title = QStringLiteral("New Compound or New Mixture");
    texts.heading = QStringLiteral("Create new material data");
    texts.subheading = QStringLiteral("Calculate according to the Bragg's addition law");
    texts.nameLabel = QStringLiteral("Material name");
    texts.defaultName = QStringLiteral("Mixture");
    texts.hint = QStringLiteral("( Up to 15 )");
    texts.listCaption = QStringLiteral("(1) Select element");
    texts.tableCaption = QStringLiteral("(2) Click number");
    texts.numberHeader = QStringLiteral("No.");
    texts.amountHeader = QStringLiteral("Weight %");
    texts.fileLabel = QStringLiteral("Input file name without the extension");
    texts.categoryLabel = QStringLiteral("Category ");
    texts.rows = 15;
    texts.amountPrompt = QStringLiteral(" Input Weirht(%) ");
    texts.emptyNameMessage = QStringLiteral(" Input the material name ");
    texts.badDensityMessage = QStringLiteral(" Density is incorrect ");
    texts.badCountMessage = QStringLiteral(" Input number of elements ");
    texts.noElementMessage = QStringLiteral(" Select Element ");
    texts.emptyFileNameMessage = QStringLiteral(" Input the file name ");
    texts.emptyFileNameOnEnter = QStringLiteral("Input File name ");
    texts.failureMessage = QStringLiteral(" There is an error in the input data ! ");
    texts.failureTitle = QStringLiteral("Input Error");
    texts.failureIcon = MessageIcon::None;
    texts.countFromBoxAtSave = true;
    texts.tableKind = TableKind::coefficients;
    texts.formulaEntry = FormulaEntry::weightPercent;
    return std::make_unique<CreatorWindow>(texts, saveMaterial, prompts);
}

} // namespace tarvo::coefview
