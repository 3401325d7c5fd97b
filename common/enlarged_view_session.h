#pragma once

#include "common/plot_geometry.h"
#include "common/save_dialog.h"
#include "common/user_prompts.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QPushButton;

namespace tarvo {

class EnlargedView;
class GraphSurface;

// The enlarged view of a viewer and its image-save dialog, both made on first use: the
// curves of the tables added since it was last closed, under a title that joins their graph
// titles with "  & ".
class EnlargedViewSession : public QObject {
    Q_OBJECT
  public:
    // `drawFrame` draws the empty frame on the view's picture.
    EnlargedViewSession(const UserFrame& frame, std::function<void(GraphSurface&)> drawFrame,
                        const SaveDialogTexts& saveTexts, UserPrompts& prompts);
    ~EnlargedViewSession() override;

    // The view and its image-save dialog, made on first use.
    EnlargedView& view();
    SaveDialog& imageSaveDialog();
    // The image-save dialog where it was made, else nothing.
    SaveDialog* imageSaveDialogIfCreated() { return m_imageSave.get(); }
    // Whether the view holds the curves of at least one table.
    bool holdsCurves() const { return m_holdsCurves; }
    // The graph window's button that adds the drawn table; the session keeps its caption
    // ("Enlarged View", "Add to Enlarged View") and whether it can be pressed.
    void attachButton(QPushButton& button) { m_button = &button; }
    // A table was drawn: it can be added once.
    void tableDrawn();

    // Adds a table's curves under its graph title and shows the view; `draw` gets the
    // picture and whether the view already held curves (later tables are marked).
    void add(const QString& title, const std::function<void(GraphSurface&, bool later)>& draw);
    // Back to the empty frame and no title, holding nothing; a view not made yet gets its
    // frame when it is made.
    void clear();
    // "Close" and the close box: clears and hides the view; a drawn table can be added
    // again.
    void close();
    // "Save as a BMP image": the image-save dialog, or " The graph is not drawn ".
    void save();
    void hideIfCreated();

  private:
    UserFrame m_frame;
    std::function<void(GraphSurface&)> m_drawFrame;
    SaveDialogTexts m_saveTexts;
    UserPrompts& m_prompts;
    std::unique_ptr<EnlargedView> m_view;
    std::unique_ptr<SaveDialog> m_imageSave;
    bool m_holdsCurves = false;
    QPushButton* m_button = nullptr;
    bool m_tableDrawn = false;
};

} // namespace tarvo
