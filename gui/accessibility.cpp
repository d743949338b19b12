#include "gui/accessibility.h"

#include "gui/widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QVariant>

namespace gui {
namespace {

constexpr const char* roleProperty = "simcreditRole";
constexpr const char* unitProperty = "simcreditUnit";

QString roleOf(const QObject* object) {
    return object->property(roleProperty).toString();
}

// Whether a verdict panel that is shown lies over the widget: the panels are the topmost of the
// form's bands, so what they cover is out of the agent's sight.
bool underVerdict(const QWidget* widget) {
    const QWidget* band = widget;
    while (band->parentWidget() != nullptr && !band->parentWidget()->isWindow() &&
           band->parentWidget()->objectName() != QLatin1String("clientArea")) {
        band = band->parentWidget();
    }
    const QWidget* area = band->parentWidget();
    if (area == nullptr || band == widget) {
        return false;
    }
    const QRect place(widget->mapTo(area, QPoint(0, 0)), widget->size());
    for (const QObject* sibling : area->children()) {
        const auto* panel = qobject_cast<const QWidget*>(sibling);
        if (panel != nullptr && panel != band && roleOf(panel) == QLatin1String("verdict") &&
            panel->isVisible() && panel->geometry().contains(place)) {
            return true;
        }
    }
    return false;
}

// Not reported as showing while a verdict panel covers it.
QAccessible::State coverable(QAccessible::State state, const QWidget* widget) {
    if (underVerdict(widget)) {
        state.invisible = true;
        state.offscreen = true;
    }
    return state;
}

// A figure: its name is the caption beside it, its text the figure and its unit.
class FigureAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit FigureAccessible(QWidget* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString figure() const {
        const QString value = static_cast<const QLabel*>(widget())->text();
        const QString unit = widget()->property(unitProperty).toString();
        return value.isEmpty() || unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return figure();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        return coverable(QAccessibleWidget::state(), widget());
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    // A figure is read, never edited: no caret, no selection.
    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    QString text(int start, int end) const override { return figure().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(figure().size()); }
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }
};

// A caption of the costs and instalment bands that labels no box (its figure carries the
// caption as its name): read as its text.
class CaptionAccessible final : public QAccessibleWidget {
public:
    explicit CaptionAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? static_cast<const QLabel*>(widget())->text() : name;
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        return coverable(QAccessibleWidget::state(), widget());
    }
};

// The insurance list, named by its caption; its text portion is its child.
class ListAccessible final : public QAccessibleWidget {
public:
    explicit ListAccessible(QWidget* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return static_cast<const QComboBox*>(widget())->currentText();
        }
        return QAccessibleWidget::text(t); // the name: the accessible name, the caption
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.editable = true;
        return state;
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << QAccessibleActionInterface::showMenuAction();
    }

    void doAction(const QString& action) override {
        if (action == QAccessibleActionInterface::showMenuAction()) {
            static_cast<QComboBox*>(widget())->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
};

// A verdict panel: an alert named by its caption and described by the text it shows.
class VerdictAccessible final : public QAccessibleWidget {
public:
    explicit VerdictAccessible(QWidget* frame)
        : QAccessibleWidget(frame, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? static_cast<const QGroupBox*>(widget())->title() : name;
        }
        if (t == QAccessible::Description) {
            QStringList lines;
            for (const QLabel* label : widget()->findChildren<QLabel*>()) {
                if (label->isVisibleTo(widget()) && !label->text().trimmed().isEmpty()) {
                    lines << label->text().simplified();
                }
            }
            return lines.join(QLatin1Char(' '));
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* factory(const QString& /*key*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QString role = roleOf(object);
    if (role == QLatin1String("figure")) {
        return new FigureAccessible(widget);
    }
    if (role == QLatin1String("verdict")) {
        return new VerdictAccessible(widget);
    }
    if (role == QLatin1String("caption")) {
        return new CaptionAccessible(widget);
    }
    if (dynamic_cast<InsuranceList*>(widget) != nullptr) {
        return new ListAccessible(widget);
    }
    return nullptr;
}

} // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void markFigure(QWidget* label, const QString& unit) {
    label->setProperty(roleProperty, QStringLiteral("figure"));
    label->setProperty(unitProperty, unit);
}

void markCaption(QWidget* label) {
    label->setProperty(roleProperty, QStringLiteral("caption"));
}

void markVerdict(QWidget* frame) {
    frame->setProperty(roleProperty, QStringLiteral("verdict"));
}

void figureChanged(QWidget* label, const QString& before) {
    if (!QAccessible::isActive()) {
        return; // nobody listens: no cost per keystroke
    }
    QAccessibleTextUpdateEvent event(label, 0, before, static_cast<QLabel*>(label)->text());
    QAccessible::updateAccessibility(&event);
}

void announceVerdict(QWidget* frame) {
    QAccessibleEvent event(frame, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

} // namespace gui
