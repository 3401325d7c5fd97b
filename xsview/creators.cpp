#include "creators.h"

#include "common/text_file.h"
#include "xsview/combine_element_tables.h"

namespace tarvo::xsview {
namespace {

// Texts both creators share.
CreatorTexts commonTexts() {
    CreatorTexts texts;
    texts.nameLabel = QStringLiteral("Substance name");
    texts.listCaption = QStringLiteral("1  Select element");
    texts.tableCaption = QStringLiteral("2  Click the target No.");
    texts.fileLabel = QStringLiteral("File name without the extension");
    texts.categoryLabel = QStringLiteral("Category");
    texts.emptyNameMessage = QStringLiteral(" Input the Name ");
    texts.badDensityMessage = QStringLiteral(" Inappropriate density input ");
    texts.badCountMessage = QStringLiteral(" Input the number of element ");
    texts.noElementMessage = QStringLiteral(" Select a element ");
    texts.failureMessage = QStringLiteral(" There is an error in the entered data ");
    texts.tableKind = TableKind::crossSections;
    return texts;
}

CreatorSave crossSectionSave(Weighting weighting, double edgeFactor) {
    return [weighting, edgeFactor](const CreatorInput& input, std::string& error) {
        const std::optional<Recipe> recipe = recipeOfRows(input.rows, weighting, error);
        const auto rows =
            recipe ? combineElementTables(DataDirectory::working(), *recipe, edgeFactor, error)
                   : std::nullopt;
        return rows && writeMaterialTable(input.path, input.name, input.density, *rows, error);
    };
}

} // namespace

std::unique_ptr<CreatorWindow> makeCompoundCreator(UserPrompts& prompts) {
    CreatorTexts texts = commonTexts();
    texts.title = QStringLiteral("New chemical compound");
    texts.heading = QStringLiteral("Create  a new chemical compound data");
    texts.defaultName = QStringLiteral("Chemical compound");
    texts.hint = QStringLiteral("( Up to 5 )");
    texts.amountHeader = QStringLiteral("Number");
    texts.rows = 5;
    texts.amountPrompt = QStringLiteral(" Input the number of element ");
    texts.positiveAmounts = true;
    texts.elementCellPicks = true;
    texts.badAmountMessage = QStringLiteral(" Incorrect input value ");
    texts.emptyFileNameMessage = QStringLiteral(" Input File name ");
    texts.formulaEntry = FormulaEntry::atoms;
    return std::make_unique<CreatorWindow>(
        texts, crossSectionSave(Weighting::byAtoms, kCompoundEdgeFactor), prompts);
}

std::unique_ptr<CreatorWindow> makeMixtureCreator(UserPrompts& prompts) {
    CreatorTexts texts = commonTexts();
    texts.title = QStringLiteral("New mixture medium");
    texts.heading = QStringLiteral("Create a new mixture data");
    texts.defaultName = QStringLiteral("Mixture");
    texts.hint = QStringLiteral("( Up to 15 )");
    texts.amountHeader = QStringLiteral("Weight %");
    texts.rows = 15;
    texts.amountPrompt = QStringLiteral(" Enter the weight ");
    texts.emptyFileNameMessage = QStringLiteral("ファイル名を入力してください");
    texts.failureTitle = QStringLiteral("Input Error");
    texts.failureIcon = MessageIcon::None;
    texts.formulaEntry = FormulaEntry::weightPercent;
    return std::make_unique<CreatorWindow>(
        texts, crossSectionSave(Weighting::byWeight, kMixtureEdgeFactor), prompts);
}

} // namespace tarvo::xsview
