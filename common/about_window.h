#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace tarvo {

// What the programs are and where their numbers come from: the version, the data sources
// with their references, how mu_tr/rho is derived, and the licences.
class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);

    QTextBrowser& text() { return *m_text; }
    QPushButton& closeButton() { return *m_closeButton; }

  private:
    QTextBrowser* m_text = nullptr;
    QPushButton* m_closeButton = nullptr;
};

// The text of the About window (HTML).
QString aboutText();

// Shows the one About window of the program, making it on first use; it is deleted when
// closed.
void showAboutWindow();

} // namespace tarvo
