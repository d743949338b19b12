#include "gui/simulator_window.h"

#include "gui/accessibility.h"
#include "gui/application.h"
#include "gui/client_actions.h"
#include "gui/early_window.h"
#include "gui/layout.h"
#include "gui/light_palette.h"
#include "gui/offer_actions.h"
#include "gui/variants_window.h"
#include "gui/widgets.h"
#include "runtime/scoped_value.h"
#include "ui/input_hints.h"
#include "ui/window_facts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>

namespace gui {
namespace {

int pixels(int twips) {
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
}

std::string keyOf(std::string_view name, int index) {
    std::string key(name);
    if (index >= 0) {
        key += '(' + std::to_string(index) + ')';
    }
    return key;
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Captions hold CR (13) as their line break; the label breaks the line there.
QString captionText(std::string_view caption) {
    QString text = toQString(caption);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QFont fontOf(const FontSpec& entry) {
    QFont font(entry.face == Face::Arial ? QStringLiteral("Arial")
                                         : QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(entry.points);
    font.setBold(entry.bold);
    font.setItalic(entry.italic);
    return font;
}

Qt::Alignment alignmentOf(Align align) {
    return align == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
}

QWidget* makeWidget(const ControlSpec& entry, QWidget* parent) {
    switch (entry.kind) {
    case Kind::Frame: {
        auto* frame = new Frame(parent);
        if (entry.name == "Eroare" || entry.name == "Frame6") {
            markVerdict(frame); // before anything asks for its accessible interface
        }
        frame->setTitle(toQString(entry.caption));
        frame->setAutoFillBackground(true); // the upper frame of the bottom band hides the lower
        return frame;
    }
    case Kind::Label: {
        // The labels the program writes never draw over a neighbour; a figure keeps to one line.
        ui::Control c{};
        const bool written = entry.index < 0 && ui::controlByName(entry.name, c);
        QLabel* label = written ? new ElidedLabel(parent) : new QLabel(parent);
        if (written && !entry.labelledBy.empty()) { // before anything asks for its interface
            markFigure(label, toQString(ui::captionOf(c).unit));
        }
        if (!written && (entry.parent == "Frame3" || entry.parent == "Frame4")) {
            markCaption(label); // the bands of figures a verdict panel may cover
        }
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(entry.labelledBy.empty());
        label->setAlignment(alignmentOf(entry.align) | Qt::AlignTop);
        label->setText(captionText(entry.caption));
        return label;
    }
    case Kind::TextBox: {
        auto* box = new TextBox(parent);
        box->setAlignment(alignmentOf(entry.align) | Qt::AlignVCenter);
        if (entry.locked) {
            // The design draws the results as disabled, grey on grey. They stay read-only and out
            // of the keyboard's path, but are drawn in full black and the agent can select and
            // copy them with the mouse.
            box->setReadOnly(true);
            box->setFocusPolicy(Qt::ClickFocus);
        } else if (entry.name == "tbdob") {
            // The rate comes from the grid; a rate typed here would be shown while every figure
            // uses another. It stays in the keyboard's path, to be read and copied.
            box->setReadOnly(true);
        }
        return box;
    }
    case Kind::ComboBox: {
        return new InsuranceList(parent);
    }
    case Kind::CheckBox:
        return new QCheckBox(toQString(entry.caption), parent);
    case Kind::Picture: {
        auto* picture = new PictureBox(parent);
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setPixmap(QPixmap(toQString(entry.picture)));
        picture->setFocusPolicy(Qt::StrongFocus);
        return picture;
    }
    }
    return nullptr;
}

} // namespace

SimulatorWindow::SimulatorWindow(ui::TariffChoice tarif, QWidget* parent)
    : QWidget(parent), tarif_(std::move(tarif)), messages_(this),
      form_(messages_, tarif_.tariff()) {
    build();
    bind();
    faultNotice_ = std::make_unique<FaultNotice>(menuBar_, form_);
    form_.setFaultSink(faultNotice_.get());
    form_.addRecalculationObserver([this] { faultNotice_->follow(); });
    offerActions_ = new OfferActions(*this);
    addVariantsEntry(*this);
    addEarlyEntry(*this);
}

SimulatorWindow::~SimulatorWindow() = default;

void SimulatorWindow::load() {
    if (!loaded_) {
        loaded_ = true;
        if (tarif_.failed()) {
            showTariffProblems(this, QString::fromStdString(tarif_.failureText()),
                               QString::fromStdString(tarif_.failureDetails()));
        }
        form_.Form_Load();
    }
}

void SimulatorWindow::startOver() {
    {
        const runtime::ScopedValue restarting(restarting_, true);
        form_.startOver();
    }
    for (int i = 0; i < core::controlCount; ++i) {
        display(static_cast<ui::Control>(i), ui::Property::Visible);
    }
    control("vn")->setFocus(Qt::ShortcutFocusReason);
}

QWidget* SimulatorWindow::control(std::string_view name, int index) const {
    const std::string key = keyOf(name, index);
    for (const auto& [k, widget] : widgets_) {
        if (k == key) {
            return widget;
        }
    }
    return nullptr;
}

void SimulatorWindow::build() {
    setObjectName(QStringLiteral("Form1"));
    // A caption and a close box; no minimise or maximise button, and no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(windowFont());
    setPalette(lightPalette()); // whatever the desktop's theme
    buildMenus();
    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, clientWidth, menuHeight);
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("clientArea"));
    client_->setGeometry(0, menuHeight, clientWidth, clientHeight);
    setFixedSize(clientWidth, clientHeight + menuHeight); // the window grows by the menu bar only
    setWindowIcon(programIcon());
    bound_[static_cast<std::size_t>(ui::Control::Form1)] = this;
    widgets_.emplace_back("Form1", this);

    for (const ControlSpec& entry : controlTable()) {
        QWidget* parent = entry.parent.empty() ? client_ : control(entry.parent);
        QWidget* widget = makeWidget(entry, parent);
        widget->setObjectName(toQString(entry.name));
        if (entry.index >= 0) {
            widget->setProperty("index", entry.index);
        }
        widget->setGeometry(pixels(entry.left), pixels(entry.top), pixels(entry.width),
                            pixels(entry.height));
        if (entry.font.points > 0) {
            widget->setFont(fontOf(entry.font));
        }
        if (entry.errorRed || entry.menuGrey) {
            QPalette palette = widget->palette();
            if (entry.errorRed) {
                palette.setColor(QPalette::WindowText, errorRed);
            }
            if (entry.menuGrey) {
                palette.setColor(QPalette::Base, menuGrey()); // every colour group: locked too
            }
            widget->setPalette(palette);
        }
        widgets_.emplace_back(keyOf(entry.name, entry.index), widget);
        ui::Control c{};
        if (entry.index < 0 && ui::controlByName(entry.name, c)) {
            bound_[static_cast<std::size_t>(c)] = widget;
        }
    }

    for (const ControlSpec& entry : controlTable()) {
        if (entry.labelledBy.empty()) {
            continue;
        }
        auto* caption = qobject_cast<QLabel*>(control(entry.labelledBy));
        QWidget* box = control(entry.name, entry.index);
        box->setAccessibleName(caption->text());
        if (box->focusPolicy() != Qt::NoFocus) {
            caption->setBuddy(box);
        }
    }
    fitLabels(client_);
    control("Picture1")->setAccessibleName(QStringLiteral("Sigla"));
    control("Picture2")->setAccessibleName(QStringLiteral("Calculator"));

    for (const char* frame : {"Frame3", "Frame4", "Eroare", "Frame6"}) {
        control(frame)->raise(); // the last raised is the topmost
    }

    const auto order = tabOrder();
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(control(order[i - 1]), control(order[i]));
    }
    control(order.front())->setFocus();
    addClientActions(*this);
    fitScreen();
}

void SimulatorWindow::bind() {
    ui::ControlModel& model = form_.controls();
    model.addObserver([this](ui::Control c, ui::Property p) { display(c, p); });
    form_.addRecalculationObserver([this] { announceVerdicts(); });

    // Only the agent's own actions reach the model: clicked and activated are not emitted when
    // the program writes to a widget, and the program writes a box's text with its signals
    // blocked. A box's textChanged is taken rather than textEdited so that a text put in by an
    // assistive tool (dictation, a screen reader's edit) is read like a typed one.
    for (const ControlSpec& entry : controlTable()) {
        ui::Control c{};
        if (entry.kind != Kind::TextBox || !ui::controlByName(entry.name, c) || !ui::isTypable(c)) {
            continue;
        }
        auto* box = qobject_cast<QLineEdit*>(widgetOf(c));
        connect(box, &QLineEdit::textChanged, this, [this, c](const QString& text) {
            form_.controls().setText(c, text.toStdString());
        });
    }

    auto* list = qobject_cast<QComboBox*>(widgetOf(ui::Control::cbasig));
    connect(list->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        form_.controls().setText(ui::Control::cbasig, text.toStdString());
    });
    connect(list, &QComboBox::activated, this, [this](int position) {
        form_.controls().select(ui::Control::cbasig, position);
        displayList(); // also when the model refused the position
    });

    for (const ui::Control c : {ui::Control::Check1, ui::Control::Check2}) {
        auto* box = qobject_cast<QCheckBox*>(widgetOf(c));
        connect(box, &QCheckBox::clicked, this, [this, c] {
            // The toolkit has already toggled the box; the model toggles its own value and the
            // pair follows through the model, which then decides what the box shows.
            form_.click(c);
            display(c, ui::Property::Value);
        });
    }

    for (int i = 0; i < core::controlCount; ++i) {
        const auto c = static_cast<ui::Control>(i);
        for (const ui::Property p :
             {ui::Property::Text, ui::Property::Caption, ui::Property::Visible, ui::Property::Value,
              ui::Property::Items}) {
            display(c, p);
        }
    }
}

void SimulatorWindow::display(ui::Control c, ui::Property p) {
    QWidget* widget = widgetOf(c);
    if (widget == nullptr) {
        return;
    }
    const ui::ControlData& data = form_.controls().data(c);
    switch (p) {
    case ui::Property::Text:
        if (c == ui::Control::cbasig) {
            displayList();
        } else if (auto* box = qobject_cast<QLineEdit*>(widget)) {
            const QString text = QString::fromStdString(data.text);
            if (box->text() != text) { // an unchanged text keeps the caret where the agent left it
                const QSignalBlocker blocker(box);
                box->setText(text);
            }
            static_cast<TextBox*>(box)->setHint(
                QString::fromStdString(ui::inputHint(form_.controls(), c)));
        }
        break;
    case ui::Property::Caption:
        if (widget == this) {
            // The title bar alone names the tariff; the form's own caption stays the lender's.
            const std::string note = tarif_.titleNote();
            setWindowTitle(
                QString::fromStdString(note.empty() ? data.caption : data.caption + " - " + note));
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            const QString before = label->text();
            label->setText(captionText(data.caption));
            if (label->text() != before) {
                figureChanged(label, before);
            }
            if (c == ui::Control::Label1) {
                fitHeading(label);
            }
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            // The model holds no frame's caption as built (the program never sets one): its
            // empty caption must not erase the one laid out.
            if (!data.caption.empty()) {
                frame->setTitle(QString::fromStdString(data.caption));
            }
        }
        break;
    case ui::Property::Visible:
        if (widget != this && !restarting_) { // the program shows its window itself
            widget->setVisible(data.visible);
        }
        break;
    case ui::Property::Value:
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            if (box->isChecked() != (data.value == 1)) {
                const QSignalBlocker blocker(box);
                box->setChecked(data.value == 1);
            }
        }
        break;
    case ui::Property::Items:
    case ui::Property::ListIndex:
        if (c == ui::Control::cbasig) {
            displayList();
        }
        break;
    }
}

// The list shows the model's items, position and text. Changing the toolkit's position rewrites
// its text portion, so the text is put back afterwards, with the caret where it was.
void SimulatorWindow::displayList() {
    auto* list = qobject_cast<QComboBox*>(widgetOf(ui::Control::cbasig));
    QLineEdit* edit = list->lineEdit();
    const ui::ControlData& data = form_.controls().data(ui::Control::cbasig);
    const QSignalBlocker listBlocker(list);
    const QSignalBlocker editBlocker(edit);
    const QString text = QString::fromStdString(data.text);
    const bool textShown = edit->text() == text;
    const int caret = edit->cursorPosition();

    QStringList items;
    for (const std::string& item : data.items) {
        items << QString::fromStdString(item);
    }
    bool sameItems = list->count() == items.size();
    for (int i = 0; sameItems && i < list->count(); ++i) {
        sameItems = list->itemText(i) == items[i];
    }
    if (!sameItems) {
        list->clear();
        list->addItems(items);
    }
    if (list->currentIndex() != data.listIndex) {
        list->setCurrentIndex(data.listIndex);
    }
    if (edit->text() != text) {
        edit->setText(text);
    }
    if (textShown && edit->cursorPosition() != caret) {
        edit->setCursorPosition(caret);
    }
    static_cast<InsuranceList*>(list)->setHint(
        QString::fromStdString(ui::inputHint(form_.controls(), ui::Control::cbasig)));
}

// A verdict panel that appears, or shows another text, is announced once the recalculation that
// put it there has finished; the panels shown at start-up, before the window is, are not.
void SimulatorWindow::announceVerdicts() {
    const ui::ControlModel& model = form_.controls();
    for (auto& [c, said] : verdictsSaid_) {
        const bool shown = model.visible(c);
        // The error panel's text changes with the error; the warning's never does.
        std::string now;
        if (shown) {
            now = c == ui::Control::Eroare ? model.caption(ui::Control::Label10) : "shown";
        }
        if (now != said) {
            said = now;
            if (shown && isVisible()) {
                announceVerdict(widgetOf(c));
            }
        }
    }
}

} // namespace gui
