// The widgets of a parameter sheet, their values and their look.
#include "ui/sheet_frame.h"

#include "circuits/catalogue.h"
#include "ui/key_filters.h"
#include "ui/ui_fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString cssColour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

void setTextColour(QWidget* w, const std::optional<QColor>& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText,
                 colour.value_or(QGuiApplication::palette().color(QPalette::WindowText)));
    w->setPalette(pal);
}
} // namespace

TSheetFrame::TSheetFrame(int circuit, QChar decimalSeparator, QWidget* parent)
    : QWidget(parent), circuit_(circuit) {
    setObjectName(QStringLiteral("Frame%1").arg(circuit));
    layout_ = sheetLayout(circuit, qGuiApp->devicePixelRatio());
    setFixedSize(layout_.size);
    setFont(uiFont(8));

    const CircuitInfo& info = circuitInfo(circuit);
    for (const SheetControl& c : info.controls) {
        Entry e;
        e.control = c;
        const SheetPlacement* placed = layout_.placement(c.name);
        switch (c.kind) {
        case ControlKind::Edit: {
            auto* box = new QLineEdit(this);
            e.label = new QLabel(qs(controlLabel(info, c.name)), this);
            e.label->setObjectName(qs(c.name + "Label"));
            e.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            const bool negative = fieldAcceptsNegative(circuit, c.name);
            box->setProperty("tag", negative ? -1 : 0);
            installKeyFilter(box, negative ? KeyFilterKind::SheetNegative : KeyFilterKind::Sheet,
                             decimalSeparator);
            for (const auto& [name, hint] : info.hints)
                if (name == c.name)
                    box->setToolTip(qs(hint));
            if (box->toolTip().isEmpty())
                box->setToolTip(qs(c.name));
            for (const auto& [name, length] : info.maxLengths)
                if (name == c.name)
                    box->setMaxLength(length);
            e.widget = box;
            break;
        }
        case ControlKind::Selector: {
            auto* combo = new QComboBox(this);
            for (const std::string& item : c.items)
                combo->addItem(qs(item));
            e.widget = combo;
            break;
        }
        case ControlKind::CheckBox:
            e.widget = new QCheckBox(qs(c.text), this);
            break;
        case ControlKind::Caption:
            e.widget = new QLabel(qs(c.text), this);
            e.widget->setProperty("tag", -1);
            break;
        case ControlKind::Label:
            e.widget = new QLabel(this);
            e.widget->setProperty("tag", 0);
            break;
        }
        e.widget->setObjectName(qs(c.name));
        if (placed) {
            if (c.kind == ControlKind::Edit) {
                placeEditBox(e, *placed);
            } else {
                e.widget->setGeometry(placed->rect);
                if (auto* text = qobject_cast<QLabel*>(e.widget))
                    text->setAlignment(placed->align);
            }
        } else {
            e.widget->hide();
            if (e.label)
                e.label->hide();
        }
        entries_.push_back(e);
    }
}

void TSheetFrame::placeEditBox(const Entry& e, const SheetPlacement& placement) {
    e.label->setGeometry(placement.labelRect);
    e.widget->setGeometry(placement.boxRect);
}

QSize TSheetFrame::sizeHint() const {
    return layout_.size;
}

Sheet TSheetFrame::sheet() const {
    Sheet s;
    s.circuit = circuit_;
    for (const Entry& e : entries_) {
        SheetControl c = e.control;
        switch (c.kind) {
        case ControlKind::Edit:
            c.text = static_cast<QLineEdit*>(e.widget)->text().toStdString();
            break;
        case ControlKind::CheckBox:
            c.checked = static_cast<QCheckBox*>(e.widget)->isChecked();
            break;
        case ControlKind::Selector: {
            const auto* combo = static_cast<QComboBox*>(e.widget);
            c.items.clear();
            for (int i = 0; i < combo->count(); ++i)
                c.items.push_back(combo->itemText(i).toStdString());
            c.selected = combo->currentIndex();
            break;
        }
        case ControlKind::Caption:
        case ControlKind::Label:
            c.text = static_cast<QLabel*>(e.widget)->text().toStdString();
            break;
        }
        s.controls.push_back(c);
    }
    return s;
}

void TSheetFrame::setSheet(const Sheet& sheet) {
    for (const SheetControl& c : sheet.controls) {
        for (Entry& e : entries_) {
            if (e.control.name != c.name || e.control.kind != c.kind)
                continue;
            switch (c.kind) {
            case ControlKind::Edit:
                static_cast<QLineEdit*>(e.widget)->setText(qs(c.text));
                break;
            case ControlKind::CheckBox:
                static_cast<QCheckBox*>(e.widget)->setChecked(c.checked);
                break;
            case ControlKind::Selector: {
                auto* combo = static_cast<QComboBox*>(e.widget);
                const QSignalBlocker block(combo);
                combo->clear();
                for (const std::string& item : c.items)
                    combo->addItem(qs(item));
                combo->setCurrentIndex(c.selected < combo->count() ? c.selected : -1);
                break;
            }
            case ControlKind::Label:
            case ControlKind::Caption:
                static_cast<QLabel*>(e.widget)->setText(qs(c.text));
                break;
            }
            break;
        }
    }
}

void TSheetFrame::setSelectorItems(const std::string& name, const std::vector<std::string>& items) {
    for (Entry& e : entries_)
        if (e.control.kind == ControlKind::Selector && e.control.name == name) {
            auto* combo = static_cast<QComboBox*>(e.widget);
            combo->clear();
            for (const std::string& item : items)
                combo->addItem(qs(item));
            combo->setCurrentIndex(items.empty() ? -1 : 0);
        }
}

void TSheetFrame::setSelectorItems(const std::string& name, const std::vector<std::string>& items,
                                   const std::string& selected) {
    for (Entry& e : entries_)
        if (e.control.kind == ControlKind::Selector && e.control.name == name) {
            auto* combo = static_cast<QComboBox*>(e.widget);
            combo->clear();
            for (const std::string& item : items)
                combo->addItem(qs(item));
            combo->setCurrentIndex(combo->findText(qs(selected), Qt::MatchExactly | Qt::MatchCaseSensitive));
        }
}

std::string TSheetFrame::selectedItem(const std::string& name) const {
    for (const Entry& e : entries_)
        if (e.control.kind == ControlKind::Selector && e.control.name == name) {
            const auto* combo = static_cast<const QComboBox*>(e.widget);
            return combo->currentIndex() >= 0 ? combo->currentText().toStdString() : std::string();
        }
    return {};
}

void TSheetFrame::setResultLabels(const std::vector<std::pair<std::string, std::string>>& labels) {
    for (const auto& [name, text] : labels)
        for (Entry& e : entries_)
            if (e.control.kind == ControlKind::Label && e.control.name == name)
                static_cast<QLabel*>(e.widget)->setText(qs(text));
}

void TSheetFrame::setFrameCosmetics(const SheetCosmetics& cosmetics) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QGuiApplication::palette().color(QPalette::Window));
    setPalette(pal);
    setFont(uiFont(8));
    const QColor window = QGuiApplication::palette().color(QPalette::Window);
    for (Entry& e : entries_) {
        const std::string& name = e.control.name;
        switch (e.control.kind) {
        case ControlKind::Edit: {
            auto* box = static_cast<QLineEdit*>(e.widget);
            box->setFont(monoFont(10, true));
            const QColor text = editTextColour(name).value_or(Qt::black);
            const QColor background = cosmetics.greyBackground ? kEditGrey : window;
            const QString border = cosmetics.editBorders != 0 ? "1px solid #7a7a7a" : "none";
            box->setStyleSheet(
                QStringLiteral("QLineEdit { background: %1; color: %2; border: %3; padding: 0 2px; }")
                    .arg(cssColour(background), cssColour(text), border));
            e.label->setFont(uiFont(8));
            break;
        }
        case ControlKind::Selector:
            e.widget->setFont(uiFont(8, true));
            break;
        case ControlKind::Label:
        case ControlKind::Caption: {
            auto* label = static_cast<QLabel*>(e.widget);
            if (label->property("tag").toInt() >= 0)
                label->clear();
            label->setFont(uiFont(8));
            setTextColour(label, labelTextColour(name));
            break;
        }
        case ControlKind::CheckBox:
            e.widget->setFont(uiFont(8));
            setTextColour(e.widget, kCheckBoxColour);
            break;
        }
    }
}

std::vector<QLineEdit*> TSheetFrame::editBoxes() const {
    std::vector<QLineEdit*> boxes;
    for (const Entry& e : entries_)
        if (e.control.kind == ControlKind::Edit)
            boxes.push_back(static_cast<QLineEdit*>(e.widget));
    return boxes;
}

void TSheetFrame::paintEvent(QPaintEvent*) {
    const double scale = devicePixelRatioF();
    if (layout_.background.isNull() || layout_.background.devicePixelRatio() != scale)
        layout_.background = sheetLayout(circuit_, scale).background;
    if (layout_.background.isNull())
        return;
    QPainter p(this);
    p.drawImage(QPointF(0, 0), layout_.background);
}
