#include "enlarged_view_session.h"

#include "common/enlarged_view.h"
#include "common/graph_surface.h"

#include <QPushButton>

namespace tarvo {

EnlargedViewSession::EnlargedViewSession(const UserFrame& frame,
                                         std::function<void(GraphSurface&)> drawFrame,
                                         const SaveDialogTexts& saveTexts, UserPrompts& prompts)
    : m_frame(frame), m_drawFrame(std::move(drawFrame)), m_saveTexts(saveTexts),
      m_prompts(prompts) {}

EnlargedViewSession::~EnlargedViewSession() = default;

EnlargedView& EnlargedViewSession::view() {
    if (!m_view) {
        m_view = std::make_unique<EnlargedView>(m_frame);
        connect(&m_view->closeButton(), &QPushButton::clicked, this, &EnlargedViewSession::close);
        connect(m_view.get(), &EnlargedView::closeRequested, this, &EnlargedViewSession::close);
        connect(&m_view->saveButton(), &QPushButton::clicked, this, &EnlargedViewSession::save);
        m_drawFrame(m_view->picture());
    }
    return *m_view;
}

SaveDialog& EnlargedViewSession::imageSaveDialog() {
    if (!m_imageSave) {
        m_imageSave = std::make_unique<SaveDialog>(m_saveTexts, m_prompts);
        offerPictureFormats(*m_imageSave);
        m_imageSave->setWriter([this](const std::string& path, std::string& error) {
            if (!m_holdsCurves) {
                error = "the graph is not drawn";
                return false;
            }
            return writePicture(view().picture(), path, error);
        });
    }
    return *m_imageSave;
}

void EnlargedViewSession::tableDrawn() {
    m_tableDrawn = true;
    if (m_button != nullptr) {
        m_button->setText(m_holdsCurves ? QStringLiteral("Add to Enlarged View")
                                        : QStringLiteral("Enlarged View"));
        m_button->setEnabled(true);
    }
}

void EnlargedViewSession::add(const QString& title,
                              const std::function<void(GraphSurface&, bool)>& draw) {
    draw(view().picture(), m_holdsCurves);
    view().setWindowTitle(m_holdsCurves ? view().windowTitle() + QStringLiteral("  & ") + title
                                        : title);
    m_holdsCurves = true;
    view().show();
    if (m_button != nullptr) {
        m_button->setEnabled(false);
    }
}

void EnlargedViewSession::clear() {
    if (m_view) {
        m_view->setWindowTitle(QString());
        m_drawFrame(m_view->picture());
    }
    m_holdsCurves = false;
}

void EnlargedViewSession::close() {
    clear();
    view().hide();
    // Its picture is gone: a save dialog left open would write an empty frame.
    if (m_imageSave) {
        m_imageSave->hide();
    }
    if (m_button != nullptr) {
        m_button->setText(QStringLiteral("Enlarged View"));
        m_button->setEnabled(m_tableDrawn);
    }
}

void EnlargedViewSession::save() {
    if (!m_holdsCurves) {
        m_prompts.showMessage(&view(), QStringLiteral(" The graph is not drawn "),
                              MessageIcon::Exclamation);
        return;
    }
    imageSaveDialog().prepareAndShow();
}

void EnlargedViewSession::hideIfCreated() {
    if (m_view) {
        m_view->hide();
    }
}

} // namespace tarvo
