#include "accessible_names.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

namespace tarvo {
namespace {

constexpr const char* kDialogProperty = "tarvoDialog";

// A drop-down list named by its label: on Linux Qt names it by its current entry, which a
// screen reader would speak as the list's name ("BMP" for the format list).
class NamedComboBox : public QAccessibleWidget {
  public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {
        // The value alone reaches no screen reader over AT-SPI: they look for the selected
        // item of the drop-down's list, which Qt selects only while the list is open.
        selectCurrentEntry(box);
        QObject::connect(box, &QComboBox::currentIndexChanged, box,
                         [box] { selectCurrentEntry(box); });
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && !box()->accessibleName().isEmpty()) {
            return box()->accessibleName();
        }
        if (kind == QAccessible::Value) {
            return box()->currentText();
        }
        return QAccessibleWidget::text(kind);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == box()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction()) {
            box()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }

    static void selectCurrentEntry(QComboBox* box) {
        const QModelIndex current =
            box->model()->index(box->currentIndex(), box->modelColumn(), box->rootModelIndex());
        box->view()->selectionModel()->setCurrentIndex(current,
                                                       QItemSelectionModel::ClearAndSelect);
    }
};

// Qt gives a window made of a plain widget the role "client" (AT-SPI "filler"): the suite's
// own windows become frames or dialogs; Qt's own widgets keep their interfaces.
QAccessibleInterface* suiteInterface(const QString& key, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (key == QLatin1String("QComboBox")) {
        return new NamedComboBox(static_cast<QComboBox*>(widget));
    }
    const bool ownWindow = widget->isWindow() && key.startsWith(QLatin1String("tarvo::")) &&
                           key == QLatin1String(object->metaObject()->className());
    if (!ownWindow) {
        return nullptr;
    }
    const bool dialog = widget->property(kDialogProperty).toBool();
    return new QAccessibleWidget(widget, dialog ? QAccessible::Dialog : QAccessible::Window);
}

} // namespace

QString plainCaption(const QString& caption) {
    static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
    return QString(caption).remove(markup).simplified();
}

void nameControl(QWidget* control, const QString& caption) {
    control->setAccessibleName(plainCaption(caption));
}

void nameAfterLabel(QWidget* control, QLabel* label) {
    nameControl(control, label->text());
    label->setBuddy(control);
}

void markAsDialog(QWidget& window) {
    window.setProperty(kDialogProperty, true);
}

void installAccessibleRoles() {
    QAccessible::installFactory(suiteInterface);
}

} // namespace tarvo
